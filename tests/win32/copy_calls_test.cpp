// The Win32 copy operations at the system calls they make, through their
// table of calls: every path past MAX_PATH reaches CreateFileW and the folder
// search in the "\\?\" form; a short read is no end of the file, an end
// before its size fails; on a removable drive each file is flushed before it
// is closed, and a failing flush or close fails its row; the file system is
// told by GetVolumeInformationW and stays unknown where that fails.
#include "platform/win32/copy_calls.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "cardcopy/ordered_copy.h"
#include "fakes/temp_folder.h"
#include "platform/win32/utf.h"

namespace {

using Outcome = cardcopy::CopyResult::Outcome;
using platform::win32::CopyCalls;

int byteOrder(std::string_view a, std::string_view b) { return a.compare(b); }

folderlist::ListEntry fileRow(std::string name) { return {std::move(name), "", {}}; }
folderlist::ListEntry folderRow(std::string name) {
  return {std::move(name), std::string(folderlist::kFolderKind), {}};
}

std::wstring longForm(const std::string& path) { return L"\\\\?\\" + platform::widen(path); }

bool makeFolder(const std::string& path) {
  return CreateDirectoryW(longForm(path).c_str(), nullptr) != 0;
}

bool makeFile(const std::string& path, const std::string& content) {
  const HANDLE file = CreateFileW(longForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD put = 0;
  const BOOL written =
      WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &put, nullptr);
  CloseHandle(file);
  return written && put == content.size();
}

std::string contentOf(const std::string& path) {
  const HANDLE file = CreateFileW(longForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<none>";
  std::string content(1 << 20, '\0');
  DWORD got = 0;
  ReadFile(file, content.data(), static_cast<DWORD>(content.size()), &got, nullptr);
  CloseHandle(file);
  content.resize(got);
  return content;
}

// Removes what the test made under a path too long for the temporary
// folder's own clean-up, deepest first.
void removeTree(const std::string& path) {
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW((longForm(path) + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::string child = path + "\\" + platform::narrow(name);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        removeTree(child);
      } else {
        DeleteFileW(longForm(child).c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(longForm(path).c_str());
}

// The system's calls, each path recorded on its way through.
struct Recorded {
  std::vector<std::wstring> opened;    // CreateFileW
  std::vector<std::wstring> searched;  // FindFirstFileExW
};

CopyCalls recordingCalls(Recorded& seen) {
  CopyCalls calls;
  calls.createFile = [&seen](LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES sa,
                             DWORD disposition, DWORD flags, HANDLE model) {
    seen.opened.emplace_back(path);
    return ::CreateFileW(path, access, share, sa, disposition, flags, model);
  };
  calls.findFirstFile = [&seen](LPCWSTR path, FINDEX_INFO_LEVELS level, LPVOID data,
                                FINDEX_SEARCH_OPS ops, LPVOID filter, DWORD flags) {
    seen.searched.emplace_back(path);
    return ::FindFirstFileExW(path, level, data, ops, filter, flags);
  };
  return calls;
}

// A source folder whose own path is 300 UTF-16 units, holding a file and a
// folder row with a file inside: listed and stamped without trouble, since
// the listing takes the long form; the copy must reach it the same way.
TEST(Win32CopyCalls, A300UnitPathReachesTheSystemInItsLongForm) {
  testsupport::TempFolder root;
  testsupport::TempFolder card;
  std::string source = root.path();
  // Components of at most 100 units up to exactly 300 in all.
  while (source.size() < 300) {
    const std::size_t room = 300 - source.size() - 1;
    source += "\\" + std::string(std::min<std::size_t>(room, 100), 'd');
    ASSERT_TRUE(makeFolder(source)) << GetLastError();
  }
  ASSERT_EQ(platform::widen(source).size(), 300u);
  ASSERT_TRUE(makeFile(source + "\\x.mp3", "xx"));
  ASSERT_TRUE(makeFolder(source + "\\sub"));
  ASSERT_TRUE(makeFile(source + "\\sub\\y.mp3", "yyy"));

  Recorded seen;
  const auto ops = platform::win32::copyOpsWithCalls(recordingCalls(seen));
  const folderlist::EntryRows rows{fileRow("x.mp3"), folderRow("sub")};
  const cardcopy::CopyResult result =
      cardcopy::copyInOrder(rows, source, card.path(), *ops, byteOrder);
  EXPECT_EQ(result.outcome, Outcome::Completed) << result.text();
  EXPECT_EQ(contentOf(card.pathOf("x.mp3")), "xx");
  EXPECT_EQ(contentOf(card.pathOf("sub\\y.mp3")), "yyy");

  // Every call on the source's entries, and only the long ones, in the
  // "\\?\" form.
  const std::wstring wideSource = platform::widen(source);
  const auto checkAll = [&](const std::vector<std::wstring>& paths, const char* call) {
    int long_ = 0;
    for (const std::wstring& path : paths) {
      const bool underSource = path.find(wideSource) != std::wstring::npos;
      if (!underSource) continue;
      ++long_;
      EXPECT_EQ(path.rfind(L"\\\\?\\" + wideSource, 0), 0u)
          << call << ": " << platform::narrow(path);
    }
    EXPECT_GT(long_, 0) << call << " never saw the long source";
  };
  checkAll(seen.opened, "CreateFileW");
  checkAll(seen.searched, "FindFirstFileExW");
  for (const std::wstring& path : seen.opened) {
    if (path.size() < MAX_PATH) {
      EXPECT_NE(path.rfind(L"\\\\?\\", 0), 0u) << "a short path keeps its own form";
    }
  }
  removeTree(root.path() + "\\" + std::string(100, 'd'));
}

// ReadFile may give fewer bytes than asked without the file having ended;
// only the size the file had when opened says where it ends.
struct ReadCase {
  const char* name;
  DWORD mostPerRead;   // the seam's largest piece
  int readsBeforeEnd;  // reads that deliver before an early 0; -1: none
  platform::OsErrorCode error;
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class Win32ShortReads : public testing::TestWithParam<ReadCase> {};

TEST_P(Win32ShortReads, TheSizeAtTheOpenDecides) {
  const ReadCase& c = GetParam();
  testsupport::TempFolder dir;
  std::string bytes(200'000, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 13 + i / 7);
  const std::string from = dir.createFile("from.bin", bytes);
  CopyCalls calls;
  int reads = 0;
  calls.readFile = [&](HANDLE file, LPVOID buffer, DWORD wanted, LPDWORD got, LPOVERLAPPED o) {
    if (c.readsBeforeEnd >= 0 && reads++ >= c.readsBeforeEnd) {
      *got = 0;
      return TRUE;
    }
    return ::ReadFile(file, buffer, std::min(wanted, c.mostPerRead), got, o);
  };
  const auto ops = platform::win32::copyOpsWithCalls(std::move(calls));
  bool created = false;
  const std::string to = dir.pathOf("to.bin");
  EXPECT_EQ(ops->copyFile(from, {}, to, {}, false, created), c.error);
  EXPECT_TRUE(created);
  if (c.error == 0) {
    EXPECT_EQ(contentOf(to), bytes);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Reads, Win32ShortReads,
    testing::Values(ReadCase{"ShortPiecesAreNoEnd", 1000, -1, 0},
                    ReadCase{"AnEndBeforeTheSizeFails", 1000, 3, platform::kErrorHandleEof},
                    ReadCase{"AnEndAfterWholePiecesFails", 65536, 2, platform::kErrorHandleEof}),
    [](const auto& info) { return std::string(info.param.name); });

// On a removable drive every file is flushed before its close; a flush or a
// close that fails (a write held back until then) fails that row, and the
// half-written file goes. Elsewhere nothing is flushed.
struct FlushCase {
  const char* name;
  UINT driveType;
  bool flushFails;
  bool closeFails;
  int flushes;
  Outcome outcome;
};

void PrintTo(const FlushCase& c, std::ostream* os) { *os << c.name; }

class Win32Flush : public testing::TestWithParam<FlushCase> {};

TEST_P(Win32Flush, WrittenOutOnRemovableMediaAndEveryCloseCounts) {
  const FlushCase& c = GetParam();
  testsupport::TempFolder source;
  testsupport::TempFolder card;
  source.createFile("a.mp3", "aaaa");
  source.createFile("b.mp3", "bbbb");
  CopyCalls calls;
  int flushes = 0;
  calls.getDriveType = [&](LPCWSTR) { return c.driveType; };
  calls.flushFileBuffers = [&](HANDLE file) {
    ++flushes;
    if (c.flushFails) {
      SetLastError(ERROR_DISK_FULL);
      return FALSE;
    }
    return ::FlushFileBuffers(file);
  };
  calls.closeHandle = [&](HANDLE file) {
    const BOOL closed = ::CloseHandle(file);
    if (!c.closeFails) return closed;
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
  };
  const auto ops = platform::win32::copyOpsWithCalls(std::move(calls));
  const folderlist::EntryRows rows{fileRow("b.mp3"), fileRow("a.mp3")};
  const cardcopy::CopyResult result =
      cardcopy::copyInOrder(rows, source.path(), card.path(), *ops, byteOrder);
  EXPECT_EQ(result.outcome, c.outcome) << result.text();
  EXPECT_EQ(flushes, c.flushes);
  if (c.outcome == Outcome::Failed) {
    EXPECT_EQ(result.failure.row, 0);
    EXPECT_EQ(result.failure.osError, static_cast<platform::OsErrorCode>(ERROR_DISK_FULL));
    EXPECT_EQ(contentOf(card.pathOf("b.mp3")), "<none>") << "the failed copy stays";
  } else {
    EXPECT_EQ(contentOf(card.pathOf("a.mp3")), "aaaa");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Drives, Win32Flush,
    testing::Values(FlushCase{"Removable", DRIVE_REMOVABLE, false, false, 2, Outcome::Completed},
                    FlushCase{"Fixed", DRIVE_FIXED, false, false, 0, Outcome::Completed},
                    FlushCase{"AFailingFlush", DRIVE_REMOVABLE, true, false, 1, Outcome::Failed},
                    FlushCase{"AFailingClose", DRIVE_FIXED, false, true, 0, Outcome::Failed}),
    [](const auto& info) { return std::string(info.param.name); });

// GetVolumeInformationW's name of the file system, or its failure (Wine on
// a FUSE mount): then the file system is not known.
TEST(Win32CopyCalls, TheFileSystemIsToldByItsNameOrStaysUnknown) {
  const struct {
    const wchar_t* name;  // null: the call fails
    platform::FileSystem fs;
  } cases[] = {
      {L"FAT", platform::FileSystem::Fat},      {L"FAT32", platform::FileSystem::Fat32},
      {L"exFAT", platform::FileSystem::ExFat},  {L"NTFS", platform::FileSystem::Other},
      {nullptr, platform::FileSystem::Unknown},
  };
  testsupport::TempFolder dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name ? platform::narrow(c.name) : "fails");
    CopyCalls calls;
    std::wstring asked;
    calls.getVolumeInformation = [&](LPCWSTR root, LPWSTR, DWORD, LPDWORD, LPDWORD, LPDWORD,
                                     LPWSTR name, DWORD size) {
      asked = root;
      if (!c.name) {
        SetLastError(ERROR_INVALID_FUNCTION);
        return FALSE;
      }
      wcsncpy(name, c.name, size);
      return TRUE;
    };
    const auto ops = platform::win32::copyOpsWithCalls(std::move(calls));
    platform::VolumeSpace space;
    ASSERT_EQ(ops->volumeSpace(dir.path(), space), 0u);
    EXPECT_EQ(space.fileSystem, c.fs);
    EXPECT_TRUE(space.caseBlind);
    EXPECT_FALSE(space.root);
    // Asked of the volume's root, as the call wants it.
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.back(), L'\\');
    EXPECT_EQ(platform::widen(dir.path()).rfind(asked, 0), 0u) << platform::narrow(asked);
    platform::VolumeSpace atRoot;
    ASSERT_EQ(ops->volumeSpace(platform::narrow(asked), atRoot), 0u);
    EXPECT_TRUE(atRoot.root);
  }
}

}  // namespace
