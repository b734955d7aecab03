#pragma once

// Splitter1: the bar right of the folder tree. Dragging it shows a hatched
// line where the new border would be; the tree's width changes when the
// mouse button is released. A width below the minimum closes the tree.

#include <windows.h>

#include <functional>

#include "platform/win32/handles.h"
#include "platform/win32/message_target.h"

namespace shell {

// The windows are built of the Win32 adapters and control wrappers.
using namespace platform::win32;

class Splitter final : public MessageTarget {
 public:
  struct Sizing {
    std::function<int()> size;           // the tree's width now
    std::function<int()> maximum;        // the widest the tree may become
    std::function<int()> minimum;        // narrower than this closes it
    std::function<void(int)> applySize;  // at the release of the button
  };

  bool create(HWND parent, int id, Sizing sizing);
  HWND hwnd() const { return hwnd_; }
  bool dragging() const { return dragging_; }

  LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  int sizeAt(int parentX) const;
  void drawLine(int size);
  void endDrag(bool apply);

  HWND hwnd_ = nullptr;
  Sizing sizing_;
  UniqueBrush halftone_;
  bool dragging_ = false;
  int grabOffset_ = 0;  // cursor x minus the splitter's left edge at the press
  int newSize_ = 0;
  int lineSize_ = -1;  // where the line is drawn now, -1 for none
};

}  // namespace shell
