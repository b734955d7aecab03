#include "platform/folder_search.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/stamp_oracle.h"
#include "fakes/temp_folder.h"
#include "folderlist/listing.h"
#include "platform/path.h"
#include "platform/win32/utf.h"

namespace {

using platform::FoundEntry;
using platform::narrow;
using platform::widen;
using testsupport::TempFolder;

std::vector<FoundEntry> enumerate(const std::string& folder) {
  std::vector<FoundEntry> entries;
  auto search = platform::openFolderSearch(folder + "\\*.*");
  if (!search) return entries;
  FoundEntry entry;
  while (search->next(entry)) entries.push_back(entry);
  return entries;
}

const FoundEntry* find(const std::vector<FoundEntry>& entries, const std::string& name) {
  const auto it = std::find_if(entries.begin(), entries.end(),
                               [&](const FoundEntry& e) { return e.name == name; });
  return it == entries.end() ? nullptr : &*it;
}

TEST(Win32FolderSearchTest, DeliversTheAttributesAsTheFileSystemHasThem) {
  TempFolder tmp;
  const std::string file = tmp.createFile("file.txt");
  tmp.createFolder("folder");
  const std::string hidden = tmp.createFile("hidden");
  ASSERT_TRUE(testsupport::setHiddenSystem(hidden, true, false));
  const std::string system = tmp.createFile("system");
  ASSERT_TRUE(testsupport::setHiddenSystem(system, false, true));
  const std::string hiddenFolder = tmp.createFolder("hidden folder");
  ASSERT_TRUE(testsupport::setHiddenSystem(hiddenFolder, true, true));
  const std::string readOnly = tmp.createFile("read-only");
  testsupport::setReadOnly(readOnly, true);

  struct Case {
    const char* name;
    std::uint32_t mustHave;
    std::uint32_t mustLack;
  } cases[] = {
      {"file.txt", 0, platform::kAttrDirectory | platform::kAttrHidden | platform::kAttrReadOnly},
      {"folder", platform::kAttrDirectory, platform::kAttrHidden},
      {"hidden", platform::kAttrHidden, platform::kAttrDirectory | platform::kAttrSystem},
      {"system", platform::kAttrSystem, platform::kAttrDirectory | platform::kAttrHidden},
      {"hidden folder", platform::kAttrDirectory | platform::kAttrHidden | platform::kAttrSystem,
       0},
      {"read-only", platform::kAttrReadOnly, platform::kAttrDirectory},
  };
  const auto entries = enumerate(tmp.path());
  for (const auto& c : cases) {
    const FoundEntry* e = find(entries, c.name);
    ASSERT_NE(e, nullptr) << c.name;
    EXPECT_EQ(e->attributes & c.mustHave, c.mustHave) << c.name;
    EXPECT_EQ(e->attributes & c.mustLack, 0u) << c.name;
    // Exactly the bits that the file system reports for that path.
    EXPECT_EQ(e->attributes, GetFileAttributesW(widen(tmp.pathOf(c.name)).c_str())) << c.name;
  }
}

TEST(Win32FolderSearchTest, DeliversDotEntriesInAFolder) {
  TempFolder tmp;
  const auto entries = enumerate(tmp.createFolder("sub"));
  ASSERT_EQ(entries.size(), 2u);
  for (const auto& e : entries) {
    EXPECT_TRUE(e.name == "." || e.name == "..") << e.name;
    EXPECT_TRUE(e.attributes & platform::kAttrDirectory) << e.name;
  }
}

TEST(Win32FolderSearchTest, DeliversTheLastWriteTimeToTheTick) {
  TempFolder tmp;
  const std::string file = tmp.createFile("f");
  const std::string folder = tmp.createFolder("d");
  // UTC instants by hand, with fractions of a second; no zone is involved.
  const platform::FileTime fileTime = oracle::utcFileTime({2009, 4, 1, 4, 5, 9}) + 7'654'321;
  const platform::FileTime folderTime = oracle::utcFileTime({1999, 12, 31, 14, 59, 59}) + 1;
  testsupport::setTimes(file, fileTime);
  testsupport::setTimes(folder, folderTime);
  const auto entries = enumerate(tmp.path());
  ASSERT_NE(find(entries, "f"), nullptr);
  ASSERT_NE(find(entries, "d"), nullptr);
  EXPECT_EQ(find(entries, "f")->lastWriteUtc, fileTime);
  EXPECT_EQ(find(entries, "d")->lastWriteUtc, folderTime);
}

// Names of any script come through UTF-8 and open the same entry again.
TEST(Win32FolderSearchTest, NamesOfAnyScriptSurviveTheRoundTrip) {
  TempFolder tmp;
  const std::wstring names[] = {
      L"\u65E5\u672C\u8A9E.txt",                            // 日本語.txt
      L"\u6587\u4EF6.txt",                                  // 文件.txt
      L"\xD83D\xDE00 smile.txt",                            // an emoji: a surrogate pair
      L"e\u0301",                                           // e and a combining acute
      L"\u00E9",                                            // the precomposed é, a different name
      L"\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC",  // Ελληνικά
      L"\u05E2\u05D1\u05E8\u05D9\u05EA",                    // עברית
      L"\uFF71\uFF72\uFF73 \u30A2\u30A4\u30A6",             // half- and full-width kana
  };
  for (const auto& name : names) {
    const std::wstring full = widen(tmp.path()) + L"\\" + name;
    HANDLE h = CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << narrow(name) << " error " << GetLastError();
    CloseHandle(h);
  }
  const auto entries = enumerate(tmp.path());
  for (const auto& name : names) {
    const FoundEntry* e = find(entries, narrow(name));
    ASSERT_NE(e, nullptr) << narrow(name);
    EXPECT_EQ(widen(e->name), name);
    const std::string full = platform::joinPath(tmp.path(), e->name);
    EXPECT_NE(GetFileAttributesW(widen(full).c_str()), INVALID_FILE_ATTRIBUTES) << e->name;
  }
  EXPECT_EQ(entries.size(), std::size(names) + 2) << "the names and \".\" and \"..\"";
}

TEST(Win32FolderSearchTest, APatternThatNamesNoFolderCannotBeOpened) {
  TempFolder tmp;
  const std::string file = tmp.createFile("plain.txt");
  for (const std::string& pattern :
       {tmp.pathOf("missing") + "\\*.*", file + "\\*.*", std::string("Q:\\no such\\*.*"),
        std::string("bad\0name\\*.*", 12)}) {
    EXPECT_EQ(platform::openFolderSearch(pattern), nullptr) << pattern;
  }
}

// A drive root has no "." and "..", and its pattern holds two backslashes in
// a row ("C:\" + "\*.*"), which the file system reads as one.
TEST(Win32FolderSearchTest, ADriveRootListsWithTwoBackslashes) {
  const folderlist::EntryRows rows = folderlist::listFolder("C:\\", {"/", ":"});
  const auto windows = std::find_if(rows.begin(), rows.end(), [](const folderlist::ListEntry& r) {
    return CompareStringOrdinal(widen(r.name).c_str(), -1, L"windows", -1, TRUE) == CSTR_EQUAL;
  });
  ASSERT_NE(windows, rows.end());
  EXPECT_TRUE(windows->isFolder());
  for (const auto& r : rows) EXPECT_TRUE(r.name != "." && r.name != "..");
  const auto raw = enumerate("C:\\");
  EXPECT_EQ(find(raw, "."), nullptr);
  EXPECT_EQ(raw.size(), rows.size());
}

}  // namespace
