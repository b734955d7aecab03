// Copying the rows in their order, over the fault-injecting file system:
// the order of writes, every check before writing, a failure at every row,
// stopping part way, and the read-back.
#include "cardcopy/ordered_copy.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cardcopy/copy_messages.h"
#include "cardcopy/fat_names.h"
#include "fakes/fault_copy_ops.h"
#include "platform/path.h"

namespace {

using cardcopy::CopyResult;
using fakes::FaultCopyOps;
using Op = FaultCopyOps::Op;
using Outcome = CopyResult::Outcome;
namespace msg = cardcopy::messages;

const std::string kSep(1, platform::kPathSeparator);
std::string at(const std::string& a, const std::string& b) { return a + kSep + b; }
std::string at(const std::string& a, const std::string& b, const std::string& c) {
  return at(at(a, b), c);
}

const std::string kSource = kSep + "music";
const std::string kCard = kSep + "card";

// Byte order; the tests' names are chosen so that it is also the alphabet.
int byteOrder(std::string_view a, std::string_view b) { return a.compare(b); }

// Numbers inside names compare as numbers, as Explorer's order does (only
// what the tests need: a leading run of digits).
int numberOrder(std::string_view a, std::string_view b) {
  const auto lead = [](std::string_view s) {
    std::size_t n = 0;
    while (n < s.size() && s[n] >= '0' && s[n] <= '9') ++n;
    return n;
  };
  const std::size_t la = lead(a), lb = lead(b);
  if (la && lb && la != lb) return la < lb ? -1 : 1;
  return a.compare(b);
}

folderlist::ListEntry fileRow(std::string name) { return {std::move(name), "", {}}; }
folderlist::ListEntry folderRow(std::string name) {
  return {std::move(name), std::string(folderlist::kFolderKind), {}};
}

// Three times apart, in 2009, which every card can hold.
constexpr platform::FileTime k2009 = 128'806'848'000'000'000ULL;  // 2009-03-05 UTC
platform::EntryTimes times(platform::FileTime base) {
  return {k2009 + base, k2009 + base + 1, k2009 + base + 2};
}
platform::EntryTimes allThree(platform::FileTime t) { return {t, t, t}; }

// Tokyo's wall clock, UTC+9 all year, worked out here by hand so that no
// zone of the machine's decides a case at the edge of FAT's years.
std::optional<platform::LocalDateTime> tokyo(platform::FileTime utc) {
  const std::int64_t seconds =
      static_cast<std::int64_t>(utc / platform::kTicksPerSecond) - 11'644'473'600 + 9 * 3600;
  std::int64_t days = seconds / 86400;
  const std::int64_t rest = seconds - days * 86400;
  // Days since 1970-01-01 to a civil date (the proleptic Gregorian calendar).
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t doe = days - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
  return platform::LocalDateTime{year,
                                 month,
                                 day,
                                 static_cast<int>(rest / 3600),
                                 static_cast<int>(rest / 60 % 60),
                                 static_cast<int>(rest % 60)};
}

// File times (UTC) around FAT's years, from `date -u -d ... +%s` plus the
// ticks from 1601 to 1970.
constexpr platform::FileTime k1979June = 119'427'264'000'000'000ULL;    // 1979-06-15
constexpr platform::FileTime k2108June = 160'136'352'000'000'000ULL;    // 2108-06-15
constexpr platform::FileTime kFirstTokyo = 119'599'740'000'000'000ULL;  // 1980-01-01 00:00 JST
constexpr platform::FileTime kLastTokyo = 159'992'603'990'000'000ULL;   // 2107-12-31 23:59:59 JST
constexpr platform::FileTime k4GiB = 0x1'0000'0000ULL;

using platform::FileSystem;
const std::string kVolumeFolder = "System Volume Information";

// A card at kCard as Windows mounts it: its root, the given file system,
// 512-byte clusters unless told, and System Volume Information kept hidden
// and system with a file inside.
platform::VolumeSpace cardVolume(FileSystem fs, std::uint64_t free, std::uint64_t cluster = 512) {
  platform::VolumeSpace volume;
  volume.freeBytes = free;
  volume.clusterBytes = cluster;
  volume.fileSystem = fs;
  volume.root = true;
  volume.caseBlind = true;
  return volume;
}

// The listed folder: b.mp3, the folder "Album" (its files made in the order
// 9, 10, 2), a.mp3; and an empty card.
struct Library {
  FaultCopyOps fs;
  folderlist::EntryRows rows{fileRow("b.mp3"), folderRow("Album"), fileRow("a.mp3")};

  Library() {
    fs.addFolder(kSource, times(100));
    fs.addFile(at(kSource, "a.mp3"), "aaaa", times(200));
    fs.addFolder(at(kSource, "Album"), times(300));
    fs.addFile(at(kSource, "Album", "9.mp3"), "nine", times(400));
    fs.addFile(at(kSource, "Album", "10.mp3"), "ten!", times(500));
    fs.addFile(at(kSource, "Album", "2.mp3"), "two2", times(600));
    fs.addFile(at(kSource, "b.mp3"), "bbbbbb", times(700));
    fs.addFolder(kCard);
  }

  CopyResult copy(const cardcopy::NameOrder& order = byteOrder,
                  const platform::StopRequested& stop = {},
                  const cardcopy::CopyProgress& progress = {}) {
    return cardcopy::copyInOrder(rows, kSource, kCard, fs, order, progress, stop);
  }
  CopyResult copy(cardcopy::CopyHooks hooks) {
    hooks.toLocal = tokyo;
    return cardcopy::copyInOrder(rows, kSource, kCard, fs, byteOrder, hooks);
  }

  // kCard becomes a card's root with Windows' rules, System Volume
  // Information on it as Windows leaves it.
  void makeCard(platform::VolumeSpace volume, bool withVolumeFolder = true) {
    if (withVolumeFolder) {
      fs.addFile(at(kCard, kVolumeFolder, "IndexerVolumeGuid"), "{guid}");
      fs.markHiddenSystem(at(kCard, kVolumeFolder));
    }
    fs.formatCard(kCard, volume, tokyo);
  }

