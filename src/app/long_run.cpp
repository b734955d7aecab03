#include "app/long_run.h"

namespace app {

namespace {

// How often a long run repaints its windows and shows its progress.
constexpr auto kRepaintInterval = std::chrono::milliseconds(100);

}  // namespace

LongRun::LongRun(platform::Window& window, std::string_view name, platform::PaintPump& pump,
                 std::string captionAfter)
    : window_(window),
      name_(name),
      pump_(pump),
      captionAfter_(std::move(captionAfter)),
      lastPaint_(std::chrono::steady_clock::now()) {}

LongRun::~LongRun() {
  try {
    window_.setCaption(captionAfter_);
  } catch (...) {
    // A caption that cannot be written back is no reason to end the program.
  }
}

void LongRun::progress(int done, int total, const std::function<void()>& redraw) {
  done_ = done;
  total_ = total;
  const auto now = std::chrono::steady_clock::now();
  if (now - lastPaint_ < kRepaintInterval && done < total) return;
  lastPaint_ = now;
  if (redraw) redraw();
  paint();
}

void LongRun::showNow(int done, int total) {
  done_ = done;
  total_ = total;
  lastPaint_ = std::chrono::steady_clock::now();
  paint();
}

void LongRun::keepPainted() {
  const auto now = std::chrono::steady_clock::now();
  if (now - lastPaint_ < kRepaintInterval) return;
  lastPaint_ = now;
  paint();
}

void LongRun::paint() {
  window_.setCaption(name_ + " " + std::to_string(done_) + " / " + std::to_string(total_));
  pump_.pumpPaint();
}

}  // namespace app
