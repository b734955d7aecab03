// "この順番でコピー(&C)..." in the window flow, on the in-memory window system
// over real folders: when the command is enabled, what cancelling the picker
// does, the locked main window and the caption while it copies, the message
// over the main window after it, and a stop.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/copy_command.h"
#include "fakes/fake_app.h"
#include "fakes/flow_states.h"
#include "fakes/temp_folder.h"
#include "platform/path.h"

namespace {

using fakes::kIdle;
using fakes::kMessageOverMain;

struct CopyScene {
  CopyScene() {
    folder = dir.createFolder("work");
    card = dir.createFolder("card");
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) {
      dir.createFile(std::string("work") + platform::kPathSeparator + name, name);
    }
  }
  void list(const std::string& path) {
    app.tree.path = path;
    app.event([&] { app.listing->listSelectedFolder(); });
  }
  int cardEntries() const {
    int n = 0;
    for ([[maybe_unused]] const auto& e :
         std::filesystem::directory_iterator(std::filesystem::u8path(card))) {
      ++n;
    }
    return n;
  }

  testsupport::TempFolder dir;
  std::string folder;
  std::string card;
  fakes::FakeApp app;
  fakes::FakePicker& picker = app.picker;
  fakes::FakeStop& stop = app.copyStop;
  app::CopyCommand& command = app.objects->copy;
};

TEST(CopyFlow, GreyWhileTheListIsEmpty) {
  CopyScene scene;
  scene.list(scene.card);  // empty
  scene.app.commands->showStates();
  EXPECT_FALSE(scene.app.itemEnabled(app::Command::copyInOrder));
  scene.app.event([&] { scene.app.commands->copyInOrder(); });
  EXPECT_TRUE(scene.picker.titles.empty()) << "an empty list asks for nothing";

  scene.list(scene.folder);
  scene.app.commands->showStates();
  EXPECT_TRUE(scene.app.itemEnabled(app::Command::copyInOrder));

  // Opening a menu of the main window shows it anew.
  scene.list(scene.card);
  scene.app.event([&] { scene.app.commands->showStates(); });
  EXPECT_FALSE(scene.app.itemEnabled(app::Command::copyInOrder));
}

TEST(CopyFlow, CancellingThePickerChangesNothing) {
  CopyScene scene;
  scene.list(scene.folder);
  const std::string caption = scene.app.mainWindow.caption();
  scene.app.event([&] { scene.app.commands->copyInOrder(); });
  EXPECT_EQ(scene.picker.titles, std::vector<std::string>{"コピー先のフォルダを選んでください"});
  EXPECT_EQ(fakes::flowOf(scene.app), kIdle);
  EXPECT_EQ(scene.cardEntries(), 0);
  EXPECT_EQ(scene.stop.asked, 0);
  EXPECT_EQ(scene.app.mainWindow.caption(), caption);
}

TEST(CopyFlow, LockedWithProgressInTheCaptionThenTheNoticeOverTheMainWindow) {
  CopyScene scene;
  scene.list(scene.folder);
  const std::string caption = scene.app.mainWindow.caption();
  scene.picker.answer = scene.card;
  std::vector<std::string> captions;
  bool everEnabled = false;
  scene.stop.whileCopying = [&] {
    everEnabled = everEnabled || scene.app.mainWindow.isEnabled();
    captions.push_back(scene.app.mainWindow.caption());
  };
  scene.app.event([&] { scene.app.commands->copyInOrder(); });

  ASSERT_FALSE(captions.empty());
  EXPECT_FALSE(everEnabled) << "the main window is locked while it copies";
  // The check before writing first, then the writes.
  EXPECT_EQ(captions.front(), "確認 0 / 3");
  EXPECT_NE(std::find(captions.begin(), captions.end(), "コピー 0 / 3"), captions.end());
  EXPECT_EQ(captions.back().rfind("コピー ", 0), 0u) << captions.back();
  EXPECT_EQ(scene.cardEntries(), 3);
  EXPECT_EQ(scene.app.label.text().rfind("コピーしました (3 個)", 0), 0u) << scene.app.label.text();
  EXPECT_TRUE(scene.app.label.shownWhole()) << "a path or the OS's reason may follow";
  EXPECT_EQ(fakes::flowOf(scene.app), kMessageOverMain);
  EXPECT_EQ(scene.app.mainWindow.caption(), caption);
  EXPECT_FALSE(scene.stop.armed);
  EXPECT_EQ(scene.stop.armedFor, "コピー中");

  scene.app.event([&] { scene.app.messages->dismiss(); });
  EXPECT_EQ(fakes::flowOf(scene.app), kIdle);
}

TEST(CopyFlow, AStopEndsWithTheCountOverTheMainWindow) {
  CopyScene scene;
  scene.list(scene.folder);
  scene.picker.answer = scene.card;
  // Asked while the second file is being written: it is removed again.
  scene.stop.stopWhen = [&] { return scene.cardEntries() >= 2; };
  scene.app.event([&] { scene.app.commands->copyInOrder(); });
  EXPECT_EQ(scene.app.label.text(), "コピーを中止しました (1 / 3 個)");
  EXPECT_TRUE(scene.app.label.shownWhole());
  EXPECT_EQ(scene.cardEntries(), 1);
  EXPECT_EQ(fakes::flowOf(scene.app), kMessageOverMain);
  EXPECT_FALSE(scene.stop.armed);
}

