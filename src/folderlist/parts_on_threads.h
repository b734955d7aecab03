#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace folderlist {

// Threads that work through parts together, round after round: the
// caller's and threads of their own, started once, since under Wine a
// thread takes milliseconds to start.
class PartsTeam {
 public:
  // threads in all, the caller's among them.
  explicit PartsTeam(std::size_t threads);
  ~PartsTeam();
  PartsTeam(const PartsTeam&) = delete;
  PartsTeam& operator=(const PartsTeam&) = delete;

  std::size_t threads() const { return helpers_.size() + 1; }

  // Calls work(part) once for every part below parts. Each thread takes the
  // next part no thread has taken yet, so a part that costs more than the
  // others does not leave the other threads idle. Should a part throw, no
  // further part is started, and the first exception goes on to the caller
  // once every thread is done.
  void run(std::size_t parts, const std::function<void(std::size_t part)>& work);

 private:
  void takeParts();
  void serve();
  void stop();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  const std::function<void(std::size_t)>* work_ = nullptr;
  std::size_t parts_ = 0;
  std::size_t round_ = 0;
  std::size_t busy_ = 0;  // helpers not yet through this round
  bool stopping_ = false;
  std::exception_ptr failure_;
  std::atomic<std::size_t> next_{0};
  std::atomic<bool> failed_{false};
  std::vector<std::thread> helpers_;
};

// The threads worth starting for `items` items of work: the processor's
// cores, but none for fewer than leastEach items.
std::size_t threadsFor(std::size_t items, std::size_t leastEach);

}  // namespace folderlist
