#include "cardslots/ordered_landing.h"

#include <map>
#include <utility>

#include "platform/path.h"

namespace cardslots {

namespace {

using platform::OsErrorCode;
using Outcome = LandingReport::Outcome;

constexpr std::uint64_t kSlotBytes = 32;
// No FAT folder holds more than 64 Ki slots (fastfat refuses to grow one
// further, Linux stops at FAT_MAX_DIR_SIZE): one folder's indexes lie
// within 2 MB of each other.
constexpr std::uint64_t kFolderBytes = 64 * 1024 * kSlotBytes;
// The most slots one name takes on FAT: 255 units in 20 long-name slots and
// the short entry. An entry that passed over the never-used slots at the
// end left fewer than that.
constexpr int kMostSlotsOfAName = 21;
constexpr int kTriesPerEntry = 3;
constexpr int kMostRestarts = 4;

std::string joined(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == platform::kPathSeparator) return folder + name;
  return platform::joinPath(folder, name);
}

bool exists(OsErrorCode error) {
  return error == platform::kErrorFileExists || error == platform::kErrorAlreadyExists;
}

}  // namespace

std::size_t OrderedLanding::mostPlaceholders(std::size_t names, std::uint64_t clusterBytes) {
  const std::uint64_t cluster = clusterBytes != 0 ? clusterBytes : 512;
  return 64 + 2 * names + static_cast<std::size_t>(cluster / kSlotBytes);
}

OrderedLanding::OrderedLanding(SlotCalls& calls, LandingPlace place)
    : calls_(calls),
      place_(std::move(place)),
      names_(place_.names),
      restartsLeft_(kMostRestarts),
      budget_(mostPlaceholders(place_.names.size(), place_.clusterBytes)) {}

OrderedLanding::~OrderedLanding() {
  if (!finished_) finish();
}

std::string OrderedLanding::inFolder(const std::string& name) const {
  return joined(place_.folder, name);
}

std::string OrderedLanding::inHolding(const std::string& name) const {
  return joined(place_.holding.empty() ? ownHolding_ : place_.holding, name);
}

bool OrderedLanding::slotLike(std::uint64_t index) {
  if (!anchor_) {
    anchor_ = index;
    return true;
  }
  const std::uint64_t apart = index > *anchor_ ? index - *anchor_ : *anchor_ - index;
  return apart % kSlotBytes == 0 && apart < kFolderBytes;
}

std::optional<std::uint64_t> OrderedLanding::observe(const std::string& name) {
  std::uint64_t index = 0;
  if (calls_.entryIndex(inFolder(name), index) != 0 || !slotLike(index)) {
    if (state_ == State::Watching) state_ = State::Blind;
    return std::nullopt;
  }
  return index;
}

OsErrorCode OrderedLanding::arrived(const std::string& name) {
  if (state_ != State::Watching) return 0;
  const std::optional<std::uint64_t> index = observe(name);
  if (!index) return 0;
  return settle(name, *index, kTriesPerEntry);
}

OsErrorCode OrderedLanding::settle(const std::string& name, std::uint64_t index, int tries) {
  if (landed_.empty() || index > landed_.back().index) {
    landed_.push_back({name, index});
    return 0;
  }
  if (!reread(name, index)) return 0;
  if (landed_.empty() || index > landed_.back().index) {
    landed_.push_back({name, index});
    return 0;
  }
  if (tries == 0) {
    state_ = State::GaveUp;
    return 0;
  }
  // The entries it lies before went to the never-used slots at the end
  // while free ones before them are many: filling those costs more than
  // moving these out and in again. Tried once an arrival: where the same
  // comes of it, the hole was a small one after all.
  std::size_t after = landed_.size();
  while (after > 0 && landed_[after - 1].index > index) --after;
  const std::size_t passed = landed_.size() - after;
  const std::uint64_t between = (landed_.back().index - index) / kSlotBytes;
  if (tries == kTriesPerEntry && restartsLeft_ > 0 && between > 2 * passed) {
    return restart(name, index, after, tries - 1);
  }
  return plug(name, tries - 1);
}