// Esc while the rows are checked: nothing is written, and the count says so.
TEST(CopyFlow, EscDuringTheCheckStopsItBeforeAnyWrite) {
  CopyScene scene;
  scene.list(scene.folder);
  scene.picker.answer = scene.card;
  std::string captionAtStop;
  scene.stop.stopWhen = [&] {
    captionAtStop = scene.app.mainWindow.caption();
    return true;
  };
  scene.app.event([&] { scene.app.commands->copyInOrder(); });
  EXPECT_EQ(captionAtStop.rfind("確認 ", 0), 0u) << captionAtStop;
  EXPECT_EQ(scene.app.label.text(), "コピーを中止しました (0 / 3 個)");
  EXPECT_EQ(scene.cardEntries(), 0);
  EXPECT_EQ(fakes::flowOf(scene.app), kMessageOverMain);
}

// The session ends while a file is half written: the copy asks for its
// removal before the program goes (the system deletes it once its handle
// closes, which the end of the process does), and is stopped.
TEST(CopyFlow, ASessionEndingMidFileRemovesTheHalfWrittenFile) {
  CopyScene scene;
  scene.list(scene.folder);
  scene.picker.answer = scene.card;
  std::vector<std::string> removedAtSessionEnd;
  bool ended = false;
  scene.stop.stopWhen = [&] {
    // Inside the second row's copy: it stands on the card half written.
    if (scene.cardEntries() == 2 && !ended) {
      EXPECT_TRUE(scene.stop.sessionEnd) << "a copy under way says what to do";
      if (scene.stop.sessionEnd) scene.stop.sessionEnd();
      removedAtSessionEnd = scene.app.copyOps.removed();
      ended = true;
      return true;
    }
    return false;
  };
  scene.app.event([&] { scene.app.commands->copyInOrder(); });
  const std::string second = scene.app.folder().rows()[1].name;
  EXPECT_EQ(removedAtSessionEnd, std::vector<std::string>{platform::joinPath(scene.card, second)});
  EXPECT_EQ(scene.cardEntries(), 1);
  EXPECT_FALSE(scene.stop.sessionEnd) << "nothing left to do once the copy ended";
}

// The picker itself failing (not Cancel): its reason over the main window.
TEST(CopyFlow, APickerThatFailsSaysWhy) {
  CopyScene scene;
  scene.list(scene.folder);
  const std::string caption = scene.app.mainWindow.caption();
  scene.picker.failure = 0x80070005;  // E_ACCESSDENIED
  scene.app.event([&] { scene.app.commands->copyInOrder(); });
  EXPECT_EQ(scene.app.label.text(),
            "フォルダを選ぶ画面を開けませんでした\r\n\r\n" + platform::osErrorText(0x80070005));
  EXPECT_EQ(fakes::flowOf(scene.app), kMessageOverMain);
  EXPECT_EQ(scene.app.mainWindow.caption(), caption);
  EXPECT_EQ(scene.stop.asked, 0);
  EXPECT_EQ(scene.cardEntries(), 0);
}

}  // namespace

// A folder row's entries are written in the order a click on "名前" would
// give them: the locale's ("10" before "9"), or Explorer's with
// "数字を数値として並べる" on. Read from what stands on the card each time the
// copy looks for a stop, so the order is the order of writing.
TEST(CopyFlow, AFolderRowsEntriesFollowTheNameOrderOption) {
  const struct {
    bool numeric;
    std::vector<std::string> written;
  } cases[] = {
      {false, {"10.mp3", "9.mp3", "b.mp3"}},
      {true, {"9.mp3", "10.mp3", "b.mp3"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.numeric ? "numeric" : "locale");
    CopyScene scene;
    const std::string album = std::string("work") + platform::kPathSeparator + "album";
    scene.dir.createFolder(album);
    for (const char* name : {"b.mp3", "10.mp3", "9.mp3"}) {
      scene.dir.createFile(album + platform::kPathSeparator + name, name);
    }
    scene.list(scene.folder);
    scene.app.order->setNumericNames(c.numeric);
    scene.picker.answer = scene.card;
    std::vector<std::string> written;
    scene.stop.whileCopying = [&] {
      const auto copied = std::filesystem::u8path(scene.card) / "album";
      if (!std::filesystem::is_directory(copied)) return;
      for (const auto& e : std::filesystem::directory_iterator(copied)) {
        const std::string name = e.path().filename().string();
        if (std::find(written.begin(), written.end(), name) == written.end()) {
          written.push_back(name);
        }
      }
    };
    scene.app.event([&] { scene.app.commands->copyInOrder(); });
    EXPECT_EQ(written, c.written);
  }
}
