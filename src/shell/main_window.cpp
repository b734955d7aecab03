#include "shell/main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "platform/win32/design_fonts.h"
#include "platform/win32/dpi.h"
#include "platform/win32/utf.h"
#include "platform/win32/window_text.h"
#include "shell/control_ids.h"
#include "shell/outside_path.h"

namespace shell {

// The windows are built of the Win32 adapters and control wrappers.
using namespace platform::win32;

namespace {

constexpr wchar_t kClassName[] = L"TForm1";
constexpr std::string_view kCaption = "Chronoseq";
constexpr int kClientWidth = 792;
constexpr int kClientHeight = 553;
constexpr int kTreeWidth = 201;
constexpr int kTreeMinimum = 30;
constexpr int kSplitterWidth = 4;
constexpr int kStatusBarHeight = 19;
constexpr int kStatusPanel0Width = 170;
constexpr UINT_PTR kKeySubclass = 1;

struct MenuItem {
  int id;
  std::string_view caption;
};
struct Menu {
  std::string_view caption;
  std::array<MenuItem, 4> items;
  int itemCount;
};
constexpr std::array<Menu, 3> kMenus{{
    {"ファイル（&F）",
     {{{kMenuIME1, "TIME変更（&T）"},
       {kMenuUndo1, "元に戻す(&U)"},
       {kMenuCopy1, "この順番でコピー(&C)..."},
       {kMenuExit1, "終了(&X)"}}},
     4},
    {"表示(&V)",
     {{{kMenuNumericOrder1, "数字を数値として並べる(&N)"}, {0, ""}, {0, ""}, {0, ""}}},
     1},
    {"ヘルプ(&H)", {{{kMenuN1, "バージョン情報(&A)"}, {0, ""}, {0, ""}, {0, ""}}}, 1},
}};

HMENU createMainMenu() {
  HMENU bar = CreateMenu();
  if (!bar) return nullptr;
  for (const Menu& menu : kMenus) {
    HMENU popup = CreatePopupMenu();
    if (!popup) continue;
    for (int i = 0; i < menu.itemCount; ++i) {
      const MenuItem& item = menu.items[static_cast<std::size_t>(i)];
      AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(item.id),
                  platform::widen(item.caption).c_str());
    }
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup),
                platform::widen(menu.caption).c_str());
  }
  return bar;
}

}  // namespace

MainWindow::MainWindow(app::Application& app, std::wstring treeRoot,
                       std::function<void()> onDestroyed)
    : app_(app),
      onDestroyed_(std::move(onDestroyed)),
      tree_(std::move(treeRoot)),
      timer1_(kTimer1, 10),
      timer2_(kTimer2, 100),
      timer3_(kTimer3, 10) {}

MainWindow::~MainWindow() { destroy(); }

void MainWindow::destroy() {
  form_ = nullptr;
  if (hwnd() && IsWindow(hwnd())) DestroyWindow(hwnd());
}

int MainWindow::scaled(int designPixels) const { return scaleToDpi(designPixels, dpi_); }