bool OrderedLanding::reread(const std::string& name, std::uint64_t& index) {
  std::vector<platform::IndexedItem> items;
  if (calls_.listIndexes(place_.folder, items) != 0) {
    state_ = State::Blind;
    return false;
  }
  std::map<std::string, std::uint64_t> indexOf;
  for (const platform::IndexedItem& item : items) indexOf.emplace(item.name, item.index);
  const auto known = [&](const std::string& entry, std::uint64_t& at) {
    const auto found = indexOf.find(entry);
    if (found == indexOf.end() || !slotLike(found->second)) return false;
    at = found->second;
    return true;
  };
  for (Landed& landed : landed_) {
    if (!known(landed.name, landed.index)) {
      state_ = State::Blind;
      return false;
    }
  }
  if (!known(name, index)) {
    state_ = State::Blind;
    return false;
  }
  for (std::size_t i = 1; i < landed_.size(); ++i) {
    if (landed_[i].index <= landed_[i - 1].index) {
      state_ = State::GaveUp;  // entries that landed in order no longer are
      return false;
    }
  }
  return true;
}

OsErrorCode OrderedLanding::plug(const std::string& name, int tries) {
  if (!holdingReady()) return 0;
  ++report_.plugs;
  const std::uint64_t last = landed_.back().index;
  if (const OsErrorCode error = moveOut(name)) return error;
  // Lowest free slots first, but for the never-used ones at the end, which
  // Windows' driver fills first and which are fewer than the entry's slots.
  // The first placeholder past the last entry after the holes stays too: it
  // lies between no two entries of the list.
  bool behind = false;
  int past = 0;
  while (const std::optional<std::uint64_t> at = placeholder()) {
    if (*at < last) {
      behind = true;
      continue;
    }
    if (behind || ++past >= kMostSlotsOfAName) break;
  }
  if (const OsErrorCode error = moveIn(name)) return error;
  if (state_ != State::Watching) return 0;
  const std::optional<std::uint64_t> index = observe(name);
  if (!index) return 0;
  return settle(name, *index, tries);
}

OsErrorCode OrderedLanding::restart(const std::string& name, std::uint64_t index, std::size_t keep,
                                    int tries) {
  if (!holdingReady()) return 0;
  ++report_.restarts;
  --restartsLeft_;
  std::vector<std::string> again;
  for (std::size_t i = keep; i < landed_.size(); ++i) again.push_back(landed_[i].name);
  again.push_back(name);
  landed_.resize(keep);
  for (std::size_t i = 0; i < again.size(); ++i) {
    if (const OsErrorCode error = moveOut(again[i])) {
      bringIn(again, 0, i);
      return error;
    }
  }
  // The never-used slots the arrival did not fit take placeholders, which
  // lie past where it was; the first that does not has found the first free
  // slot before it, which the first entry out is to have.
  int past = 0;
  while (const std::optional<std::uint64_t> at = placeholder()) {
    if (*at > index && ++past < kMostSlotsOfAName) continue;
    if (*at <= index) removeLastPlaceholder();
    break;
  }
  for (std::size_t i = 0; i < again.size(); ++i) {
    if (const OsErrorCode error = moveIn(again[i])) {
      bringIn(again, i + 1, again.size());
      return error;
    }
    if (state_ != State::Watching) continue;
    const std::optional<std::uint64_t> at = observe(again[i]);
    if (!at) continue;
    if (const OsErrorCode error = settle(again[i], *at, tries)) {
      bringIn(again, i + 1, again.size());
      return error;
    }
  }
  return 0;
}

std::optional<std::uint64_t> OrderedLanding::placeholder() {
  if (placeholders_.size() >= budget_) {
    state_ = State::GaveUp;
    return std::nullopt;
  }
  for (;;) {
    const std::string name = names_.nextFile();
    if (name.empty()) {
      state_ = State::GaveUp;
      return std::nullopt;
    }
    const std::string path = inFolder(name);
    const OsErrorCode error = calls_.createFile(path);
    if (exists(error)) continue;  // someone's file of that name: the next
    // A full folder or card: nothing more can be filled.
    if (error != 0) return std::nullopt;
    placeholders_.push_back(path);
    ++report_.placeholders;
    return observe(name);
  }
}

