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

void NumericCollation::compareNeighbours(const std::vector<std::string_view>& texts,
                                         std::span<const std::uint32_t> sequence,
                                         std::span<std::int8_t> results) const {
  if (sequence.size() < 2) return;
  // The collator is only read (ICU's const use, safe on several threads);
  // the folded texts are the caller's thread's own.
  const UCollator* collator = state_->collator.get();
  std::u16string left, right;
  posix::foldInto(texts[sequence[0]], left);
  for (std::size_t k = 0; k + 1 < sequence.size(); ++k) {
    posix::foldInto(texts[sequence[k + 1]], right);
    const UCollationResult result =
        ucol_strcoll(collator, left.data(), static_cast<int32_t>(left.size()), right.data(),
                     static_cast<int32_t>(right.size()));
    results[k] = static_cast<std::int8_t>(result == UCOL_LESS      ? -1
                                          : result == UCOL_GREATER ? 1
                                                                   : 0);
    left.swap(right);
  }
}

void NumericCollation::appendSortKeys(std::span<const std::string_view> texts, std::string& keys,
                                      std::vector<std::size_t>& ends) const {
  // The collator is only read, as in compareNeighbours(); the buffers are
  // the call's own.
  const UCollator* collator = state_->collator.get();
  std::u16string folded;
  std::string key(256, '\0');
  for (const std::string_view text : texts) {
    posix::foldInto(text, folded);
    const auto length = static_cast<int32_t>(folded.size());
    const auto keyOf = [&] {
      return ucol_getSortKey(collator, folded.data(), length,
                             reinterpret_cast<uint8_t*>(key.data()),
                             static_cast<int32_t>(key.size()));
    };
    int32_t size = keyOf();
    if (size > static_cast<int32_t>(key.size())) {
      key.resize(static_cast<std::size_t>(size));
      size = keyOf();
    }
    if (size <= 0) throw std::runtime_error("ICU gave no sort key");
    keys.append(key.data(), static_cast<std::size_t>(size));
    ends.push_back(keys.size());
  }
}

std::vector<std::uint32_t> NumericCollation::stableOrder(const std::vector<std::string_view>& texts,
                                                         bool descending) {
  // Each text folded once; the sort asks the collator for every pair.
  std::vector<std::u16string> folded(texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) posix::foldInto(texts[i], folded[i]);
  UCollator* collator = state_->collator.get();
  const auto less = [&folded, collator](std::uint32_t a, std::uint32_t b) {
    return ucol_strcoll(collator, folded[a].data(), static_cast<int32_t>(folded[a].size()),
                        folded[b].data(), static_cast<int32_t>(folded[b].size())) == UCOL_LESS;
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
