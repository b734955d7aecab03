// The folder picker where the system cannot make the folder dialog: the
// older browse dialog comes up over the owner with the title and its button
// to make a new folder, and gives the chosen folder's path or nothing on
// Cancel. The dialog is driven from another thread, as a user would.

#include "platform/win32/folder_picker.h"

#include <shlobj.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>

#include "gui/gui_fixture.h"
#include "platform/win32/utf.h"

namespace gui {
namespace {

using namespace platform::win32;

constexpr std::string_view kTitle = "コピー先のフォルダを選んでください";

// What the user does in the browse dialog.
enum class Press {
  kCancel,                 // Cancel
  kOkOnFirstSelection,     // OK on what the dialog selects when it opens
  kOkOnFolderOnTheDesktop  // OK on a folder of the Desktop chosen in the tree
};

// The folder the OS says the Desktop is, with a folder made in it for the
// case, or nothing for Cancel.
struct Expected {
  bool path;
  bool inMadeFolder;
};

struct PickCase {
  const char* name;
  Press press;
  Expected expected;
};

const PickCase kCases[] = {
    {"Cancel", Press::kCancel, {false, false}},
    {"OkOnFirstSelection", Press::kOkOnFirstSelection, {true, false}},
    {"OkOnFolderOnTheDesktop", Press::kOkOnFolderOnTheDesktop, {true, true}},
};

void PrintTo(const PickCase& c, std::ostream* out) { *out << c.name; }

std::wstring className(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

HWND findDialog(DWORD thread) {
  HWND found = nullptr;
  EnumThreadWindows(
      thread,
      [](HWND hwnd, LPARAM out) {
        if (className(hwnd) == L"#32770" && IsWindowVisible(hwnd)) {
          *reinterpret_cast<HWND*>(out) = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

HTREEITEM childNamed(HWND tree, HTREEITEM parent, const std::wstring& text) {
  for (HTREEITEM item = TreeView_GetChild(tree, parent); item;
       item = TreeView_GetNextSibling(tree, item)) {
    if (treeItemText(tree, item) == text) return item;
  }
  return nullptr;
}

// Whether a visible child window of the dialog passes the test.
template <class Test>
bool hasChild(HWND dialog, Test test) {
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (IsWindowVisible(child) && test(child)) return true;
  }
  return false;
}

// What the driving thread saw of the dialog.
struct Seen {
  bool found = false;
  bool hasTree = false;
  HWND owner = nullptr;
  bool showsTitle = false;
  bool hasNewFolderButton = false;
  bool rootSelectedFirst = false;
  bool madeFolderListed = false;
  bool okEnabled = false;
};

// Waits for the dialog on the picker's thread and does what the case says;
// a dialog that is not the browse dialog is cancelled.
Seen drive(DWORD pickerThread, Press press, const std::wstring& madeFolderName) {
  Seen seen;
  HWND dialog = nullptr;
  for (int i = 0; i < 1000 && !dialog; ++i) {
    dialog = findDialog(pickerThread);
    if (!dialog) Sleep(10);
  }
  if (!dialog) return seen;
  seen.found = true;
  seen.owner = GetWindow(dialog, GW_OWNER);
  HWND tree = FindWindowExW(dialog, nullptr, WC_TREEVIEWW, nullptr);
  seen.hasTree = tree != nullptr;
  const std::wstring title = wide(kTitle);
  seen.showsTitle = hasChild(dialog, [&](HWND child) { return windowText(child) == title; });
  seen.hasNewFolderButton = hasChild(dialog, [](HWND child) {
    const int id = GetDlgCtrlID(child);
    return className(child) == L"Button" && id != IDOK && id != IDCANCEL && IsWindowEnabled(child);
  });
  HWND ok = GetDlgItem(dialog, IDOK);
  if (!tree || !ok || press == Press::kCancel) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
    return seen;
  }
  const HTREEITEM root = TreeView_GetRoot(tree);
  seen.rootSelectedFirst = root && TreeView_GetSelection(tree) == root;
  if (press == Press::kOkOnFolderOnTheDesktop) {
    const HTREEITEM made = childNamed(tree, root, madeFolderName);
    seen.madeFolderListed = made != nullptr;
    if (made) TreeView_SelectItem(tree, made);
  }
  seen.okEnabled = IsWindowEnabled(ok) != FALSE;
  // A disabled OK cannot be pressed: Cancel then, which the path check sees.
  const int button = seen.okEnabled ? IDOK : IDCANCEL;
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
  return seen;
}

std::wstring desktopFolder() {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(
          SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path))) {
    return {};
  }
  return path;
}

// A top-level window for the dialog to be owned by, destroyed at the end.
struct OwnerWindow {
  HWND hwnd = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  OwnerWindow() = default;
  OwnerWindow(const OwnerWindow&) = delete;
  OwnerWindow& operator=(const OwnerWindow&) = delete;
  ~OwnerWindow() {
    if (hwnd) DestroyWindow(hwnd);
  }
};

// A folder made on the Desktop for the case, removed at the end. The test
// prefix's Desktop is a folder of its own (scripts/wine-prefix.sh).
struct DesktopFolder {
  std::filesystem::path path;
  explicit DesktopFolder(std::filesystem::path where) : path(std::move(where)) {
    std::filesystem::create_directory(path);
  }
  DesktopFolder(const DesktopFolder&) = delete;
  DesktopFolder& operator=(const DesktopFolder&) = delete;
  ~DesktopFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

class BrowseDialogFallbackTest : public GuiFixture,
                                 public ::testing::WithParamInterface<PickCase> {};

TEST_P(BrowseDialogFallbackTest, GivesWhatTheUserChose) {
  const PickCase& c = GetParam();
  const std::wstring desktop = desktopFolder();
  ASSERT_FALSE(desktop.empty()) << "the OS names no Desktop folder";
  // Made for every case: it must not change what Cancel or the first
  // selection give.
  const std::wstring madeName = folder().filename().wstring() + wide("-コピー先");
  const DesktopFolder made(std::filesystem::path(desktop) / madeName);
  ASSERT_TRUE(std::filesystem::is_directory(made.path));

  const OwnerWindow owner;
  ASSERT_NE(owner.hwnd, nullptr);
  int madeDialogs = 0;
  SystemFolderPicker picker([&] { return owner.hwnd; },
                            [&](IFileOpenDialog** dialog) {
                              ++madeDialogs;
                              *dialog = nullptr;
                              return REGDB_E_CLASSNOTREG;  // no such class on this system
                            });

  Seen seen;
  const DWORD pickerThread = GetCurrentThreadId();
  std::thread driver([&] { seen = drive(pickerThread, c.press, madeName); });
  const std::optional<std::string> picked = picker.pickFolder(kTitle).path;
  driver.join();

  EXPECT_EQ(madeDialogs, 1) << "the folder dialog is asked for once";
  ASSERT_TRUE(seen.found) << "no dialog came up";
  ASSERT_TRUE(seen.hasTree) << "the dialog is not the browse dialog with its folder tree";
  EXPECT_EQ(seen.owner, owner.hwnd);
  EXPECT_TRUE(seen.showsTitle) << "the title is not shown above the tree";
  EXPECT_TRUE(seen.hasNewFolderButton) << "no button to make a new folder";
  if (c.press != Press::kCancel) {
    EXPECT_TRUE(seen.rootSelectedFirst) << "the Desktop, the tree's root, is not selected first";
    EXPECT_TRUE(seen.okEnabled) << "OK is disabled";
  }
  if (c.press == Press::kOkOnFolderOnTheDesktop) {
    EXPECT_TRUE(seen.madeFolderListed) << "the Desktop's folder is not in the tree";
  }

  std::optional<std::string> expected;
  if (c.expected.path) {
    expected = platform::narrow(c.expected.inMadeFolder ? made.path.wstring() : desktop);
  }
  EXPECT_EQ(picked, expected);
}

INSTANTIATE_TEST_SUITE_P(Presses, BrowseDialogFallbackTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<PickCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace gui
