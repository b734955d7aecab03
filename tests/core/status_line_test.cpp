#include "folderlist/status_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct StatusCase {
  int selectionCount;
  int entryCount;
  std::string firstSelectedName;
  std::string panel0;
  std::string panel1;
};

class StatusLineTest : public ::testing::TestWithParam<StatusCase> {};

TEST_P(StatusLineTest, TellsSelectedOutOfListedAndTheFirstName) {
  const auto& c = GetParam();
  const folderlist::StatusTexts texts =
      folderlist::statusLine(c.selectionCount, c.entryCount, c.firstSelectedName);
  EXPECT_EQ(texts.panel0, c.panel0);
  EXPECT_EQ(texts.panel1, c.panel1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StatusLineTest,
    ::testing::Values(StatusCase{3, 12, "a.txt", "3/12 個のオブジェクトを選択", "a.txt"},
                      StatusCase{1, 12, "readme", "1/12 個のオブジェクトを選択", "readme"},
                      StatusCase{12, 12, "<last>", "12/12 個のオブジェクトを選択", "<last>"},
                      // Nothing selected: both panels empty, whatever name is handed over.
                      StatusCase{0, 12, "a.txt", "", ""}, StatusCase{0, 0, "", "", ""},
                      // The number after the slash is the entry count as given, not a count
                      // of anything else.
                      StatusCase{2, 1, "x", "2/1 個のオブジェクトを選択", "x"},
                      StatusCase{100000, 100000, "日本語.txt",
                                 "100000/100000 個のオブジェクトを選択", "日本語.txt"},
                      StatusCase{2147483647, 2147483647, "max",
                                 "2147483647/2147483647 個のオブジェクトを選択", "max"},
                      // A name is shown exactly, blanks and all.
                      StatusCase{1, 3, " two  blanks ", "1/3 個のオブジェクトを選択",
                                 " two  blanks "}));

}  // namespace