void OrderedLanding::removeLastPlaceholder() {
  if (calls_.removeFile(placeholders_.back()) == 0) placeholders_.pop_back();
}

bool OrderedLanding::holdingReady() {
  if (!place_.holding.empty() || !ownHolding_.empty()) return true;
  for (std::string name = names_.nextFolder(); !name.empty(); name = names_.nextFolder()) {
    const OsErrorCode error = calls_.createFolder(inFolder(name));
    if (error == 0) {
      ownHolding_ = inFolder(name);
      return true;
    }
    if (!exists(error)) break;
  }
  // Nowhere for an entry to wait: it stays where it landed.
  state_ = State::GaveUp;
  return false;
}

OsErrorCode OrderedLanding::moveOut(const std::string& name) {
  ++report_.extraMoves;
  if (const OsErrorCode error = calls_.moveEntry(inFolder(name), inHolding(name))) {
    return fail(error, inFolder(name));
  }
  return 0;
}

OsErrorCode OrderedLanding::comeIn(const std::string& name) {
  ++report_.extraMoves;
  OsErrorCode error = calls_.moveEntry(inHolding(name), inFolder(name));
  if (error != 0 && !placeholders_.empty()) {
    // The placeholders may have taken the room the entry left (a full
    // fixed root): they go, and with them the hope of the order.
    removePlaceholders();
    if (state_ == State::Watching) state_ = State::GaveUp;
    error = calls_.moveEntry(inHolding(name), inFolder(name));
  }
  if (error != 0) report_.leftInHolding.push_back(name);
  return error;
}

OsErrorCode OrderedLanding::moveIn(const std::string& name) {
  if (const OsErrorCode error = comeIn(name)) return fail(error, inHolding(name));
  return 0;
}

void OrderedLanding::bringIn(const std::vector<std::string>& names, std::size_t from,
                             std::size_t to) {
  for (std::size_t i = from; i < to; ++i) comeIn(names[i]);
}

void OrderedLanding::removePlaceholders() {
  // Newest first; a removal never moves an entry.
  for (auto it = placeholders_.rbegin(); it != placeholders_.rend(); ++it) {
    if (calls_.removeFile(*it) != 0) report_.leftBehind.push_back(*it);
  }
  placeholders_.clear();
}

OsErrorCode OrderedLanding::fail(OsErrorCode error, const std::string& path) {
  if (state_ != State::Failed) {
    state_ = State::Failed;
    report_.error = error;
    report_.failedPath = path;
  }
  return error;
}

bool OrderedLanding::inOrderNow() {
  std::vector<platform::IndexedItem> items;
  if (calls_.listIndexes(place_.folder, items) != 0) return false;
  std::map<std::string, std::uint64_t> indexOf;
  for (const platform::IndexedItem& item : items) indexOf.emplace(item.name, item.index);
  const std::uint64_t* before = nullptr;
  for (const Landed& landed : landed_) {
    const auto found = indexOf.find(landed.name);
    if (found == indexOf.end()) return false;
    if (before && found->second <= *before) return false;
    before = &found->second;
  }
  return true;
}

LandingReport OrderedLanding::finish() {
  if (finished_) return report_;
  finished_ = true;
  removePlaceholders();
  if (!ownHolding_.empty() && report_.leftInHolding.empty() &&
      calls_.removeFolder(ownHolding_) != 0) {
    report_.leftBehind.push_back(ownHolding_);
  }
  switch (state_) {
    case State::Failed:
      report_.outcome = Outcome::Failed;
      break;
    case State::Blind:
      report_.outcome = Outcome::NotObserved;
      break;
    case State::GaveUp:
      report_.outcome = Outcome::OutOfOrder;
      break;
    case State::Watching:
      report_.outcome = inOrderNow() ? Outcome::InOrder : Outcome::OutOfOrder;
      break;
  }
  return report_;
}

}  // namespace cardslots
