// Explorer's order of names, on whichever backend the tests are built for
// (ICU's numeric collation natively, StrCmpLogicalW under Wine): one
// hand-written table from Windows' documented behaviour for both. Where
// Wine's StrCmpLogicalW is not Windows', the case is skipped there with the
// reason, and its expectation stays Windows'.

#include "platform/numeric_collation.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "fakes/temp_folder.h"

namespace {

enum class Order { kBefore, kSame, kAfter };

struct Case {
  const char* first;
  const char* second;
  Order expected;
  const char* rule;
  const char* wineDiffers = nullptr;  // why Wine answers otherwise, if it does
};

const Case kCases[] = {
    // Runs of digits compare by value.
    {"1", "2", Order::kBefore, "numbers"},
    {"2", "10", Order::kBefore, "numbers"},
    {"1", "10", Order::kBefore, "numbers"},
    {"10", "2", Order::kAfter, "numbers"},
    {"1.mp3", "12.mp3", Order::kBefore, "numbers"},
    {"2.mp3", "12.mp3", Order::kBefore, "numbers"},
    {"写真2", "写真10", Order::kBefore, "after Japanese text"},
    {"写真2.jpg", "写真10.jpg", Order::kBefore, "after Japanese text"},
    // Wherever the digits stand in the name.
    {"2abc", "10abc", Order::kBefore, "digits at the start"},
    {"a2b", "a10b", Order::kBefore, "digits in the middle"},
    {"file9", "file10", Order::kBefore, "digits at the end"},
    {"file9.txt", "file10.txt", Order::kBefore, "digits before the extension"},
    {"v1.2.10", "v1.2.9", Order::kAfter, "several runs"},
    // Leading zeros: the value decides; at equal values the zeros go first.
    {"007", "8", Order::kBefore, "leading zeros"},
    {"010", "9", Order::kAfter, "leading zeros"},
    {"a1b1", "a01b2", Order::kBefore, "leading zeros"},
    {"Ie4_01", "Ie4_128", Order::kBefore, "leading zeros"},
    {"a01b2", "a1b2", Order::kBefore, "leading zeros",
     "Wine 8's StrCmpLogicalW finds equal values equal and ignores the zeros"},
    // Case is ignored.
    {"ABC10", "abc10", Order::kSame, "case"},
    {"Track9", "track10", Order::kBefore, "case"},
    {"track9", "Track10", Order::kBefore, "case"},
    {"README2.TXT", "readme10.txt", Order::kBefore, "case"},
    // Digit runs of different lengths.
    {"x9", "x100", Order::kBefore, "lengths of digit runs"},
    {"x100", "x99", Order::kAfter, "lengths of digit runs"},
    {"Ie5", "Ie401sp2", Order::kBefore, "lengths of digit runs"},
    {"Ie6", "Ie401sp2", Order::kBefore, "lengths of digit runs"},
    {"Ie401sp2", "Ie501sp2", Order::kBefore, "lengths of digit runs"},
    {"5.txt", "11.txt", Order::kBefore, "lengths of digit runs"},
    {"9999999999", "10000000000", Order::kBefore, "numbers beyond 32 bits"},
    // Full-width digits are digits too.
    {"２", "１０", Order::kBefore, "full-width digits",
     "Wine 8's StrCmpLogicalW compares full-width digits as characters"},
    // The rest in the locale's order.
    {"11.txt", "Ie4_01", Order::kBefore, "digits before letters"},
    {"apple", "Banana", Order::kBefore, "letters, not case"},
    {"a", "a1", Order::kBefore, "a prefix first"},
    {"写真10", "写真10", Order::kSame, "equal"},
    {"", "", Order::kSame, "equal"},
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << "\"" << c.first << "\" / \"" << c.second << "\" (" << c.rule << ")";
}

class NumericCollation : public ::testing::TestWithParam<Case> {};

TEST_P(NumericCollation, FollowsExplorersOrder) {
  const Case& c = GetParam();
  if (c.wineDiffers && testsupport::runningUnderWine()) {
    GTEST_SKIP() << "\"" << c.first << "\" / \"" << c.second << "\": " << c.wineDiffers
                 << "; Windows orders them as the table says";
  }
  platform::NumericCollation collation;
  const int forward = collation.compare(c.first, c.second);
  const int backward = collation.compare(c.second, c.first);
  switch (c.expected) {
    case Order::kBefore:
      EXPECT_EQ(forward, -1);
      break;
    case Order::kSame:
      EXPECT_EQ(forward, 0);
      break;
    case Order::kAfter:
      EXPECT_EQ(forward, 1);
      break;
  }
  EXPECT_EQ(backward, -forward) << "the reverse question gets the reverse answer";
}

// The sort keys give the table's order too, on Windows' side as well: a
// sort by name then finds its neighbours in order and has nothing to repair.
TEST_P(NumericCollation, SortKeysGiveTheSameOrder) {
  const Case& c = GetParam();
  platform::NumericCollation collation;
  std::string first;
  std::string second;
  collation.appendSortKey(c.first, first);
  collation.appendSortKey(c.second, second);
  // std::string compares its bytes as unsigned.
  switch (c.expected) {
    case Order::kBefore:
      EXPECT_LT(first, second);
      break;
    case Order::kSame:
      EXPECT_EQ(first, second);
      break;
    case Order::kAfter:
      EXPECT_GT(first, second);
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(Table, NumericCollation, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return "case" + std::to_string(info.index);
                         });

std::vector<std::string> namesIn(const std::vector<std::string_view>& texts,
                                 const std::vector<std::uint32_t>& order) {
  std::vector<std::string> names;
  for (const std::uint32_t i : order) names.emplace_back(texts.at(i));
  return names;
}

// The order Explorer shows for the names Windows' own documentation lists,
// given shuffled.
TEST(NumericCollationOrder, SortsAFolderAsExplorerDoes) {
  const std::vector<std::string_view> texts = {"Ie6",    "11.txt",   "Ie4_128",  "写真10.jpg",
                                               "Ie5",    "Ie501sp2", "5.txt",    "写真2.jpg",
                                               "Ie4_01", "Ie401sp2", "写真1.jpg"};
  const std::vector<std::string> expected = {"5.txt",     "11.txt",    "Ie4_01",    "Ie4_128",
                                             "Ie5",       "Ie6",       "Ie401sp2",  "Ie501sp2",
                                             "写真1.jpg", "写真2.jpg", "写真10.jpg"};
  platform::NumericCollation collation;
  EXPECT_EQ(namesIn(texts, collation.stableOrder(texts, false)), expected);
  EXPECT_EQ(namesIn(texts, collation.stableOrder(texts, true)),
            std::vector<std::string>(expected.rbegin(), expected.rend()));
}

TEST(NumericCollationOrder, NamesThatCompareEqualKeepTheirOrderInBothDirections) {
  // Each pair differs only in case.
  const std::vector<std::string_view> texts = {"b2", "A10", "B2", "a2", "a10", "A2"};
  platform::NumericCollation collation;
  EXPECT_EQ(namesIn(texts, collation.stableOrder(texts, false)),
            (std::vector<std::string>{"a2", "A2", "A10", "a10", "b2", "B2"}));
  EXPECT_EQ(namesIn(texts, collation.stableOrder(texts, true)),
            (std::vector<std::string>{"b2", "B2", "A10", "a10", "a2", "A2"}));
}

TEST(NumericCollationOrder, EmptyAndSingle) {
  platform::NumericCollation collation;
  EXPECT_TRUE(collation.stableOrder({}, false).empty());
  EXPECT_EQ(collation.stableOrder({"x"}, true), std::vector<std::uint32_t>{0});
}

}  // namespace
