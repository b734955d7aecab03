// The system's words for an error code: FormatMessageW, in the user's
// language, with the code after them.
#include "platform/os_error.h"

#include <windows.h>

#include <string>

#include "platform/win32/utf.h"

namespace platform {

std::string osErrorText(OsErrorCode code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring words;
  if (length > 0 && text) words.assign(text, length);
  if (text) LocalFree(text);
  while (!words.empty() &&
         (words.back() == L'\r' || words.back() == L'\n' || words.back() == L' ')) {
    words.pop_back();
  }
  if (words.empty()) return "エラー " + std::to_string(code);
  return narrow(words) + " (" + std::to_string(code) + ")";
}

}  // namespace platform
