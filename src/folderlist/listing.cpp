#include "folderlist/listing.h"

#include <algorithm>
#include <string>

#include "folderlist/local_time_cache.h"
#include "folderlist/time_text.h"
#include "platform/path.h"

namespace folderlist {

namespace {

constexpr std::string_view kMatchAll = "*.*";

// The time text of a last-write time, written into `text`: local time by the
// rules of that date, at the two-second resolution of a DOS date-time (an odd
// second and any fraction dropped). A time outside the DOS range (1980 to
// 2107) is shown the same way rather than hidden, since it is still the
// entry's real time. A zero file time is what file systems without a
// last-write time report; it, like a time the zone rules cannot convert,
// gives an empty text.
void timeTextOf(std::string& text, platform::FileTime lastWriteUtc,
                const platform::DateTimeSeparators& separators, LocalTimeCache& zone) {
  text.clear();
  if (lastWriteUtc == 0) return;
  auto local = zone.toLocal(lastWriteUtc);
  if (!local) return;
  local->second -= local->second % 2;
  formatTimeTextInto(text, *local, separators);
}

}  // namespace

EntryRows listFolder(std::string_view folderPath, const platform::DateTimeSeparators& separators,
                     const SearchOpener& open) {
  EntryRows rows;
  listFolderInto(rows, folderPath, separators, open);
  return rows;
}

void listFolderInto(EntryRows& rows, std::string_view folderPath,
                    const platform::DateTimeSeparators& separators, const SearchOpener& open) {
  rows.clear();
  // No folder selected: nothing to list (on Windows "\*.*" would name the
  // current drive's root instead).
  if (folderPath.empty()) return;
  // Nothing looks for a separator already at the end: a drive root gives two
  // in a row, which the file system reads as one.
  std::string pattern;
  pattern.reserve(folderPath.size() + 1 + kMatchAll.size());
  pattern.append(folderPath);
  pattern.push_back(platform::kPathSeparator);
  pattern.append(kMatchAll);

  const std::unique_ptr<platform::FolderSearch> search = open(pattern);
  if (!search) return;

  // Capped, so that a folder whose size says little (a file system that
  // reports another size) costs no more than a large listing.
  rows.reserve(std::min<std::size_t>(search->sizeHint(), 1u << 20));
  LocalTimeCache zone(platform::utcToLocal);
  std::string text;  // one buffer for every row's time text, copied into the row
  platform::FoundEntry found;
  while (search->next(found)) {
    if (found.name == "." || found.name == "..") continue;
    timeTextOf(text, found.lastWriteUtc, separators, zone);
    // Made in place from its parts: each field written once.
    rows.emplace_back(
        std::move(found.name),
        std::string(found.attributes & platform::kAttrDirectory ? kFolderKind : std::string_view()),
        ShortText(text));
  }
}

}  // namespace folderlist
