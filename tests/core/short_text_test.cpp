#include "folderlist/short_text.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

using folderlist::ShortText;

// Texts either side of the inline capacity (23 bytes) read back whole, after
// copying, moving and assigning over texts of the other kind.
TEST(ShortTextTest, KeepsTextsOfEveryLengthWhole) {
  const std::string texts[] = {
      "",
      "2009/03/05 12:30:00",
      "2009. 03. 05 12h30h00",
      std::string(23, 'x'),
      std::string(24, 'y'),
      "2009\xE5\xB9\xB4"
      "03\xE6\x9C\x88"
      "05\xE6\x97\xA5 12\xE6\x99\x82"
      "30\xE5\x88\x86"
      "00",
  };
  for (const std::string& first : texts) {
    for (const std::string& second : texts) {
      SCOPED_TRACE(first + " then " + second);
      ShortText text(first);
      EXPECT_EQ(text.view(), first);
      EXPECT_EQ(text.size(), first.size());
      ShortText copy = text;
      text = second;
      EXPECT_EQ(text.view(), second);
      EXPECT_EQ(copy.view(), first);
      ShortText moved = std::move(copy);
      EXPECT_EQ(moved.view(), first);
      moved = text;
      EXPECT_EQ(moved.view(), second);
      EXPECT_EQ(moved == text, true);
      EXPECT_EQ(moved == first, first == second);
    }
  }
}

TEST(ShortTextTest, ComparesAndCutsAsItsText) {
  const ShortText early("2009/03/05 12:30:00");
  const ShortText late("2009/03/05 12:31:00");
  EXPECT_TRUE(early < late);
  EXPECT_TRUE(late > std::string_view("2009/03/05 12:30:58"));
  EXPECT_EQ(early.substr(0, 10), "2009/03/05");
  EXPECT_EQ(early.substr(11), "12:30:00");
  EXPECT_TRUE(ShortText().empty());
  EXPECT_TRUE(ShortText(std::string_view()).empty());
  EXPECT_FALSE(early.empty());
}

}  // namespace
