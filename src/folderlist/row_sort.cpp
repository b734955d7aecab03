#include "folderlist/row_sort.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "folderlist/column_sort.h"

namespace folderlist {

namespace {

// One row's place in the sort: its key in the shared key buffer, with the
// key's first eight bytes as a big-endian number, so most comparisons need
// no memory beyond the slot itself.
struct Slot {
  std::uint64_t head;
  std::size_t offset;
  std::uint32_t length;
  std::uint32_t row;
};

std::uint64_t byteSwapped(std::uint64_t v) {
#if defined(__GNUC__) || defined(__clang__)
  return __builtin_bswap64(v);
#else
  std::uint64_t r = 0;
  for (int i = 0; i < 8; ++i, v >>= 8) r = (r << 8) | (v & 0xFF);
  return r;
#endif
}

// Eight bytes of a key from `from` on, as a big-endian number, zeros past
// the end: comparing these numbers compares the bytes as unsigned.
std::uint64_t wordAt(const char* key, std::size_t length, std::size_t from) {
  if (from + 8 <= length && std::endian::native == std::endian::little) {
    std::uint64_t word;
    std::memcpy(&word, key + from, 8);
    return byteSwapped(word);
  }
  std::uint64_t word = 0;
  for (std::size_t i = from; i < from + 8; ++i) {
    word <<= 8;
    if (i < length) word |= static_cast<unsigned char>(key[i]);
  }
  return word;
}

std::uint64_t headOf(std::string_view key) { return wordAt(key.data(), key.size(), 0); }

// The keys' unsigned byte order, eight bytes at a time, without a call into
// the C library per comparison.
bool keyLess(const char* a, std::size_t aLength, const char* b, std::size_t bLength) {
  const std::size_t common = std::min(aLength, bLength);
  for (std::size_t i = 8; i < common; i += 8) {
    const std::uint64_t x = wordAt(a, aLength, i);
    const std::uint64_t y = wordAt(b, bLength, i);
    if (x != y) {
      // Zero padding past a shorter key sorts it first, as it should only
      // when the other key goes on with bytes of its own: compare exactly.
      if (i + 8 > common) break;
      return x < y;
    }
  }
  return std::string_view(a, aLength) < std::string_view(b, bLength);
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Printable ASCII that is neither a letter nor a digit: separators.
bool isSeparator(char c) {
  const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  return c >= ' ' && c <= '~' && !letter && !isDigit(c);
}

// True when the texts have the shape of time texts: all of one length, and
// at each place either a digit in every text or one and the same separator.
// Such texts differ only in digits at the same places, which every locale
// orders 0 to 9, so their bytes are in the collation's order and need no key.
bool digitsInOneFrame(const EntryRows& rows, std::int32_t column) {
  std::string frame(*columnText(rows.front(), column));
  if (frame.empty()) return false;
  for (char& c : frame) {
    if (isDigit(c)) {
      c = '0';
    } else if (!isSeparator(c)) {
      return false;
    }
  }
  for (const ListEntry& entry : rows) {
    const std::string_view text = *columnText(entry, column);
    if (text.size() != frame.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (frame[i] == '0' ? !isDigit(text[i]) : text[i] != frame[i]) return false;
    }
  }
  return true;
}

// The slots of all rows, each with the key of its column text. Texts that
// repeat (the kind column has two, times often repeat) are keyed once.
std::vector<Slot> keyedSlots(const EntryRows& rows, std::int32_t column,
                             platform::TextCollation& collation, std::string& keys) {
  std::vector<Slot> slots;
  slots.reserve(rows.size());
  keys.reserve(rows.size() * 24);
  std::unordered_map<std::string_view, std::pair<std::size_t, std::uint32_t>> keyed;
  const bool ownKeys = digitsInOneFrame(rows, column);
  const bool repeats = column != kNameColumn && !ownKeys;
  for (std::size_t row = 0; row < rows.size(); ++row) {
    const std::string_view text = *columnText(rows[row], column);
    std::pair<std::size_t, std::uint32_t> place;
    auto found = repeats ? keyed.find(text) : keyed.end();
    if (found != keyed.end()) {
      place = found->second;
    } else {
      const std::size_t offset = keys.size();
      if (ownKeys) {
        keys += text;
      } else {
        collation.appendSortKey(text, keys);
      }
      place = {offset, static_cast<std::uint32_t>(keys.size() - offset)};
      if (repeats) keyed.emplace(text, place);
    }
    slots.push_back({0, place.first, place.second, static_cast<std::uint32_t>(row)});
  }
  for (Slot& slot : slots)
    slot.head = headOf(std::string_view(keys).substr(slot.offset, slot.length));
  return slots;
}

}  // namespace

ListMarks sortRows(EntryRows& rows, const ListMarks& before, std::int32_t column, bool descending,
                   platform::TextCollation& collation) {
  ListMarks marks = before;
  if (rows.size() < 2 || !columnText(rows.front(), column)) return marks;

  std::string keys;
  std::vector<Slot> slots = keyedSlots(rows, column, collation, keys);
  const std::string_view all(keys);
  const auto less = [all](const Slot& a, const Slot& b) {
    if (a.head != b.head) return a.head < b.head;
    if (a.offset == b.offset) return false;  // one text, keyed once
    return keyLess(all.data() + a.offset, a.length, all.data() + b.offset, b.length);
  };
  if (descending) {
    std::stable_sort(slots.begin(), slots.end(),
                     [&less](const Slot& a, const Slot& b) { return less(b, a); });
  } else {
    std::stable_sort(slots.begin(), slots.end(), less);
  }

  std::vector<std::uint32_t> order(slots.size());
  for (std::size_t place = 0; place < slots.size(); ++place) order[place] = slots[place].row;
  return reorderRows(rows, marks, order);
}

ListMarks reorderRows(EntryRows& rows, const ListMarks& before,
                      const std::vector<std::uint32_t>& order) {
  ListMarks marks = before;
  // Where each row goes.
  std::vector<std::uint32_t> target(rows.size());
  for (std::size_t place = 0; place < order.size(); ++place) {
    target[order[place]] = static_cast<std::uint32_t>(place);
  }

  const auto moved = [&target](int row) {
    return row >= 0 && static_cast<std::size_t>(row) < target.size()
               ? static_cast<int>(target[static_cast<std::size_t>(row)])
               : row;
  };
  for (int& row : marks.selected) row = moved(row);
  std::sort(marks.selected.begin(), marks.selected.end());
  marks.focused = moved(marks.focused);
  marks.selectionMark = moved(marks.selectionMark);

  // In place, cycle by cycle: no second copy of the rows.
  for (std::size_t row = 0; row < rows.size(); ++row) {
    while (target[row] != row) {
      const std::uint32_t to = target[row];
      std::swap(rows[row], rows[to]);
      std::swap(target[row], target[to]);
    }
  }
  return marks;
}

}  // namespace folderlist
