// Putting a card's folder in the list's order where it stands, over the
// fault-injecting file system: the order of moves, every check before
// anything moves, a failure at every move out and back, a stop at every safe
// point, the work folder's list read back at the next listing, and the file
// system told apart.
#include "cardorder/card_reorder.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cardorder/drive_order.h"
#include "cardorder/reorder_messages.h"
#include "cardorder/work_folder.h"
#include "fakes/fault_copy_ops.h"
#include "platform/path.h"

namespace {

using cardorder::ReorderResult;
using fakes::FaultCopyOps;
using Op = FaultCopyOps::Op;
using Outcome = ReorderResult::Outcome;
using Names = std::vector<std::string>;
namespace msg = cardorder::messages;

const std::string kSep(1, platform::kPathSeparator);
std::string at(const std::string& a, const std::string& b) { return a + kSep + b; }

const std::string kCard = kSep + "card";
const std::string kFolder = at(kCard, "music");
const std::string kWork = at(kCard, "Chronoseq 並べ替え中");
const std::string kList = at(kWork, "order.txt");

folderlist::ListEntry fileRow(std::string name) { return {std::move(name), "", {}}; }
folderlist::ListEntry folderRow(std::string name) {
  return {std::move(name), std::string(folderlist::kFolderKind), {}};
}

platform::EntryTimes times(platform::FileTime base) { return {base, base + 1, base + 2}; }

// The list file of this folder's rows, byte for byte as a person reads it.
const std::string kListBytes =
    "Chronoseq: 並べ替え中のフォルダです。止まったときは、下の順番でフォルダに戻してください。\r\n"
    "フォルダ: music\r\n"
    "順番:\r\n"
    "a.mp3\r\n"
    "Album\r\n"
    "b.mp3\r\n"
    "c.mp3\r\n";

// A card's folder written in the order c.mp3, a.mp3, Album (holding x.mp3),
// b.mp3; the list puts it in name order.
struct Card {
  FaultCopyOps fs;
  folderlist::EntryRows rows{fileRow("a.mp3"), folderRow("Album"), fileRow("b.mp3"),
                             fileRow("c.mp3")};

  Card() {
    fs.addFolder(kFolder, times(100));
    fs.addFile(at(kFolder, "c.mp3"), "cccc", times(200));
    fs.addFile(at(kFolder, "a.mp3"), "aa", times(300));
    fs.addFolder(at(kFolder, "Album"), times(400));
    fs.addFile(at(at(kFolder, "Album"), "x.mp3"), "xxx", times(500));
    fs.addFile(at(kFolder, "b.mp3"), "bbbbb", times(600));
  }

  ReorderResult reorder(const cardorder::ReorderProgress& progress = {},
                        const std::function<bool()>& stop = {}) {
    return cardorder::reorderInPlace(rows, kFolder, fs, progress, stop);
  }

  // Every entry, wherever it stands, with what it holds and its times.
  void expectUnchangedIn(const std::string& where, const std::string& name) const {
    struct Expected {
      std::string name, content;
      platform::FileTime time;
    };
    static const std::vector<Expected> kExpected{
        {"c.mp3", "cccc", 200}, {"a.mp3", "aa", 300}, {"b.mp3", "bbbbb", 600}};
    for (const Expected& e : kExpected) {
      if (e.name != name) continue;
      const auto* node = fs.find(at(where, name));
      ASSERT_NE(node, nullptr) << at(where, name);
      EXPECT_EQ(node->content, e.content) << name;
      EXPECT_EQ(node->times, times(e.time)) << name;
      return;
    }
    ASSERT_EQ(name, "Album");
    const auto* album = fs.find(at(where, "Album"));
    ASSERT_NE(album, nullptr);
    EXPECT_EQ(album->times, times(400));
    EXPECT_EQ(album->order, Names{"x.mp3"});
    const auto* inner = fs.find(at(at(where, "Album"), "x.mp3"));
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->content, "xxx");
    EXPECT_EQ(inner->times, times(500));
  }
};

using Move = FaultCopyOps::Move;
Move out(const std::string& name) { return {at(kFolder, name), at(kWork, name)}; }
Move back(const std::string& name) { return {at(kWork, name), at(kFolder, name)}; }

