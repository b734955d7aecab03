// A folder handed to the program from outside, on the real windows: the
// first argument as the command line carries it, and WM_DROPFILES with a
// DROPFILES block in global memory as Explorer builds it.

#include <shlobj.h>
// The headers below need the types <windows.h> declares.
#include <knownfolders.h>
#include <shobjidl.h>

#include <cstring>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "gui/gui_fixture.h"
#include "platform/win32/utf.h"
#include "shell/control_ids.h"
#include "shell/outside_path.h"

namespace gui {
namespace {

std::wstring text(const std::filesystem::path& path) { return path.wstring(); }

// The path Wine shows a Windows path at through its Z: drive (the Unix
// file system's root); empty outside Wine.
std::wstring zDrivePath(const std::filesystem::path& path) {
  using ToUnix = char*(CDECL*)(LPCWSTR);
  const auto toUnix = reinterpret_cast<ToUnix>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name"));
  if (!toUnix) return {};
  char* unixPath = toUnix(path.c_str());
  if (!unixPath) return {};
  std::wstring z = L"Z:" + platform::widen(unixPath);
  HeapFree(GetProcessHeap(), 0, unixPath);
  for (wchar_t& c : z) {
    if (c == L'/') c = L'\\';
  }
  return z;
}

std::filesystem::path desktopFolder() {
  PWSTR path = nullptr;
  if (FAILED(SHGetKnownFolderPath(FOLDERID_Desktop, 0, nullptr, &path))) return {};
  std::filesystem::path result(path);
  CoTaskMemFree(path);
  return result;
}

// A shortcut as Explorer makes one, through the shell's link object.
bool makeShortcut(const std::filesystem::path& link, const std::filesystem::path& target) {
  IShellLinkW* shellLink = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&shellLink)))) {
    return false;
  }
  IPersistFile* file = nullptr;
  const bool made =
      SUCCEEDED(shellLink->SetPath(target.c_str())) &&
      SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
      SUCCEEDED(file->Save(link.c_str(), TRUE));
  if (file) file->Release();
  shellLink->Release();
  return made;
}

