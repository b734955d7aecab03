// "カード上でこの順番にする(&R)..." in the window flow, on the in-memory window
// system over the fault-injecting file system: when the command is enabled,
// the refusal on a drive that sorts names, the confirmation and what Cancel
// does, the locked main window and the caption while it moves, the message
// over the main window after it, a stop, and the offer to finish at a
// listing.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/reorder_command.h"
#include "fakes/fake_app.h"
#include "fakes/fault_copy_ops.h"
#include "fakes/flow_states.h"
#include "fakes/temp_folder.h"
#include "platform/path.h"

namespace {

using fakes::kIdle;
using fakes::kMessageOverMain;
using Names = std::vector<std::string>;

const std::string kSep(1, platform::kPathSeparator);
std::string at(const std::string& a, const std::string& b) { return a + kSep + b; }
const std::string kCard = kSep + "card";
const std::string kFolder = at(kCard, "music");
const std::string kWork = at(kCard, "Chronoseq 並べ替え中");

struct ReorderScene {
  ReorderScene() {
    fs.addFolder(kFolder);
    for (const char* name : {"c.mp3", "a.mp3", "b.mp3"}) fs.addFile(at(kFolder, name), name);
    showRows({"a.mp3", "b.mp3", "c.mp3"});
  }
  // The rows as a listing and a sort would leave them.
  void showRows(const Names& names) {
    app.tree.path = kFolder;
    app.folder().rows().clear();
    for (const std::string& name : names) app.folder().rows().push_back({name, "", {}});
    app.folder().setPath(kFolder);
  }
  void choose() {
    app.event([&] { command.execute(); });
  }

