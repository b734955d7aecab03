// The times as they reach SetFileTime itself, through the file operations'
// table of calls: Wine accepts a creation time and drops it, so only the
// call shows whether each option went to its own argument and the others
// were passed as "unchanged" (a null pointer).
#include "platform/win32/file_time_calls.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "fakes/temp_folder.h"
#include "folderlist/list_entry.h"
#include "platform/time_zone.h"
#include "stamping/stamping_run.h"
#include "stamping/undo.h"

namespace {

using platform::FileTime;

FileTime fromFiletime(const FILETIME& ft) {
  return (static_cast<FileTime>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

FILETIME toFiletime(FileTime t) {
  return FILETIME{static_cast<DWORD>(t & 0xFFFF'FFFFu), static_cast<DWORD>(t >> 32)};
}

// One SetFileTime call as it was made; nullopt: the argument was null.
struct SetCall {
  std::optional<FileTime> creation;
  std::optional<FileTime> lastAccess;
  std::optional<FileTime> lastWrite;
};

std::optional<FileTime> argument(const FILETIME* time) {
  if (!time) return std::nullopt;
  return fromFiletime(*time);
}

// 2009-03-05 03:30:00 UTC, the instant of 2009/03/05 12:30:00 in Tokyo
// (`TZ=Asia/Tokyo date -d '2009-03-05 12:30:00' +%s` gives 1236223800).
constexpr FileTime kTokyoStart = 1236223800ULL * 10'000'000ULL + 116'444'736'000'000'000ULL;
constexpr FileTime kMinute = 60ULL * 10'000'000ULL;

struct Options {
  bool creation;
  bool lastAccess;
};
constexpr Options kOptions[] = {{false, false}, {true, false}, {false, true}, {true, true}};

class Win32FileTimeCalls : public testing::Test {
 protected:
  void SetUp() override {
    wchar_t zone[64] = {};
    if (GetEnvironmentVariableW(L"CHRONOSEQ_TZ", zone, 64) > 0 &&
        std::wstring(zone) != L"Asia/Tokyo") {
      GTEST_SKIP() << "the expected instants are those of Tokyo";
    }
    for (const char* name : {"a.txt", "b.txt"}) {
      dir.createFile(name, "x");
      rows.push_back({name, "", "old"});
    }
    dir.createFolder("sub");
    rows.push_back({"sub", std::string(folderlist::kFolderKind), "old"});
  }

  // The system's calls, each SetFileTime recorded on its way through.
  platform::win32::FileTimeCalls recordingCalls() {
    platform::win32::FileTimeCalls calls;
    calls.setFileTime = [this](HANDLE handle, const FILETIME* c, const FILETIME* a,
                               const FILETIME* w) {
      setCalls.push_back({argument(c), argument(a), argument(w)});
      return ::SetFileTime(handle, c, a, w);
    };
    return calls;
  }

  stamping::RunResult stamp(platform::FileOps& fs, Options o, stamping::KeptEntries* keep) {
    stamping::StampOptions options;
    options.start = {2009, 3, 5, 12, 30, 0};
    options.setCreation = o.creation;
    options.setLastAccess = o.lastAccess;
    options.keep = keep;
    return stamping::runStamping(rows, dir.path(), fs, options, {"/", ":"}, platform::localToUtc,
                                 platform::utcToLocal);
  }

  testsupport::TempFolder dir;
  folderlist::EntryRows rows;
  std::vector<SetCall> setCalls;
};

TEST_F(Win32FileTimeCalls, TheRunPassesEachChosenTimeInItsOwnPlaceAndNullForTheOthers) {
  for (const Options o : kOptions) {
    SCOPED_TRACE(std::string("creation ") + (o.creation ? "on" : "off") + ", last access " +
                 (o.lastAccess ? "on" : "off"));
    setCalls.clear();
    const auto fs = platform::win32::fileOpsWithTimeCalls(recordingCalls());
    ASSERT_EQ(stamp(*fs, o, nullptr).outcome, stamping::RunResult::Outcome::Completed);
    ASSERT_EQ(setCalls.size(), rows.size());
    for (std::size_t k = 0; k < setCalls.size(); ++k) {
      SCOPED_TRACE("row " + std::to_string(k));
      const FileTime expected = kTokyoStart + k * kMinute;
      EXPECT_EQ(setCalls[k].lastWrite, expected);
      EXPECT_EQ(setCalls[k].creation,
                o.creation ? std::optional<FileTime>(expected) : std::nullopt);
      EXPECT_EQ(setCalls[k].lastAccess,
                o.lastAccess ? std::optional<FileTime>(expected) : std::nullopt);
    }
  }
}

TEST_F(Win32FileTimeCalls, UndoGivesBackEachChangedTimeInItsOwnPlaceAndNullForTheOthers) {
  // GetFileTime reports three different old times per entry, so a time given
  // back in another's place shows.
  constexpr FileTime kCreation = 125'000'000'000'000'000ULL;
  constexpr FileTime kAccess = 126'000'000'000'000'000ULL;
  constexpr FileTime kWrite = 127'000'000'000'000'000ULL;
  for (const Options o : kOptions) {
    SCOPED_TRACE(std::string("creation ") + (o.creation ? "on" : "off") + ", last access " +
                 (o.lastAccess ? "on" : "off"));
    setCalls.clear();
    platform::win32::FileTimeCalls calls = recordingCalls();
    FileTime reads = 0;
    calls.getFileTime = [&reads](HANDLE, FILETIME* c, FILETIME* a, FILETIME* w) {
      *c = toFiletime(kCreation + reads);
      *a = toFiletime(kAccess + reads);
      *w = toFiletime(kWrite + reads);
      ++reads;
      return TRUE;
    };
    const auto fs = platform::win32::fileOpsWithTimeCalls(std::move(calls));
    stamping::UndoRecord record{dir.path(), {}};
    ASSERT_EQ(stamp(*fs, o, &record.entries).outcome, stamping::RunResult::Outcome::Completed);
    ASSERT_EQ(reads, rows.size());
    setCalls.clear();
    ASSERT_EQ(stamping::runUndo(record, rows, *fs).outcome,
              stamping::RunResult::Outcome::Completed);
    ASSERT_EQ(setCalls.size(), rows.size());
    for (std::size_t k = 0; k < setCalls.size(); ++k) {
      SCOPED_TRACE("entry " + std::to_string(k));
      EXPECT_EQ(setCalls[k].lastWrite, kWrite + k);
      EXPECT_EQ(setCalls[k].creation,
                o.creation ? std::optional<FileTime>(kCreation + k) : std::nullopt);
      EXPECT_EQ(setCalls[k].lastAccess,
                o.lastAccess ? std::optional<FileTime>(kAccess + k) : std::nullopt);
    }
  }
}

// The system's own calls are the default: a time set through the table is
// the time the file system reports through an independent handle.
TEST_F(Win32FileTimeCalls, TheDefaultTableIsTheSystemsCalls) {
  const auto fs = platform::win32::fileOpsWithTimeCalls({});
  ASSERT_EQ(stamp(*fs, {false, true}, nullptr).outcome, stamping::RunResult::Outcome::Completed);
  const testsupport::EntryTimes t = testsupport::readTimes(dir.pathOf("b.txt"));
  EXPECT_EQ(t.lastWrite, kTokyoStart + kMinute);
  EXPECT_EQ(t.lastAccess, kTokyoStart + kMinute);
}

}  // namespace
