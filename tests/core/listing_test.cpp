#include "folderlist/listing.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/stamp_oracle.h"
#include "fakes/temp_folder.h"
#include "folderlist/time_text.h"
#include "platform/folder_search.h"
#include "platform/path.h"
#include "platform/time_zone.h"

#ifndef _WIN32
#include <unistd.h>

#include <ctime>
#endif

namespace folderlist {

// Rows read as rows in failure messages, not as bytes.
void PrintTo(const ListEntry& e, std::ostream* os) {
  *os << "{\"" << e.name << "\", \"" << e.kindText << "\", \"" << e.timeText << "\"}";
}

}  // namespace folderlist

namespace {

using folderlist::EntryRows;
using folderlist::ListEntry;
using folderlist::listFolder;
using platform::FoundEntry;
using testsupport::TempFolder;

// Japan's time (UTC+9, no daylight saving) as a UTC file time, reckoned by
// hand rather than by the conversion under test. The tests run in that zone
// (the presets and the Wine scripts set TZ=Asia/Tokyo); the OS's own
// conversion confirms it for every time used.
platform::FileTime localToFileTime(int year, int month, int day, int hour, int minute, int second,
                                   int hundredNanoseconds = 0) {
  const platform::LocalDateTime local{year, month, day, hour, minute, second};
  const platform::FileTime utc = oracle::fixedZoneFileTime(local);
  if (testsupport::osLocalTime(utc) != local) {
    throw std::runtime_error("the listing tests expect Japan's time zone (TZ=Asia/Tokyo)");
  }
  return utc + static_cast<platform::FileTime>(hundredNanoseconds);
}

const platform::DateTimeSeparators kJapanese{"/", ":"};

std::string patternOf(const std::string& folder) {
  return folder + platform::kPathSeparator + "*.*";
}

// Every name the platform's enumeration delivers, in its order, "." and ".."
// included.
std::vector<std::string> rawNames(const std::string& folder) {
  std::vector<std::string> names;
  auto search = platform::openFolderSearch(patternOf(folder));
  if (!search) return names;
  FoundEntry entry;
  while (search->next(entry)) names.push_back(entry.name);
  return names;
}

std::vector<std::string> withoutDots(std::vector<std::string> names) {
  std::erase_if(names, [](const std::string& n) { return n == "." || n == ".."; });
  return names;
}

std::vector<std::string> namesOf(const EntryRows& rows) {
  std::vector<std::string> names;
  for (const auto& row : rows) names.push_back(row.name);
  return names;
}

// What a test made: an entry's kind and the time text it must list with.
struct Made {
  bool folder = false;
  std::string timeText;
};

// Builds the expected rows in the order the enumeration delivers the names.
// The names enumerated must be exactly those the test made.
EntryRows expectedRows(const std::string& folder, const std::map<std::string, Made>& made) {
  EntryRows rows;
  const std::vector<std::string> enumerated = withoutDots(rawNames(folder));
  const std::set<std::string> seen(enumerated.begin(), enumerated.end());
  EXPECT_EQ(seen.size(), enumerated.size()) << "a name enumerated twice";
  for (const auto& [name, what] : made) {
    if (!seen.contains(name)) ADD_FAILURE() << "made but not enumerated: " << name;
  }
  for (const auto& name : enumerated) {
    const auto it = made.find(name);
    if (it == made.end()) {
      ADD_FAILURE() << "enumerated an entry the test did not make: " << name;
      continue;
    }
    rows.push_back(
        {name, it->second.folder ? std::string(folderlist::kFolderKind) : "", it->second.timeText});
  }
  return rows;
}

TEST(ListingTest, ListsEveryEntryWithKindAndTimeInEnumerationOrder) {
  TempFolder tmp;
  std::map<std::string, Made> made;
  int minute = 0;
  auto make = [&](const std::string& name, bool folder) {
    const std::string path = folder ? tmp.createFolder(name) : tmp.createFile(name, "x");
    ++minute;
    testsupport::setTimes(path, localToFileTime(2011, 3, 4, 15, minute, 20));
    char text[32];
    std::snprintf(text, sizeof text, "2011/03/04 15:%02d:20", minute);
    made[name] = {folder, text};
    return path;
  };
  make("a.txt", false);
  make("noext", false);
  make("sub", true);
  make("archive.tar.gz", false);
  make("日本語.txt", false);
  make("文件.txt", false);
  make("😀 emoji.txt", false);
  make("e\xCC\x81 combining.txt", false);  // e + U+0301, not the precomposed é
  make("한국어 폴더", true);
  // Windows drops blanks at the end of a name, not at its start.
  make(" name with  blanks", false);
#ifdef _WIN32
  ASSERT_TRUE(testsupport::setHiddenSystem(make("hidden.txt", false), true, false));
  ASSERT_TRUE(testsupport::setHiddenSystem(make("system.sys", false), false, true));
  ASSERT_TRUE(testsupport::setHiddenSystem(make("hidden folder", true), true, true));
#else
  make(".hidden", false);
  make(".hidden folder", true);
#endif

  const EntryRows rows = listFolder(tmp.path(), kJapanese);

  ASSERT_EQ(rows.size(), made.size());
  EXPECT_EQ(rows, expectedRows(tmp.path(), made));
}

TEST(ListingTest, FolderRowsStayWhereTheEnumerationPutsThem) {
  TempFolder tmp;
  std::map<std::string, Made> made;
  const auto t = localToFileTime(2020, 6, 7, 8, 9, 10);
  for (int i = 0; i < 40; ++i) {
    const std::string name = "entry" + std::to_string(i * 7919 % 1000);
    const bool folder = i % 3 == 0;
    testsupport::setTimes(folder ? tmp.createFolder(name) : tmp.createFile(name), t);
    made[name] = {folder, "2020/06/07 08:09:10"};
  }
  const EntryRows rows = listFolder(tmp.path(), kJapanese);
  EXPECT_EQ(rows, expectedRows(tmp.path(), made));
}

struct SecondCase {
  int second;
  int ticks;  // 100 ns ticks past the whole second
  int listedSecond;
};

class ListingSecondsTest : public ::testing::TestWithParam<SecondCase> {};

// DOS date-times have two-second steps: an odd second and any fraction go.
TEST_P(ListingSecondsTest, DropsAnOddSecondAndTheFraction) {
  const auto& c = GetParam();
  TempFolder tmp;
  const std::string path = tmp.createFile("f");
  const auto written = localToFileTime(2009, 4, 1, 13, 5, c.second, c.ticks);
  testsupport::setTimes(path, written);
  // The file really carries the written time, fraction included.
  ASSERT_EQ(testsupport::readTimes(path).lastWrite, written);

  const EntryRows rows = listFolder(tmp.path(), kJapanese);

  ASSERT_EQ(rows.size(), 1u);
  char expected[32];
  std::snprintf(expected, sizeof expected, "2009/04/01 13:05:%02d", c.listedSecond);
  EXPECT_EQ(rows[0].timeText, expected);
}

INSTANTIATE_TEST_SUITE_P(Table, ListingSecondsTest,
                         ::testing::Values(SecondCase{9, 7'000'000, 8}, SecondCase{8, 0, 8},
                                           SecondCase{8, 9'999'999, 8}, SecondCase{1, 0, 0},
                                           SecondCase{0, 1, 0}, SecondCase{59, 9'999'999, 58},
                                           SecondCase{58, 5'000'000, 58}));

TEST(ListingTest, UsesTheGivenSeparators) {
  TempFolder tmp;
  testsupport::setTimes(tmp.createFile("f"), localToFileTime(2009, 4, 1, 13, 5, 9));
  const EntryRows rows = listFolder(tmp.path(), {"-", "."});
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].timeText, "2009-04-01 13.05.08");
}

