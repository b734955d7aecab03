#include "folderlist/parts_on_threads.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <future>
#include <thread>
#include <vector>

namespace folderlist {

void runParts(std::size_t parts, std::size_t threads,
              const std::function<void(std::size_t part)>& work) {
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  const auto worker = [&] {
    try {
      for (std::size_t part = next++; part < parts && !failed; part = next++) work(part);
    } catch (...) {
      failed = true;
      throw;
    }
  };
  std::vector<std::future<void>> others;
  for (std::size_t thread = 1; thread < std::min(threads, parts); ++thread) {
    others.push_back(std::async(std::launch::async, worker));
  }
  std::exception_ptr first;
  try {
    worker();
  } catch (...) {
    first = std::current_exception();
  }
  for (std::future<void>& other : others) {
    try {
      other.get();
    } catch (...) {
      if (!first) first = std::current_exception();
    }
  }
  if (first) std::rethrow_exception(first);
}

std::size_t threadsFor(std::size_t items, std::size_t leastEach) {
  const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
  return std::clamp(items / std::max<std::size_t>(leastEach, 1), std::size_t{1}, cores);
}

}  // namespace folderlist
