#include "folderlist/status_line.h"

#include <charconv>

namespace folderlist {

namespace {

constexpr std::string_view kSelectedSuffix = " 個のオブジェクトを選択";

void appendDecimal(std::string& out, int value) {
  char digits[16];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, result.ptr);
}

}  // namespace

StatusTexts statusLine(int selectionCount, int entryCount, std::string_view firstSelectedName) {
  if (selectionCount <= 0) return {};
  StatusTexts texts;
  texts.panel0.reserve(24 + kSelectedSuffix.size());
  appendDecimal(texts.panel0, selectionCount);
  texts.panel0.push_back('/');
  appendDecimal(texts.panel0, entryCount);
  texts.panel0 += kSelectedSuffix;
  texts.panel1 = firstSelectedName;
  return texts;
}

}  // namespace folderlist