// Outside 1980 to 2107 a DOS date-time cannot hold the time; the row still
// shows the entry's real local time at two-second resolution.
TEST(ListingTest, TimesOutsideTheDosRangeStillShowTheirLocalTime) {
  TempFolder tmp;
  struct Case {
    const char* name;
    platform::LocalDateTime local;
    const char* expected;
  } cases[] = {
      {"before", {1975, 6, 15, 10, 20, 31}, "1975/06/15 10:20:30"},
      {"after", {2150, 3, 4, 5, 6, 7}, "2150/03/04 05:06:06"},
      {"last dos day", {2107, 12, 31, 23, 59, 59}, "2107/12/31 23:59:58"},
      {"first dos day", {1980, 1, 1, 0, 0, 1}, "1980/01/01 00:00:00"},
  };
  std::map<std::string, Made> made;
  for (const auto& c : cases) {
    const auto& l = c.local;
    testsupport::setTimes(tmp.createFile(c.name),
                          localToFileTime(l.year, l.month, l.day, l.hour, l.minute, l.second));
    made[c.name] = {false, c.expected};
  }
  const EntryRows rows = listFolder(tmp.path(), kJapanese);
  ASSERT_EQ(rows.size(), std::size(cases)) << "every entry is counted";
  EXPECT_EQ(rows, expectedRows(tmp.path(), made));
}

