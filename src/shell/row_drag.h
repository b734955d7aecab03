#pragma once

// Dragging rows inside the entry list: from the list's own LVN_BEGINDRAG to
// the release, with the mouse captured. Presses of every button and the
// Alt+arrow keys reach the row mover from here too.
//
//   idle -> armed (left press) -> tracking (LVN_BEGINDRAG on a row the
//   handler lets drag) -> active (5 pixels from the press) -> release: drop
//   or none; Esc, a right press or a lost capture cancel.

#include <windows.h>
// The headers below need the types <windows.h> declares.
#include <commctrl.h>

#include <functional>

#include "app/application.h"
#include "app/input.h"
#include "app/row_mover.h"
#include "platform/win32/entry_list.h"
#include "platform/win32/handles.h"

namespace shell {

// The windows are built of the Win32 adapters and control wrappers.
using namespace platform::win32;

class RowDrag {
 public:
  // The pointer must move this far from the press, either way, before the
  // drag becomes active.
  static constexpr int kThreshold = 5;

  RowDrag() = default;
  ~RowDrag();
  RowDrag(const RowDrag&) = delete;
  RowDrag& operator=(const RowDrag&) = delete;

  // Watches the list's input; window: the window the drag image is drawn
  // over (the list's parent). The mover's handlers run as the event loop
  // runs them, a failure going to app's error box.
  void attach(EntryList& list, HWND window, const app::Application& app);
  // The rows the drags and keys move; null: nothing is moved any more.
  void setMover(app::RowMover* mover) { mover_ = mover; }

  // The list's LVN_BEGINDRAG.
  void beginDrag(const NMLISTVIEW& info);

  bool dragging() const { return phase_ == Phase::tracking || phase_ == Phase::active; }
  bool active() const { return phase_ == Phase::active; }

  // Runs work (a repaint or a scroll of the list) with the drag image taken
  // off the screen, so that it leaves no trace behind.
  void withImageHidden(const std::function<void()>& work);

 private:
  enum class Phase { idle, armed, tracking, active };

  static LRESULT CALLBACK subclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
  LRESULT handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT key(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // Alt+Up or Alt+Down: the selected rows move, and the focused row stays
  // in view.
  void altArrow(HWND hwnd, WPARAM key);
  LRESULT press(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, app::MouseButton button);
  void move(POINT client);
  void release(POINT client);
  // Ends the drag without a drop; finalCall: whether the list hears the
  // pointer's last position once more.
  void cancel(bool finalCall);
  void activate();
  void finish();
  bool overList(POINT client) const;
  POINT pointerNow() const;
  POINT imagePoint(POINT client) const;

  UniqueImageList makeImage(int row, POINT& hotspot) const;

  // Runs one of the mover's handlers; false without a mover or on a failure.
  template <class Handler>
  bool run(Handler&& handler) {
    return mover_ && app::runHandler(*app_, [&] { handler(*mover_); });
  }
  // A running move ends before the list's marks change.
  void finishMove();
  bool dragOver(POINT client);

  EntryList* list_ = nullptr;
  HWND window_ = nullptr;
  const app::Application* app_ = nullptr;
  app::RowMover* mover_ = nullptr;
  Phase phase_ = Phase::idle;
  app::ShiftState pressShift_;
  POINT origin_{};     // where the press was, list client coordinates
  int dragRow_ = -1;   // the row the drag began on
  bool over_ = false;  // the pointer was over the list at the last move
  POINT lastOver_{};   // its last position over the list
  UniqueImageList image_;
  bool imageShown_ = false;
  bool inPress_ = false;  // the control is handling a press
};

}  // namespace shell
