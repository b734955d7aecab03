// Column sorting: the click state machine, the comparison of two rows, and
// the sort of the main window's rows with their marks, on the in-memory
// window system.

#include "folderlist/column_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <list>
#include <string>
#include <vector>

#include "app/list_view_marks.h"
#include "fakes/fake_app.h"
#include "fakes/temp_folder.h"

namespace {

using folderlist::ColumnSort;
using folderlist::EntryRows;
using folderlist::ListEntry;

struct State {
  std::int32_t sortColumn, lastSortColumn;
  bool descending;
  friend bool operator==(const State&, const State&) = default;
};

std::ostream& operator<<(std::ostream& os, const State& s) {
  return os << "{sort " << s.sortColumn << ", last " << s.lastSortColumn << ", descending "
            << s.descending << "}";
}

State stateOf(const ColumnSort& s) { return {s.sortColumn, s.lastSortColumn, s.descending}; }

struct ClickCase {
  const char* what;
  State before;
  std::int32_t column;
  State after;
};

// From the rules: set the column, toggle the flag, and on another column
// than the last one start ascending and remember the column.
const ClickCase kClicks[] = {
    {"first click after start on the time column", {0, 100, 0}, 2, {2, 2, 0}},
    {"first click after start on the name column", {0, 100, 0}, 0, {0, 0, 0}},
    {"second click on the same column", {2, 2, 0}, 2, {2, 2, 1}},
    {"third click on the same column", {2, 2, 1}, 2, {2, 2, 0}},
    {"another column after an ascending sort", {0, 0, 0}, 1, {1, 1, 0}},
    {"another column after a descending sort", {0, 0, 1}, 1, {1, 1, 0}},
    {"back to the first column", {1, 1, 1}, 0, {0, 0, 0}},
};

TEST(ColumnClick, ChangesTheStateInTheDesignedOrder) {
  for (const ClickCase& c : kClicks) {
    ColumnSort s{c.before.sortColumn, c.before.lastSortColumn, c.before.descending};
    s.click(c.column);
    EXPECT_EQ(stateOf(s), c.after) << c.what;
  }
}

TEST(ColumnText, IsTheNameOrTheSubItemOfTheColumn) {
  const ListEntry e{"name.txt", "<Folder>", "2009/03/05 12:30:00"};
  EXPECT_EQ(*folderlist::columnText(e, 0), "name.txt");
  EXPECT_EQ(*folderlist::columnText(e, 1), "<Folder>");
  EXPECT_EQ(*folderlist::columnText(e, 2), "2009/03/05 12:30:00");
  EXPECT_FALSE(folderlist::columnText(e, 3).has_value());
  EXPECT_FALSE(folderlist::columnText(e, -1).has_value());
}

// The main window with rows put in directly, as a listing leaves them.
class SortingForm : public ::testing::Test {
 protected:
  void show(EntryRows rows) {
    app.folder().rows() = std::move(rows);
    app.list.setRowCount(static_cast<int>(app.folder().rows().size()));
  }
  void click(int column) {
    EXPECT_TRUE(app.event([&] { app.order->columnClicked(column); }));
  }
  std::vector<std::string> column(int index) const {
    std::vector<std::string> texts;
    for (const ListEntry& e : app.folder().rows())
      texts.emplace_back(*folderlist::columnText(e, index));
    return texts;
  }
  // The arrow the list shows: the column sorted last and its direction.
  struct Arrow {
    int column;
    bool descending;
    friend bool operator==(const Arrow&, const Arrow&) = default;
  };
  Arrow arrow() const { return {app.list.sortArrowColumn, app.list.sortArrowDescending}; }

