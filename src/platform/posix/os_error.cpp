// The system's words for an error code, natively: the Windows codes the
// program meets, in the words Windows gives them in Japanese, and errno's
// own text for the rest.
#include "platform/os_error.h"

#include <cstring>
#include <string>

namespace platform {

namespace {

std::string wordsFor(OsErrorCode code) {
  switch (code) {
    case kErrorFileNotFound:
      return "指定されたファイルが見つかりません。";
    case kErrorPathNotFound:
      return "指定されたパスが見つかりません。";
    case kErrorAccessDenied:
      return "アクセスが拒否されました。";
    case kErrorWriteProtect:
      return "メディアは書き込み禁止になっています。";
    case kErrorDiskFull:
      return "ディスクに十分な空き領域がありません。";
    case kErrorFilenameTooLong:
      return "ファイル名または拡張子が長すぎます。";
    case kErrorSharingViolation:
      return "プロセスはファイルにアクセスできません。別のプロセスが使用中です。";
    case kErrorNotSameDevice:
      return "システムはファイルを別のディスク ドライブに移動できません。";
    case kErrorAlreadyExists:
      return "既に存在するファイルを作成することはできません。";
    default:
      break;
  }
  if (code & (1u << 29)) return std::strerror(static_cast<int>(code & ~(1u << 29)));
  return {};
}

}  // namespace

// As FormatMessageW gives them on Windows, with the code after the words.
std::string osErrorText(OsErrorCode code) {
  const std::string words = wordsFor(code);
  if (words.empty()) return "エラー " + std::to_string(code);
  return words + " (" + std::to_string(code) + ")";
}

}  // namespace platform
