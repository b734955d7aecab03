// The sort by name in Explorer's order takes the collation's sort keys as a
// first guess and the comparison as the judge. A collation that hands out
// keys of the test's own, deliberately wrong, shows the check, the repair
// and the sort by comparison alone; the comparison is the platform's own,
// on names whose order Windows and ICU agree on.

#include "folderlist/numeric_name_sort.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The platform's comparison, with a key per name from a table.
class TableKeys : public platform::NumericCollation {
 public:
  explicit TableKeys(std::map<std::string, std::string> keys) : keys_(std::move(keys)) {}
  void appendSortKeys(std::span<const std::string_view> texts, std::string& keys,
                      std::vector<std::size_t>& ends) const override {
    for (const std::string_view text : texts) {
      keys += keys_.at(std::string(text));
      ends.push_back(keys.size());
    }
  }
  std::vector<std::uint32_t> stableOrder(const std::vector<std::string_view>& texts,
                                         bool descending) override {
    ++comparisonSorts;
    return NumericCollation::stableOrder(texts, descending);
  }
  int comparisonSorts = 0;

 private:
  std::map<std::string, std::string> keys_;
};

struct Case {
  const char* what;
  // The names in their given order, each with the key the collation hands out.
  std::vector<std::pair<std::string, std::string>> given;
  bool descending;
  std::vector<std::string> expected;
  std::size_t pairsOutOfOrder;
  std::size_t comparisons;  // the check's n - 1 and the repair's
  bool comparisonSort;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.what; }

const Case kCases[] = {
    {"keys that agree: the check alone",
     {{"a10", "d"}, {"a2", "b"}, {"b1", "e"}, {"a1", "a"}, {"a3", "c"}},
     false,
     {"a1", "a2", "a3", "a10", "b1"},
     0,
     4,
     false},
    {"keys that agree, descending",
     {{"a10", "d"}, {"a2", "b"}, {"b1", "e"}, {"a1", "a"}, {"a3", "c"}},
     true,
     {"b1", "a10", "a3", "a2", "a1"},
     0,
     4,
     false},
    // Key order a20 a1 a2 a3 a10: a20 is carried to the end, one comparison
    // per row and one per pair it stands before.
    {"one key too small",
     {{"a1", "b"}, {"a2", "c"}, {"a3", "d"}, {"a10", "e"}, {"a20", "a"}},
     false,
     {"a1", "a2", "a3", "a10", "a20"},
     1,
     4 + 6,
     false},
    // Descending key order a3 a2 a1 a10: a10 goes left past the three, the
    // first of them known from the check.
    {"one key too small, descending",
     {{"a1", "b"}, {"a2", "c"}, {"a3", "d"}, {"a10", "a"}},
     true,
     {"a10", "a3", "a2", "a1"},
     1,
     3 + 2,
     false},
    // a2 and A2 compare equal; their keys put them against their given order.
    {"equal names keep their given order",
     {{"x10", "d"}, {"A2", "b"}, {"a2", "a"}, {"b1", "c"}},
     false,
     {"A2", "a2", "b1", "x10"},
     1,
     3 + 1,
     false},
    {"equal names keep their given order, descending",
     {{"x10", "d"}, {"A2", "b"}, {"a2", "a"}, {"b1", "c"}},
     true,
     {"x10", "b1", "A2", "a2"},
     0,
     3,
     false},
    // Every key backwards: the insertion pass would ask 119 times, more than
    // a sort by comparison (16 names, 16 x 5): that sort is done instead.
    {"keys backwards: the sort by comparison",
     {{"t1", "p"},
      {"t2", "o"},
      {"t3", "n"},
      {"t4", "m"},
      {"t5", "l"},
      {"t6", "k"},
      {"t7", "j"},
      {"t8", "i"},
      {"t9", "h"},
      {"t10", "g"},
      {"t11", "f"},
      {"t12", "e"},
      {"t13", "d"},
      {"t14", "c"},
      {"t15", "b"},
      {"t16", "a"}},
     false,
     {"t1", "t2", "t3", "t4", "t5", "t6", "t7", "t8", "t9", "t10", "t11", "t12", "t13", "t14",
      "t15", "t16"},
     15,
     15 + 81,
     true},
    // Two names swapped in a longer row: the repair, not the sort.
    {"keys backwards in one place of sixteen",
     {{"t1", "a"},
      {"t2", "b"},
      {"t3", "c"},
      {"t4", "d"},
      {"t5", "e"},
      {"t6", "f"},
      {"t7", "g"},
      {"t8", "i"},
      {"t9", "h"},
      {"t10", "j"},
      {"t11", "k"},
      {"t12", "l"},
      {"t13", "m"},
      {"t14", "n"},
      {"t15", "o"},
      {"t16", "p"}},
     false,
     {"t1", "t2", "t3", "t4", "t5", "t6", "t7", "t8", "t9", "t10", "t11", "t12", "t13", "t14",
      "t15", "t16"},
     1,
     15 + 2,
     false},
};

class NumericNameSort : public ::testing::TestWithParam<Case> {};

