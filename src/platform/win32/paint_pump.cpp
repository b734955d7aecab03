#include "platform/win32/paint_pump.h"

#include <windows.h>

namespace platform::win32 {

void PaintOnlyPump::pumpPaint() {
  // A window whose painting leaves its update region valid would be handed
  // out again and again; a bound keeps the pump finite.
  constexpr int kMaxMessages = 256;
  MSG message{};
  for (int i = 0; i < kMaxMessages; ++i) {
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT)) break;
    if (message.message == WM_QUIT) {
      // Not ours to take: the event loop must still see it.
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (message.message == WM_PAINT) DispatchMessageW(&message);
  }
}

}  // namespace platform::win32
