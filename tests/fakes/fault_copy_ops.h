#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cardcopy/volume_rules.h"
#include "fakes/fat_card_folders.h"
#include "platform/copy_ops.h"
#include "platform/path.h"

namespace fakes {

// An in-memory file system for copying the rows: folders keep their entries
// in the order they were made (as FAT does) or sorted by name (as NTFS
// does), every write is recorded, and chosen operations fail on chosen paths.
// A file is copied in two pieces: after the first the target exists half
// written, then stop is asked, so a stop or a fault leaves a partial file for
// the caller to remove. A copy gets the source's times. A move renames a
// node and everything under it, keeping contents and times, and appends it
// to its new folder's order, as FAT does.
//
// A folder can be made the root of a card as Windows' FAT and exFAT drivers
// keep it (formatCard): names compared case-blind (a second one fails with
// "file exists"), times outside 1980-2107 refused with ERROR_INVALID_PARAMETER,
// FAT files of 4 GiB or more failing with "disk full" part way, every name's
// directory entries, each folder's clusters and every file's counted
// against the free space, FAT12/16's root full at 512 entries, and the card
// pulled out after a number of writes.
//
// Formatted with slots, every folder on the card lays out its entries as
// Windows' FAT driver (or Linux's) does (FatCardFolders): enumerations in
// slot order, a file index of the folder's place and the entry's short
// entry, a move into another folder taking new slots there before the old
// ones are freed, a rename keeping its slots while their number stays, and
// the folders' growth counted against the free space.
class FaultCopyOps : public platform::CopyOps {
 public:
  enum class Op {
    Stat,
    OpenSource,
    ListFolder,
    VolumeSpace,
    ReadTimes,
    CreateFolder,
    CopyFile,  // fails after the first piece, the target half written
    ListNames,
    SetTimes,
    RemoveFile,
    VolumeFacts,
    MoveEntry,  // keyed by the entry moved (its path before the move)
    OpenExclusive,
    WriteNewFile,
    ReadWholeFile,
    RemoveFolder,
    EntryIndex,
    ListIndexes,
  };
  static const char* opName(Op op);

  struct Node {
    bool folder = false;
    std::string content;
    std::uint64_t size = 0;  // a file's size where it is larger than its content
    platform::EntryTimes times;
    std::vector<std::string> order;  // a folder's entries as the enumeration gives them
    bool hiddenSystem = false;
    std::uint64_t entryBytes = 0;  // on a card: the directory entries its names take
    std::uint64_t clusters = 0;    // on a card: the clusters it holds
    std::uint64_t serial = 0;      // a number of its own for life, as an inode
  };

  // One write, as the test reads the order of writes.
  struct Write {
    Op op;
    std::string path;
    friend bool operator==(const Write&, const Write&) = default;
  };

  explicit FaultCopyOps(char separator = platform::kPathSeparator) : separator_(separator) {}

  // Folders a path needs are made on the way, in the order named.
  void addFile(const std::string& path, std::string content, platform::EntryTimes times = {});
  // A file that reports a size without holding its bytes (4 GiB, say).
  void addSizedFile(const std::string& path, std::uint64_t size, platform::EntryTimes times = {});
  void addFolder(const std::string& path, platform::EntryTimes times = {});
  // Hidden and system both, as System Volume Information.
  void markHiddenSystem(const std::string& path) { nodes_.at(path).hiddenSystem = true; }

