// The folder tree, the entry list and the status bar on the real controls.

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "app/app_objects.h"
#include "gui/gui_fixture.h"
#include "platform/win32/utf.h"
#include "shell/control_ids.h"

namespace gui {
namespace {

using namespace platform::win32;
using namespace shell;

// Client coordinates as mouse messages carry them, negative ones included.
LPARAM mousePoint(int x, int y) {
  return static_cast<LPARAM>(static_cast<WORD>(x) |
                             (static_cast<DWORD>(static_cast<WORD>(y)) << 16));
}

std::vector<std::wstring> sorted(std::vector<std::wstring> names) {
  std::sort(names.begin(), names.end());
  return names;
}

class FolderListTest : public GuiTest {
 protected:
  std::wstring selectedText() { return treeItemText(TreeView_GetSelection(tree())); }
  bool expanded(HTREEITEM item) {
    return (TreeView_GetItemState(tree(), item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
  }
  void selectRows(const std::vector<int>& rows) {
    for (int row : rows) ListView_SetItemState(list(), row, LVIS_SELECTED, LVIS_SELECTED);
    pump();
  }
  void releaseF5(HWND control) {
    SendMessageW(control, WM_KEYUP, VK_F5, 0xC0000001);
    pump();
  }
};

TEST_F(FolderListTest, TheTopNodeIsSelectedAtStartAndItsFolderListed) {
  EXPECT_EQ(TreeView_GetSelection(tree()), TreeView_GetRoot(tree()));
  EXPECT_EQ(TreeView_GetNextSibling(tree(), TreeView_GetRoot(tree())), nullptr) << "one top node";
  EXPECT_TRUE(expanded(TreeView_GetRoot(tree())));
  EXPECT_EQ(sorted(listedNames()),
            sorted({L"a.txt", L"b.txt", wide("日本語.txt"), L"sub", L"empty"}));
  EXPECT_EQ(windows_->folder().rowCount(), 5);
  for (int row = 0; row < rowCount(); ++row) {
    const bool folder = cellText(row, 0) == L"sub" || cellText(row, 0) == L"empty";
    EXPECT_EQ(cellText(row, 1), folder ? L"<Folder>" : L"") << platform::narrow(cellText(row, 0));
    EXPECT_EQ(cellText(row, 2).size(), 19u) << "yyyy/mm/dd hh:nn:ss";
  }
}

TEST_F(FolderListTest, TheSelectedNodesPathIsItsFileSystemPath) {
  const std::string path = windows_->folder().path();
  EXPECT_EQ(_wcsicmp(platform::widen(path).c_str(), folder().wstring().c_str()), 0) << path;
  selectTreeItem(L"sub");
  EXPECT_EQ(_wcsicmp(platform::widen(windows_->folder().path()).c_str(),
                     (folder() / "sub").wstring().c_str()),
            0);
}

TEST_F(FolderListTest, TheTreeShowsFoldersOnlyReadWhenFirstExpanded) {
  HTREEITEM root = TreeView_GetRoot(tree());
  std::vector<std::wstring> children;
  for (HTREEITEM c = TreeView_GetChild(tree(), root); c; c = TreeView_GetNextSibling(tree(), c)) {
    children.push_back(treeItemText(c));
  }
  EXPECT_EQ(sorted(children), sorted({L"empty", L"sub"}));

  HTREEITEM sub = treeItem(L"sub");
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(TreeView_GetChild(tree(), sub), nullptr) << "not read before it is expanded";
  TreeView_Expand(tree(), sub, TVE_EXPAND);
  pump();
  HTREEITEM deeper = TreeView_GetChild(tree(), sub);
  ASSERT_NE(deeper, nullptr);
  EXPECT_EQ(treeItemText(deeper), L"deeper");
  EXPECT_EQ(TreeView_GetNextSibling(tree(), deeper), nullptr) << "inner.txt is a file";
}

TEST_F(FolderListTest, SelectingAnotherFolderListsItAndAnEmptyOneListsNothing) {
  selectTreeItem(L"sub");
  EXPECT_EQ(sorted(listedNames()), sorted({L"inner.txt", L"deeper"}));
  EXPECT_EQ(windows_->folder().rowCount(), 2);
  selectTreeItem(L"empty");
  EXPECT_EQ(rowCount(), 0);
  EXPECT_EQ(windows_->folder().rowCount(), 0);
}

TEST_F(FolderListTest, StatusBarCountsTheSelectionAgainstTheEntryCountAndNamesTheFirst) {
  ASSERT_EQ(rowCount(), 5);
  selectRows({3, 1});
  EXPECT_EQ(panelText(0), wide("2/5 個のオブジェクトを選択"));
  EXPECT_EQ(panelText(1), cellText(1, 0));

  selectRows({0});
  EXPECT_EQ(panelText(0), wide("3/5 個のオブジェクトを選択"));
  EXPECT_EQ(panelText(1), cellText(0, 0));

  ListView_SetItemState(list(), -1, 0, LVIS_SELECTED);
  pump();
  EXPECT_EQ(panelText(0), L"");
  EXPECT_EQ(panelText(1), L"");
}

TEST_F(FolderListTest, ListingAnotherFolderEmptiesThePanels) {
  selectRows({0});
  ASSERT_NE(panelText(0), L"");
  selectTreeItem(L"empty");
  EXPECT_EQ(panelText(0), L"");
  EXPECT_EQ(panelText(1), L"");
}

TEST_F(FolderListTest, F5RebuildsTheTreeAndListsTheSelectedFolderAnew) {
  HTREEITEM sub = treeItem(L"sub");
  TreeView_Expand(tree(), sub, TVE_EXPAND);
  selectTreeItem(L"sub");
  std::ofstream(folder() / "sub" / "new.txt") << "x";
  std::filesystem::create_directory(folder() / "sub" / "added");
  pump();
  EXPECT_EQ(rowCount(), 2) << "nothing watches the folder";

  releaseF5(tree());
  EXPECT_EQ(selectedText(), L"sub");
  EXPECT_EQ(sorted(listedNames()), sorted({L"inner.txt", L"deeper", L"new.txt", L"added"}));
  HTREEITEM root = TreeView_GetRoot(tree());
  EXPECT_EQ(TreeView_GetNextSibling(tree(), root), nullptr) << "the old top node is gone";
  HTREEITEM newSub = treeItem(L"sub");
  ASSERT_NE(newSub, nullptr);
  EXPECT_TRUE(expanded(newSub)) << "expanded nodes are expanded again";
  EXPECT_NE(treeItem(L"added"), nullptr) << "the expanded node's children are read anew";
}

TEST_F(FolderListTest, F5ReleasedInTheListRefreshesToo) {
  std::ofstream(folder() / "c.txt") << "x";
  releaseF5(list());
  EXPECT_EQ(rowCount(), 6);
  EXPECT_EQ(TreeView_GetSelection(tree()), TreeView_GetRoot(tree()));
}

// With Alt held the key-up arrives as WM_SYSKEYUP (context bit 29 set); the
// refresh looks at no modifier.
TEST_F(FolderListTest, AltF5RefreshesInTheTreeAndInTheList) {
  for (HWND control : {tree(), list()}) {
    const int before = rowCount();
    std::ofstream(folder() / (control == tree() ? "c.txt" : "d.txt")) << "x";
    SendMessageW(control, WM_SYSKEYUP, VK_F5, 0xE03F0001);
    pump();
    EXPECT_EQ(rowCount(), before + 1) << (control == tree() ? "tree" : "list");
  }
}

TEST_F(FolderListTest, F5AfterTheSelectedFolderHasGoneLeavesNothingSelectedAndNothingListed) {
  HTREEITEM sub = treeItem(L"sub");
  TreeView_Expand(tree(), sub, TVE_EXPAND);
  pump();
  selectTreeItem(L"deeper");
  std::filesystem::remove(folder() / "sub" / "deeper");
  releaseF5(tree());
  EXPECT_EQ(TreeView_GetSelection(tree()), nullptr);
  EXPECT_EQ(rowCount(), 0);
  EXPECT_EQ(windows_->folder().path(), "");
}

TEST_F(FolderListTest, OtherKeysDoNotRefresh) {
  std::ofstream(folder() / "c.txt") << "x";
  SendMessageW(tree(), WM_KEYUP, VK_F4, 0xC0000001);
  pump();
  EXPECT_EQ(rowCount(), 5);
}

TEST_F(FolderListTest, ARightClickChangesNothing) {
  HTREEITEM sub = treeItem(L"sub");
  RECT r{};
  ASSERT_TRUE(TreeView_GetItemRect(tree(), sub, &r, TRUE));
  const LPARAM at = mousePoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  // The tree tracks the mouse until the button comes up: queue that first.
  PostMessageW(tree(), WM_RBUTTONUP, 0, at);
  SendMessageW(tree(), WM_RBUTTONDOWN, MK_RBUTTON, at);
  pump();
  EXPECT_EQ(TreeView_GetSelection(tree()), TreeView_GetRoot(tree()));
  EXPECT_EQ(rowCount(), 5);
}

TEST_F(FolderListTest, DraggingTheSplitterResizesTheTreeAndBelowTheMinimumClosesIt) {
  HWND splitter = item(mainWindow(), kSplitter);
  const auto drag = [&](int fromX, int toX) {
    SendMessageW(splitter, WM_LBUTTONDOWN, MK_LBUTTON, mousePoint(fromX, 10));
    SendMessageW(splitter, WM_MOUSEMOVE, MK_LBUTTON, mousePoint(toX, 10));
    // Nothing changes before the button is released.
    EXPECT_EQ(windows_->mainWindow().treeWidth(), scaled(mainWindow(), 201));
    SendMessageW(splitter, WM_LBUTTONUP, 0, mousePoint(toX, 10));
    pump();
  };
  const auto width = [](HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    return static_cast<int>(r.right - r.left);
  };

  drag(1, 1 + 50);
  EXPECT_EQ(width(tree()), scaled(mainWindow(), 201) + 50);
  RECT listRect{};
  GetWindowRect(list(), &listRect);
  MapWindowPoints(nullptr, mainWindow(), reinterpret_cast<POINT*>(&listRect), 2);
  EXPECT_EQ(listRect.left, width(tree()) + scaled(mainWindow(), 4));

  // Back to 201, then to 20 from the tree's left edge: below 30, so shut.
  SendMessageW(splitter, WM_LBUTTONDOWN, MK_LBUTTON, mousePoint(1, 10));
  SendMessageW(splitter, WM_LBUTTONUP, 0, mousePoint(1 - 50, 10));
  pump();
  ASSERT_EQ(width(tree()), scaled(mainWindow(), 201));
  drag(1, 1 + 20 - scaled(mainWindow(), 201));
  EXPECT_EQ(width(tree()), 0);
}

TEST_F(FolderListTest, TheListAnswersAHundredThousandRowsFromTheEntryModel) {
  folderlist::EntryRows& rows = windows_->folder().rows();
  rows.clear();
  for (int i = 0; i < 100000; ++i) {
    rows.push_back({"file" + std::to_string(i) + ".txt", "", "2026/12/08 09:05:06"});
  }
  windows_->mainWindow().list().setRowCount(100000);
  pump();
  EXPECT_EQ(rowCount(), 100000);
  EXPECT_EQ(cellText(99999, 0), L"file99999.txt");
  EXPECT_EQ(cellText(99999, 2), L"2026/12/08 09:05:06");
  ListView_EnsureVisible(list(), 99999, FALSE);
  UpdateWindow(list());
  const int top = ListView_GetTopIndex(list());
  EXPECT_GT(top, 0);
  EXPECT_GE(top + ListView_GetCountPerPage(list()), 99999);
}

}  // namespace
}  // namespace gui
