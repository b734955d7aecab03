// Column sorting on the real list: clicks on its header, the rows it then
// shows, their marks and the header's sort arrow.

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
  ASSERT_EQ(GetMenuItemCount(view), 1);
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

}  // namespace
}  // namespace gui
