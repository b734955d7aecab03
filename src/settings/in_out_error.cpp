#include "settings/in_out_error.h"

#include <array>
#include <string_view>
#include <utility>

namespace settings {

std::string inOutErrorMessage(platform::OsErrorCode code) {
  static constexpr std::array<std::pair<platform::OsErrorCode, std::string_view>, 7> kMessages{{
      {2, "ファイルが見つかりません"},
      {3, "不正なファイル名です"},
      {4, "オープンしたファイルが多すぎます"},
      {5, "ファイルへのアクセスが拒否されました"},
      {100, "ファイルの末尾以降を読み込みました"},
      {101, "ディスクがいっぱいです"},
      {106, "入力値が数値ではありません"},
  }};
  for (const auto& [known, message] : kMessages) {
    if (known == code) return std::string(message);
  }
  return "I/O エラー (" + std::to_string(code) + ")";
}

}  // namespace settings
