#include "gui/gui_fixture.h"

#include <objbase.h>

#include <chrono>
#include <fstream>

#include "platform/win32/utf.h"
#include "shell/control_ids.h"

namespace gui {

namespace {

bool hasDisplay() {
  wchar_t value[256];
  return GetEnvironmentVariableW(L"DISPLAY", value, 256) > 0;
}

std::filesystem::path uniqueFolder() {
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  GUID id{};
  CoCreateGuid(&id);
  wchar_t name[64];
  StringFromGUID2(id, name, 64);
  return std::filesystem::path(temp) / (std::wstring(L"chronoseq-gui-") + name);
}

void writeFile(const std::filesystem::path& path) { std::ofstream(path) << "x"; }

}  // namespace

void PrintTo(const WindowFlags& f, std::ostream* out) {
  *out << "{main " << (f.mainVisible ? "shown" : "hidden") << "/"
       << (f.mainEnabled ? "enabled" : "disabled") << ", dialog "
       << (f.dialogVisible ? "shown" : "hidden") << "/"
       << (f.dialogEnabled ? "enabled" : "disabled") << ", message "
       << (f.messageVisible ? "shown" : "hidden") << "/"
       << (f.messageEnabled ? "enabled" : "disabled") << "}";
}

std::wstring wide(std::string_view utf8) { return platform::widen(utf8); }

std::wstring windowText(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring treeItemText(HWND tree, HTREEITEM item) {
  wchar_t buffer[MAX_PATH] = {};
  TVITEMW data{};
  data.mask = TVIF_TEXT | TVIF_HANDLE;
  data.hItem = item;
  data.pszText = buffer;
  data.cchTextMax = MAX_PATH;
  SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
  return buffer;
}

int scaled(HWND hwnd, int designPixels) {
  const UINT dpi = GetDpiForWindow(hwnd);
  return MulDiv(designPixels, dpi ? static_cast<int>(dpi) : 96, 96);
}

void GuiFixture::SetUp() { prepare(); }

void GuiFixture::prepare() {
  if (!hasDisplay()) {
    CHRONOSEQ_SKIP_FOR_WANT_OF("no X display (DISPLAY is not set): the windows cannot be created");
  }
  com_ = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  folder_ = uniqueFolder();
  std::filesystem::create_directories(folder_ / "sub" / "deeper");
  std::filesystem::create_directories(folder_ / "empty");
  writeFile(folder_ / "a.txt");
  writeFile(folder_ / "b.txt");
  writeFile(folder_ / wide("日本語.txt"));
  writeFile(folder_ / "sub" / "inner.txt");
  workFolder_ = uniqueFolder();
  std::filesystem::create_directories(workFolder_);
  previousFolder_ = std::filesystem::current_path();
  std::filesystem::current_path(workFolder_);
}

void GuiFixture::start(bool deliver) {
  shell::ProgramOptions options;
  options.title = title_;
  options.treeRoot = desktopTree_ ? std::wstring() : folder_.wstring();
  options.messageFilter = messageFilter_;
  options.clock = [] { return kNow; };
  options.onMainWindowDestroyed = [this] { ++mainWindowDestroyed_; };
  options.fileOps = fileOps_;
  options.textFiles = textFiles_;
  options.folderPicker = folderPicker_;
  options.afterFormCreate = afterFormCreate_;
  options.startPath = startPath_;
  windows_ = std::make_unique<shell::Program>(std::move(options));
  ASSERT_TRUE(windows_->create()) << "the windows could not be created on DISPLAY";
  // A failure shows in a message box that nobody would close; the tests
  // read what it would have said.
  windows_->application().errorBox = &errorBox_;
  windows_->showMainWindow(showCommand_);
  windows_->openStartPath();
  if (deliver) pump();
}

void GuiFixture::TearDown() {
  windows_.reset();
  if (!folder_.empty()) {
    pump();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  if (!workFolder_.empty()) {
    std::error_code ignored;
    std::filesystem::current_path(previousFolder_, ignored);
    std::filesystem::remove_all(workFolder_, ignored);
  }
  if (SUCCEEDED(com_)) CoUninitialize();
}

void GuiFixture::pump(int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message != WM_QUIT && !(windows_ && windows_->translateDialogMessage(message))) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
      // A timer whose handler takes longer than its interval (a drag's
      // scrolling on a loaded machine) is due again at once: the queue never
      // runs dry, and a wait of ms must still end.
      if (ms > 0 && std::chrono::steady_clock::now() >= end) return;
    }
    if (ms > 0) Sleep(5);
  } while (std::chrono::steady_clock::now() < end);
}

bool GuiFixture::pumpUntil(const std::function<bool()>& done, int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    pump();
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    Sleep(10);
  }
}

WindowFlags GuiFixture::flags() {
  const auto shown = [](HWND h) { return IsWindowVisible(h) != FALSE; };
  const auto enabled = [](HWND h) { return IsWindowEnabled(h) != FALSE; };
  return WindowFlags{shown(mainWindow()),   enabled(mainWindow()),  shown(timeDialog()),
                     enabled(timeDialog()), shown(messageWindow()), enabled(messageWindow())};
}

void GuiFixture::menuCommand(app::Command command) {
  SendMessageW(mainWindow(), WM_COMMAND, MAKEWPARAM(app::commandId(command), 0), 0);
  pump();
}

void GuiFixture::click(HWND button) {
  SendMessageW(button, BM_CLICK, 0, 0);
  pump();
}

void GuiFixture::key(UINT message, WPARAM virtualKey) {
  MSG msg{};
  msg.hwnd = GetFocus();
  msg.message = message;
  msg.wParam = virtualKey;
  msg.lParam = message == WM_KEYUP ? 0xC0000001 : 1;
  if (!windows_->translateDialogMessage(msg)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  pump();
}

int GuiFixture::rowCount() {
  return static_cast<int>(SendMessageW(list(), LVM_GETITEMCOUNT, 0, 0));
}

std::wstring GuiFixture::cellText(int row, int column) {
  wchar_t buffer[520] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = 520;
  SendMessageW(list(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return buffer;
}

std::vector<std::wstring> GuiFixture::listedNames() {
  std::vector<std::wstring> names;
  for (int row = 0; row < rowCount(); ++row) names.push_back(cellText(row, 0));
  return names;
}

std::wstring GuiFixture::panelText(int panel) {
  const auto length =
      LOWORD(SendMessageW(statusBar(), SB_GETTEXTLENGTHW, static_cast<WPARAM>(panel), 0));
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(statusBar(), SB_GETTEXTW, static_cast<WPARAM>(panel),
               reinterpret_cast<LPARAM>(text.data()));
  text.resize(length);
  return text;
}

std::wstring GuiFixture::treeItemText(HTREEITEM item) { return gui::treeItemText(tree(), item); }

HTREEITEM GuiFixture::treeItem(std::wstring_view text) {
  std::vector<HTREEITEM> pending{TreeView_GetRoot(tree())};
  while (!pending.empty()) {
    HTREEITEM item = pending.back();
    pending.pop_back();
    for (; item; item = TreeView_GetNextSibling(tree(), item)) {
      if (treeItemText(item) == text) return item;
      if (HTREEITEM child = TreeView_GetChild(tree(), item)) pending.push_back(child);
    }
  }
  return nullptr;
}

void GuiFixture::selectTreeItem(std::wstring_view text) {
  HTREEITEM item = treeItem(text);
  ASSERT_NE(item, nullptr) << "no tree node named " << platform::narrow(text);
  TreeView_SelectItem(tree(), item);
  pump();
}

}  // namespace gui