TEST(CardReorder, EveryRowMovesOutThenBackInTheListsOrder) {
  Card card;
  std::vector<std::pair<int, int>> steps;
  const ReorderResult result =
      card.reorder([&](int done, int total) { steps.emplace_back(done, total); });

  EXPECT_EQ(result.outcome, Outcome::Completed);
  EXPECT_EQ(result.text(), "並べ替えました (4 個)");
  EXPECT_TRUE(result.orderKept);
  EXPECT_TRUE(result.workFolder.empty());
  const std::vector<Move> expected{out("a.mp3"),  out("Album"),  out("b.mp3"),  out("c.mp3"),
                                   back("a.mp3"), back("Album"), back("b.mp3"), back("c.mp3")};
  EXPECT_EQ(card.fs.moves(), expected);
  EXPECT_EQ(card.fs.listed(kFolder), (Names{"a.mp3", "Album", "b.mp3", "c.mp3"}));
  // The work folder and its list are made first and removed last; nothing
  // else is written.
  const auto& writes = card.fs.writes();
  ASSERT_EQ(writes.size(), 12u);
  EXPECT_EQ(writes[0], (FaultCopyOps::Write{Op::CreateFolder, kWork}));
  EXPECT_EQ(writes[1], (FaultCopyOps::Write{Op::WriteNewFile, kList}));
  EXPECT_EQ(writes[10], (FaultCopyOps::Write{Op::RemoveFile, kList}));
  EXPECT_EQ(writes[11], (FaultCopyOps::Write{Op::RemoveFolder, kWork}));
  EXPECT_EQ(card.fs.find(kWork), nullptr);
  EXPECT_EQ(card.fs.listed(kCard), Names{"music"});
  for (const char* name : {"a.mp3", "Album", "b.mp3", "c.mp3"}) {
    card.expectUnchangedIn(kFolder, name);
  }
  EXPECT_EQ(steps, (std::vector<std::pair<int, int>>{
                       {1, 8}, {2, 8}, {3, 8}, {4, 8}, {5, 8}, {6, 8}, {7, 8}, {8, 8}}));
  // Each file was opened alone once; a folder row is not opened.
  EXPECT_EQ(card.fs.exclusiveOpens(),
            (Names{at(kFolder, "a.mp3"), at(kFolder, "b.mp3"), at(kFolder, "c.mp3")}));
}

TEST(CardReorder, TheListFileNamesTheFolderAndItsRowsInOrder) {
  Card card;
  std::string written;
  // Read while the rows are out: the list is in the work folder then.
  card.reorder({}, [&] {
    if (written.empty()) card.fs.readWholeFile(kList, written);
    return false;
  });
  EXPECT_EQ(written, kListBytes);
}

// A card's root as Windows leaves it: its hidden, system folder, listed as
// a row, stays where it stands (Windows lets no user move it) and takes no
// part in reading the order back.
TEST(CardReorder, TheVolumesOwnFolderStaysWhereItStands) {
  Card card;
  const std::string volume = at(kFolder, "System Volume Information");
  card.fs.addFolder(volume, times(50));
  card.fs.markHiddenSystem(volume);
  card.rows.insert(card.rows.begin() + 2, folderRow("System Volume Information"));
  const ReorderResult result = card.reorder();
  EXPECT_EQ(result.outcome, Outcome::Completed) << result.text();
  EXPECT_TRUE(result.orderKept);
  const std::vector<Move> expected{out("a.mp3"),  out("Album"),  out("b.mp3"),  out("c.mp3"),
                                   back("a.mp3"), back("Album"), back("b.mp3"), back("c.mp3")};
  EXPECT_EQ(card.fs.moves(), expected);
  EXPECT_NE(card.fs.find(volume), nullptr);
}

// A wrong order read back blames the drive only where it may be the drive's
// way (a drive that cannot be told); on FAT and exFAT, which keep the order
// written, it is this program's failure, and it says where and what to do.
TEST(CardReorder, AWrongOrderReadBackIsSaidByWhatTheDriveIs) {
  const struct {
    std::optional<platform::VolumeFacts> facts;
    std::string said;
  } cases[] = {
      {std::nullopt, "順番を保たないドライブです"},
      {platform::VolumeFacts{"FAT32", false},
       "一覧の順番どおりに置けませんでした\r\n1 行目の c.mp3 から順番が違います\r\n"
       "もう一度行うか、新しいフォルダにコピーしてください"},
      {platform::VolumeFacts{"exFAT", false},
       "一覧の順番どおりに置けませんでした\r\n1 行目の c.mp3 から順番が違います\r\n"
       "もう一度行うか、新しいフォルダにコピーしてください"},
  };
  for (const auto& c : cases) {
    Card card;
    card.fs.keepSorted(kFolder);
    card.fs.setVolumeFacts(c.facts);
    card.rows = {fileRow("c.mp3"), fileRow("b.mp3"), folderRow("Album"), fileRow("a.mp3")};
    const ReorderResult result = card.reorder();
    EXPECT_EQ(result.outcome, Outcome::Completed);
    EXPECT_FALSE(result.orderKept);
    EXPECT_EQ(result.text(), "並べ替えました (4 個)\r\n\r\n" + c.said);
  }
}

// Each check before anything moves: the message, and nothing moved or written.
struct CheckCase {
  const char* name;
  std::function<void(Card&)> arrange;
  std::string message;
  int failedRow;
};

std::ostream& operator<<(std::ostream& out, const CheckCase& c) { return out << c.name; }

class ReorderChecks : public testing::TestWithParam<CheckCase> {};

