#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cardcopy/volume_rules.h"
#include "folderlist/list_entry.h"
#include "platform/copy_ops.h"
#include "platform/failure.h"
#include "platform/time_zone.h"

namespace cardcopy {

// The order of two names in a folder: negative, 0 or positive. The entries
// inside a folder row are written in this order, the one the list would give
// them (the locale's, or Explorer's when numbers count as numbers).
using NameOrder = std::function<int(std::string_view, std::string_view)>;

// One entry to write, in the order of writing. A folder opens (is created),
// its contents follow, and it closes (gets its own times, last, since every
// entry written into it changes them).
struct CopyStep {
  enum class Kind { File, OpenFolder, CloseFolder };
  Kind kind = Kind::File;
  std::string relative;               // below the listed folder and the destination
  int row = 0;                        // the row it belongs to
  std::vector<std::string> children;  // of an opened folder, in writing order
  friend bool operator==(const CopyStep&, const CopyStep&) = default;
};

// How many source files the check keeps open for their copies; the rest are
// opened again when copied. A few thousand handles cost nothing on Windows;
// a hundred thousand would.
inline constexpr int kMostHeldSources = 4096;

struct CopyPlan {
  std::vector<CopyStep> steps;
  // The files the check opened, one place per step: empty for a folder, for
  // a file past kMostHeldSources, and after a shortage of handles.
  std::vector<platform::OpenedSource> sources;
  std::uint64_t bytesNeeded = 0;      // in whole clusters of the destination
  std::vector<std::string> topNames;  // the rows written, in order
};

struct CopyCheck {
  platform::Failure failure;  // its message empty when everything passes
  bool stopped = false;       // the user stopped the check; nothing is written
  CopyPlan plan;
  platform::VolumeSpace volume;  // what the destination's volume told
};

// Called with the rows done and their number: after each row written, or
// after each row checked before writing.
using CopyProgress = std::function<void(int done, int total)>;

// What a copy reports on its way, and asks.
struct CopyHooks {
  CopyProgress progress;         // after each row written
  CopyProgress checked;          // after each row checked, before anything is written
  platform::StopRequested stop;  // before every entry, checked or written, and inside a file
  // The file being written, as its copy begins, and "" once it is whole or
  // removed: what is left half written if the program cannot wait.
  std::function<void(const std::string& target)> writing;
  LocalTimeOf toLocal = platform::utcToLocal;  // the zone FAT's times are kept in
};

// Everything that can be known before writing: the destination is not the
// listed folder nor inside it nor inside a folder row, exists and is empty
// (an entry both hidden and system, the volume's own, does not count); every
// row (and everything inside a folder row) exists, opens for reading (and
// stays open for its copy) and has a name and a full destination path FAT
// can hold; no two names of one destination folder differ in case only,
// where the volume ignores case; on FAT and exFAT every time lies from 1980
// to 2107 and on FAT every file is below 4 GiB; FAT12/16's root holds the
// rows; the destination's free space holds it all in whole clusters, the
// folders' entries and the destination folder's growth included. The first
// failure gives the message. hooks.stop ends it early (stopped).
CopyCheck checkCopy(const folderlist::EntryRows& rows, const std::string& folderPath,
                    const std::string& destination, platform::CopyOps& ops,
                    const NameOrder& nameOrder, const CopyHooks& hooks = {});

struct CopyResult {
  enum class Outcome {
    Completed,       // every row copied; "コピーしました (N 個)"
    PrecheckFailed,  // nothing written
    Stopped,         // the user stopped it; rows 0..copiedRows-1 are copied
    Failed,          // an entry could not be written; rows above it are copied
  };
  Outcome outcome = Outcome::Completed;
  std::string completion;     // Completed: "コピーしました (N 個)" and the read-back's line
  platform::Failure failure;  // otherwise: the row, and the system's code of a failed write
  int copiedRows = 0;
  // How the destination read back once every row was written, and the
  // system's code where it could not.
  enum class ReadBack { Kept, NotKept, Unreadable };
  ReadBack readBack = ReadBack::Kept;
  platform::OsErrorCode readBackError = 0;
  bool orderKept = true;   // read back, and in the list's order
  std::string leftBehind;  // a half-written file that could not be removed

  // What the user reads: the completion, or the failure with its reason.
  std::string text() const {
    return outcome == Outcome::Completed ? completion : platform::failureText(failure);
  }
};

// Checks (checkCopy) and, if all passes, writes the rows top to bottom into
// the destination: a file's contents and its three times (read before the
// contents, so reading cannot move them), a folder row with its contents in
// name order and its own times last. On a removable volume each file is
// written out before it is closed. stop is asked before every entry and
// while a file is written; a stop or a failure removes the half-written file
// if the copy made it (a removal that fails names the file left behind),
// keeps what was written before, and names a folder row left incomplete.
// Nothing in the source is written. At the end the destination is read back
// in the file system's own order and the message says, in one more line,
// when it differs or could not be read.
CopyResult copyInOrder(const folderlist::EntryRows& rows, const std::string& folderPath,
                       const std::string& destination, platform::CopyOps& ops,
                       const NameOrder& nameOrder, const CopyHooks& hooks);
// The same with progress and stop only.
CopyResult copyInOrder(const folderlist::EntryRows& rows, const std::string& folderPath,
                       const std::string& destination, platform::CopyOps& ops,
                       const NameOrder& nameOrder, const CopyProgress& progress = {},
                       const platform::StopRequested& stop = {});

// "n.n" megabytes (1,048,576 bytes), rounded up or down to the tenth.
std::string megabytes(std::uint64_t bytes, bool roundUp);

}  // namespace cardcopy
