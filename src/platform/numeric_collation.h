#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace platform {

// Explorer's order of names: runs of digits compare by their value (2 before
// 10, and at equal values the one with more leading zeros first), case is
// ignored, and the rest compares in the user's locale order.
// Windows: StrCmpLogicalW. POSIX: an ICU collator of the user's locale with
// numeric collation, over case-folded text, at full strength.
class NumericCollation {
 public:
  NumericCollation();
  ~NumericCollation();
  NumericCollation(const NumericCollation&) = delete;
  NumericCollation& operator=(const NumericCollation&) = delete;

  // -1, 0 or +1: a before, equal to, or after b.
  int compare(std::string_view a, std::string_view b);

  // The places of texts in a stable sort, first place first: indices into
  // texts. Texts that compare equal keep their order in either direction.
  std::vector<std::uint32_t> stableOrder(const std::vector<std::string_view>& texts,
                                         bool descending);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace platform