TEST_P(ReorderChecks, StopBeforeAnythingMoves) {
  Card card;
  GetParam().arrange(card);
  const ReorderResult result = card.reorder();
  EXPECT_EQ(result.outcome, Outcome::PrecheckFailed);
  EXPECT_EQ(result.text(), GetParam().message);
  EXPECT_EQ(result.failure.row, GetParam().failedRow);
  EXPECT_TRUE(card.fs.moves().empty());
  EXPECT_EQ(card.fs.find(kWork), nullptr);
  EXPECT_EQ(card.fs.find(at(kCard, "Chronoseq reorder")), nullptr);
  for (const char* name : {"c.mp3", "a.mp3", "Album", "b.mp3"}) {
    card.expectUnchangedIn(kFolder, name);
  }
}

const std::string kAccessDenied = platform::osErrorText(platform::kErrorAccessDenied);

INSTANTIATE_TEST_SUITE_P(
    Table, ReorderChecks,
    testing::Values(
        CheckCase{"AFileRowThatIsGone",
                  [](Card& c) { c.rows.insert(c.rows.begin() + 2, fileRow("gone.mp3")); },
                  "見当たらないファイルがあります \r\n\r\ngone.mp3", 2},
        CheckCase{"AFileRowThatIsNowAFolder", [](Card& c) { c.rows[1] = fileRow("Album"); },
                  "見当たらないファイルがあります \r\n\r\nAlbum", 1},
        CheckCase{"AFolderRowThatIsNowAFile", [](Card& c) { c.rows[3] = folderRow("c.mp3"); },
                  "見当たらないフォルダがあります \r\n\r\nc.mp3", 3},
        CheckCase{
            "AFileOpenInAnotherProgram",
            [](Card& c) {
              c.fs.injectFault(Op::OpenExclusive, at(kFolder, "b.mp3"),
                               platform::kErrorSharingViolation);
            },
            "ほかのプログラムが開いているファイルがあります\r\n閉じてからもう一度どうぞ\r\n\r\n"
            "b.mp3\r\n" +
                platform::osErrorText(platform::kErrorSharingViolation),
            2},
        CheckCase{"AReadOnlyCard",
                  [](Card& c) {
                    c.fs.setVolumeFacts(platform::VolumeFacts{"FAT32", true});
                  },
                  "書き込めないカードです\r\n\r\n" + kFolder, -1},
        CheckCase{"AnEntryMadeSinceTheListing",
                  [](Card& c) { c.fs.addFile(at(kFolder, "new.mp3"), "n"); },
                  "一覧にない項目がフォルダにあります\r\nF5 で一覧を読み直してください\r\n\r\n"
                  "new.mp3",
                  -1},
        CheckCase{
            "AnEarlierRunsWorkFolderAmongTheRows",
            [](Card& c) {
              c.fs.addFolder(at(kFolder, "Chronoseq 並べ替え中"));
              c.rows.push_back(folderRow("Chronoseq 並べ替え中"));
            },
            "前回の並べ替えの作業フォルダが一覧にあります\r\n先に続きを済ませてください\r\n\r\n"
            "Chronoseq 並べ替え中",
            4},
        CheckCase{"ARowNamedAsTheListInAnyCase",
                  [](Card& c) {
                    c.fs.addFile(at(kFolder, "ORDER.TXT"), "o");
                    c.rows.push_back(fileRow("ORDER.TXT"));
                  },
                  "作業フォルダの order.txt と同じ名前の行があります\r\n"
                  "名前を変えてからもう一度どうぞ\r\n\r\nORDER.TXT",
                  4},
        CheckCase{"AWorkFolderThatCannotBeMade",
                  [](Card& c) {
                    c.fs.injectFault(Op::CreateFolder, kWork);
                    c.fs.injectFault(Op::CreateFolder, at(kCard, "Chronoseq reorder"));
                  },
                  "作業フォルダを作れません\r\n\r\n" + kWork + "\r\n" + kAccessDenied, -1},
        CheckCase{"AWriteProtectedCardFoundByMakingTheWorkFolder",
                  [](Card& c) {
                    c.fs.injectFault(Op::CreateFolder, kWork, platform::kErrorWriteProtect);
                    c.fs.injectFault(Op::CreateFolder, at(kCard, "Chronoseq reorder"),
                                     platform::kErrorWriteProtect);
                  },
                  "書き込めないカードです\r\n\r\n" + kWork + "\r\n" +
                      platform::osErrorText(platform::kErrorWriteProtect),
                  -1},
        CheckCase{"AListFileThatCannotBeWritten",
                  [](Card& c) { c.fs.injectFault(Op::WriteNewFile, kList); },
                  "作業フォルダを作れません\r\n\r\n" + kList + "\r\n" + kAccessDenied, -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CardReorder, AWorkFolderThatStandsAlreadyIsNeverReused) {
  Card card;
  card.fs.addFile(at(kWork, "keep.txt"), "someone's");
  const ReorderResult result = card.reorder();
  EXPECT_EQ(result.outcome, Outcome::Completed);
  const std::string second = at(kCard, "Chronoseq 並べ替え中 (2)");
  EXPECT_EQ(card.fs.moves().front(), (Move{at(kFolder, "a.mp3"), at(second, "a.mp3")}));
  EXPECT_EQ(card.fs.listed(kWork), Names{"keep.txt"});
  EXPECT_EQ(card.fs.find(second), nullptr);
  EXPECT_EQ(card.fs.listed(kFolder), (Names{"a.mp3", "Album", "b.mp3", "c.mp3"}));
}

TEST(CardReorder, AJapaneseNameTheCardRefusesGivesWayToThePlainOne) {
  Card card;
  card.fs.injectFault(Op::CreateFolder, kWork);
  const ReorderResult result = card.reorder();
  EXPECT_EQ(result.outcome, Outcome::Completed);
  const std::string plain = at(kCard, "Chronoseq reorder");
  EXPECT_EQ(card.fs.moves().back(), (Move{at(plain, "c.mp3"), at(kFolder, "c.mp3")}));
  EXPECT_EQ(card.fs.find(plain), nullptr);
  EXPECT_EQ(card.fs.listed(kFolder), (Names{"a.mp3", "Album", "b.mp3", "c.mp3"}));
}

// A move that fails, out or back: the moving stops, what is in the work
// folder is tried once more in order, and every entry ends in the folder or
// in the work folder with its list.
struct FailureCase {
  const char* name;
  int failingMove;     // 0-3 out (a, Album, b, c), 4-7 back
  bool cardPulledOut;  // every move from that one on fails, not that one alone
  Names folderAfter;   // in the file system's order
  Names workAfter;     // besides the list; empty when the work folder is gone
  std::string failedPath;
  int failedRow;
};

std::ostream& operator<<(std::ostream& out, const FailureCase& c) { return out << c.name; }

class ReorderFailures : public testing::TestWithParam<FailureCase> {};

constexpr platform::OsErrorCode kNotReady = 21;  // ERROR_NOT_READY: the card is gone

TEST_P(ReorderFailures, LeaveEveryEntryInTheFolderOrTheWorkFolderAndSayWhich) {
  const FailureCase& c = GetParam();
  Card card;
  const Names rowsInOrder{"a.mp3", "Album", "b.mp3", "c.mp3"};
  const std::string& name = rowsInOrder[static_cast<std::size_t>(c.failingMove % 4)];
  if (c.cardPulledOut) {
    card.fs.failMovesFrom(c.failingMove, kNotReady);
  } else {
    card.fs.injectFault(Op::MoveEntry, c.failingMove < 4 ? at(kFolder, name) : at(kWork, name));
  }
  const ReorderResult result = card.reorder();

  EXPECT_EQ(result.outcome, Outcome::Failed);
  EXPECT_EQ(result.failure.row, c.failedRow);
  EXPECT_EQ(card.fs.listed(kFolder), c.folderAfter);
  const std::string reason =
      platform::osErrorText(c.cardPulledOut ? kNotReady : platform::kErrorAccessDenied);
  std::string expected =
      "並べ替えできませんでした\r\n\r\n" + c.failedPath + "\r\n" + reason + "\r\n\r\n";
  if (c.workAfter.empty()) {
    expected += "項目はすべて元のフォルダにあります";
    EXPECT_EQ(card.fs.find(kWork), nullptr);
    EXPECT_TRUE(result.workFolder.empty());
  } else {
    expected +=
        "作業フォルダに残っている項目があります\r\n"
        "中の order.txt の順番でフォルダに戻してください\r\n\r\n" +
        kWork + "\r\n";
    for (const std::string& left : c.workAfter) expected += "\r\n" + left;
    Names work = card.fs.listed(kWork);
    ASSERT_FALSE(work.empty());
    EXPECT_EQ(work.front(), "order.txt");
    work.erase(work.begin());
    EXPECT_EQ(work, c.workAfter);
    EXPECT_EQ(card.fs.find(kList)->content, kListBytes);
    EXPECT_EQ(result.workFolder, kWork);
    EXPECT_EQ(result.leftInWorkFolder, c.workAfter);
  }
  EXPECT_EQ(result.text(), expected);
  for (const std::string& entry : c.folderAfter) card.expectUnchangedIn(kFolder, entry);
  for (const std::string& entry : c.workAfter) card.expectUnchangedIn(kWork, entry);
  EXPECT_EQ(c.folderAfter.size() + c.workAfter.size(), 4u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReorderFailures,
    testing::Values(
        // One move refused: it stays where it was; the others come back.
        FailureCase{
            "OutA", 0, false, {"c.mp3", "a.mp3", "Album", "b.mp3"}, {}, at(kFolder, "a.mp3"), 0},
        FailureCase{"OutAlbum",
                    1,
                    false,
                    {"c.mp3", "Album", "b.mp3", "a.mp3"},
                    {},
                    at(kFolder, "Album"),
                    1},
        FailureCase{
            "OutB", 2, false, {"c.mp3", "b.mp3", "a.mp3", "Album"}, {}, at(kFolder, "b.mp3"), 2},
        FailureCase{
            "OutC", 3, false, {"c.mp3", "a.mp3", "Album", "b.mp3"}, {}, at(kFolder, "c.mp3"), 3},
        FailureCase{
            "BackA", 4, false, {"Album", "b.mp3", "c.mp3"}, {"a.mp3"}, at(kWork, "a.mp3"), 0},
        FailureCase{
            "BackAlbum", 5, false, {"a.mp3", "b.mp3", "c.mp3"}, {"Album"}, at(kWork, "Album"), 1},
        FailureCase{
            "BackB", 6, false, {"a.mp3", "Album", "c.mp3"}, {"b.mp3"}, at(kWork, "b.mp3"), 2},
        FailureCase{
            "BackC", 7, false, {"a.mp3", "Album", "b.mp3"}, {"c.mp3"}, at(kWork, "c.mp3"), 3},
        // The card pulled out: nothing moves from then on, the retry included.
        FailureCase{"PulledAtOutA",
                    0,
                    true,
                    {"c.mp3", "a.mp3", "Album", "b.mp3"},
                    {},
                    at(kFolder, "a.mp3"),
                    0},
        FailureCase{"PulledAtOutAlbum",
                    1,
                    true,
                    {"c.mp3", "Album", "b.mp3"},
                    {"a.mp3"},
                    at(kFolder, "Album"),
                    1},
        FailureCase{"PulledAtOutB",
                    2,
                    true,
                    {"c.mp3", "b.mp3"},
                    {"a.mp3", "Album"},
                    at(kFolder, "b.mp3"),
                    2},
        FailureCase{"PulledAtOutC",
                    3,
                    true,
                    {"c.mp3"},
                    {"a.mp3", "Album", "b.mp3"},
                    at(kFolder, "c.mp3"),
                    3},
        FailureCase{"PulledAtBackA",
                    4,
                    true,
                    {},
                    {"a.mp3", "Album", "b.mp3", "c.mp3"},
                    at(kWork, "a.mp3"),
                    0},
        FailureCase{"PulledAtBackAlbum",
                    5,
                    true,
                    {"a.mp3"},
                    {"Album", "b.mp3", "c.mp3"},
                    at(kWork, "Album"),
                    1},
        FailureCase{"PulledAtBackB",
                    6,
                    true,
                    {"a.mp3", "Album"},
                    {"b.mp3", "c.mp3"},
                    at(kWork, "b.mp3"),
                    2},
        FailureCase{"PulledAtBackC",
                    7,
                    true,
                    {"a.mp3", "Album", "b.mp3"},
                    {"c.mp3"},
                    at(kWork, "c.mp3"),
                    3}),
    [](const auto& info) { return std::string(info.param.name); });

// A stop is heard before each move out; what is out then comes back in the
// list's order, and the folder is whole.
struct StopCase {
  int stopAt;  // the asking that answers yes, from 0
  Names folderAfter;
  std::size_t moves;
};

class ReorderStops : public testing::TestWithParam<StopCase> {};

TEST_P(ReorderStops, BringBackWhatIsOutAndLeaveTheFolderWhole) {
  Card card;
  int asked = 0;
  const ReorderResult result = card.reorder({}, [&] { return asked++ == GetParam().stopAt; });
  EXPECT_EQ(result.outcome, Outcome::Stopped);
  EXPECT_EQ(result.text(), "並べ替えを中止しました\r\n\r\n項目はすべて元のフォルダにあります");
  EXPECT_EQ(card.fs.listed(kFolder), GetParam().folderAfter);
  EXPECT_EQ(card.fs.moves().size(), GetParam().moves);
  EXPECT_EQ(asked, GetParam().stopAt + 1);  // never asked while moving back
  EXPECT_EQ(card.fs.find(kWork), nullptr);
  for (const std::string& name : GetParam().folderAfter) card.expectUnchangedIn(kFolder, name);
}

INSTANTIATE_TEST_SUITE_P(Table, ReorderStops,
                         testing::Values(StopCase{0, {"c.mp3", "a.mp3", "Album", "b.mp3"}, 0},
                                         StopCase{1, {"c.mp3", "Album", "b.mp3", "a.mp3"}, 2},
                                         StopCase{2, {"c.mp3", "b.mp3", "a.mp3", "Album"}, 4},
                                         StopCase{3, {"c.mp3", "a.mp3", "Album", "b.mp3"}, 6}));

TEST(CardReorder, AStopAskedForAfterTheLastMoveOutChangesNothing) {
  Card card;
  int asked = 0;
  const ReorderResult result = card.reorder({}, [&] { return ++asked > 4; });
  EXPECT_EQ(result.outcome, Outcome::Completed);
  EXPECT_EQ(asked, 4);
  EXPECT_EQ(card.fs.listed(kFolder), (Names{"a.mp3", "Album", "b.mp3", "c.mp3"}));
}

// The next listing: a work folder beside the folder, with a list naming it.
TEST(PendingWork, AWorkFolderLeftByAFailedRunIsFoundAndFinished) {
  Card card;
  card.fs.injectFault(Op::MoveEntry, at(kWork, "Album"));
  ASSERT_EQ(card.reorder().outcome, Outcome::Failed);

  // A new session: the same card, the fault gone.
  FaultCopyOps fresh;
  fresh.addFolder(kFolder);
  for (const std::string& name : card.fs.listed(kFolder)) {
    const auto* node = card.fs.find(at(kFolder, name));
    node->folder ? fresh.addFolder(at(kFolder, name))
                 : fresh.addFile(at(kFolder, name), node->content);
  }
  fresh.addFile(at(kWork, "order.txt"), card.fs.find(kList)->content);
  fresh.addFolder(at(kWork, "Album"));
  fresh.addFile(at(at(kWork, "Album"), "x.mp3"), "xxx");

  const auto pending = cardorder::findPendingWork(kFolder, fresh);
  ASSERT_TRUE(pending.has_value());
  EXPECT_EQ(pending->workFolder, kWork);
  EXPECT_EQ(pending->list.folder, "music");
  EXPECT_EQ(pending->list.rows, (Names{"a.mp3", "Album", "b.mp3", "c.mp3"}));
  EXPECT_EQ(pending->waiting, Names{"Album"});

  const ReorderResult result = cardorder::finishPendingWork(*pending, kFolder, fresh);
  EXPECT_EQ(result.outcome, Outcome::Completed);
  EXPECT_EQ(result.text(), "並べ替えました (4 個)");
  EXPECT_EQ(fresh.listed(kFolder), (Names{"a.mp3", "Album", "b.mp3", "c.mp3"}));
  EXPECT_EQ(fresh.find(kWork), nullptr);
  EXPECT_EQ(fresh.listed(at(kFolder, "Album")), Names{"x.mp3"});
  // Out: what stood in the folder, in the list's order; back: all of it.
  const std::vector<Move> expected{out("a.mp3"),  out("b.mp3"),  out("c.mp3"), back("a.mp3"),
                                   back("Album"), back("b.mp3"), back("c.mp3")};
  EXPECT_EQ(fresh.moves(), expected);
}

struct PendingCase {
  const char* name;
  std::string listBytes;
  enum Found { Taken, NotThisFolders, Unreadable } found;
};

std::ostream& operator<<(std::ostream& out, const PendingCase& c) { return out << c.name; }

class PendingLists : public testing::TestWithParam<PendingCase> {};

TEST_P(PendingLists, OnlyAListOfThisFolderIsTaken) {
  FaultCopyOps fs;
  fs.addFolder(kFolder);
  fs.addFile(at(kWork, "order.txt"), GetParam().listBytes);
  fs.addFile(at(kWork, "a.mp3"), "aa");
  const auto pending = cardorder::findPendingWork(kFolder, fs);
  switch (GetParam().found) {
    case PendingCase::Taken:
      ASSERT_TRUE(pending.has_value());
      EXPECT_TRUE(pending->listReadable);
      EXPECT_EQ(pending->list.rows.front(), "a.mp3");
      break;
    case PendingCase::NotThisFolders:
      EXPECT_FALSE(pending.has_value());
      break;
    case PendingCase::Unreadable:
      // Said, never passed over: the next step would be lost without a word.
      ASSERT_TRUE(pending.has_value());
      EXPECT_FALSE(pending->listReadable);
      EXPECT_EQ(pending->workFolder, kWork);
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, PendingLists,
    testing::Values(
        PendingCase{"ThisFolders", kListBytes, PendingCase::Taken},
        PendingCase{"WithAByteOrderMark", "\xEF\xBB\xBF" + kListBytes, PendingCase::Taken},
        PendingCase{
            "WithLfLineEndsAndATrailingEmptyLine",
            "Chronoseq: "
            "並べ替え中のフォルダです。止まったときは、下の順番でフォルダに戻してください。\n"
            "フォルダ: music\n順番:\na.mp3\n\n",
            PendingCase::Taken},
        PendingCase{
            "AnotherFolders",
            "Chronoseq: "
            "並べ替え中のフォルダです。止まったときは、下の順番でフォルダに戻してください。\r\n"
            "フォルダ: video\r\n順番:\r\na.mp3\r\n",
            PendingCase::NotThisFolders},
        PendingCase{"NotAList", "a.mp3\r\nb.mp3\r\n", PendingCase::Unreadable},
        PendingCase{
            "AnEmptyLineAmongTheRows",
            "Chronoseq: "
            "並べ替え中のフォルダです。止まったときは、下の順番でフォルダに戻してください。\r\n"
            "フォルダ: music\r\n順番:\r\na.mp3\r\n\r\nb.mp3\r\n",
            PendingCase::Taken}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PendingWork, AWorkFolderWithoutItsListIsSaidToHaveNone) {
  FaultCopyOps fs;
  fs.addFolder(kFolder);
  fs.addFile(at(kWork, "a.mp3"), "aa");
  const auto pending = cardorder::findPendingWork(kFolder, fs);
  ASSERT_TRUE(pending.has_value());
  EXPECT_FALSE(pending->listReadable);
}

TEST(PendingWork, ThePlainNamesWorkFolderIsFoundToo) {
  FaultCopyOps fs;
  fs.addFolder(kFolder);
  const std::string plain = at(kCard, "Chronoseq reorder (3)");
  fs.addFile(at(plain, "order.txt"), kListBytes);
  const auto pending = cardorder::findPendingWork(kFolder, fs);
  ASSERT_TRUE(pending.has_value());
  EXPECT_EQ(pending->workFolder, plain);
  EXPECT_TRUE(pending->waiting.empty());
}

// Where the work folder stands, and the name a list gives the folder.
struct PlaceCase {
  std::string folder;
  std::string place;
  std::string name;
  bool root;
};

class WorkPlace : public testing::TestWithParam<PlaceCase> {};

TEST_P(WorkPlace, BesideTheFolderOrInARoot) {
  EXPECT_EQ(cardorder::workPlace(GetParam().folder), GetParam().place);
  EXPECT_EQ(cardorder::folderName(GetParam().folder), GetParam().name);
  EXPECT_EQ(cardorder::isRoot(GetParam().folder), GetParam().root);
}

#ifdef _WIN32
INSTANTIATE_TEST_SUITE_P(Table, WorkPlace,
                         testing::Values(PlaceCase{"E:\\Music", "E:\\", "Music", false},
                                         PlaceCase{"E:\\", "E:\\", "", true},
                                         PlaceCase{"E:\\a\\曲", "E:\\a", "曲", false},
                                         PlaceCase{"E:\\a\\b\\", "E:\\a", "b", false},
                                         PlaceCase{"\\\\pc\\share", "\\\\pc\\share", "", true},
                                         PlaceCase{"\\\\pc\\share\\x", "\\\\pc\\share\\", "x",
                                                   false}));
#else
INSTANTIATE_TEST_SUITE_P(
    Table, WorkPlace,
    testing::Values(PlaceCase{"/media/card/Music", "/media/card", "Music", false},
                    PlaceCase{"/Music", "/", "Music", false}, PlaceCase{"/", "/", "", true},
                    PlaceCase{"/card/曲/", "/card", "曲", false}));
#endif

struct DriveCase {
  const char* fileSystem;
  cardorder::DriveOrder order;
};

class DriveOrders : public testing::TestWithParam<DriveCase> {};

TEST_P(DriveOrders, AreToldByTheFileSystemsName) {
  EXPECT_EQ(cardorder::driveOrderOf(GetParam().fileSystem), GetParam().order);
}

using cardorder::DriveOrder;
INSTANTIATE_TEST_SUITE_P(
    Table, DriveOrders,
    testing::Values(DriveCase{"FAT", DriveOrder::Kept}, DriveCase{"FAT12", DriveOrder::Kept},
                    DriveCase{"FAT16", DriveOrder::Kept}, DriveCase{"FAT32", DriveOrder::Kept},
                    DriveCase{"exFAT", DriveOrder::Kept}, DriveCase{"EXFAT", DriveOrder::Kept},
                    DriveCase{"NTFS", DriveOrder::NotKept}, DriveCase{"ReFS", DriveOrder::NotKept},
                    DriveCase{"UDF", DriveOrder::Unknown}, DriveCase{"FAT32X", DriveOrder::Unknown},
                    DriveCase{"", DriveOrder::Unknown}));

TEST(DriveOrders, AVolumeThatCannotBeToldIsUnknown) {
  FaultCopyOps fs;
  fs.setVolumeFacts(std::nullopt);
  EXPECT_EQ(cardorder::driveFactsOf(kFolder, fs).order, DriveOrder::Unknown);
  fs.setVolumeFacts(platform::VolumeFacts{"NTFS", false});
  EXPECT_EQ(cardorder::driveFactsOf(kFolder, fs).order, DriveOrder::NotKept);
}

// What the disk holds decides, not the run's own tally: a name the list
// lacks in the work folder keeps the list and the folder, and says so.
TEST(CardReorder, AStrangerInTheWorkFolderKeepsTheListAndIsNamed) {
  Card card;
  const ReorderResult result = card.reorder([&card](int done, int) {
    if (done == 1) card.fs.addFile(at(kWork, "stray.jpg"), "s");
  });
  EXPECT_EQ(result.outcome, Outcome::Completed);
  EXPECT_EQ(result.text(),
            "並べ替えました (4 個)\r\n\r\n作業フォルダに order.txt にない項目があります\r\n"
            "作業フォルダと order.txt は残しました\r\n\r\n" +
                kWork + "\r\n\r\nstray.jpg");
  EXPECT_EQ(result.workFolder, kWork);
  ASSERT_NE(card.fs.find(kList), nullptr) << "the list is kept";
  EXPECT_EQ(card.fs.find(kList)->content, kListBytes);
}

TEST(CardReorder, AReadBackThatCannotListIsNoSuccess) {
  Card card;
  card.fs.injectFault(Op::ListNames, kFolder);
  const ReorderResult result = card.reorder();
  EXPECT_EQ(result.outcome, Outcome::Completed);
  EXPECT_FALSE(result.orderKept);
  EXPECT_EQ(result.text(), "並べ替えました (4 個)\r\n\r\n順番を読み戻せませんでした\r\n" +
                               platform::osErrorText(platform::kErrorAccessDenied));
}

// Copy operations whose moves of one entry are refused a number of times, as
// while another program holds the file for a moment.
class HeldForAMoment : public FaultCopyOps {
 public:
  HeldForAMoment(std::string path, int refusals, platform::OsErrorCode error)
      : path_(std::move(path)), left_(refusals), error_(error) {}
  platform::OsErrorCode moveEntry(const std::string& from, const std::string& to) override {
    if (from == path_ && left_ > 0) {
      --left_;
      return error_;
    }
    return FaultCopyOps::moveEntry(from, to);
  }

 private:
  std::string path_;
  int left_;
  platform::OsErrorCode error_;
};

TEST(CardReorder, AMoveRefusedForAMomentIsTriedAgainWithGrowingWaits) {
  const struct {
    int refusals;
    platform::OsErrorCode error;
    Outcome outcome;
    std::vector<int> waits;
  } cases[] = {
      {2, platform::kErrorSharingViolation, Outcome::Completed, {100, 300}},
      {4, platform::kErrorSharingViolation, Outcome::Completed, {100, 300, 600, 1000}},
      {5, platform::kErrorSharingViolation, Outcome::Failed, {100, 300, 600, 1000}},
      {2, 33, Outcome::Completed, {100, 300}},  // ERROR_LOCK_VIOLATION
      // A refusal that lasts is not waited for.
      {1, platform::kErrorAccessDenied, Outcome::Failed, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.refusals);
    Card card;
    HeldForAMoment fs(at(kFolder, "b.mp3"), c.refusals, c.error);
    fs.addFolder(kFolder);
    for (const std::string& name : card.fs.listed(kFolder)) {
      const auto* node = card.fs.find(at(kFolder, name));
      node->folder ? fs.addFolder(at(kFolder, name)) : fs.addFile(at(kFolder, name), node->content);
    }
    std::vector<int> waits;
    const ReorderResult result = cardorder::reorderInPlace(
        card.rows, kFolder, fs, {}, {}, [&waits](int ms) { waits.push_back(ms); });
    EXPECT_EQ(result.outcome, c.outcome) << result.text();
    EXPECT_EQ(waits, c.waits);
  }
}

// Finishing a run checks as a run does, and names a list entry found in
// neither folder (a card pulled out between the two writes of a move).
TEST(PendingWork, FinishingNamesWhatStandsInNeitherFolder) {
  FaultCopyOps fs;
  fs.addFolder(kFolder);
  fs.addFile(at(kFolder, "a.mp3"), "aa");
  fs.addFile(at(kWork, "order.txt"), kListBytes);
  fs.addFile(at(kWork, "b.mp3"), "bb");
  const auto pending = cardorder::findPendingWork(kFolder, fs);
  ASSERT_TRUE(pending.has_value());
  const ReorderResult result = cardorder::finishPendingWork(*pending, kFolder, fs);
  EXPECT_EQ(result.outcome, Outcome::Completed);
  EXPECT_EQ(result.text(),
            "並べ替えました (2 個)\r\n\r\nどちらのフォルダにも見当たらない項目があります\r\n"
            "カードを chkdsk で調べると見つかることがあります\r\n\r\nAlbum\r\nc.mp3");
  EXPECT_EQ(fs.listed(kFolder), (Names{"a.mp3", "b.mp3"}));
}

TEST(PendingWork, FinishingChecksBeforeAnythingMoves) {
  const struct {
    const char* what;
    std::function<void(FaultCopyOps&)> arrange;
    std::string message;
  } cases[] = {
      {"a waiting file open in another program",
       [](FaultCopyOps& fs) {
         fs.injectFault(Op::OpenExclusive, at(kWork, "b.mp3"), platform::kErrorSharingViolation);
       },
       "ほかのプログラムが開いているファイルがあります\r\n閉じてからもう一度どうぞ\r\n\r\nb."
       "mp3\r\n" +
           platform::osErrorText(platform::kErrorSharingViolation)},
      {"an entry the list does not name",
       [](FaultCopyOps& fs) { fs.addFile(at(kFolder, "new.mp3"), "n"); },
       "一覧にない項目がフォルダにあります\r\nF5 で一覧を読み直してください\r\n\r\nnew.mp3"},
      {"a read-only card",
       [](FaultCopyOps& fs) {
         fs.setVolumeFacts(platform::VolumeFacts{"FAT32", true});
       },
       "書き込めないカードです\r\n\r\n" + kFolder},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FaultCopyOps fs;
    fs.addFolder(kFolder);
    fs.addFile(at(kFolder, "a.mp3"), "aa");
    fs.addFile(at(kWork, "order.txt"), kListBytes);
    fs.addFile(at(kWork, "b.mp3"), "bb");
    c.arrange(fs);
    const auto pending = cardorder::findPendingWork(kFolder, fs);
    ASSERT_TRUE(pending.has_value());
    const ReorderResult result = cardorder::finishPendingWork(*pending, kFolder, fs);
    EXPECT_EQ(result.outcome, Outcome::PrecheckFailed);
    EXPECT_EQ(result.text(), c.message);
    EXPECT_TRUE(fs.moves().empty());
  }
}

}  // namespace
