#include "shell/main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "app/command_table.h"
#include "platform/win32/design_fonts.h"
#include "platform/win32/dpi.h"
#include "platform/win32/utf.h"
#include "platform/win32/window_text.h"
#include "shell/control_ids.h"
#include "shell/main_menu.h"
#include "shell/outside_path.h"
#include "shell/window_classes.h"

namespace shell {

// The windows are built of the Win32 adapters and control wrappers.
using namespace platform::win32;

namespace {

constexpr std::string_view kCaption = "Chronoseq";
constexpr int kClientWidth = 792;
constexpr int kClientHeight = 553;
constexpr int kTreeWidth = 201;
constexpr int kTreeMinimum = 30;
constexpr int kSplitterWidth = 4;
constexpr int kStatusBarHeight = 19;
constexpr int kStatusPanel0Width = 170;
constexpr UINT_PTR kKeySubclass = 1;

}  // namespace

MainWindow::MainWindow(app::Application& app, std::wstring treeRoot,
                       std::function<void()> onDestroyed)
    : app_(app),
      onDestroyed_(std::move(onDestroyed)),
      tree_(std::move(treeRoot)),
      moveStepTimer_(kMoveStepTimer, 10),
      dragScrollTimer_(kDragScrollTimer, 100),
      settingsLoadTimer_(kSettingsLoadTimer, 10),
      captureTimer_(kCaptureTimer, 50) {}

MainWindow::~MainWindow() { destroy(); }

void MainWindow::destroy() {
  attach(nullptr);
  if (hwnd() && IsWindow(hwnd())) DestroyWindow(hwnd());
}

int MainWindow::scaled(int designPixels) const { return scaleToDpi(designPixels, dpi_); }

bool MainWindow::create() {
  registerTargetClass({kMainWindowClass, COLOR_BTNFACE, IDC_ARROW});
  HMENU menu = createMainMenu();
  HWND hwnd = createTargetWindow(
      *this, kMainWindowClass, WS_EX_APPWINDOW, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
      platform::widen(kCaption).c_str(), RECT{0, 0, 100, 100}, nullptr, menu);
  if (!hwnd) {
    if (menu) DestroyMenu(menu);
    return false;
  }
  window_.attach(hwnd);
  menu_.attach(hwnd);
  copyStop_.setMainWindow(hwnd);
  dpi_ = windowDpi(hwnd);
  font_ = createDesignFont(kFormFontHeight, dpi_);
  treeWidth_ = scaled(kTreeWidth);
  if (!createControls()) return false;

  // Key preview: the window sees a released key before the control does.
  SetWindowSubclass(tree_.hwnd(), childKeys, kKeySubclass, reinterpret_cast<DWORD_PTR>(this));
  SetWindowSubclass(list_.hwnd(), childKeys, kKeySubclass, reinterpret_cast<DWORD_PTR>(this));
  tree_.setSelectionChanged(
      [this] { run([](app::AppObjects& objects) { objects.listing.listSelectedFolder(); }); });
  rowDrag_.attach(list_, hwnd, app_);
  placeClientArea(hwnd, 0, 0, kClientWidth, kClientHeight, dpi_);
  layout();
  // Folders and files dropped from Explorer open here, also when this runs
  // as administrator.
  DragAcceptFiles(hwnd, TRUE);
  if (messageFilter_) {
    letDropsThrough(hwnd, messageFilter_);
  } else {
    letDropsThrough(hwnd);
  }
  return true;
}

bool MainWindow::createControls() {
  // Creation order is tab order: the tree first, then the list.
  if (!tree_.create(hwnd(), kFolderTree, font_.get(), dpi_)) return false;
  list_.create(hwnd(), kEntryList, font_.get(), dpi_);
  splitter_.create(hwnd(), kSplitter,
                   Splitter::Sizing{
                       [this] { return treeWidth_; },
                       [this] {
                         RECT client{};
                         GetClientRect(this->hwnd(), &client);
                         return std::max(0, static_cast<int>(client.right) - scaled(kTreeMinimum) -
                                                scaled(kSplitterWidth));
                       },
                       [this] { return scaled(kTreeMinimum); },
                       [this](int width) {
                         treeWidth_ = width;
                         layout();
                       },
                   });
  HWND status = createControl(STATUSCLASSNAMEW, "",
                              SBARS_SIZEGRIP | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, 0,
                              RECT{}, hwnd(), kStatusBar);
  statusBar_.attach(status);
  setControlFont(status, font_.get());
  for (WindowTimer* timer :
       {&moveStepTimer_, &dragScrollTimer_, &settingsLoadTimer_, &captureTimer_}) {
    timer->attach(hwnd());
  }
  return true;
}

void MainWindow::openPath(const std::wstring& path) {
  const std::string absolute = platform::narrow(absolutePath(path));
  run([&](app::AppObjects& objects) { objects.listing.openPath(absolute); });
}

void MainWindow::attach(app::AppObjects* objects) {
  objects_ = objects;
  list_.setTexts(objects ? &objects->folder : nullptr);
  rowDrag_.setMover(objects ? &objects->mover : nullptr);
}

app::MainWindowControls MainWindow::controls() {
  return app::MainWindowControls{window_,
                                 tree_,
                                 list_,
                                 statusBar_,
                                 menu_,
                                 moveStepTimer_,
                                 dragScrollTimer_,
                                 settingsLoadTimer_,
                                 captureTimer_};
}

void MainWindow::layout() {
  RECT client{};
  GetClientRect(hwnd(), &client);
  const int width = client.right;
  const int height = client.bottom;
  const int statusHeight = scaled(kStatusBarHeight);
  const int splitterWidth = scaled(kSplitterWidth);
  const int bodyHeight = std::max(0, height - statusHeight);
  const int listLeft = treeWidth_ + splitterWidth;

  HDWP moves = BeginDeferWindowPos(4);
  const auto place = [&moves](HWND control, int x, int y, int w, int h) {
    if (moves) {
      moves = DeferWindowPos(moves, control, nullptr, x, y, std::max(0, w), std::max(0, h),
                             SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
      MoveWindow(control, x, y, std::max(0, w), std::max(0, h), TRUE);
    }
  };
  place(tree_.hwnd(), 0, 0, treeWidth_, bodyHeight);
  place(splitter_.hwnd(), treeWidth_, 0, splitterWidth, bodyHeight);
  place(list_.hwnd(), listLeft, 0, width - listLeft, bodyHeight);
  place(statusBar_.hwnd(), 0, height - statusHeight, width, statusHeight);
  if (moves) EndDeferWindowPos(moves);

  // Panel 0 is 170 wide; panel 1 runs to the right end of the bar.
  std::array<int, 2> edges{scaled(kStatusPanel0Width), -1};
  SendMessageW(statusBar_.hwnd(), SB_SETPARTS, edges.size(),
               reinterpret_cast<LPARAM>(edges.data()));
}

void MainWindow::applyDpi(UINT dpi, const RECT& suggested) {
  const UINT old = dpi_;
  dpi_ = dpi;
  treeWidth_ = MulDiv(treeWidth_, static_cast<int>(dpi), static_cast<int>(old));
  UniqueFont previous = std::move(font_);
  font_ = createDesignFont(kFormFontHeight, dpi_);
  for (HWND control : {tree_.hwnd(), list_.hwnd(), statusBar_.hwnd()}) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
  }
  tree_.rescale(dpi_);
  list_.rescale(old, dpi_);
  SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  layout();
}

void MainWindow::keyReleased(WPARAM key) {
  run([key](app::AppObjects& objects) { objects.listing.keyReleased(static_cast<int>(key)); });
}

void MainWindow::requestClose() {
  // While rows are being copied, closing stops the copy instead.
  if (copyStop_.takeClose()) return;
  // A close while the error box is up (from the task bar, whose button stays
  // usable) waits for the box to go: no second close handler runs under the
  // failure of the first, and no second box stacks on it.
  if (app_.errorBox && app_.errorBox->isShown()) return;
  // When the close handler fails (the settings cannot be written) the
  // window stays open as it was.
  if (objects_ && !run([](app::AppObjects& objects) { objects.settingsTiming.closing(); })) return;
  DestroyWindow(hwnd());
}

LRESULT MainWindow::notify(const NMHDR& header) {
  if (header.hwndFrom == tree_.hwnd()) {
    LRESULT result = 0;
    if (tree_.handleNotify(header, result)) return result;
  } else if (header.hwndFrom == list_.hwnd()) {
    return listNotify(header);
  }
  return DefWindowProcW(hwnd(), WM_NOTIFY, static_cast<WPARAM>(header.idFrom),
                        reinterpret_cast<LPARAM>(&header));
}

LRESULT MainWindow::listNotify(const NMHDR& header) {
  auto& mutableHeader = const_cast<NMHDR&>(header);
  switch (header.code) {
    case LVN_GETDISPINFOW:
      list_.answerDisplayInfo(reinterpret_cast<NMLVDISPINFOW&>(mutableHeader));
      return 0;
    case LVN_ODFINDITEMW:
      return list_.findRow(reinterpret_cast<const NMLVFINDITEMW&>(header));
    case NM_CUSTOMDRAW:
      return list_.customDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(mutableHeader));
    case LVN_BEGINDRAG:
      rowDrag_.beginDrag(reinterpret_cast<const NMLISTVIEW&>(header));
      return 0;
    case LVN_ITEMCHANGED:
    case LVN_ODSTATECHANGED:
      // A sort moving the marks reports them once, when all are in place.
      if (!list_.settingMarks()) run([](app::AppObjects& o) { o.listing.showSelection(); });
      return 0;
    case LVN_COLUMNCLICK: {
      const int column = reinterpret_cast<const NMLISTVIEW&>(header).iSubItem;
      run([column](app::AppObjects& objects) { objects.order.columnClicked(column); });
      return 0;
    }
    default:
      return DefWindowProcW(hwnd(), WM_NOTIFY, static_cast<WPARAM>(header.idFrom),
                            reinterpret_cast<LPARAM>(&header));
  }
}