  // The folder becomes a card's root, with Windows' rules for the volume's
  // file system (Fat is FAT12/16). The free space is counted down from
  // volume.freeBytes as the card fills; toLocal gives the local time the
  // card's times are kept in. Entries already under the root count.
  // Where a card's folders put new entries: at the end of the order, as
  // the drivers do in a folder that never lost an entry, or slot by slot.
  enum class CardSlots { Appended, Fastfat, LowestFit };
  void formatCard(const std::string& root, platform::VolumeSpace volume,
                  cardcopy::LocalTimeOf toLocal, CardSlots slots = CardSlots::Appended);
  // A card folder's slots, or null when the card keeps none.
  const FatDirectory* cardFolder(const std::string& path) const;
  // The card's file indexes tell nothing of slots, as under Wine, where
  // they are Linux's inode numbers: each entry keeps a number of its own.
  void indexCardBySerial() { cardBySerial_ = true; }
  // The card taken out and put back: every folder's hints read anew.
  void remountCard() {
    if (cardFolders_) cardFolders_->rescanAll();
  }
  // What volumeSpace reports for the card while GetVolumeInformationW fails,
  // as under Wine on a FUSE mount: the file system and its cluster unknown.
  void hideCardFileSystem() { cardHidden_ = true; }
  // The card is pulled out after this many more writes: every later call
  // on it fails with ERROR_NOT_READY.
  void pullCardAfter(int writes) { writesLeft_ = writes; }
  std::uint64_t cardFree() const { return card_.freeBytes; }
  // The files written out (flushed) before they were closed.
  const std::vector<std::string>& flushed() const { return flushed_; }
  // Folders under this path list their entries sorted, as NTFS does.
  void keepSorted(const std::string& path) { sorted_.push_back(path); }
  void setSpace(platform::VolumeSpace space) { space_ = space; }
  // What volumeFacts answers; nullopt makes it fail as on a FUSE mount.
  void setVolumeFacts(std::optional<platform::VolumeFacts> facts) { facts_ = std::move(facts); }
  // Every move from the n-th on (counting from 0) fails with error, as when
  // the card is pulled out.
  void failMovesFrom(int n, platform::OsErrorCode error) {
    failMovesFrom_ = n;
    failMovesWith_ = error;
  }
  // The path resolves elsewhere, as a link or junction does.
  void alias(const std::string& path, const std::string& resolved) { aliases_[path] = resolved; }

  void injectFault(Op op, const std::string& path,
                   platform::OsErrorCode error = platform::kErrorAccessDenied);

  const Node* find(const std::string& path) const;
  // The entries of a folder in enumeration order.
  std::vector<std::string> listed(const std::string& path) const;
  const std::vector<Write>& writes() const { return writes_; }
  // The moves tried, in order, whether they succeeded or not.
  struct Move {
    std::string from;
    std::string to;
    friend bool operator==(const Move&, const Move&) = default;
  };
  const std::vector<Move>& moves() const { return moves_; }
  // The exclusive opens tried, and how many of them are open now.
  const std::vector<std::string>& exclusiveOpens() const { return exclusiveOpens_; }
  // Every path that exists under a folder, in no particular order.
  std::vector<std::string> under(const std::string& path) const;
  // The copies started so far; a stop hook can look at it.
  int copiesStarted() const { return copiesStarted_; }
  // Opening a source fails with kErrorTooManyOpenFiles while this many are
  // open, as a process short of handles; 0 for no limit.
  void limitOpenSources(int most) { mostOpen_ = most; }
  int sourcesOpen() const { return sourcesOpen_; }
  // The copies handed a source the check had opened.
  int heldCopies() const { return heldCopies_; }

