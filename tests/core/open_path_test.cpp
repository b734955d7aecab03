// A folder or file handed from outside: what a path names, and the main
// window opening it (the tree selects the folder, a file's row is selected
// and in view, a bad path says so and changes nothing, a locked window
// refuses).

#include "app/open_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/list_view_marks.h"
#include "fakes/fake_app.h"
#include "fakes/fault_file_ops.h"
#include "fakes/flow_states.h"
#include "fakes/temp_folder.h"
#include "platform/folder_routes.h"
#include "platform/path.h"
#include "stamping/kept_entry.h"

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

// The runtime's splitting of a quoted argument that ends in a backslash
// leaves a quote at its end: "D:\" arrives as D:", meaning the drive's root.
TEST(OpenTarget, TheQuotesOfAnArgumentAreTakenOff) {
  const struct {
    const char* given;
    const char* path;
  } cases[] = {
      {"D:\"", "D:\\"},
      {"d:\"", "d:\\"},
      {"\"D:\"", "D:\\"},
      {"D:", "D:"},  // no quote: drive D's current directory, as typed
      {"C:\\My Dir\"", "C:\\My Dir"},
      {"\"C:\\写真\"", "C:\\写真"},
      {"C:\\写真", "C:\\写真"},
      {"sub", "sub"},
      {"\"\"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(app::unquotedPath(c.given), c.path) << c.given;
}

// Where the tree's walk does not reach the parsed route, the folder is
// looked for below the top node's own folder (the Desktop's) by the
// canonical paths Windows gives, case-blind.
TEST(FolderRoutes, TheNamesBelowTheDesktopByCanonicalPaths) {
  fakes::FakeFolderRoutes routes;
  const std::string desktop = "C:\\Users\\me\\Desktop";
  routes.canonical["Z:\\home\\me\\.wine\\drive_c\\users\\me\\Desktop\\曲 フォルダ"] =
      "C:\\users\\me\\Desktop\\曲 フォルダ";
  routes.canonical["C:\\Users\\me\\OneDrive\\デスクトップ"] = "C:\\Users\\me\\Desktop";
  routes.canonical["C:\\Users\\me\\OneDrive\\デスクトップ\\写真\\2024"] =
      "C:\\Users\\me\\Desktop\\写真\\2024";
  using Names = std::vector<std::string>;
  const struct {
    std::string path;
    std::optional<Names> names;
  } cases[] = {
      {"Z:\\home\\me\\.wine\\drive_c\\users\\me\\Desktop\\曲 フォルダ", Names{"曲 フォルダ"}},
      {"C:\\Users\\me\\OneDrive\\デスクトップ\\写真\\2024", Names{"写真", "2024"}},
      {"c:\\USERS\\ME\\DESKTOP\\写真\\", Names{"写真"}},
      {"C:\\Users\\me\\Desktop", Names{}},
      {"C:\\Users\\me\\Desktop2\\x", std::nullopt},
      {"C:\\Users\\me", std::nullopt},
      {"\\\\server\\share\\曲", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::namesBelow(routes, desktop, c.path), c.names) << c.path;
  }
  EXPECT_EQ(platform::namesBelow(routes, "", "C:\\x"), std::nullopt) << "no Desktop folder";
}

TEST(FolderRoutes, OneFolderByTwoRoutesAndShortcutNames) {
  fakes::FakeFolderRoutes routes;
  routes.canonical["X:\\曲"] = "\\\\nas\\music\\曲";  // a mapped drive
  routes.canonical["C:\\PROGRA~1"] = "C:\\Program Files";
  const struct {
    const char* a;
    const char* b;
    bool same;
  } cases[] = {
      {"X:\\曲", "\\\\NAS\\Music\\曲", true},
      {"C:\\PROGRA~1", "c:\\program files\\", true},
      {"C:\\Ä", "c:\\ä", true},
      {"C:\\Ａ", "C:\\ａ", true},
      {"C:\\ｱ", "C:\\ア", false},
      {"C:\\a", "C:\\b", false},
      {"", "", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::sameFolder(routes, c.a, c.b), c.same) << c.a << " " << c.b;
  }
  for (const char* name : {"a.lnk", "A.LNK", "曲.Lnk"}) EXPECT_TRUE(platform::isShortcutName(name));
  for (const char* name : {".lnk", "a.lnk.txt", "alnk", "a.ink"}) {
    EXPECT_FALSE(platform::isShortcutName(name)) << name;
  }
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
}

// The shell parses a path to one route; the tree may show the folder by
// another, or not at all (a share the empty network list does not show).
// An existing folder opens all the same: listed, with no node selected
// rather than one that is not this folder, and nothing said.
TEST_F(OpeningFromOutside, AFolderNoNodeReachesIsListedWithNoNodeSelected) {
  open(dir.path());
  app.tree.refused.insert(other);
  open(other);
  EXPECT_EQ(app.tree.path, "") << "no node stands for it";
  EXPECT_EQ(app.folder().path(), other);
  EXPECT_EQ(app.folder().rowCount(), 2);
  EXPECT_EQ(fakes::flowOf(app), fakes::kIdle) << "no message";
  EXPECT_EQ(app.statusBar.panelText(0), "") << "the status line says nothing of the last folder";
  EXPECT_EQ(app.statusBar.panelText(1), "");

  open(platform::joinPath(other, "y.txt"));  // a file of it, once more
  EXPECT_EQ(app.folder().path(), other);
  EXPECT_EQ(app.statusBar.panelText(1), "y.txt");

  app.tree.refused.clear();  // a node reaches it again: the tree selects it
  open(dir.path());
  EXPECT_EQ(app.tree.path, dir.path());
  EXPECT_EQ(app.folder().rowCount(), 4);
}

// A network path where the network list is empty, as it is without network
// discovery: the folder exists, the tree's Network node holds nothing.
TEST(OpeningANetworkPath, OpensWithAnEmptyNetworkList) {
  const std::string share = "\\\\server\\share\\曲";
  fakes::FaultFileOps files;
  files.addFolder(share);
  fakes::FakeApp app{&files};
  app.tree.refused.insert(share);
  EXPECT_TRUE(app.event([&] { app.listing->openPath(share); }));
  EXPECT_EQ(fakes::flowOf(app), fakes::kIdle) << app.label.text();
  EXPECT_EQ(app.folder().path(), share);
  EXPECT_TRUE(app.folder().listedOutsideTree());
  EXPECT_EQ(app.tree.path, "");
}

// A dropped file of the folder already listed, reached by another route (a
// link, another case, the Desktop through its drive): the tree would pick
// another node and list it again, losing the order and what undo keeps. It
// is the same folder by its canonical path, compared case-blind.
TEST_F(OpeningFromOutside, ADropIntoTheShownFolderByAnotherRouteKeepsOrderAndUndo) {
#ifdef _WIN32
  // Windows' file systems ignore case: another case is another route.
  std::string alias = dir.path();
  for (char& c : alias) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  ASSERT_NE(alias, dir.path());
#else
  testsupport::TempFolder elsewhere;
  const std::string alias = platform::joinPath(elsewhere.path(), "alias");
  std::filesystem::create_directory_symlink(std::filesystem::u8path(dir.path()),
                                            std::filesystem::u8path(alias));
#endif
  // Windows' final path for each route, spelt in another case by one.
  app.routes.canonical[dir.path()] = "C:\\Users\\me\\Desktop\\曲 Folder";
  app.routes.canonical[alias] = "c:\\users\\ME\\desktop\\曲 FOLDER";
  open(dir.path());
  EXPECT_TRUE(app.event([&] { app.order->columnClicked(0); }));
  EXPECT_TRUE(app.event([&] { app.order->columnClicked(0); }));  // descending
  const std::vector<std::string> sorted = names();
  app.objects->undo.keep({dir.path(), {stamping::KeptEntry{}}});
  ASSERT_TRUE(app.itemEnabled(app::Command::undo));
  const std::vector<std::string> selectedBefore = app.tree.selected;

  open(platform::joinPath(alias, "a.txt"));
  EXPECT_EQ(app.tree.selected, selectedBefore) << "the tree was not touched";
  EXPECT_EQ(names(), sorted) << "the rows keep the order given them";
  EXPECT_TRUE(app.itemEnabled(app::Command::undo)) << "undo keeps its record";
  const int row = app::rowNamed(app.folder().rows(), "a.txt");
  EXPECT_EQ(app::readMarks(app.list), (folderlist::ListMarks{{row}, row, row}));
  EXPECT_EQ(fakes::flowOf(app), fakes::kIdle);
}

// Shortcuts given or dropped open what they point to, resolved without any
// window; a broken one is named by its own path.
TEST_F(OpeningFromOutside, AShortcutOpensWhatItPointsTo) {
  testsupport::TempFolder links;
  const std::string toFolder = links.createFile("写真へ.lnk", "L");
  const std::string toFile = links.createFile("y へ.LNK", "L");
  const std::string broken = links.createFile("壊れた.lnk", "L");
  app.routes.shortcuts[toFolder] = other;
  app.routes.shortcuts[toFile] = platform::joinPath(other, "y.txt");
  app.routes.shortcuts[broken + "-"] = other;  // only a like-named one resolves
  const struct {
    std::string shortcut;
    std::string listed;    // the folder listed after it
    std::string selected;  // the row selected; empty: none
    bool message;
  } cases[] = {
      {toFolder, other, "", false},
      {toFile, other, "y.txt", false},
      {broken, dir.path(), "", true},
  };
  for (const auto& c : cases) {
    open(dir.path());
    open(c.shortcut);
    EXPECT_EQ(app.folder().path(), c.listed) << c.shortcut;
    EXPECT_EQ(app.tree.path, c.listed) << c.shortcut;
    const int row = c.selected.empty() ? -1 : app::rowNamed(app.folder().rows(), c.selected);
    EXPECT_EQ(app.list.firstSelected(), row) << c.shortcut;
    if (c.message) {
      EXPECT_EQ(app.label.text(), "フォルダ " + c.shortcut + " を開けません");
      app.event([&] { app.messages->dismiss(); });
    } else {
      EXPECT_EQ(fakes::flowOf(app), fakes::kIdle) << c.shortcut;
    }
  }
  EXPECT_EQ(app.routes.shortcutsResolved, 3);
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