  // Every source entry with its contents and times, to prove nothing changed.
  std::vector<std::string> sourceSnapshot() const {
    std::vector<std::string> seen;
    for (const std::string& path : fs.under(kSource)) {
      const auto* node = fs.find(path);
      seen.push_back(path + "|" + node->content + "|" + std::to_string(node->times.lastWrite) +
                     "|" + std::to_string(node->times.lastAccess));
    }
    return seen;
  }
};

struct OrderCase {
  const char* name;
  cardcopy::NameOrder order;
  std::vector<std::string> albumOrder;
};

void PrintTo(const OrderCase& c, std::ostream* os) { *os << c.name; }

class OrderOfWrites : public testing::TestWithParam<OrderCase> {};

TEST_P(OrderOfWrites, RowsTopToBottomFolderContentsInNameOrderFolderTimesLast) {
  Library lib;
  const auto before = lib.sourceSnapshot();
  std::vector<std::pair<int, int>> progress;
  const CopyResult result = lib.copy(GetParam().order, {}, [&](int done, int total) {
    progress.push_back({done, total});
  });

  ASSERT_EQ(result.outcome, Outcome::Completed) << result.text();
  EXPECT_EQ(result.text(), "コピーしました (3 個)");
  EXPECT_TRUE(result.orderKept);
  EXPECT_EQ(result.copiedRows, 3);
  EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));

  const std::vector<std::string>& album = GetParam().albumOrder;
  const std::string dAlbum = at(kCard, "Album");
  // A file's copy carries its times; a folder's are set once its contents are in.
  std::vector<FaultCopyOps::Write> expected{{Op::CopyFile, at(kCard, "b.mp3")},
                                            {Op::CreateFolder, dAlbum}};
  for (const std::string& name : album) {
    expected.push_back({Op::CopyFile, at(dAlbum, name)});
  }
  expected.push_back({Op::SetTimes, dAlbum});
  expected.push_back({Op::CopyFile, at(kCard, "a.mp3")});
  EXPECT_EQ(lib.fs.writes(), expected);

  EXPECT_EQ(lib.fs.listed(kCard), (std::vector<std::string>{"b.mp3", "Album", "a.mp3"}));
  EXPECT_EQ(lib.fs.listed(dAlbum), album);
  // Contents and all three times, the folder's own included.
  const struct {
    const char* name;
    const char* content;
    platform::FileTime base;
  } copies[] = {{"b.mp3", "bbbbbb", 700}, {"a.mp3", "aaaa", 200}, {"Album", "", 300}};
  for (const auto& c : copies) {
    const auto* node = lib.fs.find(at(kCard, c.name));
    ASSERT_NE(node, nullptr) << c.name;
    EXPECT_EQ(node->content, c.content) << c.name;
    EXPECT_EQ(node->times, times(c.base)) << c.name;
  }
  EXPECT_EQ(lib.fs.find(at(dAlbum, "10.mp3"))->content, "ten!");
  EXPECT_EQ(lib.fs.find(at(dAlbum, "10.mp3"))->times, times(500));
  EXPECT_EQ(lib.sourceSnapshot(), before);
}