void MainWindow::menuCommand(WPARAM wParam, LPARAM lParam) {
  // Only the menu's commands: a control's notification carries its window.
  if (lParam != 0) return;
  if (const app::CommandRow* row = app::commandWithId(LOWORD(wParam))) {
    run([row](app::AppObjects& objects) { objects.commands.run(row->command); });
  }
}

void MainWindow::timerTick(WPARAM id) {
  // A tick already queued when its timer was switched off is dropped.
  if (id == moveStepTimer_.id() && moveStepTimer_.isEnabled()) {
    run([](app::AppObjects& objects) { objects.mover.stepTick(); });
  } else if (id == dragScrollTimer_.id() && dragScrollTimer_.isEnabled()) {
    // The scroll repaints the list under the drag image.
    rowDrag_.withImageHidden(
        [this] { run([](app::AppObjects& objects) { objects.mover.scrollTick(); }); });
  } else if (id == settingsLoadTimer_.id() && settingsLoadTimer_.isEnabled()) {
    run([](app::AppObjects& objects) { objects.settingsTiming.loadTick(); });
  } else if (id == captureTimer_.id() && captureTimer_.isEnabled()) {
    run([](app::AppObjects& objects) { objects.captures.tick(); });
  }
}

void MainWindow::dropped(HDROP drop) {
  const std::wstring first = firstDropped(drop);
  DragFinish(drop);
  // Refused while a dialog or the message window holds the lock.
  if (!first.empty() && IsWindowEnabled(hwnd())) openPath(first);
}