TEST(ListingTest, AFolderWithNothingInItGivesNoRows) {
  TempFolder tmp;
  const std::string empty = tmp.createFolder("empty");
  const auto raw = rawNames(empty);
  // Only where the file system delivers "." and ".." is their skipping shown.
  if (raw.empty()) GTEST_SKIP() << "this file system delivers no \".\" and \"..\"";
  ASSERT_EQ(raw.size(), 2u);
  EXPECT_TRUE(listFolder(empty, kJapanese).empty());
}

TEST(ListingTest, AFolderThatCannotBeOpenedGivesNoRows) {
  TempFolder tmp;
  const std::string file = tmp.createFile("plain.txt");
  for (const std::string& path :
       {tmp.pathOf("missing"), tmp.pathOf("missing") + platform::kPathSeparator + "deeper", file,
        std::string("名前だけの場所"), std::string()}) {
    EXPECT_TRUE(listFolder(path, kJapanese).empty()) << path;
  }
}

// Nothing strips a separator at the end of the folder path: a drive root
// gives a pattern with two separators in a row, which the file system reads
// as one.
TEST(ListingTest, ATrailingSeparatorListsTheSameFolder) {
  TempFolder tmp;
  testsupport::setTimes(tmp.createFile("one"), localToFileTime(2015, 5, 5, 5, 5, 5));
  testsupport::setTimes(tmp.createFolder("two"), localToFileTime(2016, 6, 6, 6, 6, 6));
  const EntryRows plain = listFolder(tmp.path(), kJapanese);
  ASSERT_EQ(plain.size(), 2u);
  EXPECT_EQ(listFolder(tmp.path() + platform::kPathSeparator, kJapanese), plain);
}

TEST(ListingTest, AFolderRowShowsTheFolderOwnTime) {
  TempFolder tmp;
  const std::string sub = tmp.createFolder("sub");
  testsupport::setTimes(tmp.createFile("sub" + std::string(1, platform::kPathSeparator) + "inner"),
                        localToFileTime(2001, 1, 1, 1, 1, 2));
  testsupport::setTimes(sub, localToFileTime(2002, 2, 2, 2, 2, 2));
  const EntryRows rows = listFolder(tmp.path(), kJapanese);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], (ListEntry{"sub", "<Folder>", "2002/02/02 02:02:02"}));
}

#ifndef _WIN32

// The time-zone rules of each date decide, so a summer time and a winter
// time both list back as the local time they were written with.
TEST(ListingTest, DaylightSavingOfTheEntryDateDecides) {
  const char* old = std::getenv("TZ");
  const std::string saved = old ? old : "";
  ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
  ::tzset();
  {
    TempFolder tmp;
    // By hand: 12:00:10 is 10:00:10 UTC in summer (UTC+2), 11:00:10 in winter.
    testsupport::setTimes(tmp.createFile("summer"), oracle::utcFileTime({2009, 7, 1, 10, 0, 10}));
    testsupport::setTimes(tmp.createFile("winter"), oracle::utcFileTime({2009, 1, 15, 11, 0, 10}));

    const std::map<std::string, Made> made{{"summer", {false, "2009/07/01 12:00:10"}},
                                           {"winter", {false, "2009/01/15 12:00:10"}}};
    EXPECT_EQ(listFolder(tmp.path(), kJapanese), expectedRows(tmp.path(), made));
  }
  if (old) {
    ::setenv("TZ", saved.c_str(), 1);
  } else {
    ::unsetenv("TZ");
  }
  ::tzset();
}

FoundEntry foundEntry(const std::string& folder, const std::string& name) {
  auto search = platform::openFolderSearch(patternOf(folder));
  EXPECT_NE(search, nullptr);
  FoundEntry entry;
  while (search && search->next(entry)) {
    if (entry.name == name) return entry;
  }
  ADD_FAILURE() << name << " not enumerated";
  return {};
}

