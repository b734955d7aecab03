#include "folderlist/parts_on_threads.h"

#include <algorithm>
#include <utility>

namespace folderlist {

PartsTeam::PartsTeam(std::size_t threads) {
  try {
    for (std::size_t t = 1; t < threads; ++t) helpers_.emplace_back([this] { serve(); });
  } catch (...) {
    // A thread the system refused: the ones started must end before the
    // team goes, or their destruction ends the program.
    stop();
    throw;
  }
}

PartsTeam::~PartsTeam() { stop(); }

void PartsTeam::stop() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& helper : helpers_) helper.join();
}

void PartsTeam::run(std::size_t parts, const std::function<void(std::size_t part)>& work) {
  {
    const std::lock_guard lock(mutex_);
    work_ = &work;
    parts_ = parts;
    next_ = 0;
    failed_ = false;
    busy_ = helpers_.size();
    ++round_;
  }
  wake_.notify_all();
  takeParts();
  std::unique_lock lock(mutex_);
  done_.wait(lock, [this] { return busy_ == 0; });
  work_ = nullptr;
  if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

void PartsTeam::takeParts() {
  try {
    for (std::size_t part = next_++; part < parts_ && !failed_; part = next_++) (*work_)(part);
  } catch (...) {
    failed_ = true;
    const std::lock_guard lock(mutex_);
    if (!failure_) failure_ = std::current_exception();
  }
}

void PartsTeam::serve() {
  std::size_t seen = 0;
  for (;;) {
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [&] { return stopping_ || round_ != seen; });
      if (stopping_) return;
      seen = round_;
    }
    takeParts();
    {
      const std::lock_guard lock(mutex_);
      if (--busy_ == 0) done_.notify_one();
    }
  }
}

std::size_t threadsFor(std::size_t items, std::size_t leastEach) {
  const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
  return std::clamp(items / std::max<std::size_t>(leastEach, 1), std::size_t{1}, cores);
}

}  // namespace folderlist
