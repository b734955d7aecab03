#include "shell/splitter.h"

#include <windowsx.h>

#include <algorithm>

namespace shell {

// The windows are built of the Win32 adapters and control wrappers.
using namespace platform::win32;

namespace {

constexpr wchar_t kClassName[] = L"TSplitter";

UniqueBrush createHalftoneBrush() {
  // An 8 x 8 checkerboard: every other pixel, XORed over whatever is below.
  static constexpr WORD kPattern[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
  UniqueBitmap bitmap(CreateBitmap(8, 8, 1, 1, kPattern));
  return UniqueBrush(bitmap ? CreatePatternBrush(bitmap.get()) : nullptr);
}

}  // namespace

bool Splitter::create(HWND parent, int id, Sizing sizing) {
  sizing_ = std::move(sizing);
  registerTargetClass({kClassName, COLOR_BTNFACE, IDC_SIZEWE});
  hwnd_ = createTargetWindow(*this, kClassName, 0, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, L"",
                             RECT{}, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
  halftone_ = createHalftoneBrush();
  return hwnd_ != nullptr;
}

int Splitter::sizeAt(int parentX) const {
  int size = parentX - grabOffset_;
  size = std::min(size, sizing_.maximum());
  // Below the minimum the tree snaps shut.
  if (size < sizing_.minimum()) size = 0;
  return std::max(size, 0);
}

void Splitter::drawLine(int size) {
  HWND parent = GetParent(hwnd_);
  RECT bar{};
  GetWindowRect(hwnd_, &bar);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&bar), 2);
  // The parent's DC without clipping its children, so the line crosses the
  // tree and the list wherever it stands.
  WindowDc dc(parent,
              GetDCEx(parent, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS | DCX_LOCKWINDOWUPDATE));
  if (!dc) return;
  const SelectedObject selected(dc.get(), halftone_.get());
  PatBlt(dc.get(), size, bar.top, bar.right - bar.left, bar.bottom - bar.top, PATINVERT);
}

void Splitter::endDrag(bool apply) {
  if (!dragging_) return;
  dragging_ = false;
  if (lineSize_ >= 0) drawLine(lineSize_);  // XOR again takes the line away
  lineSize_ = -1;
  if (GetCapture() == hwnd_) ReleaseCapture();
  if (apply && sizing_.applySize) sizing_.applySize(newSize_);
}

LRESULT Splitter::handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN: {
      const int x = GET_X_LPARAM(lParam);
      grabOffset_ = x;  // the press is x pixels right of the tree's border
      newSize_ = sizing_.size();
      dragging_ = true;
      SetCapture(hwnd);
      lineSize_ = newSize_;
      drawLine(lineSize_);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (dragging_) {
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        MapWindowPoints(hwnd, GetParent(hwnd), &point, 1);
        const int size = sizeAt(point.x);
        if (size != lineSize_) {
          drawLine(lineSize_);
          lineSize_ = size;
          drawLine(lineSize_);
        }
        newSize_ = size;
      }
      return 0;
    case WM_LBUTTONUP:
      if (dragging_) {
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        MapWindowPoints(hwnd, GetParent(hwnd), &point, 1);
        newSize_ = sizeAt(point.x);
        endDrag(true);
      }
      return 0;
    case WM_CAPTURECHANGED:
      // Another window took the mouse: the drag is abandoned.
      if (dragging_ && reinterpret_cast<HWND>(lParam) != hwnd) endDrag(false);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace shell