TEST(PosixFolderSearchTest, DeliversDotEntriesAndAttributes) {
  TempFolder tmp;
  tmp.createFile("file.txt");
  tmp.createFolder("folder");
  tmp.createFile(".dotfile");
  const std::string readOnly = tmp.createFile("read-only");
  testsupport::setReadOnly(readOnly, true);
  const std::string readOnlyFolder = tmp.createFolder("read-only folder");
  testsupport::setReadOnly(readOnlyFolder, true);

  struct Case {
    const char* name;
    std::uint32_t attributes;
  } cases[] = {
      {".", platform::kAttrDirectory},
      {"..", platform::kAttrDirectory},
      {"file.txt", platform::kAttrArchive},
      {"folder", platform::kAttrDirectory},
      {".dotfile", platform::kAttrArchive | platform::kAttrHidden},
      {"read-only", platform::kAttrArchive | platform::kAttrReadOnly},
      {"read-only folder", platform::kAttrDirectory | platform::kAttrReadOnly},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(foundEntry(tmp.path(), c.name).attributes, c.attributes) << c.name;
  }
}

TEST(PosixFolderSearchTest, DeliversTheLastWriteTimeToTheTick) {
  TempFolder tmp;
  const auto t = localToFileTime(2009, 4, 1, 13, 5, 9, 1'234'567);
  testsupport::setTimes(tmp.createFile("f"), t);
  EXPECT_EQ(foundEntry(tmp.path(), "f").lastWriteUtc, t);
}

// A symbolic link is listed as itself: not as a folder, with its own time.
TEST(PosixFolderSearchTest, ALinkIsListedAsItself) {
  TempFolder tmp;
  const std::string target = tmp.createFolder("target");
  testsupport::setTimes(target, localToFileTime(2003, 3, 3, 3, 3, 4));
  const std::string link = tmp.pathOf("link");
  ASSERT_EQ(::symlink("target", link.c_str()), 0);
  testsupport::setTimes(link, localToFileTime(2004, 4, 4, 4, 4, 4));

  EXPECT_EQ(foundEntry(tmp.path(), "link").attributes,
            platform::kAttrArchive | platform::kAttrReparsePoint);
  const std::map<std::string, Made> made{{"target", {true, "2003/03/03 03:03:04"}},
                                         {"link", {false, "2004/04/04 04:04:04"}}};
  EXPECT_EQ(listFolder(tmp.path(), kJapanese), expectedRows(tmp.path(), made));
}

TEST(PosixFolderSearchTest, OnlyAFullPathAndTheMatchAllPatternOpen) {
  TempFolder tmp;
  EXPECT_NE(platform::openFolderSearch(tmp.path() + "/*.*"), nullptr);
  EXPECT_NE(platform::openFolderSearch("//*.*"), nullptr) << "the root, with two separators";
  for (const std::string& pattern :
       {tmp.path() + "/*.txt", tmp.path(), tmp.path() + "/", std::string("/*.*"),
        std::string("relative/*.*"), std::string("*.*"), std::string()}) {
    EXPECT_EQ(platform::openFolderSearch(pattern), nullptr) << pattern;
  }
}

TEST(PosixFolderSearchTest, AFolderThatMayNotBeReadCannotBeOpened) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not hold back the superuser";
  TempFolder tmp;
  const std::string locked = tmp.createFolder("locked");
  tmp.createFile("locked/inside");
  ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
  EXPECT_EQ(platform::openFolderSearch(locked + "/*.*"), nullptr);
  EXPECT_TRUE(listFolder(locked, kJapanese).empty());
}

#endif  // !_WIN32

// A scripted enumeration: delivers the given entries, then reports the end,
// which is also how a failure in the middle shows.
class ScriptedSearch final : public platform::FolderSearch {
 public:
  explicit ScriptedSearch(std::vector<FoundEntry> entries) : entries_(std::move(entries)) {}
  bool next(FoundEntry& entry) override {
    if (index_ == entries_.size()) return false;
    entry = entries_[index_++];
    return true;
  }

 private:
  std::vector<FoundEntry> entries_;
  std::size_t index_ = 0;
};

struct ScriptedOpener {
  std::vector<FoundEntry> entries;
  bool fails = false;
  std::vector<std::string> patterns;

  folderlist::SearchOpener opener() {
    return [this](std::string_view pattern) -> std::unique_ptr<platform::FolderSearch> {
      patterns.emplace_back(pattern);
      if (fails) return nullptr;
      return std::make_unique<ScriptedSearch>(entries);
    };
  }
};

const platform::FileTime kSomeTime = oracle::fixedZoneFileTime({2012, 12, 12, 12, 12, 12});