LRESULT MainWindow::handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NOTIFY:
      return notify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND:
      menuCommand(wParam, lParam);
      return 0;
    case WM_TIMER:
      timerTick(wParam);
      return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:  // a key released while Alt is held, such as Alt+F5
      keyReleased(wParam);
      break;
    case WM_SYSCOMMAND:
      // Also while a dialog keeps the window disabled: a close request to
      // the application is carried out whatever the window's state.
      if ((wParam & 0xFFF0) != SC_CLOSE) break;
      requestClose();
      return 0;
    case WM_CLOSE:
      requestClose();
      return 0;
    case WM_SETCURSOR:
      // A click on the window while it is locked: the close button may stop a copy.
      if (LOWORD(lParam) == static_cast<WORD>(HTERROR) && HIWORD(lParam) == WM_LBUTTONDOWN) {
        copyStop_.clickOnDisabledWindow(hwnd);
      }
      break;
    case WM_INITMENUPOPUP:
      run([](app::AppObjects& objects) { objects.commands.showStates(); });
      break;
    case WM_DROPFILES:
      dropped(reinterpret_cast<HDROP>(wParam));
      return 0;
    default:
      return frameMessage(hwnd, message, wParam, lParam);
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT MainWindow::frameMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) layout();
      return 0;
    case WM_ACTIVATE:
    case WM_SETFOCUS:
      if (window_.keepFocus(message, wParam)) return 0;
      break;
    case WM_WINDOWPOSCHANGED:
      window_.windowPosChanged(*reinterpret_cast<const WINDOWPOS*>(lParam));
      break;
    case WM_DPICHANGED:
      applyDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_DESTROY:
      if (onDestroyed_) onDestroyed_();
      return 0;
    case WM_QUERYENDSESSION:
      // A copy under way holds the session with its reason ("コピー中").
      return copyStop_.letsSessionEnd() ? TRUE : FALSE;
    case WM_ENDSESSION:
      // Logging off or shutting down ends the program without closing this
      // window: the settings are not written. A copy under way removes its
      // half-written file first.
      if (wParam) copyStop_.sessionEnds();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK MainWindow::childKeys(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self) {
  auto* window = reinterpret_cast<MainWindow*>(self);
  switch (message) {
    case WM_KEYUP:
    case WM_SYSKEYUP:  // a key released while Alt is held, such as Alt+F5
      window->keyReleased(wParam);
      break;
    case WM_KEYDOWN:
      if (wParam == VK_TAB) {
        // Two stops: the tree (tab order 0) and the list (1).
        SetFocus(hwnd == window->tree_.hwnd() ? window->list_.hwnd() : window->tree_.hwnd());
        return 0;
      }
      break;
    case WM_CHAR:
      if (wParam == L'\t') return 0;
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, childKeys, id);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace shell
