#pragma once

// Reads the capture times of a list of files on a thread of its own, in list
// order, and hands them over as they come; the window's thread takes them
// when it likes (on a timer, or when told that there are new ones).

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "capturetime/capture_time.h"

namespace capturetime {

struct ReadResult {
  std::size_t index = 0;  // of the path in the list given
  CaptureTime time;
  friend bool operator==(const ReadResult&, const ReadResult&) = default;
};

struct ReadProgress {
  std::size_t done = 0;   // paths read (handed over or waiting)
  std::size_t total = 0;  // paths in the list
  bool finished() const { return done == total; }
  friend bool operator==(const ReadProgress&, const ReadProgress&) = default;
};

class BackgroundReader {
 public:
  using Read = std::function<CaptureTime(const std::string& path)>;
  // Called on the reading thread when results wait to be taken and none did
  // before (the last take emptied the queue), and once when the last path is
  // read: enough for a message to the window, never one per file.
  using Notify = std::function<void()>;

  // Starts reading at once. read defaults to readCaptureTimeOfFile.
  explicit BackgroundReader(std::vector<std::string> paths, Read read = {}, Notify notify = {});
  // Stops, and waits for the file being read to be done with.
  ~BackgroundReader();
  BackgroundReader(const BackgroundReader&) = delete;
  BackgroundReader& operator=(const BackgroundReader&) = delete;

  // Asks the thread to stop after the file it is reading, without waiting
  // for that file; once it returns nothing more is handed over and notify is
  // not called again (a notify under way is waited for). notify must not
  // call stop() itself.
  void stop();

  // The results read since the last take, in list order.
  std::vector<ReadResult> take();

  // How far the reading has come. After stop() it stays where it stood.
  ReadProgress progress() const;

  // True once the thread is done: every path read, or stopped and out of
  // the file it was reading. Destroying the reader then waits for nothing.
  bool ended() const { return ended_.load(); }

 private:
  void run(std::stop_token stop);

  const std::vector<std::string> paths_;
  const Read read_;
  const Notify notify_;
  mutable std::mutex mutex_;
  std::vector<ReadResult> waiting_;  // guarded by mutex_
  std::size_t done_ = 0;             // guarded by mutex_
  bool stopped_ = false;             // guarded by mutex_
  std::mutex notifying_;             // held while notify_ runs
  std::atomic<bool> ended_{false};
  std::jthread thread_;  // last: starts once everything above is there
};

}  // namespace capturetime
