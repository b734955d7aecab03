#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Explorer's order of names: runs of digits compare by their value (2 before
// 10, and at equal values the one with more leading zeros first), case is
// ignored, and the rest compares in the user's locale order.
// Windows: StrCmpLogicalW. POSIX: an ICU collator of the user's locale with
// numeric collation, over case-folded text, at full strength.
//
// The calls are virtual so that tests can hand out keys of their own.
class NumericCollation {
 public:
  NumericCollation();
  virtual ~NumericCollation();
  NumericCollation(const NumericCollation&) = delete;
  NumericCollation& operator=(const NumericCollation&) = delete;

  // -1, 0 or +1: a before, equal to, or after b. The order itself.
  virtual int compare(std::string_view a, std::string_view b);

  // compare() of each neighbour in a sequence of the texts: results[k] is
  // compare(texts[sequence[k]], texts[sequence[k + 1]]), for every k below
  // sequence.size() - 1. Each text is prepared once. Several threads may
  // call it at once, each on its own part of one sequence.
  virtual void compareNeighbours(const std::vector<std::string_view>& texts,
                                 std::span<const std::uint32_t> sequence,
                                 std::span<std::int8_t> results) const;

  // Appends the sort key of each text, in order, to keys, and after each
  // key the end of keys so far to ends; keys compare as unsigned byte
  // strings. POSIX: ICU's own keys, which give exactly compare()'s order.
  // Windows: StrCmpLogicalW has no sort key, and Microsoft documents none
  // that equals it; these keys follow what it is documented to do (digits
  // as numbers, case ignored, the text between in the locale's order), so a
  // caller that needs compare()'s order exactly checks theirs with compare().
  // Several threads may call it at once, each with texts and buffers of its
  // own; a call remembers what it keyed only until it returns.
  virtual void appendSortKeys(std::span<const std::string_view> texts, std::string& keys,
                              std::vector<std::size_t>& ends) const;

  // appendSortKeys() of one text.
  void appendSortKey(std::string_view text, std::string& keys) const;

  // The places of texts in a stable sort by compare() alone, first place
  // first: indices into texts. Texts that compare equal keep their order in
  // either direction.
  virtual std::vector<std::uint32_t> stableOrder(const std::vector<std::string_view>& texts,
                                                 bool descending);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

inline void NumericCollation::appendSortKey(std::string_view text, std::string& keys) const {
  std::vector<std::size_t> ends;
  appendSortKeys(std::span<const std::string_view>(&text, 1), keys, ends);
}

}  // namespace platform
