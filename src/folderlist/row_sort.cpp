#include "folderlist/row_sort.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "folderlist/column_sort.h"
#include "folderlist/key_slots.h"

namespace folderlist {

namespace {

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
std::vector<KeySlot> keyedSlots(const EntryRows& rows, std::int32_t column,
                                platform::TextCollation& collation, std::string& keys) {
  std::vector<KeySlot> slots;
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
  for (KeySlot& slot : slots) slot = keySlot(keys, slot.offset, slot.length, slot.row);
  return slots;
}

}  // namespace

ListMarks sortRows(EntryRows& rows, const ListMarks& before, std::int32_t column, bool descending,
                   platform::TextCollation& collation) {
  ListMarks marks = before;
  if (rows.size() < 2 || !columnText(rows.front(), column)) return marks;

  std::string keys;
  std::vector<KeySlot> slots = keyedSlots(rows, column, collation, keys);
  sortKeySlots(slots, keys, descending);
  return reorderRows(rows, marks, rowsOf(slots));
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
