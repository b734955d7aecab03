#include "shell/row_drag.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/win32/handles.h"

namespace shell {

// The windows are built of the Win32 adapters and control wrappers.
using namespace platform::win32;

namespace {

constexpr UINT_PTR kDragSubclass = 2;

bool held(int virtualKey) { return (GetKeyState(virtualKey) & 0x8000) != 0; }

app::ShiftState shiftOfMouse(WPARAM keys) {
  return {(keys & MK_SHIFT) != 0, (keys & MK_CONTROL) != 0, held(VK_MENU)};
}

app::ShiftState shiftOfKeyboard() { return {held(VK_SHIFT), held(VK_CONTROL), held(VK_MENU)}; }

POINT pointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

}  // namespace

RowDrag::~RowDrag() {
  if (imageShown_) {
    ImageList_DragLeave(window_);
    ImageList_EndDrag();
  }
}

void RowDrag::attach(EntryList& list, HWND window, const app::Application& app) {
  list_ = &list;
  window_ = window;
  app_ = &app;
  SetWindowSubclass(list.hwnd(), subclassProc, kDragSubclass, reinterpret_cast<DWORD_PTR>(this));
}

void RowDrag::finishMove() {
  if (mover_ && mover_->moving()) run([](app::RowMover& mover) { mover.finish(); });
}

bool RowDrag::dragOver(POINT client) {
  bool accept = false;
  run([&](app::RowMover& mover) { accept = mover.dragOver(client.x, client.y); });
  return accept;
}

LRESULT CALLBACK RowDrag::subclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self) {
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, subclassProc, id);
    return DefSubclassProc(hwnd, message, wParam, lParam);
  }
  return reinterpret_cast<RowDrag*>(self)->handle(hwnd, message, wParam, lParam);
}

