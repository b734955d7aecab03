#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_ops.h"

namespace fakes {

// The three times of an entry of the fake.
struct FakeTimes {
  platform::FileTime creation = 0;
  platform::FileTime lastAccess = 0;
  platform::FileTime lastWrite = 0;
  friend bool operator==(const FakeTimes&, const FakeTimes&) = default;
};

struct FakeEntry {
  bool folder = false;
  std::uint32_t attributes = 0;
  FakeTimes times;
  int timeChanges = 0;  // successful setTimes calls
};

// An in-memory file system for the stamping run that fails chosen
// operations on chosen paths, and records every call and every time that was
// actually set, so a test can hold the run's report against what happened.
class FaultFileOps : public platform::FileOps {
 public:
  enum class Op {
    ReadAttributes,
    FileExists,
    FolderExists,
    OpenFile,
    OpenFolder,
    SetTimes,
    ReadTimes,
  };
  // The operation's name, for parameterised test names.
  static const char* opName(Op op);

  using Times = FakeTimes;
  using Entry = FakeEntry;

  struct Call {
    Op op;
    std::string path;
  };

  void addFile(const std::string& path, Times times = {},
               std::uint32_t attributes = platform::kAttrArchive);
  void addFolder(const std::string& path, Times times = {},
                 std::uint32_t attributes = platform::kAttrDirectory);
  void remove(const std::string& path);
  // Changes an entry's times from outside, as another program would.
  void setEntryTimes(const std::string& path, Times times);
  // Makes an entry read-only or writable again.
  void setAttributes(const std::string& path, std::uint32_t attributes);

  // From now on the operation fails on that path: an attribute read gives
  // kInvalidAttributes, an existence test false, an open or a time change the
  // error code.
  void injectFault(Op op, const std::string& path,
                   platform::OsErrorCode error = platform::kErrorAccessDenied);
  // The operations work again, as when the other program lets go.
  void clearFaults();
  // True once an injected fault has made an operation fail.
  bool faultFired() const { return faultFired_; }

  const Entry* find(const std::string& path) const;
  const std::vector<Call>& calls() const { return calls_; }
  int callCount(Op op) const;
  // Entries opened and not yet closed.
  int openEntries() const { return openEntries_; }

  std::uint32_t readAttributes(const std::string& path) override;
  bool fileExists(const std::string& path) override;
  bool folderExists(const std::string& path) override;
  platform::OpenResult openFile(const std::string& path) override;
  platform::OpenResult openFolder(const std::string& path) override;

 private:
  class FakeOpenEntry;

  std::optional<platform::OsErrorCode> fault(Op op, const std::string& path);
  platform::OpenResult open(Op op, const std::string& path, bool folder);

  std::map<std::string, Entry> entries_;
  std::map<std::pair<Op, std::string>, platform::OsErrorCode> faults_;
  std::vector<Call> calls_;
  bool faultFired_ = false;
  int openEntries_ = 0;
};

}  // namespace fakes
