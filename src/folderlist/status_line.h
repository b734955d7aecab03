#pragma once

#include <string>
#include <string_view>

namespace folderlist {

struct StatusTexts {
  std::string panel0;
  std::string panel1;
  friend bool operator==(const StatusTexts&, const StatusTexts&) = default;
};

// Both panels empty when nothing is selected; otherwise
// "<selected>/<entry count> 個のオブジェクトを選択" and the first selected row's name.
StatusTexts statusLine(int selectionCount, int entryCount, std::string_view firstSelectedName);

}  // namespace folderlist
