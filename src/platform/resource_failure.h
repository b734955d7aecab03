#pragma once

#include <string>
#include <string_view>

#include "platform/os_error.h"

namespace platform {

// What the system refused when a handler asked it for a resource, in the
// program's words.
inline constexpr std::string_view kTimerRefused = "タイマーを開始できません";

// The failure a handler raises for a refused resource: the program's words
// and the OS code, "タイマーを開始できません (エラー 1400)", as the error box
// shows it.
inline OsError resourceFailure(std::string_view refused, OsErrorCode code) {
  std::string text(refused);
  text += " (エラー ";
  text += std::to_string(code);
  text += ')';
  return OsError(std::move(text), code);
}

}  // namespace platform
