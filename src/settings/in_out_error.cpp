#include "settings/in_out_error.h"

#include <array>
#include <string_view>
#include <utility>

namespace settings {

std::string inOutErrorMessage(InOutCode code) {
  static constexpr std::array<std::pair<InOutCode, std::string_view>, 7> kMessages{{
      {InOutCode::system(platform::kErrorFileNotFound), "ファイルが見つかりません"},
      {InOutCode::system(platform::kErrorPathNotFound), "不正なファイル名です"},
      {InOutCode::system(platform::kErrorTooManyOpenFiles), "オープンしたファイルが多すぎます"},
      {InOutCode::system(platform::kErrorAccessDenied), "ファイルへのアクセスが拒否されました"},
      {kReadPastEnd, "ファイルの末尾以降を読み込みました"},
      {kDiskFull, "ディスクがいっぱいです"},
      {kNotANumber, "入力値が数値ではありません"},
  }};
  for (const auto& [known, message] : kMessages) {
    if (known == code) return std::string(message);
  }
  return "I/O エラー (" + std::to_string(code.value()) + ")";
}

}  // namespace settings
