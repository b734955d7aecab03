#include "stamping/run_messages.h"

#include "platform/text_concat.h"

namespace stamping {

namespace {

using platform::concat;

constexpr std::string_view kReadOnlyFile = "リードオンリー属性の\r\nファイルがあります\r\n\r\n";
constexpr std::string_view kReadOnlyFolder = "リードオンリー属性の\r\nフォルダがあります\r\n\r\n";

std::string_view kindOf(const folderlist::ListEntry& row) {
  return row.isFile() ? "ファイル " : "フォルダ ";
}

}  // namespace

std::string readOnlyMessage(const folderlist::ListEntry& row) {
  return concat(row.isFile() ? kReadOnlyFile : kReadOnlyFolder, row.name);
}

std::string cannotOpenMessage(const folderlist::ListEntry& row, const std::string& path) {
  return concat(kindOf(row), path, " は開けません");
}

std::string cannotReadMessage(const folderlist::ListEntry& row, const std::string& path) {
  return concat(kindOf(row), path, " の日時を読み取れません");
}

std::string cannotChangeMessage(const folderlist::ListEntry& row, const std::string& path) {
  return concat(kindOf(row), path, " の日時を変更できません");
}

}  // namespace stamping