class OpenFromOutside : public GuiFixture {
 protected:
  void SetUp() override {
    GuiFixture::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    prepare();
  }
  // Starts as Chronoseq.exe started with this command line.
  void startWith(const std::wstring& commandLine) {
    startPath_ = shell::firstArgument(commandLine.c_str());
    start();
  }
  std::wstring selectedNode() { return treeItemText(TreeView_GetSelection(tree())); }
  bool expanded(std::wstring_view node) {
    HTREEITEM item = treeItem(node);
    return item && (TreeView_GetItemState(tree(), item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
  }
  std::vector<std::wstring> selectedNames() {
    std::vector<std::wstring> names;
    for (int row = ListView_GetNextItem(list(), -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(list(), row, LVNI_SELECTED)) {
      names.push_back(cellText(row, 0));
    }
    return names;
  }
  // Explorer's drop: DROPFILES, then the wide paths, each ending in a null,
  // and a null after the last, in movable global memory the receiver frees.
  void drop(const std::vector<std::wstring>& paths) {
    std::wstring list;
    for (const std::wstring& path : paths) list += path + L'\0';
    list += L'\0';
    const SIZE_T bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    ASSERT_NE(memory, nullptr);
    auto* block = static_cast<DROPFILES*>(GlobalLock(memory));
    block->pFiles = sizeof(DROPFILES);
    block->pt = POINT{400, 200};
    block->fNC = FALSE;
    block->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(block) + sizeof(DROPFILES), list.data(),
                list.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    SendMessageW(mainWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    pump();
  }
  std::wstring message() { return windowText(item(messageWindow(), shell::kMessageLabel)); }
  void dismiss() {
    click(item(messageWindow(), shell::kMessageOk));
    pump();
  }
};

TEST_F(OpenFromOutside, WithoutAnArgumentTheStartIsAsEver) {
  startWith(L"Chronoseq.exe");
  EXPECT_EQ(TreeView_GetSelection(tree()), TreeView_GetRoot(tree()));
  EXPECT_EQ(rowCount(), 5);
  EXPECT_FALSE(IsWindowVisible(messageWindow()));
}

TEST_F(OpenFromOutside, AFolderArgumentOpensItExpandedDownToIt) {
  startWith(L"\"C:\\Program Files\\Chronoseq\\Chronoseq.exe\" \"" +
            text(folder() / "sub" / "deeper") + L"\"");
  EXPECT_EQ(selectedNode(), L"deeper");
  EXPECT_TRUE(expanded(L"sub"));
  EXPECT_EQ(rowCount(), 0);
  EXPECT_EQ(windows_->folder().path(), platform::narrow(text(folder() / "sub" / "deeper")));
  EXPECT_FALSE(IsWindowVisible(messageWindow()));
  EXPECT_TRUE(IsWindowEnabled(mainWindow()));
}

TEST_F(OpenFromOutside, AQuotedFolderWithATrailingBackslashOpens) {
  // The runtime hands "...\sub\" on as ...\sub" (the backslash escapes the quote).
  startWith(L"Chronoseq.exe \"" + text(folder() / "sub") + L"\\\"");
  EXPECT_EQ(selectedNode(), L"sub");
  EXPECT_EQ(listedNames().size(), 2u);
}

TEST_F(OpenFromOutside, ARelativePathIsTakenFromTheCurrentDirectory) {
  std::filesystem::current_path(folder());
  startWith(L"Chronoseq.exe sub");
  EXPECT_EQ(selectedNode(), L"sub");
  std::filesystem::current_path(workFolder_);
}

TEST_F(OpenFromOutside, ABadArgumentLeavesTheStartFolderAndSaysSo) {
  const std::wstring missing = text(folder() / wide("無いフォルダ"));
  startWith(L"Chronoseq.exe \"" + missing + L"\"");
  EXPECT_EQ(TreeView_GetSelection(tree()), TreeView_GetRoot(tree()));
  EXPECT_EQ(rowCount(), 5);
  EXPECT_TRUE(IsWindowVisible(messageWindow()));
  EXPECT_FALSE(IsWindowEnabled(mainWindow()));
  EXPECT_EQ(message(), wide("フォルダ ") + missing + wide(" を開けません"));
  dismiss();
  EXPECT_TRUE(IsWindowEnabled(mainWindow()));
}

TEST_F(OpenFromOutside, ADroppedFolderOpensTheFirstOfSeveralCounts) {
  startWith(L"Chronoseq.exe");
  drop({text(folder() / "sub"), text(folder() / "empty")});
  EXPECT_EQ(selectedNode(), L"sub");
  EXPECT_EQ(rowCount(), 2);
}

TEST_F(OpenFromOutside, ADroppedFileOpensItsFolderWithItsRowSelectedAndInView) {
  // Enough rows that the file's row lies below the list's visible part.
  for (int i = 0; i < 120; ++i) {
    std::ofstream(folder() / "sub" / ("f" + std::to_string(1000 + i) + ".txt"));
  }
  std::ofstream(folder() / "sub" / "zz-last.txt");
  startWith(L"Chronoseq.exe");
  drop({text(folder() / "sub" / "zz-last.txt")});
  EXPECT_EQ(selectedNode(), L"sub");
  EXPECT_EQ(selectedNames(), std::vector<std::wstring>{L"zz-last.txt"});
  const int row = ListView_GetNextItem(list(), -1, LVNI_FOCUSED);
  ASSERT_GE(row, 0);
  EXPECT_EQ(cellText(row, 0), L"zz-last.txt");
  const int top = ListView_GetTopIndex(list());
  EXPECT_GE(row, top);
  EXPECT_LT(row, top + ListView_GetCountPerPage(list())) << "in view";
  EXPECT_EQ(panelText(1), L"zz-last.txt");
}

TEST_F(OpenFromOutside, BadDropsLeaveTheFolderAndSaySo) {
  startWith(L"Chronoseq.exe");
  selectTreeItem(L"sub");
  const std::wstring longPath = text(folder()) + L"\\" + std::wstring(250, L'x') + L"\\y";
  const std::vector<std::wstring> bad = {
      text(folder() / "missing"),        longPath, L"\\\\nosuchserver\\share\\dir", L"Q:\\",
      text(folder() / wide("無い.txt")),
  };
  for (const std::wstring& path : bad) {
    drop({path});
    EXPECT_EQ(selectedNode(), L"sub") << platform::narrow(path);
    EXPECT_EQ(rowCount(), 2);
    EXPECT_TRUE(IsWindowVisible(messageWindow())) << platform::narrow(path);
    EXPECT_EQ(message().rfind(wide("フォルダ "), 0), 0u) << platform::narrow(message());
    dismiss();
  }
}

// A Desktop folder given through the Z: drive, a route the shell parses to
// the computer's drive rather than to the Desktop: the tree selects the
// folder's node and lists it, with no message.
TEST_F(OpenFromOutside, ADesktopFolderGivenThroughItsZDrivePathOpens) {
  const std::filesystem::path desktop = desktopFolder();
  ASSERT_FALSE(desktop.empty());
  const std::filesystem::path onDesktop =
      desktop / (wide("曲 フォルダ ") + folder().filename().wstring());
  std::filesystem::create_directories(onDesktop);
  std::ofstream(onDesktop / "1.mp3") << "x";
  struct Remove {
    std::filesystem::path path;
    ~Remove() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  } remove{onDesktop};
  const std::wstring z = zDrivePath(onDesktop);
  if (z.empty()) GTEST_SKIP() << "not under Wine: no Z: drive";
  desktopTree_ = true;
  startWith(L"Chronoseq.exe \"" + z + L"\"");
  EXPECT_FALSE(IsWindowVisible(messageWindow())) << platform::narrow(message());
  EXPECT_EQ(selectedNode(), onDesktop.filename().wstring());
  EXPECT_EQ(listedNames(), std::vector<std::wstring>{L"1.mp3"});
  windows_.reset();
}

// Shortcuts made by the shell's link object, given as the first argument:
// to a folder, to a file, and one whose target has gone.
TEST_F(OpenFromOutside, AShortcutArgumentOpensItsTarget) {
  std::filesystem::create_directories(folder() / "gone");
  const struct {
    const char* name;
    std::filesystem::path target;
    const wchar_t* node;  // the node selected after; empty: the start's
    std::vector<std::wstring> selected;
    bool message;
  } cases[] = {
      {"sub へ.lnk", folder() / "sub", L"sub", {}, false},
      {"inner.lnk", folder() / "sub" / "inner.txt", L"sub", {L"inner.txt"}, false},
      {"壊れた.lnk", folder() / "gone", nullptr, {}, true},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(makeShortcut(folder() / wide(c.name), c.target)) << c.name;
  }
  std::filesystem::remove(folder() / "gone");
  for (const auto& c : cases) {
    const std::wstring link = text(folder() / wide(c.name));
    windows_.reset();
    pump();
    startWith(L"Chronoseq.exe \"" + link + L"\"");
    EXPECT_EQ(IsWindowVisible(messageWindow()) != FALSE, c.message) << c.name;
    if (c.message) {
      EXPECT_EQ(message(), wide("フォルダ ") + link + wide(" を開けません"));
      EXPECT_EQ(TreeView_GetSelection(tree()), TreeView_GetRoot(tree()));
      dismiss();
    } else {
      EXPECT_EQ(selectedNode(), c.node) << c.name;
      EXPECT_EQ(selectedNames(), c.selected) << c.name;
    }
  }
}

// Run as administrator, Explorer's drops reach the window only through
// these three messages.
TEST_F(OpenFromOutside, TheMainWindowLetsExplorersDropsThrough) {
  std::vector<std::pair<UINT, DWORD>> allowed;
  HWND filtered = nullptr;
  messageFilter_ = [&](HWND hwnd, UINT message, DWORD action) {
    filtered = hwnd;
    allowed.emplace_back(message, action);
    return TRUE;
  };
  startWith(L"Chronoseq.exe");
  EXPECT_EQ(filtered, mainWindow());
  // WM_DROPFILES, WM_COPYDATA, WM_COPYGLOBALDATA; MSGFLT_ALLOW is 1.
  const std::vector<std::pair<UINT, DWORD>> expected = {{0x0233, 1}, {0x004A, 1}, {0x0049, 1}};
  EXPECT_EQ(allowed, expected);
}

TEST_F(OpenFromOutside, ADropIsRefusedWhileTheTimeDialogHoldsTheLock) {
  startWith(L"Chronoseq.exe");
  menuCommand(app::Command::changeTimes);
  ASSERT_TRUE(IsWindowVisible(timeDialog()));
  drop({text(folder() / "sub")});
  EXPECT_EQ(TreeView_GetSelection(tree()), TreeView_GetRoot(tree()));
  EXPECT_TRUE(IsWindowVisible(timeDialog()));
  EXPECT_FALSE(IsWindowVisible(messageWindow()));
}

}  // namespace
}  // namespace gui
