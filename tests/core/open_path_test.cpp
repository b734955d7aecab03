// A folder or file handed from outside: what a path names, and the main
// window opening it (the tree selects the folder, a file's row is selected
// and in view, a bad path says so and changes nothing, a locked window
// refuses).

#include "app/open_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/list_view_marks.h"
#include "fakes/fake_app.h"
#include "fakes/fault_file_ops.h"
#include "fakes/flow_states.h"
#include "fakes/temp_folder.h"
#include "platform/path.h"

namespace {

using app::OpenTarget;

TEST(OpenTarget, AFolderOpensItselfAFileItsFolder) {
  testsupport::TempFolder dir;
  const std::string sub = dir.createFolder("写真");
  const std::string file = dir.createFile(platform::joinPath("写真", "IMG 1.jpg"), "x");
  platform::FileOps& files = platform::systemFileOps();
  const std::string sep(1, platform::kPathSeparator);
  const struct {
    std::string path;
    std::optional<OpenTarget> expected;
  } cases[] = {
      {sub, OpenTarget{sub, ""}},
      {sub + sep, OpenTarget{sub, ""}},
      {sub + sep + sep, OpenTarget{sub, ""}},
      {file, OpenTarget{sub, "IMG 1.jpg"}},
      {platform::joinPath(sub, "missing.jpg"), std::nullopt},
      {platform::joinPath(dir.path(), "missing"), std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(app::openTargetOf(c.path, files), c.expected) << c.path;
  }
}

TEST(OpenTarget, ARootKeepsItsSeparator) {
#ifdef _WIN32
  const std::string root = "C:\\";
#else
  const std::string root = "/";
#endif
  EXPECT_EQ(app::openTargetOf(root, platform::systemFileOps()), (OpenTarget{root, ""}));
}

// A path handed in may spell a name's case otherwise than the listing does.
// Windows' file systems compare names case-blind, one character against one
// by the system's case mapping, in every script that has case; width, kana,
// accents and multi-letter forms are other names.
TEST(OpenTarget, TheRowIsTheNameAsListedCaseIgnored) {
  folderlist::EntryRows rows;
  for (const char* name :
       {"a.txt", "B.txt", "b.txt", "Ä.mp3", "Ａ.mp3", "ア.mp3", "Straße.mp3", "Жук.mp3", "a.mp3"}) {
    rows.push_back(folderlist::ListEntry{name, "", {}});
  }
  const struct {
    const char* name;
    int row;
    const char* why;
  } cases[] = {
      {"a.txt", 0, "as listed"},
      {"A.TXT", 0, "ASCII case"},
      {"B.txt", 1, "as listed"},
      {"b.txt", 2, "the exact spelling first"},
      {"b.TXT", 1, "else the first that differs only in case"},
      {"ä.mp3", 3, "an accented letter's case"},
      {"Ä.MP3", 3, "an accented letter as listed"},
      {"ａ.mp3", 4, "a full-width letter's case"},
      {"Ａ.MP3", 4, "a full-width letter as listed"},
      {"жук.MP3", 7, "Cyrillic case"},
      {"ЖУК.mp3", 7, "Cyrillic case"},
      {"ｱ.mp3", -1, "half-width is not case"},
      {"あ.mp3", -1, "nor hiragana for katakana"},
      {"á.mp3", -1, "nor an accent"},
      {"STRASSE.mp3", -1, "nor a letter for two"},
      {"c.txt", -1, "not listed"},
      {"", -1, "no name"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(app::rowNamed(rows, c.name), c.row) << c.name << ": " << c.why;
  }
}

TEST(OpenTarget, TheMessageNamesThePath) {
  EXPECT_EQ(app::cannotOpenFolderMessage("C:\\写真\\無い"), "フォルダ C:\\写真\\無い を開けません");
}

class OpeningFromOutside : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"c.txt", "a.txt", "B.txt"}) dir.createFile(name, "x");
    other = dir.createFolder("other");
    dir.createFile(platform::joinPath("other", "x.txt"), "x");
    dir.createFile(platform::joinPath("other", "y.txt"), "x");
  }
  void open(const std::string& path) {
    EXPECT_TRUE(app.event([&] { app.listing->openPath(path); }));
  }
  std::vector<std::string> names() const {
    std::vector<std::string> result;
    for (const auto& row : app.folder().rows()) result.push_back(row.name);
    return result;
  }

  testsupport::TempFolder dir;
  std::string other;
  // The folders are real; the program looks at them through its file
  // operations.
  fakes::FakeApp app{&platform::systemFileOps()};
};

TEST_F(OpeningFromOutside, AFolderIsSelectedInTheTreeAndListed) {
  open(dir.path());
  EXPECT_EQ(app.tree.selected, std::vector<std::string>{dir.path()});
  EXPECT_EQ(app.folder().rowCount(), 4);
  EXPECT_EQ(fakes::flowOf(app), fakes::kIdle);
  EXPECT_EQ(app.list.selectionCount(), 0);
}