  fakes::FakeApp app;
  fakes::FaultCopyOps fs;
  fakes::FakeConfirmation confirmation;
  fakes::FakeStop stop;
  int listedAgain = 0;
  app::ReorderCommand command{app.folder(),
                              app.objects->flow,
                              app.objects->messages,
                              app.paintPump,
                              fs,
                              confirmation,
                              stop,
                              app.objects->captures,
                              [this] { ++listedAgain; }};
};

const std::string kQuestion = "フォルダ\r\n" + kFolder +
                              "\r\nの 3 個を一覧の順番に並べ替えます\r\n"
                              "(いったん作業フォルダに移して、この順番で戻します)\r\n\r\n"
                              "よろしいですか";

TEST(ReorderFlow, GreyWhileTheListIsEmpty) {
  ReorderScene scene;
  scene.showRows({});
  scene.app.commands->showStates();
  EXPECT_FALSE(scene.app.itemEnabled(app::Command::reorderOnCard));
  scene.choose();
  EXPECT_TRUE(scene.confirmation.texts.empty()) << "an empty list asks nothing";
  scene.showRows({"a.mp3"});
  scene.app.commands->showStates();
  EXPECT_TRUE(scene.app.itemEnabled(app::Command::reorderOnCard));
}

TEST(ReorderFlow, ADriveThatSortsNamesIsRefusedWithoutAsking) {
  ReorderScene scene;
  scene.fs.setVolumeFacts(platform::VolumeFacts{"NTFS", false});
  scene.choose();
  EXPECT_TRUE(scene.confirmation.texts.empty());
  EXPECT_EQ(fakes::flowOf(scene.app), kMessageOverMain);
  EXPECT_EQ(scene.app.label.text(),
            "このドライブは書いた順番を保ちません\r\n(NTFS や ReFS は名前の順に並べます)\r\n"
            "並べ替えはカード (FAT, exFAT) で使ってください\r\n\r\n" +
                kFolder);
  EXPECT_TRUE(scene.fs.moves().empty());
}

TEST(ReorderFlow, CancelChangesNothing) {
  ReorderScene scene;
  const std::string caption = scene.app.mainWindow.caption();
  scene.confirmation.answer = false;
  scene.choose();
  EXPECT_EQ(scene.confirmation.texts, Names{kQuestion});
  EXPECT_EQ(scene.confirmation.captions, Names{caption});
  EXPECT_EQ(fakes::flowOf(scene.app), kIdle);
  EXPECT_TRUE(scene.fs.writes().empty());
  EXPECT_EQ(scene.fs.listed(kFolder), (Names{"c.mp3", "a.mp3", "b.mp3"}));
  EXPECT_EQ(scene.app.mainWindow.caption(), caption);
  EXPECT_EQ(scene.stop.asked, 0);
}

TEST(ReorderFlow, ADriveThatCannotBeToldIsNamedInTheQuestion) {
  ReorderScene scene;
  scene.fs.setVolumeFacts(std::nullopt);
  scene.confirmation.answer = false;
  scene.choose();
  EXPECT_EQ(scene.confirmation.texts,
            Names{"フォルダ\r\n" + kFolder +
                  "\r\nの 3 個を一覧の順番に並べ替えます\r\n"
                  "(いったん作業フォルダに移して、この順番で戻します)\r\n\r\n"
                  "このドライブのファイルシステムは分かりません\r\n"
                  "書いた順番を保たないドライブなら順番は変わりません\r\n\r\n"
                  "よろしいですか"});
}

TEST(ReorderFlow, OkLocksTheMainWindowShowsProgressAndEndsWithTheMessage) {
  ReorderScene scene;
  const std::string caption = scene.app.mainWindow.caption();
  std::vector<std::string> captions;
  std::vector<bool> mainEnabled;
  scene.stop.whileCopying = [&] {
    captions.push_back(scene.app.mainWindow.caption());
    mainEnabled.push_back(scene.app.mainWindow.isEnabled());
  };
  scene.choose();
  EXPECT_TRUE(scene.stop.armed == false);
  EXPECT_EQ(mainEnabled, (std::vector<bool>{false, false, false}));
  ASSERT_EQ(captions.size(), 3u);
  EXPECT_EQ(captions.front().rfind("並べ替え ", 0), 0u) << captions.front();
  EXPECT_EQ(captions.back().find(" / 6"), captions.back().size() - 4) << captions.back();
  EXPECT_EQ(fakes::flowOf(scene.app), kMessageOverMain);
  EXPECT_EQ(scene.app.label.text(), "並べ替えました (3 個)");
  EXPECT_EQ(scene.app.mainWindow.caption(), caption);
  EXPECT_EQ(scene.fs.listed(kFolder), (Names{"a.mp3", "b.mp3", "c.mp3"}));
  EXPECT_EQ(scene.fs.find(kWork), nullptr);
}

TEST(ReorderFlow, AStopLeavesTheFolderWholeAndSaysSo) {
  ReorderScene scene;
  scene.stop.stopWhen = [&] { return scene.stop.asked == 2; };
  scene.choose();
  EXPECT_EQ(fakes::flowOf(scene.app), kMessageOverMain);
  EXPECT_EQ(scene.app.label.text(),
            "並べ替えを中止しました\r\n\r\n項目はすべて元のフォルダにあります");
  EXPECT_EQ(scene.fs.listed(kFolder), (Names{"c.mp3", "b.mp3", "a.mp3"}));
}

// What a run left: a, b still in the folder, c in the work folder.
void leaveUnfinished(ReorderScene& scene) {
  scene.fs.addFile(
      at(kWork, "order.txt"),
      "Chronoseq: "
      "並べ替え中のフォルダです。止まったときは、下の順番でフォルダに戻してください。\r\n"
      "フォルダ: music\r\n順番:\r\nc.mp3\r\nb.mp3\r\na.mp3\r\n");
  scene.fs.moveEntry(at(kFolder, "c.mp3"), at(kWork, "c.mp3"));
  scene.showRows({"a.mp3", "b.mp3"});
}

TEST(ReorderFlow, AListingBesideAnUnfinishedRunOffersToFinishIt) {
  ReorderScene scene;
  leaveUnfinished(scene);
  scene.app.event([&] { scene.command.offerToFinish(); });
  EXPECT_EQ(scene.confirmation.texts,
            Names{"前回の並べ替えが終わっていません\r\n\r\n作業フォルダ\r\n" + kWork +
                  "\r\nに 1 個が残っています\r\n\r\n"
                  "続きを行って、一覧の順番でフォルダに戻しますか"});
  EXPECT_EQ(scene.fs.listed(kFolder), (Names{"c.mp3", "b.mp3", "a.mp3"}));
  EXPECT_EQ(scene.fs.find(kWork), nullptr);
  EXPECT_EQ(scene.listedAgain, 1);
  EXPECT_EQ(fakes::flowOf(scene.app), kMessageOverMain);
  EXPECT_EQ(scene.app.label.text(), "並べ替えました (3 個)");
}

TEST(ReorderFlow, DecliningTheOfferChangesNothing) {
  ReorderScene scene;
  leaveUnfinished(scene);
  const std::size_t movesBefore = scene.fs.moves().size();
  scene.confirmation.answer = false;
  scene.app.event([&] { scene.command.offerToFinish(); });
  EXPECT_EQ(scene.confirmation.texts.size(), 1u);
  EXPECT_EQ(scene.fs.moves().size(), movesBefore);
  EXPECT_EQ(scene.fs.listed(kWork), (Names{"order.txt", "c.mp3"}));
  EXPECT_EQ(scene.listedAgain, 0);
  EXPECT_EQ(fakes::flowOf(scene.app), kIdle);
}

// The command chosen again after the offer was declined: the offer once
// more, never a second work folder while entries wait in the first.
TEST(ReorderFlow, TheCommandBesideAnUnfinishedRunOffersToFinishIt) {
  ReorderScene scene;
  leaveUnfinished(scene);
  const std::size_t movesBefore = scene.fs.moves().size();
  scene.confirmation.answer = false;
  scene.choose();
  ASSERT_EQ(scene.confirmation.texts.size(), 1u);
  EXPECT_EQ(scene.confirmation.texts[0].rfind("前回の並べ替えが終わっていません", 0), 0u);
  EXPECT_EQ(scene.fs.moves().size(), movesBefore);
  EXPECT_EQ(scene.fs.find(kWork + " (2)"), nullptr);
  EXPECT_EQ(fakes::flowOf(scene.app), kIdle);

  scene.confirmation.answer = true;
  scene.choose();
  EXPECT_EQ(scene.fs.find(kWork), nullptr);
  EXPECT_EQ(scene.listedAgain, 1);
  EXPECT_EQ(scene.app.label.text(), "並べ替えました (3 個)");
}

TEST(ReorderFlow, NoOfferWithoutAnUnfinishedRunOrWhileAnotherWindowIsUp) {
  ReorderScene scene;
  scene.app.event([&] { scene.command.offerToFinish(); });
  EXPECT_TRUE(scene.confirmation.texts.empty());

  leaveUnfinished(scene);
  scene.app.event([&] { app::startWorking(scene.app.objects->flow); });
  scene.app.event([&] { scene.command.offerToFinish(); });
  EXPECT_TRUE(scene.confirmation.texts.empty());
}

// Through the main window as the program wires it, over real folders.
struct WiredScene {
  WiredScene() {
    folder = dir.createFolder("music");
    for (const char* name : {"b.mp3", "a.mp3"}) dir.createFile(at("music", name), name);
    empty = dir.createFolder("empty");
  }
  void list(const std::string& path) {
    app.tree.path = path;
    app.event([&] { app.listing->listSelectedFolder(); });
  }
  testsupport::TempFolder dir;
  std::string folder;
  std::string empty;
  fakes::FakeApp app;
};

TEST(ReorderThroughTheMainWindow, TheMenuItemIsGreyWhileTheListIsEmpty) {
  WiredScene scene;
  scene.list(scene.empty);
  scene.app.event([&] { scene.app.commands->showStates(); });
  EXPECT_FALSE(scene.app.itemEnabled(app::Command::reorderOnCard));
  scene.app.event([&] { scene.app.commands->reorderOnCard(); });
  EXPECT_TRUE(scene.app.confirmation.texts.empty());
  scene.list(scene.folder);
  scene.app.event([&] { scene.app.commands->showStates(); });
  EXPECT_TRUE(scene.app.itemEnabled(app::Command::reorderOnCard));
}

TEST(ReorderThroughTheMainWindow, TheCommandAsksAndCancelChangesNothing) {
  WiredScene scene;
  // Wine names a Linux folder's drive NTFS: there the command refuses.
  platform::VolumeFacts facts;
  if (platform::systemCopyOps().volumeFacts(scene.folder, facts) == 0 &&
      facts.fileSystem == "NTFS") {
    scene.list(scene.folder);
    scene.app.event([&] { scene.app.commands->reorderOnCard(); });
    EXPECT_TRUE(scene.app.confirmation.texts.empty());
    EXPECT_EQ(fakes::flowOf(scene.app), kMessageOverMain);
    EXPECT_EQ(scene.app.label.text().rfind("このドライブは書いた順番を保ちません\r\n", 0), 0u);
    return;
  }
  scene.list(scene.folder);
  scene.app.event([&] { scene.app.commands->reorderOnCard(); });
  ASSERT_EQ(scene.app.confirmation.texts.size(), 1u);
  EXPECT_EQ(
      scene.app.confirmation.texts[0].rfind("フォルダ\r\n" + scene.folder + "\r\nの 2 個を", 0), 0u)
      << scene.app.confirmation.texts[0];
  EXPECT_EQ(fakes::flowOf(scene.app), kIdle);
}

TEST(ReorderThroughTheMainWindow, AListingBesideAnUnfinishedRunOffersToFinishAndListsAgain) {
  WiredScene scene;
  scene.dir.createFolder("Chronoseq 並べ替え中");
  scene.dir.createFile(
      at("Chronoseq 並べ替え中", "order.txt"),
      "Chronoseq: 並べ替え中のフォルダです。止まったときは、下の順番でフォルダに"
      "戻してください。\r\nフォルダ: music\r\n順番:\r\nc.mp3\r\na.mp3\r\nb.mp3\r\n");
  scene.dir.createFile(at("Chronoseq 並べ替え中", "c.mp3"), "c");
  scene.app.confirmation.answer = true;
  scene.list(scene.folder);
  ASSERT_EQ(scene.app.confirmation.texts.size(), 1u);
  EXPECT_EQ(scene.app.confirmation.texts[0],
            "前回の並べ替えが終わっていません\r\n\r\n作業フォルダ\r\n" +
                scene.dir.pathOf("Chronoseq 並べ替え中") +
                "\r\nに 1 個が残っています\r\n\r\n"
                "続きを行って、一覧の順番でフォルダに戻しますか");
  EXPECT_EQ(fakes::flowOf(scene.app), kMessageOverMain);
  EXPECT_EQ(scene.app.label.text().rfind("並べ替えました (3 個)", 0), 0u) << scene.app.label.text();
  // Listed again: the entry that came back is a row.
  EXPECT_EQ(scene.app.folder().rowCount(), 3);
  EXPECT_EQ(scene.app.confirmation.texts.size(), 1u) << "the listing again asks nothing";
  EXPECT_FALSE(
      std::filesystem::exists(std::filesystem::u8path(scene.dir.pathOf("Chronoseq 並べ替え中"))));
}

}  // namespace