  fakes::FakeApp app;
};

const EntryRows kFolder = {
    {"b.txt", "", "2009/03/05 12:30:02"}, {"sub", "<Folder>", "2009/03/05 12:30:00"},
    {"A.txt", "", "2009/03/05 12:30:01"}, {"10.txt", "", "2008/12/31 23:59:59"},
    {"9.txt", "", "2010/01/01 00:00:00"}, {"docs", "<Folder>", "2009/03/05 12:30:03"},
};

TEST_F(SortingForm, TimeColumnSortsOldestFirstThenNewestFirstThenOldestFirst) {
  show(kFolder);
  click(2);
  EXPECT_EQ(column(0),
            (std::vector<std::string>{"10.txt", "sub", "A.txt", "b.txt", "docs", "9.txt"}));
  click(2);
  EXPECT_EQ(column(0),
            (std::vector<std::string>{"9.txt", "docs", "b.txt", "A.txt", "sub", "10.txt"}));
  click(2);
  EXPECT_EQ(column(0),
            (std::vector<std::string>{"10.txt", "sub", "A.txt", "b.txt", "docs", "9.txt"}));
}

TEST_F(SortingForm, NameThenKindPutsFilesFirstInNameOrderThenFolders) {
  show(kFolder);
  click(0);
  EXPECT_EQ(column(0),
            (std::vector<std::string>{"10.txt", "9.txt", "A.txt", "b.txt", "docs", "sub"}));
  click(1);
  EXPECT_EQ(arrow(), (Arrow{1, false}));
  EXPECT_EQ(column(0),
            (std::vector<std::string>{"10.txt", "9.txt", "A.txt", "b.txt", "docs", "sub"}));
  click(1);
  EXPECT_EQ(column(0),
            (std::vector<std::string>{"docs", "sub", "10.txt", "9.txt", "A.txt", "b.txt"}))
      << "folders first, each group still in its previous order";
}

TEST_F(SortingForm, EqualRowsKeepTheirPreviousOrderInBothDirections) {
  const EntryRows rows = {
      {"c", "", "t"}, {"a", "", "t"}, {"B", "", "t"},
      {"b", "", "t"}, {"A", "", "t"}, {"C", "", "t"},
  };
  show(rows);
  click(0);
  EXPECT_EQ(column(0), (std::vector<std::string>{"a", "A", "B", "b", "c", "C"}));
  click(0);
  EXPECT_EQ(column(0), (std::vector<std::string>{"c", "C", "B", "b", "a", "A"}));
  show(rows);
  click(2);  // every time text is equal: nothing moves, either way
  EXPECT_EQ(app.folder().rows(), rows);
  click(2);
  EXPECT_EQ(app.folder().rows(), rows);
}

TEST_F(SortingForm, MarksStayWithTheirRowsAndTheCountIsUnchanged) {
  show(kFolder);
  app.list.setSelected(0, true);  // b.txt
  app.list.setSelected(4, true);  // 9.txt
  app.list.setFocused(4);
  app.list.selectionMark = 0;
  const std::int32_t count = app.folder().rowCount();
  click(0);
  // 10.txt, 9.txt, A.txt, b.txt, docs, sub
  EXPECT_EQ(app::readMarks(app.list), (folderlist::ListMarks{{1, 3}, 1, 3}));
  EXPECT_EQ(app.folder().rows().size(), kFolder.size());
  EXPECT_EQ(app.folder().rowCount(), count);
  EXPECT_EQ(app.list.rowCount(), static_cast<int>(kFolder.size()));
  // Every row is one of the listed ones, with its own texts.
  for (const ListEntry& e : kFolder) {
    EXPECT_EQ(std::count(app.folder().rows().begin(), app.folder().rows().end(), e), 1) << e.name;
  }
  ASSERT_FALSE(app.list.redrawn.empty());
  EXPECT_EQ(app.list.redrawn.back().first, 0);
  EXPECT_EQ(app.list.redrawn.back().last, 5);
  // The status line names the topmost selected row, which is another one now.
  EXPECT_EQ(app.statusBar.panelText(1), "9.txt");
}

TEST_F(SortingForm, TheArrowShowsOnTheSortedColumnOnlyAfterAClick) {
  show(kFolder);
  EXPECT_EQ(app.list.sortArrowColumn, -1);
  click(0);
  EXPECT_EQ(app.list.sortArrowColumn, 0);
  EXPECT_FALSE(app.list.sortArrowDescending);
  click(0);
  EXPECT_EQ(app.list.sortArrowColumn, 0);
  EXPECT_TRUE(app.list.sortArrowDescending);
  click(2);
  EXPECT_EQ(app.list.sortArrowColumn, 2);
  EXPECT_FALSE(app.list.sortArrowDescending);
}

// "数字を数値として並べる(&N)": the name column by value, the others as before.
TEST_F(SortingForm, WithNumericNamesTheNameColumnSortsDigitsByValue) {
  show(kFolder);
  EXPECT_FALSE(app.order->numericNames()) << "off at first";
  app.commands->toggleNumericOrder();
  EXPECT_TRUE(app.itemChecked(app::Command::numericOrder));
  EXPECT_EQ(app.folder().rows(), kFolder) << "nothing stands sorted by name yet";
  click(0);
  EXPECT_EQ(column(0),
            (std::vector<std::string>{"9.txt", "10.txt", "A.txt", "b.txt", "docs", "sub"}));
  click(0);
  EXPECT_EQ(column(0),
            (std::vector<std::string>{"sub", "docs", "b.txt", "A.txt", "10.txt", "9.txt"}));
  EXPECT_EQ(arrow(), (Arrow{0, true})) << "the clicks run as ever";
  click(1);
  EXPECT_EQ(column(0),
            (std::vector<std::string>{"b.txt", "A.txt", "10.txt", "9.txt", "sub", "docs"}))
      << "the kind column is unchanged: files first, each group in its previous order";
}

TEST_F(SortingForm, SwitchingWhileSortedByNameSortsAgainInTheSameDirection) {
  show(kFolder);
  click(0);
  click(0);
  ASSERT_EQ(column(0),
            (std::vector<std::string>{"sub", "docs", "b.txt", "A.txt", "9.txt", "10.txt"}));
  app.list.setSelected(5, true);  // 10.txt
  app.list.setFocused(5);
  EXPECT_TRUE(app.event([&] { app.commands->toggleNumericOrder(); }));
  EXPECT_EQ(column(0),
            (std::vector<std::string>{"sub", "docs", "b.txt", "A.txt", "10.txt", "9.txt"}));
  EXPECT_EQ(arrow(), (Arrow{0, true})) << "a switch is no click";
  EXPECT_EQ(app.list.sortArrowColumn, 0);
  EXPECT_TRUE(app.list.sortArrowDescending);
  EXPECT_EQ(app::readMarks(app.list), (folderlist::ListMarks{{4}, 4, -1}))
      << "the marks go with 10.txt";
  EXPECT_EQ(app.statusBar.panelText(1), "10.txt");
  EXPECT_TRUE(app.event([&] { app.commands->toggleNumericOrder(); }));
  EXPECT_FALSE(app.itemChecked(app::Command::numericOrder));
  EXPECT_EQ(column(0),
            (std::vector<std::string>{"sub", "docs", "b.txt", "A.txt", "9.txt", "10.txt"}));
}

TEST_F(SortingForm, SwitchingWhileSortedByAnotherColumnWaitsForTheNextClick) {
  show(kFolder);
  click(0);
  click(2);
  const EntryRows byTime = app.folder().rows();
  EXPECT_TRUE(app.event([&] { app.commands->toggleNumericOrder(); }));
  EXPECT_EQ(app.folder().rows(), byTime);
  EXPECT_EQ(app.list.sortArrowColumn, 2);
  click(0);
  EXPECT_EQ(column(0),
            (std::vector<std::string>{"9.txt", "10.txt", "A.txt", "b.txt", "docs", "sub"}));
}

TEST_F(SortingForm, SwitchingFinishesARunningMoveFirst) {
  show({{"2", "", "t"}, {"10", "", "t"}, {"1", "", "t"}, {"x", "", "t"}});
  click(0);  // 1, 10, 2, x
  app.list.setSelected(3, true);
  app.list.setFocused(3);
  app.mover->press();
  bool accept = false;
  accept = app.mover->dragOver(5, 8);  // row 0 of the fake's 17-pixel rows
  ASSERT_TRUE(accept);
  app.mover->drop();
  ASSERT_TRUE(app.mover->moving());
  EXPECT_TRUE(app.event([&] { app.commands->toggleNumericOrder(); }));
  EXPECT_FALSE(app.mover->moving());
  EXPECT_EQ(column(0), (std::vector<std::string>{"1", "2", "10", "x"}));
}

TEST_F(SortingForm, AClickOnAnEmptyListChangesTheStateAndSortsNothing) {
  click(2);
  EXPECT_EQ(arrow(), (Arrow{2, false}));
  click(2);
  EXPECT_EQ(arrow(), (Arrow{2, true}));
  click(0);
  EXPECT_EQ(arrow(), (Arrow{0, false}));
  EXPECT_TRUE(app.folder().rows().empty());
  EXPECT_EQ(app.list.rowCount(), 0);
  EXPECT_EQ(app.folder().rowCount(), 0);
}

// The state survives listing another folder, whose rows stand in the
// enumeration's order.
class SortingAcrossListings : public SortingForm {
 protected:
  void list(std::initializer_list<const char*> names) {
    testsupport::TempFolder& folder = folders_.emplace_back();
    for (const char* name : names) folder.createFile(name);
    app.tree.path = folder.path();
    EXPECT_TRUE(app.event([&] { app.listing->listSelectedFolder(); }));
  }
  std::list<testsupport::TempFolder> folders_;
};

TEST_F(SortingAcrossListings, AfterADescendingSortTheNextClickSortsTheNewFolderAscending) {
  list({"b", "a", "c"});
  click(0);
  click(0);
  ASSERT_EQ(column(0), (std::vector<std::string>{"c", "b", "a"}));
  list({"y", "x", "z"});
  EXPECT_EQ(app.list.sortArrowColumn, -1) << "the new rows are not in the sorted order";
  click(0);
  EXPECT_EQ(column(0), (std::vector<std::string>{"x", "y", "z"}));
  EXPECT_EQ(arrow(), (Arrow{0, false}));
}

TEST_F(SortingAcrossListings, SwitchingAfterANewListingLeavesItsRowsAsListed) {
  list({"b2", "b10", "b1"});
  click(0);
  list({"y", "x", "z"});
  const std::vector<std::string> listed = column(0);
  EXPECT_TRUE(app.event([&] { app.commands->toggleNumericOrder(); }));
  EXPECT_EQ(column(0), listed) << "the arrow went with the listing";
  EXPECT_EQ(app.list.sortArrowColumn, -1);
}

TEST_F(SortingAcrossListings, AfterAnAscendingSortTheNextClickSortsTheNewFolderDescending) {
  list({"b", "a", "c"});
  click(0);
  ASSERT_EQ(column(0), (std::vector<std::string>{"a", "b", "c"}));
  list({"y", "x", "z"});
  click(0);
  EXPECT_EQ(column(0), (std::vector<std::string>{"z", "y", "x"}));
  EXPECT_EQ(arrow(), (Arrow{0, true}));
  EXPECT_EQ(app.folder().rowCount(), 3);
}

struct CompareCase {
  ListEntry first;
  ListEntry second;
  int column;
  bool descending;
  int expected;
  bool numericNames = false;
};

// The comparison of two rows: the column's text by the locale order with
// case ignored, negated when descending.
const CompareCase kCompares[] = {
    {{"a.txt", "", "t"}, {"B.txt", "", "t"}, 0, false, -1},
    {{"a.txt", "", "t"}, {"B.txt", "", "t"}, 0, true, 1},
    {{"A.TXT", "", "t"}, {"a.txt", "", "t"}, 0, false, 0},
    {{"A.TXT", "", "t"}, {"a.txt", "", "t"}, 0, true, 0},
    {{"10", "", "t"}, {"9", "", "t"}, 0, false, -1},
    {{"file", "", "t"}, {"dir", "<Folder>", "t"}, 1, false, -1},
    {{"file", "", "t"}, {"dir", "<Folder>", "t"}, 1, true, 1},
    {{"z", "", "2009/03/05 12:30:00"}, {"a", "", "2009/03/05 12:30:01"}, 2, false, -1},
    {{"z", "", "2009/03/05 12:30:00"}, {"a", "", "2009/03/05 12:30:01"}, 2, true, 1},
    // With "数字を数値として並べる(&N)" the name column compares digits by value.
    {{"10", "", "t"}, {"9", "", "t"}, 0, false, 1, true},
    {{"10", "", "t"}, {"9", "", "t"}, 0, true, -1, true},
    {{"写真2", "", "t"}, {"写真10", "", "t"}, 0, false, -1, true},
    {{"A10.TXT", "", "t"}, {"a10.txt", "", "t"}, 0, false, 0, true},
    {{"file", "", "t"}, {"dir", "<Folder>", "t"}, 1, false, -1, true},
    {{"z", "", "2009/03/05 12:30:00"}, {"a", "", "2009/03/05 12:30:01"}, 2, true, 1, true},
};

TEST_F(SortingForm, TwoRowsStandInTheOrderOfTheSortColumnAndDirection) {
  for (const CompareCase& c : kCompares) {
    // Reach the wanted state by clicks on the two rows.
    fakes::FakeApp fresh;
    fresh.order->setNumericNames(c.numericNames);
    fresh.folder().rows() = {c.first, c.second};
    fresh.list.setRowCount(2);
    fresh.order->columnClicked(c.column);
    if (c.descending) fresh.order->columnClicked(c.column);
    // Rows that compare equal keep their order.
    const EntryRows expected =
        c.expected > 0 ? EntryRows{c.second, c.first} : EntryRows{c.first, c.second};
    EXPECT_EQ(fresh.folder().rows(), expected)
        << c.first.name << " / " << c.second.name << " column " << c.column
        << (c.descending ? " descending" : " ascending");
  }
}

}  // namespace