TEST_F(OpeningFromOutside, AFileOpensItsFolderWithItsRowSelectedAndInView) {
  open(dir.path());
  open(platform::joinPath(other, "y.txt"));
  EXPECT_EQ(app.tree.path, other);
  ASSERT_EQ(app.folder().rowCount(), 2);
  const int row = names()[0] == "y.txt" ? 0 : 1;
  EXPECT_EQ(app::readMarks(app.list), (folderlist::ListMarks{{row}, row, row}));
  EXPECT_EQ(app.list.shownRows, std::vector<int>{row});
  EXPECT_EQ(app.statusBar.panelText(0), "1/2 個のオブジェクトを選択");
  EXPECT_EQ(app.statusBar.panelText(1), "y.txt");
}

TEST_F(OpeningFromOutside, AFileOfTheOpenFolderIsSelectedWithoutListingAgain) {
  open(dir.path());
  EXPECT_TRUE(app.event([&] { app.order->columnClicked(0); }));
  const std::vector<std::string> sorted = names();
  open(dir.pathOf("c.txt"));
  EXPECT_EQ(names(), sorted) << "the rows keep the order given them";
  EXPECT_EQ(app::readMarks(app.list), (folderlist::ListMarks{{2}, 2, 2}));
}

TEST_F(OpeningFromOutside, ABadPathLeavesEverythingAndSaysSo) {
  open(dir.path());
  const std::string missing = platform::joinPath(dir.path(), "無いフォルダ");
  open(missing);
  EXPECT_EQ(app.tree.path, dir.path());
  EXPECT_EQ(app.folder().rowCount(), 4);
  EXPECT_EQ(fakes::flowOf(app), fakes::kMessageOverMain);
  EXPECT_EQ(app.label.text(), "フォルダ " + missing + " を開けません");
  EXPECT_TRUE(app.label.shownWhole()) << "the path may be long";
  app.event([&] { app.messages->dismiss(); });
  EXPECT_EQ(fakes::flowOf(app), fakes::kIdle);

  app.tree.refused.insert(other);  // a folder the tree cannot reach
  open(other);
  EXPECT_EQ(app.tree.path, dir.path());
  EXPECT_EQ(app.label.text(), "フォルダ " + other + " を開けません");
}

TEST_F(OpeningFromOutside, RefusedWhileTheMainWindowIsLocked) {
  open(dir.path());
  app.event([&] { app.commands->showTimeDialog(); });
  ASSERT_EQ(fakes::flowOf(app), fakes::kTimeEntry);
  open(other);
  EXPECT_EQ(app.tree.path, dir.path());
  EXPECT_EQ(fakes::flowOf(app), fakes::kTimeEntry);
  EXPECT_FALSE(app.messageWindow.isVisible());
}

TEST_F(OpeningFromOutside, ARunningMoveIsFinishedFirst) {
  open(dir.path());
  app.list.setSelected(3, true);
  app.list.setFocused(3);
  app.mover->press();
  bool accept = false;
  accept = app.mover->dragOver(5, 8);
  ASSERT_TRUE(accept);
  app.mover->drop();
  ASSERT_TRUE(app.mover->moving());
  const std::string moved = app.folder().rows()[3].name;
  open(dir.pathOf("c.txt"));
  EXPECT_FALSE(app.mover->moving());
  EXPECT_EQ(names()[0], moved) << "the move went to its end";
}

// The path is judged by the program's own file operations, as the run and
// the undo judge theirs: a folder they cannot see is not opened, whatever
// the disk holds, and a file they cannot see opens nothing.
TEST(OpeningThroughTheFileOperations, WhatTheyCannotSeeIsNotOpened) {
  testsupport::TempFolder dir;
  const std::string file = dir.createFile("a.txt", "x");
  fakes::FaultFileOps files;
  files.addFolder(dir.path());
  files.addFile(file);
  files.injectFault(fakes::FaultFileOps::Op::FolderExists, dir.path());
  files.injectFault(fakes::FaultFileOps::Op::FileExists, file);
  fakes::FakeApp app{&files};
  for (const std::string& path : {dir.path(), file}) {
    EXPECT_TRUE(app.event([&] { app.listing->openPath(path); }));
    EXPECT_TRUE(app.tree.selected.empty()) << path;
    EXPECT_EQ(fakes::flowOf(app), fakes::kMessageOverMain) << path;
    EXPECT_EQ(app.label.text(), "フォルダ " + path + " を開けません");
    app.event([&] { app.messages->dismiss(); });
  }
  EXPECT_TRUE(files.faultFired());
}

}  // namespace