  platform::EntryStat stat(const std::string& path) override;
  platform::OsErrorCode openSource(const std::string& path,
                                   platform::OpenedSource& source) override;
  platform::OsErrorCode listFolder(const std::string& path,
                                   std::vector<platform::FolderItem>& items) override;
  platform::OsErrorCode listNames(const std::string& path,
                                  std::vector<platform::FolderItem>& names) override;
  platform::OsErrorCode volumeSpace(const std::string& folder,
                                    platform::VolumeSpace& space) override;
  std::string comparablePath(const std::string& path) override;
  platform::OsErrorCode readTimes(const std::string& path, platform::EntryTimes& times) override;
  platform::OsErrorCode createFolder(const std::string& path) override;
  platform::OsErrorCode copyFile(const std::string& from, platform::OpenedSource opened,
                                 const std::string& to, const platform::StopRequested& stop,
                                 bool flush, bool& created) override;
  platform::OsErrorCode setTimes(const std::string& path, const platform::EntryTimes& times,
                                 bool folder) override;
  platform::OsErrorCode removeFile(const std::string& path) override;
  platform::OsErrorCode volumeFacts(const std::string& folder,
                                    platform::VolumeFacts& facts) override;
  platform::OsErrorCode moveEntry(const std::string& from, const std::string& to) override;
  platform::OsErrorCode openExclusive(const std::string& path) override;
  platform::OsErrorCode writeNewFile(const std::string& path, std::string_view bytes) override;
  platform::OsErrorCode readWholeFile(const std::string& path, std::string& bytes) override;
  platform::OsErrorCode removeFolder(const std::string& path) override;
  platform::OsErrorCode entryIndex(const std::string& path, std::uint64_t& index) override;
  platform::OsErrorCode listIndexes(const std::string& path,
                                    std::vector<platform::IndexedItem>& items) override;

 private:
  void unlink(const std::string& path);
  std::optional<platform::OsErrorCode> fault(Op op, const std::string& path) const;
  std::pair<std::string, std::string> split(const std::string& path) const;
  // Adds a node under its parent, which must be a folder; 0, or the error
  // the system gives (a card's rules included).
  platform::OsErrorCode link(const std::string& path, Node node);
  bool sortedUnder(const std::string& path) const;
  bool onCard(const std::string& path) const;
  // A card's rules on a new name in a folder: its entries, the folder's growth.
  platform::OsErrorCode takeEntries(Node& parent, bool atRoot, const std::string& name);
  // The same where the card keeps slots; a new folder's own cluster is left
  // for it.
  platform::OsErrorCode takeSlots(const std::string& parent, const std::string& name,
                                  bool newFolder);
  // A move's slots: new ones in the target first, then the old ones freed.
  platform::OsErrorCode moveSlots(const std::string& fromParent, const std::string& fromName,
                                  const std::string& toParent, const std::string& toName);
  bool keepsSlots(const std::string& folder) const {
    return cardFolders_ && cardFolders_->knows(folder);
  }
  platform::OsErrorCode takeBytes(std::uint64_t bytes);
  bool cardTakesTimes(const platform::EntryTimes& times) const;
  // The card's state for a call on the path: ERROR_NOT_READY once pulled out.
  std::optional<platform::OsErrorCode> pulled(const std::string& path, bool write);
  std::uint64_t sizeOf(const Node& node) const;

  char separator_;
  std::map<std::string, Node> nodes_;
  std::map<std::pair<Op, std::string>, platform::OsErrorCode> faults_;
  std::vector<Write> writes_;
  std::vector<std::string> sorted_;
  std::map<std::string, std::string> aliases_;
  platform::VolumeSpace space_{1ull << 40, 4096};
  std::string cardRoot_;
  std::unique_ptr<FatCardFolders> cardFolders_;
  bool cardBySerial_ = false;
  platform::VolumeSpace card_;
  cardcopy::LocalTimeOf toLocal_;
  bool cardHidden_ = false;
  int writesLeft_ = -1;  // -1: the card stays
  std::vector<std::string> flushed_;
  int copiesStarted_ = 0;
  int mostOpen_ = 0;
  int sourcesOpen_ = 0;
  int heldCopies_ = 0;
  std::optional<platform::VolumeFacts> facts_ = platform::VolumeFacts{"FAT32", false};
  std::vector<Move> moves_;
  std::vector<std::string> exclusiveOpens_;
  std::uint64_t nextSerial_ = 1;
  int failMovesFrom_ = -1;
  platform::OsErrorCode failMovesWith_ = 0;
};

}  // namespace fakes