LRESULT RowDrag::handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_KEYFIRST && message <= WM_KEYLAST) return key(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      return press(hwnd, message, wParam, lParam, app::MouseButton::left);
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      if (dragging()) {
        cancel(true);
        return 0;
      }
      return press(hwnd, message, wParam, lParam, app::MouseButton::right);
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      if (dragging()) return 0;
      return press(hwnd, message, wParam, lParam, app::MouseButton::middle);
    case WM_MOUSEMOVE:
      if (dragging()) {
        move(pointOf(lParam));
        return 0;
      }
      break;
    case WM_LBUTTONUP:
      if (phase_ == Phase::active) {
        release(pointOf(lParam));
        return 0;
      }
      if (phase_ == Phase::tracking) {
        // Released before the pointer went far enough: an ordinary click,
        // which the control finishes as it does any click.
        phase_ = Phase::idle;
        ReleaseCapture();
      }
      phase_ = Phase::idle;
      break;
    case WM_CAPTURECHANGED:
      if (dragging() && reinterpret_cast<HWND>(lParam) != hwnd) cancel(false);
      break;
    case WM_CANCELMODE:
      if (dragging()) cancel(false);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT RowDrag::key(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      if (dragging()) {
        if (wParam == VK_ESCAPE) cancel(true);
        return 0;
      }
      // Keys change the marks: a running move ends first.
      finishMove();
      break;
    case WM_SYSKEYDOWN:
      if (dragging()) return 0;
      finishMove();
      // Alt with a key arrives as a system key. The default handling still
      // sees it: otherwise releasing Alt afterwards would open the menu.
      if (wParam == VK_UP || wParam == VK_DOWN) altArrow(hwnd, wParam);
      break;
    case WM_CHAR:
      if (dragging()) return 0;
      finishMove();
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

void RowDrag::altArrow(HWND hwnd, WPARAM key) {
  bool taken = false;
  const app::ShiftState shift = shiftOfKeyboard();
  run([&](app::RowMover& mover) { taken = mover.moveKey(static_cast<int>(key), shift); });
  if (!taken) return;
  const int focused = list_->focusedRow();
  if (focused >= 0) ListView_EnsureVisible(hwnd, focused, FALSE);
}

LRESULT RowDrag::press(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                       app::MouseButton button) {
  // The press changes the marks: a running move ends first, on the marks
  // it was started with.
  finishMove();
  const POINT at = pointOf(lParam);
  if (button == app::MouseButton::left) {
    phase_ = Phase::armed;
    pressShift_ = shiftOfMouse(wParam);
    origin_ = at;
  } else {
    phase_ = Phase::idle;
  }
  // The control handles the press as any click first. On Windows its own
  // drag detection may deliver LVN_BEGINDRAG before it returns.
  inPress_ = true;
  const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
  inPress_ = false;
  run([](app::RowMover& mover) { mover.press(); });
  // A drag begun meanwhile hears the pointer only now that the press has
  // set its source row.
  if (dragging()) move(pointerNow());
  return result;
}

POINT RowDrag::pointerNow() const {
  const DWORD at = GetMessagePos();
  POINT now{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  ScreenToClient(list_->hwnd(), &now);
  return now;
}

void RowDrag::beginDrag(const NMLISTVIEW& info) {
  if (phase_ != Phase::armed) return;
  if (!mover_ || !mover_->canDrag(app::MouseButton::left, pressShift_, info.iItem)) {
    phase_ = Phase::idle;
    return;
  }
  dragRow_ = info.iItem;
  over_ = true;
  lastOver_ = origin_;
  phase_ = Phase::tracking;
  SetCapture(list_->hwnd());
  // The pointer may already stand past the threshold.
  if (!inPress_) move(pointerNow());
}

void RowDrag::move(POINT client) {
  if (phase_ == Phase::tracking) {
    if (std::abs(client.x - origin_.x) < kThreshold &&
        std::abs(client.y - origin_.y) < kThreshold) {
      return;
    }
    activate();
  }
  if (phase_ != Phase::active) return;
  int target = -1;
  bool accept = false;
  if (overList(client)) {
    over_ = true;
    lastOver_ = client;
    accept = dragOver(client);
    if (accept) target = list_->rowAt(client.x, client.y);
  } else if (over_) {
    // Leaving: the list hears the last position seen over it once more.
    over_ = false;
    dragOver(lastOver_);
  }
  // Outside the list nothing takes a drop: no other control of the window
  // accepts one.
  const POINT at = imagePoint(client);
  if (target != list_->dropTarget()) {
    withImageHidden([&] {
      list_->setDropTarget(target);
      if (imageShown_) ImageList_DragMove(at.x, at.y);
    });
  } else if (imageShown_) {
    ImageList_DragMove(at.x, at.y);
  }
  SetCursor(LoadCursorW(nullptr, accept ? IDC_ARROW : IDC_NO));
}

void RowDrag::release(POINT client) {
  bool accept = false;
  if (overList(client)) accept = dragOver(client);
  finish();
  if (accept) run([](app::RowMover& mover) { mover.drop(); });
  run([](app::RowMover& mover) { mover.endDrag(); });
}

void RowDrag::cancel(bool finalCall) {
  const bool wasActive = phase_ == Phase::active;
  if (wasActive && finalCall && over_) dragOver(lastOver_);
  finish();
  if (wasActive) run([](app::RowMover& mover) { mover.endDrag(); });
}

void RowDrag::activate() {
  phase_ = Phase::active;
  POINT hotspot{};
  image_ = makeImage(dragRow_, hotspot);
  if (image_ && ImageList_BeginDrag(image_.get(), 0, hotspot.x, hotspot.y)) {
    const POINT at = imagePoint(origin_);
    imageShown_ = ImageList_DragEnter(window_, at.x, at.y) != FALSE;
    if (!imageShown_) ImageList_EndDrag();
  }
}

void RowDrag::finish() {
  const bool hadCapture = dragging() && GetCapture() == list_->hwnd();
  phase_ = Phase::idle;
  if (imageShown_) {
    ImageList_DragLeave(window_);
    ImageList_EndDrag();
    imageShown_ = false;
  }
  image_.reset();
  list_->setDropTarget(-1);
  if (hadCapture) ReleaseCapture();
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

bool RowDrag::overList(POINT client) const {
  // The list's border counts as the list.
  POINT screen = client;
  ClientToScreen(list_->hwnd(), &screen);
  RECT box{};
  GetWindowRect(list_->hwnd(), &box);
  return PtInRect(&box, screen) != FALSE;
}

POINT RowDrag::imagePoint(POINT client) const {
  POINT screen = client;
  ClientToScreen(list_->hwnd(), &screen);
  RECT box{};
  GetWindowRect(window_, &box);
  return POINT{screen.x - box.left, screen.y - box.top};
}

void RowDrag::withImageHidden(const std::function<void()>& work) {
  if (!imageShown_) {
    work();
    return;
  }
  ImageList_DragShowNolock(FALSE);
  work();
  ImageList_DragShowNolock(TRUE);
}

UniqueImageList RowDrag::makeImage(int row, POINT& hotspot) const {
  HWND hwnd = list_->hwnd();
  RECT rowBox{};
  if (row < 0 || !ListView_GetItemRect(hwnd, row, &rowBox, LVIR_BOUNDS)) return nullptr;
  // The name column of the row, as the user sees it.
  const int width = std::max(
      1, std::min(static_cast<int>(rowBox.right - rowBox.left), ListView_GetColumnWidth(hwnd, 0)));
  const int height = std::max(1, static_cast<int>(rowBox.bottom - rowBox.top));
  std::wstring name(260, L'\0');
  ListView_GetItemText(hwnd, row, 0, name.data(), static_cast<int>(name.size()));
  name.resize(wcslen(name.c_str()));

  WindowDc screen(hwnd);
  if (!screen) return nullptr;
  MemoryDc memory(screen.get());
  UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
  if (!memory || !bitmap) return nullptr;
  {
    // The bitmap is drawn into, then let go before the image list takes it.
    const SelectedObject selectedBitmap(memory.get(), bitmap.get());
    const SelectedObject selectedFont(
        memory.get(), reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
    RECT box{0, 0, width, height};
    FillRect(memory.get(), &box, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetBkMode(memory.get(), TRANSPARENT);
    SetTextColor(memory.get(), GetSysColor(COLOR_HIGHLIGHTTEXT));
    RECT text = box;
    InflateRect(&text, -GetSystemMetrics(SM_CXEDGE) * 2, 0);
    DrawTextW(memory.get(), name.c_str(), static_cast<int>(name.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  }

  UniqueImageList image(ImageList_Create(width, height, ILC_COLOR32, 1, 0));
  if (!image || ImageList_Add(image.get(), bitmap.get(), nullptr) < 0) return nullptr;
  hotspot.x = std::clamp(static_cast<int>(origin_.x - rowBox.left), 0, width - 1);
  hotspot.y = std::clamp(static_cast<int>(origin_.y - rowBox.top), 0, height - 1);
  return image;
}

}  // namespace shell
