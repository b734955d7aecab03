#include "folderlist/key_slots.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace folderlist {

namespace {

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

// Whether slot a, its key offset counting from aKeys, goes before slot b.
bool slotLess(const KeySlot& a, const char* aKeys, const KeySlot& b, const char* bKeys) {
  if (a.head != b.head) return a.head < b.head;
  const char* aKey = aKeys + a.offset;
  const char* bKey = bKeys + b.offset;
  if (aKey == bKey) return false;  // one text, keyed once
  return keyLess(aKey, a.length, bKey, b.length);
}

}  // namespace

KeySlot keySlot(std::string_view keys, std::size_t offset, std::uint32_t length,
                std::uint32_t row) {
  return {wordAt(keys.data() + offset, length, 0), offset, length, row};
}

void sortKeySlots(std::span<KeySlot> slots, std::string_view keys, bool descending) {
  const char* base = keys.data();
  const auto less = [base](const KeySlot& a, const KeySlot& b) {
    return slotLess(a, base, b, base);
  };
  if (descending) {
    std::stable_sort(slots.begin(), slots.end(),
                     [&less](const KeySlot& a, const KeySlot& b) { return less(b, a); });
  } else {
    std::stable_sort(slots.begin(), slots.end(), less);
  }
}

bool SlotOrder::less(const KeySlot& a, const KeySlot& b) const {
  return slotLess(a, keys_->of(a), b, keys_->of(b));
}

std::vector<std::uint32_t> rowsOf(const std::vector<KeySlot>& slots) {
  std::vector<std::uint32_t> rows(slots.size());
  for (std::size_t place = 0; place < slots.size(); ++place) rows[place] = slots[place].row;
  return rows;
}

}  // namespace folderlist