TEST_P(NumericNameSort, GivesTheComparisonsOrderWhateverTheKeys) {
  const Case& c = GetParam();
  std::map<std::string, std::string> keys;
  std::vector<std::string_view> names;
  for (const auto& [name, key] : c.given) {
    keys[name] = key;
    names.push_back(name);
  }
  TableKeys collation(keys);
  folderlist::NumericSortCounts counts;
  const std::vector<std::uint32_t> order =
      folderlist::numericNameOrder(names, c.descending, collation, &counts);
  std::vector<std::string> sorted;
  for (const std::uint32_t i : order) sorted.emplace_back(names.at(i));
  EXPECT_EQ(sorted, c.expected);
  EXPECT_EQ(counts.pairsOutOfOrder, c.pairsOutOfOrder);
  EXPECT_EQ(counts.comparisonSort, c.comparisonSort);
  EXPECT_EQ(collation.comparisonSorts, c.comparisonSort ? 1 : 0);
  EXPECT_EQ(counts.comparisons, c.comparisons);
}

INSTANTIATE_TEST_SUITE_P(Table, NumericNameSort, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return "case" + std::to_string(info.index);
                         });

TEST(NumericNameSortRows, RowsAndMarksMoveTogether) {
  TableKeys collation({{"x2", "c"}, {"x10", "a"}, {"x1", "b"}});
  folderlist::EntryRows rows = {{"x2", "", "2009/01/01 00:00:00"},
                                {"x10", "<Folder>", "2009/01/02 00:00:00"},
                                {"x1", "", "2009/01/03 00:00:00"}};
  const folderlist::ListMarks marks{{1}, 1, 0};
  folderlist::NumericSortCounts counts;
  const folderlist::ListMarks moved =
      folderlist::sortRowsByNumericName(rows, marks, false, collation, &counts);
  const folderlist::EntryRows expected = {{"x1", "", "2009/01/03 00:00:00"},
                                          {"x2", "", "2009/01/01 00:00:00"},
                                          {"x10", "<Folder>", "2009/01/02 00:00:00"}};
  EXPECT_EQ(rows, expected);
  EXPECT_EQ(moved.selected, std::vector<int>{2});
  EXPECT_EQ(moved.focused, 2);
  EXPECT_EQ(moved.selectionMark, 1);
  EXPECT_EQ(counts.pairsOutOfOrder, 1u);
}

// A long list is cut by key into stretches, one a thread: however many,
// every pair that straddles two stretches is still compared, once, and the
// repair reaches across them. The keys order a10 before a2, as text would;
// a1 and A1 share a key and compare equal.
TEST(NumericNameSortStretches, EveryCutGivesTheOneOrder) {
  const std::vector<std::string_view> names = {"b", "a10", "a2", "a1", "A1", "c"};
  TableKeys collation(
      {{"b", "b"}, {"a10", "a10"}, {"a2", "a2"}, {"a1", "a1"}, {"A1", "a1"}, {"c", "c"}});
  const std::vector<std::uint32_t> ascending = {3, 4, 2, 1, 0, 5};
  const std::vector<std::uint32_t> descending = {5, 0, 1, 2, 3, 4};
  for (const std::size_t threads : {1, 2, 3, 5, 9}) {
    for (const bool down : {false, true}) {
      folderlist::NumericSortCounts counts;
      EXPECT_EQ(folderlist::numericNameOrderOn(names, down, collation, threads, &counts),
                down ? descending : ascending)
          << threads << " threads, " << (down ? "descending" : "ascending");
      EXPECT_EQ(counts.pairsOutOfOrder, 1u) << threads;
      EXPECT_EQ(counts.comparisons, 5u + 2u) << threads;  // the check's and the repair's
    }
  }
}

// A long list is keyed in parts of its given order, one a thread, and
// sorted in stretches by key: names of equal keys from either part keep
// their given order in both directions. x<i> and X<i> share a key and
// compare equal (case is ignored); one of each pair stands in the list's
// first half, the other in its second.
TEST(NumericNameSortParts, EqualKeysAcrossPartsKeepTheirOrder) {
  constexpr int kPairs = 6000;
  std::map<std::string, std::string> keys;
  std::vector<std::string> given;
  const auto name = [](bool lower, int i) { return (lower ? "x" : "X") + std::to_string(i); };
  char key[8];
  for (int i = kPairs - 1; i >= 0; --i) given.push_back(name(i % 2 == 0, i));
  for (int i = 0; i < kPairs; ++i) given.push_back(name(i % 2 != 0, i));
  for (int i = 0; i < kPairs; ++i) {
    std::snprintf(key, sizeof key, "%05d", i);
    keys[name(true, i)] = key;
    keys[name(false, i)] = key;
  }
  std::vector<std::string> ascending, descending;
  for (int i = 0; i < kPairs; ++i) {
    for (const bool firstHalf : {true, false})
      ascending.push_back(name((i % 2 == 0) == firstHalf, i));
  }
  for (int i = kPairs - 1; i >= 0; --i) {
    for (const bool firstHalf : {true, false})
      descending.push_back(name((i % 2 == 0) == firstHalf, i));
  }
  const std::vector<std::string_view> names(given.begin(), given.end());
  TableKeys collation(keys);
  for (const std::size_t threads : {2, 3}) {
    for (const bool down : {false, true}) {
      folderlist::NumericSortCounts counts;
      std::vector<std::string> sorted;
      for (const std::uint32_t i :
           folderlist::numericNameOrderOn(names, down, collation, threads, &counts)) {
        sorted.push_back(given.at(i));
      }
      EXPECT_EQ(sorted, down ? descending : ascending)
          << threads << " threads, " << (down ? "descending" : "ascending");
      EXPECT_EQ(counts.pairsOutOfOrder, 0u);
      EXPECT_EQ(counts.comparisons, given.size() - 1);
      EXPECT_EQ(collation.comparisonSorts, 0);
    }
  }
}

}  // namespace
