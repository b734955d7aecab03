#include "platform/numeric_collation.h"

#include <shlwapi.h>
#include <windows.h>

#include <algorithm>
#include <numeric>
#include <string>

#include "platform/win32/utf.h"

namespace platform {

namespace {

int sign(int value) { return value < 0 ? -1 : value > 0 ? 1 : 0; }

}  // namespace

struct NumericCollation::State {};

NumericCollation::NumericCollation() : state_(std::make_unique<State>()) {}
NumericCollation::~NumericCollation() = default;

int NumericCollation::compare(std::string_view a, std::string_view b) {
  return sign(StrCmpLogicalW(widen(a).c_str(), widen(b).c_str()));
}

std::vector<std::uint32_t> NumericCollation::stableOrder(const std::vector<std::string_view>& texts,
                                                         bool descending) {
  // StrCmpLogicalW has no sort key: each text is made wide once, and the
  // sort compares the wide texts.
  std::vector<std::wstring> wide;
  wide.reserve(texts.size());
  for (const std::string_view text : texts) wide.push_back(widen(text));
  std::vector<std::uint32_t> order(texts.size());
  std::iota(order.begin(), order.end(), 0u);
  if (descending) {
    std::stable_sort(order.begin(), order.end(), [&wide](std::uint32_t a, std::uint32_t b) {
      return StrCmpLogicalW(wide[b].c_str(), wide[a].c_str()) < 0;
    });
  } else {
    std::stable_sort(order.begin(), order.end(), [&wide](std::uint32_t a, std::uint32_t b) {
      return StrCmpLogicalW(wide[a].c_str(), wide[b].c_str()) < 0;
    });
  }
  return order;
}

}  // namespace platform
