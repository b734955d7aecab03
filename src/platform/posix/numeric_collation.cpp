#include "platform/numeric_collation.h"

#include <unicode/ucol.h>

#include <algorithm>
#include <numeric>
#include <stdexcept>
#include <string>

#include "platform/posix/icu_text.h"

namespace platform {

struct NumericCollation::State {
  posix::UniqueCollator collator = posix::openUserCollator(true);
  std::u16string first;
  std::u16string second;
  std::string key = std::string(256, '\0');

  // text's sort key; two keys compared as unsigned bytes give compare()'s
  // answer.
  std::string sortKey(std::string_view text) {
    posix::foldInto(text, first);
    const auto length = static_cast<int32_t>(first.size());
    const auto keyOf = [&] {
      return ucol_getSortKey(collator.get(), first.data(), length,
                             reinterpret_cast<uint8_t*>(key.data()),
                             static_cast<int32_t>(key.size()));
    };
    int32_t size = keyOf();
    if (size > static_cast<int32_t>(key.size())) {
      key.resize(static_cast<std::size_t>(size));
      size = keyOf();
    }
    if (size <= 0) throw std::runtime_error("ICU gave no sort key");
    return key.substr(0, static_cast<std::size_t>(size));
  }
};

NumericCollation::NumericCollation() : state_(std::make_unique<State>()) {}
NumericCollation::~NumericCollation() = default;

int NumericCollation::compare(std::string_view a, std::string_view b) {
  posix::foldInto(a, state_->first);
  posix::foldInto(b, state_->second);
  const UCollationResult result = ucol_strcoll(
      state_->collator.get(), state_->first.data(), static_cast<int32_t>(state_->first.size()),
      state_->second.data(), static_cast<int32_t>(state_->second.size()));
  return result == UCOL_LESS ? -1 : result == UCOL_GREATER ? 1 : 0;
}

std::vector<std::uint32_t> NumericCollation::stableOrder(const std::vector<std::string_view>& texts,
                                                         bool descending) {
  // One key per text, compared as bytes: no collator call per comparison.
  std::vector<std::string> keys;
  keys.reserve(texts.size());
  for (const std::string_view text : texts) keys.push_back(state_->sortKey(text));
  const auto less = [&keys](std::uint32_t a, std::uint32_t b) {
    return std::string_view(keys[a]) < std::string_view(keys[b]);
  };
  std::vector<std::uint32_t> order(texts.size());
  std::iota(order.begin(), order.end(), 0u);
  if (descending) {
    std::stable_sort(order.begin(), order.end(),
                     [&less](std::uint32_t a, std::uint32_t b) { return less(b, a); });
  } else {
    std::stable_sort(order.begin(), order.end(), less);
  }
  return order;
}

}  // namespace platform