TEST(ListingScriptedTest, TheSearchPatternIsThePathTheSeparatorAndMatchAll) {
  const std::string sep(1, platform::kPathSeparator);
  for (const std::string& folder :
       {std::string("C:") + sep, sep + "data" + sep + "フォルダ", std::string("コンピュータ")}) {
    ScriptedOpener script;
    listFolder(folder, kJapanese, script.opener());
    ASSERT_EQ(script.patterns.size(), 1u);
    EXPECT_EQ(script.patterns[0], folder + sep + "*.*");
  }
}

TEST(ListingScriptedTest, AFailureInTheMiddleKeepsTheRowsReadSoFar) {
  ScriptedOpener script;
  // The enumeration stops after "second": the rest never arrives.
  script.entries = {{".", platform::kAttrDirectory, kSomeTime},
                    {"first", platform::kAttrArchive, kSomeTime},
                    {"..", platform::kAttrDirectory, kSomeTime},
                    {"second", platform::kAttrDirectory, kSomeTime}};
  const EntryRows rows = listFolder("/x", kJapanese, script.opener());
  EXPECT_EQ(rows, (EntryRows{{"first", "", "2012/12/12 12:12:12"},
                             {"second", "<Folder>", "2012/12/12 12:12:12"}}));
}

TEST(ListingScriptedTest, NoFolderPathListsNothing) {
  ScriptedOpener script;
  script.entries = {{"never", 0, kSomeTime}};
  EXPECT_TRUE(listFolder("", kJapanese, script.opener()).empty());
  EXPECT_TRUE(script.patterns.empty());
}

TEST(ListingScriptedTest, AFailedOpenGivesNoRows) {
  ScriptedOpener script;
  script.fails = true;
  script.entries = {{"never", 0, kSomeTime}};
  EXPECT_TRUE(listFolder("/x", kJapanese, script.opener()).empty());
  EXPECT_EQ(script.patterns.size(), 1u);
}

TEST(ListingScriptedTest, ListingIntoRowsReplacesWhatTheyHeld) {
  EntryRows rows{{"old.txt", "", "2001/01/01 00:00:00"}, {"old", "<Folder>", ""}};
  ScriptedOpener script;
  script.entries = {{"new.txt", platform::kAttrArchive, kSomeTime}};
  listFolderInto(rows, "/x", kJapanese, script.opener());
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].name, "new.txt");

  script.fails = true;
  listFolderInto(rows, "/x", kJapanese, script.opener());
  EXPECT_TRUE(rows.empty());
}

TEST(ListingScriptedTest, OnlyExactlyDotAndDotDotAreSkipped) {
  ScriptedOpener script;
  for (const char* name : {".", "...", ".x", "..", "..y", " .", ". ", ".. ", "a.", "."}) {
    script.entries.push_back({name, platform::kAttrArchive, kSomeTime});
  }
  const EntryRows rows = listFolder("/x", kJapanese, script.opener());
  EXPECT_EQ(namesOf(rows), (std::vector<std::string>{"...", ".x", "..y", " .", ". ", ".. ", "a."}));
}

TEST(ListingScriptedTest, TheFolderBitAloneDecidesTheKindText) {
  struct Case {
    std::uint32_t attributes;
    const char* kind;
  } cases[] = {
      {0x10, "<Folder>"}, {0x12, "<Folder>"},  {0x16, "<Folder>"},
      {0x30, "<Folder>"}, {0x410, "<Folder>"}, {0xFFFFFFFF, "<Folder>"},
      {0x00, ""},         {0x01, ""},          {0x02, ""},
      {0x04, ""},         {0x08, ""},          {0x20, ""},
      {0x80, ""},         {0x400, ""},         {0xFFFFFFEF, ""},
  };
  ScriptedOpener script;
  for (const auto& c : cases) {
    script.entries.push_back({std::to_string(c.attributes), c.attributes, kSomeTime});
  }
  const EntryRows rows = listFolder("/x", kJapanese, script.opener());
  ASSERT_EQ(rows.size(), std::size(cases));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].kindText, cases[i].kind) << std::hex << cases[i].attributes;
  }
}

// A zero file time is how a file system says it keeps no last-write time.
TEST(ListingScriptedTest, AnEntryWithoutATimeIsListedWithAnEmptyTimeText) {
  ScriptedOpener script;
  script.entries = {{"no time", platform::kAttrArchive, 0},
                    {"timed", platform::kAttrArchive, kSomeTime}};
  const EntryRows rows = listFolder("/x", kJapanese, script.opener());
  EXPECT_EQ(rows, (EntryRows{{"no time", "", ""}, {"timed", "", "2012/12/12 12:12:12"}}));
}

}  // namespace
