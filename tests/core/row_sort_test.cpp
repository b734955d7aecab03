// The sort of the rows by collation keys against the design's way of
// sorting: a stable sort that asks the row comparison for every pair.

#include "folderlist/row_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "fakes/fake_app.h"

namespace {

using folderlist::EntryRows;
using folderlist::ListEntry;

// Rows with names mixed from scripts, widths, kana, case and digits, both
// kinds, and few distinct times, so every column has many equal texts.
EntryRows variedRows(std::size_t count, unsigned seed) {
  const std::vector<std::string> parts = {"a", "A",  "b",  "Z", "0",  "1",  "9",  "10", "é",
                                          "E", "あ", "ア", "ｱ", "Ａ", "ａ", "-",  " ",  ".",
                                          "_", "日", "本", "😀", "ß",  "ー", "ガ", "ｶﾞ"};
  const std::vector<std::string> times = {"2009/03/05 12:30:00", "2009/03/05 12:30:01",
                                          "2008/12/31 23:59:59", "2010/01/01 00:00:00"};
  std::mt19937 random(seed);
  EntryRows rows;
  for (std::size_t i = 0; i < count; ++i) {
    std::string name;
    const int length = 1 + static_cast<int>(random() % 4);
    for (int k = 0; k < length; ++k) name += parts[random() % parts.size()];
    rows.push_back({name, random() % 3 == 0 ? "<Folder>" : "", times[random() % times.size()]});
  }
  return rows;
}

// sortRows gives what a stable sort by the collation's pairwise comparison
// of the column's texts gives.
void expectSortedAsByTheComparison(const EntryRows& rows, int column, bool descending) {
  platform::TextCollation comparison;
  EntryRows expected = rows;
  std::stable_sort(expected.begin(), expected.end(), [&](const ListEntry& a, const ListEntry& b) {
    const int order =
        comparison.compare(*folderlist::columnText(a, column), *folderlist::columnText(b, column));
    return (descending ? -order : order) < 0;
  });
  EntryRows sorted = rows;
  folderlist::ListMarks marks;
  platform::TextCollation collation;
  marks = folderlist::sortRows(sorted, marks, column, descending, collation);
  EXPECT_EQ(sorted, expected) << "column " << column << (descending ? " descending" : "");
}

TEST(RowSort, PutsTheRowsInTheOrderOfAStableSortByTheRowComparison) {
  for (int column = 0; column < 3; ++column) {
    for (bool descending : {false, true}) {
      const EntryRows rows = variedRows(600, 7 + static_cast<unsigned>(column));
      expectSortedAsByTheComparison(rows, column, descending);
    }
  }
}

// Time texts with every digit place varied, with and without texts of
// another shape among them (an empty time text, other separators), against
// the row comparison.
TEST(RowSort, TimeTextsSortInTheComparisonsOrder) {
  std::mt19937 random(42);
  const auto digits = [&](int n) {
    std::string text;
    for (int i = 0; i < n; ++i) text += static_cast<char>('0' + random() % 10);
    return text;
  };
  const auto timeText = [&](const char* date, const char* time) {
    return digits(4) + date + digits(2) + date + digits(2) + " " + digits(2) + time + digits(2) +
           time + digits(2);
  };
  for (const char* odd : std::initializer_list<const char*>{"", nullptr, "2009-03-05 12:30:00",
                                                            "2009/03/05 12:30", "２００９"}) {
    EntryRows rows;
    for (int i = 0; i < 400; ++i) rows.push_back({"n", "", timeText("/", ":")});
    for (int i = 0; i < 50; ++i) rows.push_back(rows[random() % rows.size()]);  // equal times
    if (odd) rows.insert(rows.begin() + 7, {"odd", "", odd});
    for (bool descending : {false, true}) {
      SCOPED_TRACE(std::string("with ") + (odd ? odd : "(none)"));
      expectSortedAsByTheComparison(rows, 2, descending);
    }
  }
}

TEST(RowSort, LongSharedBeginningsAndPrefixesSortByWhatFollows) {
  EntryRows rows;
  for (const char* name : {"photo_2009_03_05_b", "photo_2009_03_05_a", "photo_2009_03_05",
                           "PHOTO_2009_03_05_A", "photo_2009_03_05_aa"}) {
    rows.push_back({name, "", "t"});
  }
  folderlist::ListMarks marks;
  platform::TextCollation collation;
  marks = folderlist::sortRows(rows, marks, 0, false, collation);
  std::vector<std::string> names;
  for (const ListEntry& e : rows) names.push_back(e.name);
  EXPECT_EQ(names, (std::vector<std::string>{"photo_2009_03_05", "photo_2009_03_05_a",
                                             "PHOTO_2009_03_05_A", "photo_2009_03_05_aa",
                                             "photo_2009_03_05_b"}));
}

TEST(RowSort, CarriesEveryMarkWithItsRow) {
  EntryRows rows = variedRows(300, 11);
  // Make the rows tellable apart: the time text numbers them.
  for (std::size_t i = 0; i < rows.size(); ++i) rows[i].timeText = std::to_string(i);
  folderlist::ListMarks marks{{0, 5, 17, 120, 299}, 17, 120};
  std::vector<std::string> selected;
  for (int row : marks.selected)
    selected.push_back(rows[static_cast<std::size_t>(row)].timeText.str());

  platform::TextCollation collation;
  marks = folderlist::sortRows(rows, marks, 0, false, collation);

  ASSERT_EQ(marks.selected.size(), 5u);
  EXPECT_TRUE(std::is_sorted(marks.selected.begin(), marks.selected.end()));
  std::vector<std::string> after;
  for (int row : marks.selected)
    after.push_back(rows[static_cast<std::size_t>(row)].timeText.str());
  std::sort(selected.begin(), selected.end());
  std::sort(after.begin(), after.end());
  EXPECT_EQ(after, selected);
  EXPECT_EQ(rows[static_cast<std::size_t>(marks.focused)].timeText, "17");
  EXPECT_EQ(rows[static_cast<std::size_t>(marks.selectionMark)].timeText, "120");
}

TEST(RowSort, KeepsNoMarksWhereThereWereNone) {
  EntryRows rows = variedRows(50, 3);
  folderlist::ListMarks marks;
  platform::TextCollation collation;
  marks = folderlist::sortRows(rows, marks, 2, true, collation);
  EXPECT_EQ(marks, folderlist::ListMarks{});
  EXPECT_EQ(rows.size(), 50u);
}

TEST(RowSort, AColumnTheListDoesNotHaveSortsNothing) {
  const EntryRows rows = variedRows(20, 5);
  EntryRows same = rows;
  folderlist::ListMarks marks{{1}, 1, 1};
  platform::TextCollation collation;
  marks = folderlist::sortRows(same, marks, 3, false, collation);
  EXPECT_EQ(same, rows);
  EXPECT_EQ(marks, (folderlist::ListMarks{{1}, 1, 1}));
}

}  // namespace