bool MainWindow::create() {
  registerTargetClass({kClassName, COLOR_BTNFACE, IDC_ARROW});
  HMENU menu = createMainMenu();
  HWND hwnd =
      createTargetWindow(*this, kClassName, WS_EX_APPWINDOW, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                         platform::widen(kCaption).c_str(), RECT{0, 0, 100, 100}, nullptr, menu);
  if (!hwnd) {
    if (menu) DestroyMenu(menu);
    return false;
  }
  window_.attach(hwnd);
  undoItem_.attach(hwnd, kMenuUndo1);
  numericOrderItem_.attach(hwnd, kMenuNumericOrder1);
  copyItem_.attach(hwnd, kMenuCopy1);
  copyStop_.setMainWindow(hwnd);
  dpi_ = windowDpi(hwnd);
  font_ = createDesignFont(kFormFontHeight, dpi_);
  treeWidth_ = scaled(kTreeWidth);

  // Creation order is tab order: the tree first, then the list.
  if (!tree_.create(hwnd, kShellTreeView1, font_.get(), dpi_)) return false;
  list_.create(hwnd, kListView1, font_.get(), dpi_);
  splitter_.create(hwnd, kSplitter1,
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
                              RECT{}, hwnd, kStatusBar1);
  statusBar_.attach(status);
  setControlFont(status, font_.get());
  for (WindowTimer* timer : {&timer1_, &timer2_, &timer3_}) timer->attach(hwnd);

  // Key preview: the window sees a released key before the control does.
  SetWindowSubclass(tree_.hwnd(), childKeys, kKeySubclass, reinterpret_cast<DWORD_PTR>(this));
  SetWindowSubclass(list_.hwnd(), childKeys, kKeySubclass, reinterpret_cast<DWORD_PTR>(this));

  tree_.setSelectionChanged([this] { run([this] { form_->ShellTreeView1Change(); }); });
  rowDrag_.attach(list_, hwnd,
                  RowDrag::Handlers{
                      [this] {
                        if (form_ && form_->moveInProgress()) run([this] { form_->finishMove(); });
                      },
                      [this](app::MouseButton button, app::ShiftState shift, int x, int y) {
                        run([=, this] { form_->ListView1MouseDown(button, shift, x, y); });
                      },
                      [this](app::MouseButton button, app::ShiftState shift, int row) {
                        return form_ && form_->ListView1CanDrag(button, shift, row);
                      },
                      [this](int x, int y) {
                        bool accept = false;
                        run([&] { form_->ListView1DragOver(x, y, accept); });
                        return accept;
                      },
                      [this] { run([this] { form_->ListView1DragDrop(); }); },
                      [this] { run([this] { form_->ListView1EndDrag(); }); },
                      [this](int virtualKey, app::ShiftState shift) {
                        bool taken = false;
                        run([&] { taken = form_->ListView1KeyDown(virtualKey, shift); });
                        return taken;
                      },
                  });
  placeClientArea(hwnd, 0, 0, kClientWidth, kClientHeight, dpi_);
  layout();
  // Folders and files dropped from Explorer open here.
  DragAcceptFiles(hwnd, TRUE);
  return true;
}

void MainWindow::openPath(const std::wstring& path) {
  run([this, &path] { form_->OpenPath(platform::narrow(absolutePath(path))); });
}

void MainWindow::attach(app::TForm1* form, const platform::CellTexts* texts) {
  form_ = form;
  list_.setTexts(texts);
}

app::Form1Controls MainWindow::controls() {
  return app::Form1Controls{window_, tree_,   list_,   statusBar_,
                            timer1_, timer2_, timer3_, &numericOrderItem_};
}

bool MainWindow::run(const std::function<void()>& handler) {
  if (!form_) return false;
  return app::runHandler(app_, handler);
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
  run([this, key] { form_->FormKeyUp(static_cast<int>(key)); });
}

void MainWindow::requestClose() {
  // A close while the error box is up (from the task bar, whose button stays
  // usable) waits for the box to go: no second FormClose runs under the
  // failure of the first, and no second box stacks on it.
  if (app_.errorBox && app_.errorBox->isShown()) return;
  // When the close handler fails (the settings cannot be written) the
  // window stays open as it was.
  if (form_ && !app::runHandler(app_, [this] { form_->FormClose(); })) return;
  DestroyWindow(hwnd());
}

