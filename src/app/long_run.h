#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "platform/ui.h"

namespace app {

// A long run inside one handler (stamping, undo, copying): it shows its progress in
// a window's caption, keeps the windows painted, and gives the window its
// caption back when it ends, however it ends.
class LongRun {
 public:
  // `name` leads the progress caption: "name done / total"; `captionAfter`
  // is the caption the window gets back.
  LongRun(platform::Window& window, std::string_view name, platform::PaintPump& pump,
          std::string captionAfter);
  ~LongRun();
  LongRun(const LongRun&) = delete;
  LongRun& operator=(const LongRun&) = delete;

  // At most every repaint interval, and at the last one (done == total):
  // redraws what the run changed, writes the caption and repaints.
  void progress(int done, int total, const std::function<void()>& redraw);
  // Shows "name done / total" and repaints now, whatever the interval: a
  // run's first progress, before its first step.
  void showNow(int done, int total);
  // Between progress steps (a long file, say): at most every repaint
  // interval, writes the progress last shown again and repaints.
  void keepPainted();
  // A run of two parts (a check, then the writes): the name the caption
  // leads with from now on.
  void rename(std::string_view name) { name_ = name; }

 private:
  void paint();

  platform::Window& window_;
  std::string name_;
  platform::PaintPump& pump_;
  std::string captionAfter_;
  std::chrono::steady_clock::time_point lastPaint_;
  int done_ = 0;
  int total_ = 0;
};

}  // namespace app
