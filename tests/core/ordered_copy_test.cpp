// Copying the rows in their order, over the fault-injecting file system:
// the order of writes, every check before writing, a failure at every row,
// stopping part way, and the read-back.
#include "cardcopy/ordered_copy.h"

#include <gtest/gtest.h>

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

platform::EntryTimes times(platform::FileTime base) { return {base, base + 1, base + 2}; }

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

  ASSERT_EQ(result.outcome, Outcome::Completed) << result.message;
  EXPECT_EQ(result.message, "コピーしました (3 個)");
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

class ChecksBeforeWriting : public testing::TestWithParam<CheckCase> {};

TEST_P(ChecksBeforeWriting, FirstFailureGivesItsMessageAndNothingIsWritten) {
  Library lib;
  std::string destination = kCard;
  GetParam().arrange(lib, destination);
  const auto before = lib.sourceSnapshot();
  const CopyResult result =
      cardcopy::copyInOrder(lib.rows, kSource, destination, lib.fs, byteOrder);
  EXPECT_EQ(result.outcome, Outcome::PrecheckFailed);
  EXPECT_EQ(result.message, GetParam().message);
  EXPECT_EQ(result.failedRow, GetParam().failedRow);
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
                  "読み取れないファイルがあります\r\n\r\na.mp3", 2},
        CheckCase{"UnreadableFileInAFolderRow",
                  [](Library& l, std::string&) {
                    l.fs.injectFault(Op::OpenSource, at(kSource, "Album", "9.mp3"));
                  },
                  "読み取れないファイルがあります\r\n\r\n" + at("Album", "9.mp3"), 1},
        CheckCase{"UnlistableFolder",
                  [](Library& l, std::string&) {
                    l.fs.injectFault(Op::ListFolder, at(kSource, "Album"));
                  },
                  "読み取れないフォルダがあります\r\n\r\nAlbum", 1},
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
                  "コピー先の空き容量が足りません\r\n\r\n必要 3.0 MB / 空き 1.9 MB", -1}),
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
  EXPECT_EQ(result.failedRow, c.row);
  EXPECT_EQ(result.copiedRows, c.row);
  EXPECT_EQ(result.osError, platform::kErrorDiskFull);
  EXPECT_EQ(result.message, "コピーできませんでした\r\n\r\n" + c.relative + "\r\n" +
                                platform::osErrorText(platform::kErrorDiskFull));
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
    testing::Values(FailureCase{0, Op::CopyFile, at(kCard, "b.mp3"), "b.mp3"},
                    FailureCase{1, Op::ReadTimes, at(kSource, "Album"), "Album"},
                    FailureCase{1, Op::CreateFolder, at(kCard, "Album"), "Album"},
                    FailureCase{1, Op::CopyFile, at(kCard, "Album", "2.mp3"), at("Album", "2.mp3")},
                    FailureCase{1, Op::CopyFile, at(kCard, "Album", "9.mp3"), at("Album", "9.mp3")},
                    FailureCase{1, Op::SetTimes, at(kCard, "Album"), "Album"},
                    FailureCase{2, Op::CopyFile, at(kCard, "a.mp3"), "a.mp3"}),
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
  EXPECT_EQ(result.message, "コピーを中止しました (" + std::to_string(c.copiedRows) + " / 3 個)");
  EXPECT_EQ(lib.fs.find(c.partial), nullptr);
  EXPECT_EQ(lib.fs.listed(kCard), c.top);
  // Nothing after the half-written file was begun.
  EXPECT_EQ(lib.fs.copiesStarted(), c.stopInCopy);
  EXPECT_EQ(lib.sourceSnapshot(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Copies, StopPartWay,
    testing::Values(StopCase{1, 0, at(kCard, "b.mp3"), {}},
                    StopCase{2, 1, at(kCard, "Album", "10.mp3"), {"b.mp3", "Album"}},
                    StopCase{4, 1, at(kCard, "Album", "9.mp3"), {"b.mp3", "Album"}},
                    StopCase{5, 2, at(kCard, "a.mp3"), {"b.mp3", "Album"}}),
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
  EXPECT_EQ(result.outcome, Outcome::Completed) << result.message;
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

TEST(OrderedCopyStop, AStopBeforeAnyWriteWritesNothing) {
  Library lib;
  const CopyResult result = lib.copy(byteOrder, [] { return true; });
  EXPECT_EQ(result.outcome, Outcome::Stopped);
  EXPECT_EQ(result.message, "コピーを中止しました (0 / 3 個)");
  EXPECT_TRUE(lib.fs.writes().empty());
}

TEST(OrderedCopyReadBack, ASortingFileSystemGetsTheOneLine) {
  Library lib;
  lib.fs.keepSorted(kCard);
  const CopyResult result = lib.copy();
  EXPECT_EQ(result.outcome, Outcome::Completed);
  EXPECT_FALSE(result.orderKept);
  EXPECT_EQ(result.message, "コピーしました (3 個)\r\n\r\n順番を保たないドライブです");
}

TEST(OrderedCopyReadBack, ASubFolderReadBackOutOfOrderGetsTheLine) {
  Library lib;
  lib.fs.keepSorted(at(kCard, "Album"));
  // Written 2, 9, 10 by numbers; the folder hands them out 10, 2, 9.
  const CopyResult result = lib.copy(numberOrder);
  EXPECT_FALSE(result.orderKept);
  EXPECT_EQ(result.message, "コピーしました (3 個)\r\n\r\n順番を保たないドライブです");
}

TEST(OrderedCopyReadBack, ASortedOrderThatMatchesTheListIsKept) {
  Library lib;
  lib.rows = {folderRow("Album"), fileRow("a.mp3"), fileRow("b.mp3")};
  lib.fs.keepSorted(kCard);
  const CopyResult result = lib.copy();
  EXPECT_TRUE(result.orderKept);
  EXPECT_EQ(result.message, "コピーしました (3 個)");
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