LRESULT MainWindow::notify(const NMHDR& header) {
  if (header.hwndFrom == tree_.hwnd()) {
    LRESULT result = 0;
    if (tree_.handleNotify(header, result)) return result;
  } else if (header.hwndFrom == list_.hwnd()) {
    switch (header.code) {
      case LVN_GETDISPINFOW:
        list_.answerDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header)));
        return 0;
      case LVN_ODFINDITEMW:
        return list_.findRow(reinterpret_cast<const NMLVFINDITEMW&>(header));
      case NM_CUSTOMDRAW:
        return list_.customDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header)));
      case LVN_BEGINDRAG:
        rowDrag_.beginDrag(reinterpret_cast<const NMLISTVIEW&>(header));
        return 0;
      case LVN_ITEMCHANGED:
      case LVN_ODSTATECHANGED:
        // A sort moving the marks reports them once, when all are in place.
        if (list_.settingMarks()) return 0;
        run([this] { form_->ListView1Change(); });
        return 0;
      case LVN_COLUMNCLICK: {
        const int column = reinterpret_cast<const NMLISTVIEW&>(header).iSubItem;
        run([this, column] { form_->ListView1ColumnClick(column); });
        return 0;
      }
      default:
        break;
    }
  }
  return DefWindowProcW(hwnd(), WM_NOTIFY, static_cast<WPARAM>(header.idFrom),
                        reinterpret_cast<LPARAM>(&header));
}

LRESULT MainWindow::handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) layout();
      return 0;
    case WM_NOTIFY:
      return notify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND:
      if (lParam == 0) {
        switch (LOWORD(wParam)) {
          case kMenuIME1:
            run([this] { form_->IME1Click(); });
            return 0;
          case kMenuExit1:
            run([this] { form_->Exit1Click(); });
            return 0;
          case kMenuN1:
            run([this] { form_->N1Click(); });
            return 0;
          case kMenuUndo1:
            run([this] { form_->Undo1Click(); });
            return 0;
          case kMenuNumericOrder1:
            run([this] { form_->NumericOrder1Click(); });
            return 0;
          case kMenuCopy1:
            run([this] { form_->Copy1Click(); });
            return 0;
          default:
            break;
        }
      }
      return 0;
    case WM_TIMER:
      // A tick already queued when its timer was switched off is dropped.
      if (wParam == timer1_.id() && timer1_.isEnabled()) {
        run([this] { form_->Timer1Timer(); });
      } else if (wParam == timer2_.id() && timer2_.isEnabled()) {
        // The scroll repaints the list under the drag image.
        rowDrag_.withImageHidden([this] { run([this] { form_->Timer2Timer(); }); });
      } else if (wParam == timer3_.id() && timer3_.isEnabled()) {
        run([this] { form_->Timer3Timer(); });
      }
      return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:  // a key released while Alt is held, such as Alt+F5
      keyReleased(wParam);
      break;
    case WM_SYSCOMMAND:
      // Also while a dialog keeps the window disabled: a close request to
      // the application is carried out whatever the window's state.
      if ((wParam & 0xFFF0) == SC_CLOSE) {
        // While rows are being copied, closing stops the copy instead.
        if (copyStop_.takeClose()) return 0;
        requestClose();
        return 0;
      }
      break;
    case WM_CLOSE:
      if (copyStop_.takeClose()) return 0;
      requestClose();
      return 0;
    case WM_SETCURSOR:
      // A click on the window while it is locked: the close button may stop a copy.
      if (LOWORD(lParam) == static_cast<WORD>(HTERROR) && HIWORD(lParam) == WM_LBUTTONDOWN) {
        copyStop_.clickOnDisabledWindow(hwnd);
      }
      break;
    case WM_INITMENUPOPUP:
      run([this] { form_->MenuOpen(); });
      break;
    case WM_DESTROY:
      if (onDestroyed_) onDestroyed_();
      return 0;
    case WM_QUERYENDSESSION:
      // A copy under way holds the session with its reason ("コピー中").
      return copyStop_.letsSessionEnd() ? TRUE : FALSE;
    case WM_ENDSESSION:
      // Logging off or shutting down ends the program without closing this
      // window: FormClose does not run and the settings are not written. A
      // copy under way removes its half-written file first.
      if (wParam) copyStop_.sessionEnds();
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
    case WM_DROPFILES: {
      const auto drop = reinterpret_cast<HDROP>(wParam);
      const std::wstring first = firstDropped(drop);
      DragFinish(drop);
      // Refused while a dialog or the message window holds the lock.
      if (!first.empty() && IsWindowEnabled(hwnd)) openPath(first);
      return 0;
    }
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
