// Column sorting on the real list: clicks on its header, the rows it then
// shows, their marks and the header's sort arrow.

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "gui/gui_fixture.h"
#include "platform/win32/utf.h"
#include "shell/control_ids.h"

namespace gui {
namespace {

LPARAM mousePoint(int x, int y) {
  return static_cast<LPARAM>(static_cast<WORD>(x) |
                             (static_cast<DWORD>(static_cast<WORD>(y)) << 16));
}

enum class Arrow { kNone, kUp, kDown };

class ColumnSortTest : public GuiTest {
 protected:
  HWND header() { return ListView_GetHeader(list()); }

  // A left click on a column's header, as the mouse gives it.
  void clickHeader(int column) {
    RECT r{};
    ASSERT_TRUE(Header_GetItemRect(header(), column, &r));
    const LPARAM at = mousePoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(header(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(header(), WM_LBUTTONUP, 0, at);
    pump();
  }

  std::vector<Arrow> arrows() {
    std::vector<Arrow> result;
    for (int i = 0; i < Header_GetItemCount(header()); ++i) {
      HDITEMW item{};
      item.mask = HDI_FORMAT;
      Header_GetItem(header(), i, &item);
      result.push_back((item.fmt & HDF_SORTUP)     ? Arrow::kUp
                       : (item.fmt & HDF_SORTDOWN) ? Arrow::kDown
                                                   : Arrow::kNone);
    }
    return result;
  }

  int rowNamed(const std::wstring& name) {
    for (int row = 0; row < rowCount(); ++row) {
      if (cellText(row, 0) == name) return row;
    }
    return -1;
  }

  std::vector<std::wstring> selectedNames() {
    std::vector<std::wstring> names;
    for (int row = ListView_GetNextItem(list(), -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(list(), row, LVNI_SELECTED)) {
      names.push_back(cellText(row, 0));
    }
    return names;
  }
};

const std::vector<std::wstring> kByName = {L"a.txt", L"b.txt", L"empty", L"sub",
                                           wide("日本語.txt")};
const std::vector<std::wstring> kByNameDescending = {wide("日本語.txt"), L"sub", L"empty", L"b.txt",
                                                     L"a.txt"};

TEST_F(ColumnSortTest, NoArrowBeforeTheFirstClick) {
  EXPECT_EQ(arrows(), (std::vector<Arrow>{Arrow::kNone, Arrow::kNone, Arrow::kNone}));
}

TEST_F(ColumnSortTest, AHeaderClickSortsTheSecondReversesAndTheArrowFollows) {
  clickHeader(0);
  EXPECT_EQ(listedNames(), kByName);
  EXPECT_EQ(arrows(), (std::vector<Arrow>{Arrow::kUp, Arrow::kNone, Arrow::kNone}));
  clickHeader(0);
  EXPECT_EQ(listedNames(), kByNameDescending);
  EXPECT_EQ(arrows(), (std::vector<Arrow>{Arrow::kDown, Arrow::kNone, Arrow::kNone}));

  // Another column: ascending, files first (in their previous order), and
  // the arrow moves there.
  clickHeader(1);
  EXPECT_EQ(listedNames(),
            (std::vector<std::wstring>{wide("日本語.txt"), L"b.txt", L"a.txt", L"sub", L"empty"}));
  EXPECT_EQ(arrows(), (std::vector<Arrow>{Arrow::kNone, Arrow::kUp, Arrow::kNone}));
  EXPECT_EQ(windows_->folder().rowCount(), 5);
  EXPECT_EQ(rowCount(), 5);
}

TEST_F(ColumnSortTest, TheSelectionAndTheFocusStayWithTheirRows) {
  ListView_SetItemState(list(), rowNamed(L"b.txt"), LVIS_SELECTED | LVIS_FOCUSED,
                        LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemState(list(), rowNamed(L"sub"), LVIS_SELECTED, LVIS_SELECTED);
  pump();
  clickHeader(0);
  ASSERT_EQ(listedNames(), kByName);
  EXPECT_EQ(selectedNames(), (std::vector<std::wstring>{L"b.txt", L"sub"}));
  EXPECT_EQ(ListView_GetNextItem(list(), -1, LVNI_FOCUSED), rowNamed(L"b.txt"));
  EXPECT_EQ(panelText(0), wide("2/5 個のオブジェクトを選択"));
  EXPECT_EQ(panelText(1), L"b.txt");

  clickHeader(0);
  ASSERT_EQ(listedNames(), kByNameDescending);
  EXPECT_EQ(selectedNames(), (std::vector<std::wstring>{L"sub", L"b.txt"}));
  EXPECT_EQ(ListView_GetNextItem(list(), -1, LVNI_FOCUSED), rowNamed(L"b.txt"));
  EXPECT_EQ(panelText(1), L"sub") << "the topmost selected row";
}

TEST_F(ColumnSortTest, AllRowsSelectedStayAllSelected) {
  ListView_SetItemState(list(), -1, LVIS_SELECTED, LVIS_SELECTED);
  pump();
  clickHeader(2);
  EXPECT_EQ(static_cast<int>(ListView_GetSelectedCount(list())), 5);
  EXPECT_EQ(panelText(0), wide("5/5 個のオブジェクトを選択"));
}

TEST_F(ColumnSortTest, ANewListingTakesTheArrowAwayAndTheNextClickReverses) {
  clickHeader(0);
  ASSERT_EQ(listedNames(), kByName);
  selectTreeItem(L"sub");
  EXPECT_EQ(arrows(), (std::vector<Arrow>{Arrow::kNone, Arrow::kNone, Arrow::kNone}));
  clickHeader(0);
  EXPECT_EQ(listedNames(), (std::vector<std::wstring>{L"inner.txt", L"deeper"}));
  EXPECT_EQ(arrows(), (std::vector<Arrow>{Arrow::kDown, Arrow::kNone, Arrow::kNone}));
}

// "数字を数値として並べる(&N)" under "表示(&V)", on the real menu and list.
class NumericNamesTest : public ColumnSortTest {
 protected:
  void SetUp() override {
    ColumnSortTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    for (const char* name : {"12.mp3", "写真10.jpg", "2.mp3", "写真2.jpg", "10.mp3", "1.mp3"}) {
      std::ofstream(folder() / "empty" / std::filesystem::path(wide(name)));
    }
    selectTreeItem(L"empty");
    ASSERT_EQ(rowCount(), 6);
  }
  bool checked() {
    const UINT state = GetMenuState(GetMenu(mainWindow()),
                                    app::commandId(app::Command::numericOrder), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
  }
};

const std::vector<std::wstring> kWordOrder = {L"1.mp3", L"10.mp3",          L"12.mp3",
                                              L"2.mp3", wide("写真10.jpg"), wide("写真2.jpg")};
const std::vector<std::wstring> kNumberOrder = {L"1.mp3",  L"2.mp3",          L"10.mp3",
                                                L"12.mp3", wide("写真2.jpg"), wide("写真10.jpg")};

TEST_F(NumericNamesTest, TheViewMenuStandsBetweenFileAndHelpWithTheItemOff) {
  HMENU bar = GetMenu(mainWindow());
  ASSERT_EQ(GetMenuItemCount(bar), 3);
  wchar_t text[64] = {};
  GetMenuStringW(bar, 1, text, 64, MF_BYPOSITION);
  EXPECT_EQ(std::wstring(text), wide("表示(&V)"));
  GetMenuStringW(bar, 2, text, 64, MF_BYPOSITION);
  EXPECT_EQ(std::wstring(text), wide("ヘルプ(&H)"));
  HMENU view = GetSubMenu(bar, 1);
  ASSERT_EQ(GetMenuItemCount(view), 2) << "and \"撮影日時を表示(&D)\" below it";
  GetMenuStringW(view, 0, text, 64, MF_BYPOSITION);
  EXPECT_EQ(std::wstring(text), wide("数字を数値として並べる(&N)"));
  EXPECT_FALSE(checked());
}

TEST_F(NumericNamesTest, AHeaderClickWithTheItemOnSortsDigitsByValue) {
  clickHeader(0);
  EXPECT_EQ(listedNames(), kWordOrder) << "off: the locale's word order";
  menuCommand(app::Command::numericOrder);
  EXPECT_TRUE(checked());
  EXPECT_TRUE(windows_->objects().order.numericNames());
  EXPECT_EQ(listedNames(), kNumberOrder) << "sorted by name: sorted again at once";
  EXPECT_EQ(arrows(), (std::vector<Arrow>{Arrow::kUp, Arrow::kNone, Arrow::kNone}));
  clickHeader(0);
  EXPECT_EQ(listedNames(), std::vector<std::wstring>(kNumberOrder.rbegin(), kNumberOrder.rend()));
  EXPECT_EQ(arrows(), (std::vector<Arrow>{Arrow::kDown, Arrow::kNone, Arrow::kNone}));
  menuCommand(app::Command::numericOrder);
  EXPECT_FALSE(checked());
  EXPECT_EQ(listedNames(), std::vector<std::wstring>(kWordOrder.rbegin(), kWordOrder.rend()))
      << "in the same direction";
}

TEST_F(NumericNamesTest, SwitchedWhileSortedByTimeItWaitsForTheNextClick) {
  clickHeader(2);
  const std::vector<std::wstring> byTime = listedNames();
  menuCommand(app::Command::numericOrder);
  EXPECT_EQ(listedNames(), byTime);
  clickHeader(0);
  EXPECT_EQ(listedNames(), kNumberOrder);
}

// "撮影日時を表示(&D)" on a folder of photos taken out of their names' order
// (their DateTimeOriginal written by exiftool), then TIME変更 over them.
class CaptureOrderTest : public ColumnSortTest {
 protected:
  // The photos' folder, listed as a folder handed in from outside.
  void listPhotos() {
    photos_ = folder() / "photos";
    std::filesystem::create_directories(photos_);
    for (const char* name : {"p1.jpg", "p2.jpg", "p3.jpg", "p4.jpg"}) {
      std::filesystem::copy_file(
          std::filesystem::path(CHRONOSEQ_CAPTURE_FILES) / "stamp-order" / name, photos_ / name);
    }
    windows_->mainWindow().openPath(photos_.wstring());
    pump();
  }
  bool captureItemChecked() {
    const UINT state = GetMenuState(GetMenu(mainWindow()),
                                    app::commandId(app::Command::captureTimes), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
  }
  std::wstring headerText(int column) {
    wchar_t text[64] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    Header_GetItem(header(), column, &item);
    return text;
  }
  // Waits, delivering the timer's ticks, until every row's time is in.
  bool timesRead() {
    return pumpUntil([&] { return !windows_->objects().captures.reading(); }, 20000);
  }
  // Stamps the rows from 2009/03/05 12:30:00 by the minute and closes the
  // message.
  void stamp() {
    menuCommand(app::Command::changeTimes);
    const wchar_t* fields[] = {L"2009", L"3", L"5", L"12", L"30", L"0"};
    for (int i = 0; i < 6; ++i) {
      SetWindowTextW(item(timeDialog(), shell::kFirstTimeField + i), fields[i]);
    }
    click(item(timeDialog(), shell::kTimeOk));
    ASSERT_EQ(windowText(item(messageWindow(), shell::kMessageLabel)), wide("変更しました"));
    click(item(messageWindow(), shell::kMessageOk));
  }
  // The names in the order of their last-write times, as the system reads them.
  std::vector<std::wstring> namesByModifiedTime() {
    std::vector<std::pair<std::filesystem::file_time_type, std::wstring>> times;
    for (const auto& entry : std::filesystem::directory_iterator(photos_)) {
      times.emplace_back(std::filesystem::last_write_time(entry.path()),
                         entry.path().filename().wstring());
    }
    std::sort(times.begin(), times.end());
    std::vector<std::wstring> names;
    for (const auto& [time, name] : times) names.push_back(name);
    return names;
  }

  std::filesystem::path photos_;
};

TEST_F(CaptureOrderTest, SortedByCaptureTimeTheStampingFollowsItAndTheColumnComesBackNextRun) {
  listPhotos();
  ASSERT_EQ(rowCount(), 4);
  EXPECT_FALSE(captureItemChecked()) << "off at first";
  EXPECT_EQ(Header_GetItemCount(header()), 3);
  menuCommand(app::Command::captureTimes);
  EXPECT_TRUE(captureItemChecked());
  ASSERT_EQ(Header_GetItemCount(header()), 4);
  EXPECT_EQ(headerText(3), wide("撮影日時"));
  ASSERT_TRUE(timesRead());
  EXPECT_EQ(windowText(mainWindow()), L"Chronoseq") << "no progress once all are in";

  // The column in view, where a click can reach its header.
  ListView_SetColumnWidth(list(), 0, 200);
  clickHeader(3);
  // p2 05/01, p4 05/02, p1 05/03; p3 has no time and stands last.
  const std::vector<std::wstring> byCapture = {L"p2.jpg", L"p4.jpg", L"p1.jpg", L"p3.jpg"};
  ASSERT_EQ(listedNames(), byCapture);
  EXPECT_EQ(arrows(), (std::vector<Arrow>{Arrow::kNone, Arrow::kNone, Arrow::kNone, Arrow::kUp}));
  EXPECT_EQ(cellText(0, 3), L"2021/05/01 09:30:00");
  EXPECT_EQ(cellText(3, 3), L"");
  stamp();
  EXPECT_EQ(namesByModifiedTime(), byCapture);
  const auto minute = std::chrono::seconds(60);
  for (int row = 1; row < 4; ++row) {
    EXPECT_EQ(std::filesystem::last_write_time(photos_ / byCapture[row]) -
                  std::filesystem::last_write_time(photos_ / byCapture[row - 1]),
              minute)
        << "one minute apart, row " << row;
  }

  // The next run: the item checked and the column as wide as it was left.
  ListView_SetColumnWidth(list(), 3, 143);
  SendMessageW(mainWindow(), WM_CLOSE, 0, 0);
  pump();
  ASSERT_EQ(mainWindowDestroyed_, 1);
  windows_.reset();
  mainWindowDestroyed_ = 0;
  start();
  ASSERT_TRUE(
      pumpUntil([&] { return !windows_->mainWindow().controls().settingsLoadTimer.isEnabled(); }));
  EXPECT_TRUE(captureItemChecked());
  ASSERT_EQ(Header_GetItemCount(header()), 4);
  EXPECT_EQ(headerText(3), wide("撮影日時"));
  EXPECT_EQ(ListView_GetColumnWidth(list(), 3), 143);
}

}  // namespace
}  // namespace gui
