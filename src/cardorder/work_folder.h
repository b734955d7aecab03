#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/copy_ops.h"

namespace cardorder {

// The folder the entries wait in while the listed folder is written again.
inline constexpr std::string_view kWorkFolderName = "Chronoseq 並べ替え中";
// For a card whose driver refuses the Japanese name (fusefat refuses every
// name that is not ASCII): tried only after that refusal.
inline constexpr std::string_view kPlainWorkFolderName = "Chronoseq reorder";
// The rows in order, one a line, for a person or the next listing; an ASCII
// name for the same reason.
inline constexpr std::string_view kListFileName = "order.txt";
// A work folder is never reused: "Chronoseq 並べ替え中 (2)" and so on up to
// this many, when earlier ones stand.
inline constexpr int kMostWorkFolders = 9;

// Whether the path is a drive or volume root ("E:\", "\\server\share", "/").
bool isRoot(std::string_view folder);
// Where the work folder stands: beside the listed folder, or inside it when
// it is a root.
std::string workPlace(const std::string& folder);
// The listed folder's own name, as its list names it; empty for a root.
std::string folderName(const std::string& folder);

// The work folder names in the order they are tried: the Japanese ones,
// then the plain ones, each plain and with " (2)" ... " (9)".
std::vector<std::string> workFolderNames(bool plain);
bool isWorkFolderName(std::string_view name);

// The list file's contents: which folder, and its rows in order.
struct WorkList {
  std::string folder;  // folderName of the listed folder
  std::vector<std::string> rows;
  friend bool operator==(const WorkList&, const WorkList&) = default;
};
// UTF-8 with CR LF, readable as it stands: a line saying what it is, the
// folder, then the rows one a line.
std::string listText(const WorkList& list);
// nullopt when the text is not such a list.
std::optional<WorkList> parseList(std::string_view text);

// A work folder left by a run that did not end, found beside the listed
// folder (or in it, for a root) with a list that names that folder.
struct PendingWork {
  std::string workFolder;            // its full path
  WorkList list;                     // as its list file gives it
  std::vector<std::string> waiting;  // what stands in it besides the list
  bool listReadable = true;          // false: the list is missing or not such a list
};
std::optional<PendingWork> findPendingWork(const std::string& folder, platform::CopyOps& ops);

}  // namespace cardorder