INSTANTIATE_TEST_SUITE_P(
    NameOrders, OrderOfWrites,
    testing::Values(OrderCase{"Locale", byteOrder, {"10.mp3", "2.mp3", "9.mp3"}},
                    OrderCase{"Explorer", numberOrder, {"2.mp3", "9.mp3", "10.mp3"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Every check before writing: the message, the row it names, and not one write.
struct CheckCase {
  const char* name;
  std::function<void(Library&, std::string& destination)> arrange;
  std::string message;
  int failedRow;
};

void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }

// The system's reason for a refused read, on its own line: Windows' words
// for ERROR_ACCESS_DENIED and the code.
const std::string kDeniedLine = "\r\nアクセスが拒否されました。 (5)";

class ChecksBeforeWriting : public testing::TestWithParam<CheckCase> {};

TEST_P(ChecksBeforeWriting, FirstFailureGivesItsMessageAndNothingIsWritten) {
  Library lib;
  std::string destination = kCard;
  GetParam().arrange(lib, destination);
  const auto before = lib.sourceSnapshot();
  cardcopy::CopyHooks hooks;
  hooks.toLocal = tokyo;
  const CopyResult result =
      cardcopy::copyInOrder(lib.rows, kSource, destination, lib.fs, byteOrder, hooks);
  EXPECT_EQ(result.outcome, Outcome::PrecheckFailed);
  EXPECT_EQ(result.text(), GetParam().message);
  EXPECT_EQ(result.failure.row, GetParam().failedRow);
  EXPECT_EQ(result.copiedRows, 0);
  EXPECT_TRUE(lib.fs.writes().empty());
  EXPECT_EQ(lib.sourceSnapshot(), before);
}

const std::string kLongCard = kCard + kSep + std::string(240, 'x');

INSTANTIATE_TEST_SUITE_P(
    Checks, ChecksBeforeWriting,
    testing::Values(
        CheckCase{"TheListedFolder", [](Library&, std::string& d) { d = kSource; },
                  "コピー先が一覧の\r\nフォルダの中にあります\r\n\r\n" + kSource, -1},
        CheckCase{
            "InsideTheListedFolder",
            [](Library& l, std::string& d) {
              d = at(kSource, "Album", "new");
              l.fs.addFolder(d);
            },
            "コピー先が一覧の\r\nフォルダの中にあります\r\n\r\n" + at(kSource, "Album", "new"), -1},
        CheckCase{"InsideAFolderRowThatIsAJunction",
                  [](Library& l, std::string& d) {
                    l.fs.alias(at(kSource, "Album"), kCard);
                    d = at(kCard, "new");
                    l.fs.addFolder(d);
                    l.fs.alias(d, at(kCard, "new"));
                  },
                  "コピー先が一覧の\r\nフォルダ行の中にあります\r\n\r\nAlbum", 1},
        CheckCase{"NoSuchDestination", [](Library&, std::string& d) { d = at(kCard, "gone"); },
                  "コピー先のフォルダが\r\n見当たりません \r\n\r\n" + at(kCard, "gone"), -1},
        CheckCase{"DestinationNotEmpty",
                  [](Library& l, std::string&) { l.fs.addFile(at(kCard, "old.mp3"), "o"); },
                  "コピー先が空ではありません\r\n"
                  "空いた場所に書くと順番が崩れます\r\n"
                  "新しいフォルダにしてください\r\n\r\n" +
                      kCard,
                  -1},
        CheckCase{"MissingFile", [](Library& l, std::string&) { l.rows[2].name = "gone.mp3"; },
                  "見当たらないファイルがあります \r\n\r\ngone.mp3", 2},
        CheckCase{"FolderRowThatIsAFile",
                  [](Library& l, std::string&) { l.rows[1] = folderRow("b.mp3"); },
                  "見当たらないフォルダがあります \r\n\r\nb.mp3", 1},
        CheckCase{"FileRowThatIsAFolder",
                  [](Library& l, std::string&) { l.rows[0] = fileRow("Album"); },
                  "見当たらないファイルがあります \r\n\r\nAlbum", 0},
        CheckCase{"UnreadableFile",
                  [](Library& l, std::string&) {
                    l.fs.injectFault(Op::OpenSource, at(kSource, "a.mp3"));
                  },
                  "読み取れないファイルがあります\r\n\r\na.mp3" + kDeniedLine, 2},
        CheckCase{"UnreadableFileInAFolderRow",
                  [](Library& l, std::string&) {
                    l.fs.injectFault(Op::OpenSource, at(kSource, "Album", "9.mp3"));
                  },
                  "読み取れないファイルがあります\r\n\r\n" + at("Album", "9.mp3") + kDeniedLine, 1},
        CheckCase{"UnlistableFolder",
                  [](Library& l, std::string&) {
                    l.fs.injectFault(Op::ListFolder, at(kSource, "Album"));
                  },
                  "読み取れないフォルダがあります\r\n\r\nAlbum" + kDeniedLine, 1},
        CheckCase{"TrailingDotInARow",
                  [](Library& l, std::string&) {
                    l.fs.addFile(at(kSource, "c."), "c");
                    l.rows.push_back(fileRow("c."));
                  },
                  "カードに書けない名前があります\r\n\r\nc.", 3},
        CheckCase{"TrailingSpaceInsideAFolderRow",
                  [](Library& l, std::string&) { l.fs.addFile(at(kSource, "Album", "x "), "x"); },
                  "カードに書けない名前があります\r\n\r\n" + at("Album", "x "), 1},
        CheckCase{"PathTooLongForAFile",
                  [](Library& l, std::string& d) {
                    d = kLongCard;
                    l.fs.addFolder(d);
                  },
                  // 6 + 1 + 240 + 1 + "b.mp3" = 253 fits; "Album" as a folder,
                  // 253 > 247, does not.
                  "コピー先のパスが長すぎます\r\n\r\nAlbum", 1},
        CheckCase{"NotEnoughSpace",
                  [](Library& l, std::string&) {
                    // Three files of 1,000,000 bytes in 32 KiB clusters take
                    // 3 x 31 clusters = 3,047,424 bytes = 2.91 MB.
                    l.rows = {fileRow("x1"), fileRow("x2"), fileRow("x3")};
                    for (const char* n : {"x1", "x2", "x3"}) {
                      l.fs.addFile(at(kSource, n), std::string(1'000'000, 'z'));
                    }
                    l.fs.setSpace({2'000'000, 32768});
                  },
                  "コピー先の空き容量が足りません\r\n\r\n必要 3.0 MB / 空き 1.9 MB", -1},
        CheckCase{"NotEnoughSpaceWithTheClusterUnknown",
                  [](Library& l, std::string&) {
                    // Four 1-byte files take at least a sector each: 2,048
                    // bytes, never the 4 bytes of their contents.
                    l.rows = {fileRow("x1"), fileRow("x2"), fileRow("x3"), fileRow("x4")};
                    for (const char* n : {"x1", "x2", "x3", "x4"})
                      l.fs.addFile(at(kSource, n), "z");
                    l.fs.setSpace({2047, 0});
                  },
                  "コピー先の空き容量が足りません\r\n\r\n必要 0.1 MB / 空き 0.0 MB", -1},
        CheckCase{
            "ATimeBefore1980OnFat32",
            [](Library& l, std::string&) {
              l.fs.addFile(at(kSource, "old.mp3"), "o", allThree(k1979June));
              l.rows.push_back(fileRow("old.mp3"));
              l.makeCard(cardVolume(FileSystem::Fat32, 1 << 30));
            },
            "カードに書けない日時の行があります\r\n1980 年から 2107 年までです\r\n\r\nold.mp3", 3},
        CheckCase{"ATimeAfter2107InsideAFolderRowOnExFat",
                  [](Library& l, std::string&) {
                    l.fs.addFile(at(kSource, "Album", "late.mp3"), "l", {0, 0, k2108June});
                    l.makeCard(cardVolume(FileSystem::ExFat, 1 << 30));
                  },
                  "カードに書けない日時の行があります\r\n1980 年から 2107 年までです\r\n\r\n" +
                      at("Album", "late.mp3"),
                  1},
        CheckCase{"AFolderRowsOwnTimeOnFat16",
                  [](Library& l, std::string&) {
                    l.fs.addFolder(at(kSource, "Old"), {k1979June, 0, 0});
                    l.rows.push_back(folderRow("Old"));
                    l.makeCard(cardVolume(FileSystem::Fat, 1 << 30));
                  },
                  "カードに書けない日時の行があります\r\n1980 年から 2107 年までです\r\n\r\nOld",
                  3},
        CheckCase{"A4GiBFileOnFat32",
                  [](Library& l, std::string&) {
                    l.fs.addSizedFile(at(kSource, "Album", "movie.mp4"), k4GiB,
                                      allThree(kFirstTokyo));
                    l.makeCard(cardVolume(FileSystem::Fat32, 1ull << 40));
                  },
                  "カードに書けない大きさのファイルがあります\r\n4 GB 未満までです\r\n\r\n" +
                      at("Album", "movie.mp4"),
                  1},
        CheckCase{"NamesThatDifferInCaseOnlyAtTheTop",
                  [](Library& l, std::string&) {
                    l.fs.addFile(at(kSource, "A.MP3"), "A");
                    l.rows.push_back(fileRow("A.MP3"));
                    l.fs.setSpace({1ull << 40, 4096, FileSystem::Other, false, false, true});
                  },
                  "コピー先で同じ名前になる行があります\r\n大文字と小文字は区別されません\r\n\r\n"
                  "a.mp3\r\nA.MP3",
                  3},
        CheckCase{"NamesThatDifferInCaseOnlyInsideAFolderRow",
                  [](Library& l, std::string&) {
                    l.fs.addFile(at(kSource, "Album", "X.mp3"), "X");
                    l.fs.addFile(at(kSource, "Album", "x.MP3"), "x");
                    l.makeCard(cardVolume(FileSystem::ExFat, 1 << 30));
                  },
                  "コピー先で同じ名前になる行があります\r\n大文字と小文字は区別されません\r\n\r\n" +
                      at("Album", "X.mp3") + "\r\n" + at("Album", "x.MP3"),
                  1},
        CheckCase{"TheFixedRootOfFat16IsFull",
                  [](Library& l, std::string&) {
                    // System Volume Information takes 3 of the 512 entries
                    // (25 units: a short entry and 2 long ones), each row
                    // of 8 units 2: the 255th row would need the 513th.
                    l.rows.clear();
                    for (int i = 0; i < 255; ++i) {
                      char name[16];
                      std::snprintf(name, sizeof(name), "f%03d.mp3", i);
                      l.fs.addFile(at(kSource, name), "f");
                      l.rows.push_back(fileRow(name));
                    }
                    l.makeCard(cardVolume(FileSystem::Fat, 1 << 30));
                  },
                  "カードの一番上のフォルダに入りきりません\r\n512 項目までです\r\n\r\nf254.mp3",
                  254}),
    [](const auto& info) { return std::string(info.param.name); });

// What a card holds to its edges: the check lets it through and the card's
// own rules take every write.
struct HoldsCase {
  const char* name;
  std::function<void(Library&)> arrange;
};

void PrintTo(const HoldsCase& c, std::ostream* os) { *os << c.name; }

class WhatACardHolds : public testing::TestWithParam<HoldsCase> {};

TEST_P(WhatACardHolds, PassesTheCheckAndEveryWrite) {
  Library lib;
  GetParam().arrange(lib);
  cardcopy::CopyHooks hooks;
  const CopyResult result = lib.copy(hooks);
  EXPECT_EQ(result.outcome, Outcome::Completed) << result.text();
  EXPECT_TRUE(result.orderKept) << result.text();
}

INSTANTIATE_TEST_SUITE_P(
    Edges, WhatACardHolds,
    testing::Values(
        HoldsCase{"TheFirstSecondOf1980",
                  [](Library& l) {
                    l.fs.addFile(at(kSource, "first.mp3"), "1", allThree(kFirstTokyo));
                    l.rows.push_back(fileRow("first.mp3"));
                    l.makeCard(cardVolume(FileSystem::Fat32, 1 << 30));
                  }},
        HoldsCase{
            "TheLastSecondOf2107",
            [](Library& l) {
              l.fs.addFile(at(kSource, "last.mp3"), "9", {kLastTokyo, kLastTokyo, kLastTokyo});
              l.rows.push_back(fileRow("last.mp3"));
              l.makeCard(cardVolume(FileSystem::ExFat, 1 << 30));
            }},
        HoldsCase{"OldTimesWhereTheFileSystemIsNotKnown",
                  [](Library& l) {
                    // GetVolumeInformationW failing (Wine on FUSE): nothing
                    // that might work is refused; the volume takes them.
                    l.fs.addFile(at(kSource, "old.mp3"), "o", allThree(k1979June));
                    l.rows.push_back(fileRow("old.mp3"));
                    l.makeCard(cardVolume(FileSystem::Other, 1 << 30));
                    l.fs.hideCardFileSystem();
                  }},
        HoldsCase{"AFileOf4GiBLessOneByteOnFat32",
                  [](Library& l) {
                    l.fs.addSizedFile(at(kSource, "Album", "movie.mp4"), k4GiB - 1,
                                      allThree(kFirstTokyo));
                    l.makeCard(cardVolume(FileSystem::Fat32, 1ull << 40, 32768));
                  }},
        HoldsCase{"A4GiBFileOnExFat",
                  [](Library& l) {
                    l.fs.addSizedFile(at(kSource, "Album", "movie.mp4"), k4GiB,
                                      allThree(kFirstTokyo));
                    l.makeCard(cardVolume(FileSystem::ExFat, 1ull << 40, 32768));
                  }},
        HoldsCase{"The254RowsFat16sRootHoldsBesideTheVolumesFolder",
                  [](Library& l) {
                    l.rows.clear();
                    for (int i = 0; i < 254; ++i) {
                      char name[16];
                      std::snprintf(name, sizeof(name), "f%03d.mp3", i);
                      l.fs.addFile(at(kSource, name), "f");
                      l.rows.push_back(fileRow(name));
                    }
                    l.makeCard(cardVolume(FileSystem::Fat, 1 << 30));
                  }}),
    [](const auto& info) { return std::string(info.param.name); });

// The space a copy takes on a card, worked out by hand from the file
// systems' layouts: whole clusters of each file, each new folder's entries
// in whole clusters, and what the destination folder grows by. With exactly
// that much free the copy fills the card to the byte; one byte less and the
// check refuses before writing.
struct SpaceCase {
  const char* name;
  FileSystem fs;
  std::function<void(Library&)> arrange;
  std::uint64_t needed;
};

void PrintTo(const SpaceCase& c, std::ostream* os) { *os << c.name; }

class SpaceOnACard : public testing::TestWithParam<SpaceCase> {};

// Four rows of 40-unit names, one byte each.
void fourLongNames(Library& l) {
  l.rows.clear();
  for (char c : {'a', 'b', 'c', 'd'}) {
    const std::string name = std::string(36, c) + ".mp3";
    l.fs.addFile(at(kSource, name), "z");
    l.rows.push_back(fileRow(name));
  }
}

// One folder row "Many" of twenty 1-byte files "t00.mp3" to "t19.mp3".
void twentyInAFolder(Library& l) {
  l.rows = {folderRow("Many")};
  for (int i = 0; i < 20; ++i) {
    char name[16];
    std::snprintf(name, sizeof(name), "t%02d.mp3", i);
    l.fs.addFile(at(kSource, "Many", name), "z");
  }
}

TEST_P(SpaceOnACard, ExactlyWhatTheCardTakes) {
  const SpaceCase& c = GetParam();
  for (const std::uint64_t free : {c.needed, c.needed - 1}) {
    SCOPED_TRACE(free);
    Library lib;
    c.arrange(lib);
    lib.makeCard(cardVolume(c.fs, free), false);
    const CopyResult result = lib.copy(cardcopy::CopyHooks{});
    if (free == c.needed) {
      EXPECT_EQ(result.outcome, Outcome::Completed) << result.text();
      EXPECT_EQ(lib.fs.cardFree(), 0u) << "the card took less than counted";
    } else {
      EXPECT_EQ(result.outcome, Outcome::PrecheckFailed);
      EXPECT_EQ(result.text().rfind("コピー先の空き容量が足りません", 0), 0u) << result.text();
      EXPECT_TRUE(lib.fs.writes().empty());
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, SpaceOnACard,
    testing::Values(
        // 4 x 512 for the files; the root's 4 x 5 entries (640 bytes) need
        // a second cluster.
        SpaceCase{"Fat32RootGrows", FileSystem::Fat32, fourLongNames, 4 * 512 + 512},
        // FAT16's root is a fixed area: the files only.
        SpaceCase{"Fat16RootDoesNotGrow", FileSystem::Fat, fourLongNames, 4 * 512},
        // exFAT: 4 x (2 + 3) entries and the bitmap's and up-case table's
        // 2 make 704 bytes: the root grows by one cluster too.
        SpaceCase{"ExFatRootGrows", FileSystem::ExFat, fourLongNames, 4 * 512 + 512},
        // "." and ".." and 20 x 2 entries: 1,344 bytes, 3 clusters; 20 files.
        SpaceCase{"Fat32FolderRowsEntries", FileSystem::Fat32, twentyInAFolder, 3 * 512 + 20 * 512},
        // 20 x 3 entries: 1,920 bytes, 4 clusters; 20 files.
        SpaceCase{"ExFatFolderRowsEntries", FileSystem::ExFat, twentyInAFolder,
                  4 * 512 + 20 * 512}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OrderedCopySpace, ExactlyEnoughSpacePasses) {
  Library lib;
  lib.rows = {fileRow("x1"), fileRow("x2"), fileRow("x3")};
  for (const char* n : {"x1", "x2", "x3"})
    lib.fs.addFile(at(kSource, n), std::string(1'000'000, 'z'));
  lib.fs.setSpace({3'047'424, 32768});
  EXPECT_EQ(lib.copy().outcome, Outcome::Completed);
}

// A failure at every row, by every write that can fail there.
struct FailureCase {
  int row;
  Op op;
  std::string path;      // where the fault is injected
  std::string relative;  // what the message names
  bool folderBegun;      // the folder row stands on the card unfinished
};

void PrintTo(const FailureCase& c, std::ostream* os) {
  *os << "row " << c.row << " " << FaultCopyOps::opName(c.op) << " at " << c.path;
}

class FailureAtARow : public testing::TestWithParam<FailureCase> {};

TEST_P(FailureAtARow, StopsThereKeepsRowsAboveLeavesNoPartialFile) {
  const FailureCase& c = GetParam();
  Library lib;
  const auto before = lib.sourceSnapshot();
  lib.fs.injectFault(c.op, c.path, platform::kErrorDiskFull);
  const CopyResult result = lib.copy();

  EXPECT_EQ(result.outcome, Outcome::Failed);
  EXPECT_EQ(result.failure.row, c.row);
  EXPECT_EQ(result.copiedRows, c.row);
  EXPECT_EQ(result.failure.osError, platform::kErrorDiskFull);
  EXPECT_EQ(
      result.text(),
      "コピーできませんでした\r\n\r\n" + c.relative + "\r\n" +
          platform::osErrorText(platform::kErrorDiskFull) +
          (c.folderBegun ? "\r\n\r\n途中までしかコピーしていないフォルダ行です\r\nAlbum" : ""));
  // The rows above are there in full, nothing of the rows below.
  const std::vector<std::string> top{"b.mp3", "Album", "a.mp3"};
  const std::vector<std::string> listed = lib.fs.listed(kCard);
  for (int k = 0; k < c.row; ++k) EXPECT_EQ(listed.at(static_cast<std::size_t>(k)), top[k]);
  for (int k = c.row + 1; k < 3; ++k) EXPECT_EQ(lib.fs.find(at(kCard, top[k])), nullptr);
  if (c.op == Op::CopyFile) {
    EXPECT_EQ(lib.fs.find(c.path), nullptr) << "half-written file left";
  }
  if (c.row > 0) {
    EXPECT_EQ(lib.fs.find(at(kCard, "b.mp3"))->content, "bbbbbb");
  }
  EXPECT_EQ(lib.sourceSnapshot(), before);
}

INSTANTIATE_TEST_SUITE_P(
    EveryRow, FailureAtARow,
    testing::Values(
        FailureCase{0, Op::CopyFile, at(kCard, "b.mp3"), "b.mp3", false},
        FailureCase{1, Op::ReadTimes, at(kSource, "Album"), "Album", false},
        FailureCase{1, Op::CreateFolder, at(kCard, "Album"), "Album", false},
        FailureCase{1, Op::CopyFile, at(kCard, "Album", "2.mp3"), at("Album", "2.mp3"), true},
        FailureCase{1, Op::CopyFile, at(kCard, "Album", "9.mp3"), at("Album", "9.mp3"), true},
        FailureCase{1, Op::SetTimes, at(kCard, "Album"), "Album", true},
        FailureCase{2, Op::CopyFile, at(kCard, "a.mp3"), "a.mp3", false}),
    [](const auto& info) {
      return "Row" + std::to_string(info.param.row) + FaultCopyOps::opName(info.param.op) +
             std::to_string(info.index);
    });

// Stopping: asked before every entry and inside each file's copy. A stop
// inside the n-th copy removes that half-written file; the message counts the
// rows written in full.
struct StopCase {
  int stopInCopy;  // the copy (1-based) during which the stop comes
  int copiedRows;
  std::string partial;           // the file that was half written
  std::vector<std::string> top;  // what the card then holds
  std::string incomplete;        // the folder row left unfinished, if any
};

void PrintTo(const StopCase& c, std::ostream* os) { *os << "stop in copy " << c.stopInCopy; }

class StopPartWay : public testing::TestWithParam<StopCase> {};

TEST_P(StopPartWay, RemovesTheHalfWrittenFileAndCountsTheRows) {
  const StopCase& c = GetParam();
  Library lib;
  const auto before = lib.sourceSnapshot();
  const CopyResult result =
      lib.copy(byteOrder, [&] { return lib.fs.copiesStarted() >= c.stopInCopy; });
  EXPECT_EQ(result.outcome, Outcome::Stopped);
  EXPECT_EQ(result.copiedRows, c.copiedRows);
  EXPECT_EQ(result.text(),
            "コピーを中止しました (" + std::to_string(c.copiedRows) + " / 3 個)" +
                (c.incomplete.empty()
                     ? ""
                     : "\r\n\r\n途中までしかコピーしていないフォルダ行です\r\n" + c.incomplete));
  EXPECT_EQ(lib.fs.find(c.partial), nullptr);
  EXPECT_EQ(lib.fs.listed(kCard), c.top);
  // Nothing after the half-written file was begun.
  EXPECT_EQ(lib.fs.copiesStarted(), c.stopInCopy);
  EXPECT_EQ(lib.sourceSnapshot(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Copies, StopPartWay,
    testing::Values(StopCase{1, 0, at(kCard, "b.mp3"), {}, ""},
                    StopCase{2, 1, at(kCard, "Album", "10.mp3"), {"b.mp3", "Album"}, "Album"},
                    StopCase{4, 1, at(kCard, "Album", "9.mp3"), {"b.mp3", "Album"}, "Album"},
                    StopCase{5, 2, at(kCard, "a.mp3"), {"b.mp3", "Album"}, ""}),
    [](const auto& info) { return "InCopy" + std::to_string(info.param.stopInCopy); });

// Each file is opened once, by the check, and its copy reads that open; past
// kMostHeldSources, or once the process runs short of handles, the copy opens
// the file itself. Either way every file arrives whole and nothing stays open.
struct HoldCase {
  const char* name;
  int extraFiles;  // rows added below the library's three
  int mostOpen;    // the fake's handle limit, 0 for none
  int heldCopies;  // copies that read the check's open
};

void PrintTo(const HoldCase& c, std::ostream* os) { *os << c.name; }

class HeldSources : public testing::TestWithParam<HoldCase> {};

TEST_P(HeldSources, EveryFileArrivesWholeAndNothingStaysOpen) {
  const HoldCase& c = GetParam();
  Library lib;
  for (int i = 0; i < c.extraFiles; ++i) {
    const std::string name = "x" + std::to_string(i);
    lib.fs.addFile(at(kSource, name), name);
    lib.rows.push_back(fileRow(name));
  }
  lib.fs.limitOpenSources(c.mostOpen);
  const CopyResult result = lib.copy();
  EXPECT_EQ(result.outcome, Outcome::Completed) << result.text();
  EXPECT_EQ(lib.fs.heldCopies(), c.heldCopies);
  EXPECT_EQ(lib.fs.sourcesOpen(), 0);
  EXPECT_EQ(lib.fs.find(at(kCard, "b.mp3"))->content, "bbbbbb");
  EXPECT_EQ(lib.fs.find(at(kCard, "Album", "9.mp3"))->content, "nine");
  EXPECT_EQ(lib.fs.find(at(kCard, "a.mp3"))->content, "aaaa");
  if (c.extraFiles > 0) {
    const std::string last = "x" + std::to_string(c.extraFiles - 1);
    EXPECT_EQ(lib.fs.find(at(kCard, last))->content, last);
  }
}

INSTANTIATE_TEST_SUITE_P(Opens, HeldSources,
                         testing::Values(HoldCase{"EveryFileOnce", 0, 0, 5},
                                         // The third open finds two held: both are let go.
                                         HoldCase{"ShortOfHandles", 0, 2, 0},
                                         HoldCase{"PastTheLimit", cardcopy::kMostHeldSources, 0,
                                                  cardcopy::kMostHeldSources}),
                         [](const auto& info) { return std::string(info.param.name); });

// The card's root as Windows leaves it: System Volume Information, hidden
// and system. The card counts as empty, the copy goes through, and that
// folder takes no part in the order read back and is left as it was.
TEST(OrderedCopyOnACard, TheVolumesOwnFolderIsLeftAloneAndOutOfTheOrder) {
  for (const FileSystem fs : {FileSystem::Fat, FileSystem::Fat32, FileSystem::ExFat}) {
    SCOPED_TRACE(static_cast<int>(fs));
    Library lib;
    lib.makeCard(cardVolume(fs, 1 << 30));
    const CopyResult result = lib.copy(cardcopy::CopyHooks{});
    ASSERT_EQ(result.outcome, Outcome::Completed) << result.text();
    EXPECT_EQ(result.text(), "コピーしました (3 個)");
    EXPECT_TRUE(result.orderKept);
    EXPECT_EQ(lib.fs.listed(kCard),
              (std::vector<std::string>{kVolumeFolder, "b.mp3", "Album", "a.mp3"}));
    EXPECT_EQ(lib.fs.listed(at(kCard, kVolumeFolder)),
              std::vector<std::string>{"IndexerVolumeGuid"});
    EXPECT_EQ(lib.fs.find(at(kCard, kVolumeFolder, "IndexerVolumeGuid"))->content, "{guid}");
    for (const auto& write : lib.fs.writes()) {
      EXPECT_EQ(write.path.find(kVolumeFolder), std::string::npos) << write.path;
    }
  }
}

// A card pulled out once the last row is written: the copy is not reported
// as an order kept, but as one that could not be read back.
TEST(OrderedCopyReadBack, ACardGoneBeforeTheReadBackSaysTheOrderCouldNotBeReadBack) {
  Library lib;
  lib.makeCard(cardVolume(FileSystem::Fat32, 1 << 30));
  // b.mp3, Album, its three files, Album's times, a.mp3: seven writes.
  lib.fs.pullCardAfter(7);
  const CopyResult result = lib.copy(cardcopy::CopyHooks{});
  EXPECT_EQ(result.outcome, Outcome::Completed);
  EXPECT_EQ(result.copiedRows, 3);
  EXPECT_FALSE(result.orderKept);
  EXPECT_EQ(result.readBack, CopyResult::ReadBack::Unreadable);
  EXPECT_EQ(result.text(), "コピーしました (3 個)\r\n\r\n順番を読み戻せませんでした\r\n" +
                               platform::osErrorText(21));
}

TEST(OrderedCopyReadBack, AFolderThatCannotBeReadBackSaysSo) {
  Library lib;
  lib.fs.injectFault(Op::ListNames, at(kCard, "Album"), platform::kErrorAccessDenied);
  const CopyResult result = lib.copy();
  EXPECT_EQ(result.readBack, CopyResult::ReadBack::Unreadable);
  EXPECT_EQ(result.text(), "コピーしました (3 個)\r\n\r\n順番を読み戻せませんでした\r\n" +
                               platform::osErrorText(platform::kErrorAccessDenied));
}

// After a failure only what the copy itself made is removed: never a file
// that stood there before it, nor the copy of an earlier row a case-blind
// name runs into; a removal that fails names the file left behind.
struct RemovalCase {
  const char* name;
  std::function<void(Library&, cardcopy::CopyHooks&)> arrange;
  std::string message;
  std::string kept;  // a file that must still be there
  std::string keptContent;
  std::string leftBehind;  // the file the message names
};

void PrintTo(const RemovalCase& c, std::ostream* os) { *os << c.name; }

class OnlyItsOwnIsRemoved : public testing::TestWithParam<RemovalCase> {};

TEST_P(OnlyItsOwnIsRemoved, AfterAFailureOrAStop) {
  const RemovalCase& c = GetParam();
  Library lib;
  cardcopy::CopyHooks hooks;
  c.arrange(lib, hooks);
  const CopyResult result = lib.copy(hooks);
  EXPECT_NE(result.outcome, Outcome::Completed);
  EXPECT_EQ(result.text(), c.message);
  EXPECT_EQ(result.leftBehind, c.leftBehind);
  if (!c.kept.empty()) {
    const auto* node = lib.fs.find(c.kept);
    ASSERT_NE(node, nullptr) << c.kept << " was removed";
    EXPECT_EQ(node->content, c.keptContent);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Removals, OnlyItsOwnIsRemoved,
    testing::Values(
        RemovalCase{"AFileThatAppearedBeforeItsCopy",
                    [](Library& l, cardcopy::CopyHooks& h) {
                      // Another program writes a.mp3 on the card meanwhile.
                      h.progress = [&l](int done, int) {
                        if (done == 2) l.fs.addFile(at(kCard, "a.mp3"), "theirs");
                      };
                    },
                    "コピーできませんでした\r\n\r\na.mp3\r\n" +
                        platform::osErrorText(platform::kErrorFileExists),
                    at(kCard, "a.mp3"), "theirs", ""},
        RemovalCase{"AnEarlierRowsCopyUnderACaseBlindName",
                    [](Library& l, cardcopy::CopyHooks&) {
                      // A volume that did not say it ignores case.
                      l.fs.addFile(at(kSource, "A.MP3"), "AAAA");
                      l.rows.push_back(fileRow("A.MP3"));
                      platform::VolumeSpace volume = cardVolume(FileSystem::Fat32, 1 << 30);
                      volume.caseBlind = false;
                      l.makeCard(volume);
                    },
                    "コピーできませんでした\r\n\r\nA.MP3\r\n" +
                        platform::osErrorText(platform::kErrorFileExists),
                    at(kCard, "a.mp3"), "aaaa", ""},
        RemovalCase{"ARemovalThatFailsAfterAFailure",
                    [](Library& l, cardcopy::CopyHooks&) {
                      l.fs.injectFault(Op::CopyFile, at(kCard, "a.mp3"), platform::kErrorDiskFull);
                      l.fs.injectFault(Op::RemoveFile, at(kCard, "a.mp3"));
                    },
                    "コピーできませんでした\r\n\r\na.mp3\r\n" +
                        platform::osErrorText(platform::kErrorDiskFull) +
                        "\r\n\r\n書きかけのファイルが残っています\r\n" + at(kCard, "a.mp3"),
                    "", "", at(kCard, "a.mp3")},
        RemovalCase{"ARemovalThatFailsAfterAStopInAFolderRow",
                    [](Library& l, cardcopy::CopyHooks& h) {
                      l.fs.injectFault(Op::RemoveFile, at(kCard, "Album", "2.mp3"));
                      h.stop = [&l] { return l.fs.copiesStarted() >= 3; };
                    },
                    "コピーを中止しました (1 / 3 個)"
                    "\r\n\r\n書きかけのファイルが残っています\r\n" +
                        at(kCard, "Album", "2.mp3") +
                        "\r\n\r\n途中までしかコピーしていないフォルダ行です\r\nAlbum",
                    "", "", at(kCard, "Album", "2.mp3")},
        RemovalCase{"TheCardPulledOutMidFile",
                    [](Library& l, cardcopy::CopyHooks&) {
                      l.makeCard(cardVolume(FileSystem::ExFat, 1 << 30));
                      // Gone while the second file is written (after b.mp3 and Album were
                      // written and it was begun): its removal fails too.
                      l.fs.pullCardAfter(3);
                      l.fs.injectFault(Op::CopyFile, at(kCard, "Album", "10.mp3"), 21);
                    },
                    "コピーできませんでした\r\n\r\n" + at("Album", "10.mp3") + "\r\n" +
                        platform::osErrorText(21) + "\r\n\r\n書きかけのファイルが残っています\r\n" +
                        at(kCard, "Album", "10.mp3") +
                        "\r\n\r\n途中までしかコピーしていないフォルダ行です\r\nAlbum",
                    "", "", at(kCard, "Album", "10.mp3")}),
    [](const auto& info) { return std::string(info.param.name); });

// On a card or a stick every file is written out before it is closed, so a
// write the system held back fails at its own row; elsewhere none is.
TEST(OrderedCopyOnACard, EveryFileIsWrittenOutOnRemovableMediaOnly) {
  for (const bool removable : {true, false}) {
    SCOPED_TRACE(removable);
    Library lib;
    platform::VolumeSpace volume = cardVolume(FileSystem::ExFat, 1 << 30);
    volume.removable = removable;
    lib.makeCard(volume);
    ASSERT_EQ(lib.copy(cardcopy::CopyHooks{}).outcome, Outcome::Completed);
    const std::vector<std::string> all{at(kCard, "b.mp3"), at(kCard, "Album", "10.mp3"),
                                       at(kCard, "Album", "2.mp3"), at(kCard, "Album", "9.mp3"),
                                       at(kCard, "a.mp3")};
    EXPECT_EQ(lib.fs.flushed(), removable ? all : std::vector<std::string>{});
  }
}

// The file under way is told as its copy begins and cleared once it is
// whole: what the program removes if the session ends in the middle.
TEST(OrderedCopyHooks, TheFileUnderWayIsToldWhileItIsWritten) {
  Library lib;
  std::vector<std::string> told;
  std::string duringSecondCopy;
  cardcopy::CopyHooks hooks;
  hooks.writing = [&](const std::string& target) { told.push_back(target); };
  hooks.stop = [&] {
    if (lib.fs.copiesStarted() == 2 && duringSecondCopy.empty() && !told.empty()) {
      duringSecondCopy = told.back();
    }
    return false;
  };
  ASSERT_EQ(lib.copy(hooks).outcome, Outcome::Completed);
  EXPECT_EQ(duringSecondCopy, at(kCard, "Album", "10.mp3"));
  ASSERT_EQ(told.size(), 10u);
  for (std::size_t i = 0; i < told.size(); i += 2) EXPECT_FALSE(told[i].empty());
  for (std::size_t i = 1; i < told.size(); i += 2) EXPECT_TRUE(told[i].empty());
}

// The check before writing is a long run too: it counts its rows and hears
// a stop, and a stop there writes nothing and lets every open go.
TEST(OrderedCopyHooks, TheCheckCountsItsRowsAndHearsAStop) {
  Library lib;
  std::vector<std::pair<int, int>> checked;
  cardcopy::CopyHooks hooks;
  hooks.checked = [&](int done, int total) { checked.push_back({done, total}); };
  ASSERT_EQ(lib.copy(hooks).outcome, Outcome::Completed);
  EXPECT_EQ(checked, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));

  Library stopped;
  checked.clear();
  hooks.stop = [&] { return !checked.empty(); };  // Esc after the first row
  const CopyResult result = stopped.copy(hooks);
  EXPECT_EQ(result.outcome, Outcome::Stopped);
  EXPECT_EQ(result.text(), "コピーを中止しました (0 / 3 個)");
  EXPECT_EQ(checked, (std::vector<std::pair<int, int>>{{1, 3}}));
  EXPECT_TRUE(stopped.fs.writes().empty());
  EXPECT_EQ(stopped.fs.sourcesOpen(), 0);
}

TEST(OrderedCopyStop, AStopBeforeAnyWriteWritesNothing) {
  Library lib;
  const CopyResult result = lib.copy(byteOrder, [] { return true; });
  EXPECT_EQ(result.outcome, Outcome::Stopped);
  EXPECT_EQ(result.text(), "コピーを中止しました (0 / 3 個)");
  EXPECT_TRUE(lib.fs.writes().empty());
}

TEST(OrderedCopyReadBack, ASortingFileSystemGetsTheOneLine) {
  Library lib;
  lib.fs.keepSorted(kCard);
  const CopyResult result = lib.copy();
  EXPECT_EQ(result.outcome, Outcome::Completed);
  EXPECT_FALSE(result.orderKept);
  EXPECT_EQ(result.text(), "コピーしました (3 個)\r\n\r\n順番を保たないドライブです");
}

TEST(OrderedCopyReadBack, ASubFolderReadBackOutOfOrderGetsTheLine) {
  Library lib;
  lib.fs.keepSorted(at(kCard, "Album"));
  // Written 2, 9, 10 by numbers; the folder hands them out 10, 2, 9.
  const CopyResult result = lib.copy(numberOrder);
  EXPECT_FALSE(result.orderKept);
  EXPECT_EQ(result.text(), "コピーしました (3 個)\r\n\r\n順番を保たないドライブです");
}

// On FAT and exFAT, which keep the order written, an order read back wrong
// is this copy's failure: the first entry out of place and what to do.
TEST(OrderedCopyReadBack, OnACardThatKeepsTheOrderTheFirstEntryOutOfPlaceIsNamed) {
  for (const auto fileSystem : {platform::FileSystem::Fat32, platform::FileSystem::ExFat}) {
    Library lib;
    lib.fs.setSpace({1ull << 40, 4096, fileSystem});
    lib.fs.keepSorted(at(kCard, "Album"));
    const CopyResult result = lib.copy(numberOrder);
    EXPECT_FALSE(result.orderKept);
    EXPECT_EQ(result.text(),
              "コピーしました (3 個)\r\n\r\n一覧の順番どおりに書けませんでした\r\n" +
                  at("Album", "2.mp3") +
                  " から順番が違います\r\n新しいフォルダにもう一度コピーしてください");
  }
}

TEST(OrderedCopyReadBack, ASortedOrderThatMatchesTheListIsKept) {
  Library lib;
  lib.rows = {folderRow("Album"), fileRow("a.mp3"), fileRow("b.mp3")};
  lib.fs.keepSorted(kCard);
  const CopyResult result = lib.copy();
  EXPECT_TRUE(result.orderKept);
  EXPECT_EQ(result.text(), "コピーしました (3 個)");
}

TEST(OrderedCopyMegabytes, TenthsRoundedAsAsked) {
  const struct {
    std::uint64_t bytes;
    bool up;
    const char* text;
  } cases[] = {
      {0, true, "0.0"},        {1, true, "0.1"},
      {1, false, "0.0"},       {1048576, true, "1.0"},
      {1048576, false, "1.0"}, {1048577, true, "1.1"},
      {3047424, true, "3.0"},  {2000000, false, "1.9"},
      {8357888, false, "7.9"}, {53687091200ull, true, "51200.0"},
  };
  for (const auto& c : cases) EXPECT_EQ(cardcopy::megabytes(c.bytes, c.up), c.text) << c.bytes;
}

TEST(OrderedCopyNames, WhatFatCanHold) {
  const struct {
    std::string name;
    bool ok;
  } cases[] = {
      {"track01.mp3", true},
      {"曲 1.mp3", true},
      {".hidden", true},
      {"a.b.c", true},
      {"ends.", false},
      {"ends ", false},
      {"a?b", false},
      {"a*b", false},
      {"a:b", false},
      {"a\"b", false},
      {"a<b", false},
      {"a|b", false},
      {"a\tb", false},
      {"", false},
      {".", false},
      {"..", false},
      {std::string(255, 'n'), true},
      {std::string(256, 'n'), false},
  };
  // 255 three-byte characters are 255 UTF-16 units; 256 are one too many.
  std::string wide;
  for (int i = 0; i < 255; ++i) wide += "曲";
  EXPECT_TRUE(cardcopy::fatCanHoldName(wide));
  EXPECT_FALSE(cardcopy::fatCanHoldName(wide + "曲"));
  for (const auto& c : cases) EXPECT_EQ(cardcopy::fatCanHoldName(c.name), c.ok) << c.name;
  EXPECT_EQ(cardcopy::utf16Length("曲"), 1u);
  EXPECT_EQ(cardcopy::utf16Length("\xF0\x9F\x8E\xB5"), 2u);  // a character beyond the BMP
  EXPECT_EQ(cardcopy::utf16Length("abc"), 3u);
}

}  // namespace
