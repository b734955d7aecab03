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

// Calls work with the slots' order in the wanted direction: whether one
// slot goes before another.
template <typename Work>
void inDirection(std::string_view keys, bool descending, Work work) {
  const auto less = [keys](const KeySlot& a, const KeySlot& b) {
    if (a.head != b.head) return a.head < b.head;
    if (a.offset == b.offset) return false;  // one text, keyed once
    return keyLess(keys.data() + a.offset, a.length, keys.data() + b.offset, b.length);
  };
  if (descending) {
    work([&less](const KeySlot& a, const KeySlot& b) { return less(b, a); });
  } else {
    work(less);
  }
}

}  // namespace

KeySlot keySlot(std::string_view keys, std::size_t offset, std::uint32_t length,
                std::uint32_t row) {
  return {wordAt(keys.data() + offset, length, 0), offset, length, row};
}

void sortKeySlots(std::vector<KeySlot>& slots, std::string_view keys, bool descending) {
  inDirection(keys, descending,
              [&slots](auto before) { std::stable_sort(slots.begin(), slots.end(), before); });
}

void mergeKeySlotRuns(std::vector<KeySlot>& slots, std::vector<std::size_t> runEnds,
                      std::string_view keys, bool descending) {
  const auto at = [&slots](std::size_t place) {
    return slots.begin() + static_cast<std::ptrdiff_t>(place);
  };
  inDirection(keys, descending, [&](auto before) {
    // Neighbouring runs in pairs, each round halving the runs: every slot
    // moves about log2(runs) times.
    while (runEnds.size() > 1) {
      std::vector<std::size_t> merged;
      std::size_t start = 0;
      for (std::size_t run = 0; run < runEnds.size(); run += 2) {
        if (run + 1 < runEnds.size()) {
          std::inplace_merge(at(start), at(runEnds[run]), at(runEnds[run + 1]), before);
          start = runEnds[run + 1];
        } else {
          start = runEnds[run];
        }
        merged.push_back(start);
      }
      runEnds = std::move(merged);
    }
  });
}

std::vector<std::uint32_t> rowsOf(const std::vector<KeySlot>& slots) {
  std::vector<std::uint32_t> rows(slots.size());
  for (std::size_t place = 0; place < slots.size(); ++place) rows[place] = slots[place].row;
  return rows;
}

}  // namespace folderlist
