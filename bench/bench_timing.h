#pragma once

// Wall-clock timing shared by the benchmarks.

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace bench {

// How long one call of work takes, in milliseconds.
inline double millisecondsOf(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

inline double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace bench
