#include "capturetime/background_reader.h"

#include <utility>

#include "capturetime/capture_reader.h"

namespace capturetime {

BackgroundReader::BackgroundReader(std::vector<std::string> paths, Read read, Notify notify)
    : paths_(std::move(paths)),
      read_(read ? std::move(read) : Read(readCaptureTimeOfFile)),
      notify_(std::move(notify)),
      thread_([this](std::stop_token stop) {
        run(stop);
        ended_ = true;
      }) {}

BackgroundReader::~BackgroundReader() {
  stop();
  // jthread joins when it goes.
}

void BackgroundReader::stop() {
  {
    const std::lock_guard lock(mutex_);
    stopped_ = true;
  }
  thread_.request_stop();
  // A notify that began before the stop ends before this returns.
  const std::lock_guard wait(notifying_);
}

std::vector<ReadResult> BackgroundReader::take() {
  std::vector<ReadResult> results;
  const std::lock_guard lock(mutex_);
  results.swap(waiting_);
  return results;
}

ReadProgress BackgroundReader::progress() const {
  const std::lock_guard lock(mutex_);
  return ReadProgress{done_, paths_.size()};
}

void BackgroundReader::run(std::stop_token stop) {
  for (std::size_t index = 0; index < paths_.size(); ++index) {
    if (stop.stop_requested()) return;
    CaptureTime time = read_(paths_[index]);
    bool tell = false;
    {
      const std::lock_guard lock(mutex_);
      if (stopped_) return;
      tell = waiting_.empty() || index + 1 == paths_.size();
      waiting_.push_back(ReadResult{index, time});
      ++done_;
    }
    // Outside the results' lock, so that the window's thread may take them
    // meanwhile; under its own, so that a stop waits for it.
    if (tell && notify_) {
      const std::lock_guard notifying(notifying_);
      bool stopped = false;
      {
        const std::lock_guard lock(mutex_);
        stopped = stopped_;
      }
      if (stopped) return;
      notify_();
    }
  }
}

}  // namespace capturetime
