#include "app/application.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "fakes/fake_ui.h"
#include "platform/resource_failure.h"

namespace {

TEST(ApplicationTitle, IsTheFileNameUpToTheFirstDotFirstLetterKept) {
  const struct {
    const char* path;
    const char* title;
  } cases[] = {
      {"C:\\Program Files\\Chronoseq\\Chronoseq.exe", "Chronoseq"},
      {"C:\\tools\\CHRONOSEQ.EXE", "Chronoseq"},
      {"Z:/build/MY.tool.exe", "My"},
      {"chronoseq", "chronoseq"},
      {"\\\\server\\share\\Ab-CD.exe", "Ab-cd"},
      // Every script, as Python's str.lower() maps them.
      {"C:\\tools\\ＭＹＳＴＡＭＰ.exe", "Ｍｙｓｔａｍｐ"},
      {"C:\\tools\\ÄÖÜBER.exe", "Äöüber"},
      {"C:\\tools\\МОЙШТАМП.exe", "Мойштамп"},
      {"C:\\tools\\ＣＨＲＯＮＯＳＥＱ.ＥＸＥ", "Ｃｈｒｏｎｏｓｅｑ"},  // the ASCII "." ends it
  };
  for (const auto& c : cases) EXPECT_EQ(app::applicationTitle(c.path), c.title) << c.path;
}

TEST(ErrorBoxText, AppendsAFullStopWhenTheLastCharacterSortsAfterIt) {
  const struct {
    const char* message;
    const char* shown;
  } cases[] = {
      {"ファイルへのアクセスが拒否されました", "ファイルへのアクセスが拒否されました."},
      {"I/O エラー (1117)", "I/O エラー (1117)"},
      {"Done.", "Done."},
      {"disk full", "disk full."},
      {"code 5", "code 5."},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(app::errorBoxText(c.message), c.shown) << c.message;
}

TEST(RunHandler, ShowsAFailureInTheErrorBoxWithTheTitle) {
  fakes::FakeErrorBox box;
  app::Application application;
  application.title = "Chronoseq";
  application.errorBox = &box;

  EXPECT_TRUE(app::runHandler(application, [] {}));
  EXPECT_TRUE(box.shown.empty());

  int stepsDone = 0;
  EXPECT_FALSE(app::runHandler(application, [&] {
    ++stepsDone;
    throw app::HandlerFailure("ディスクがいっぱいです");
    ++stepsDone;
  }));
  EXPECT_EQ(stepsDone, 1);
  ASSERT_EQ(box.shown.size(), 1u);
  EXPECT_EQ(box.shown[0].caption, "Chronoseq");
  EXPECT_EQ(box.shown[0].text, "ディスクがいっぱいです.");
}

}  // namespace

namespace {

// Resources the system refuses reach the user in the program's words, with
// the OS code where there is one.
TEST(RunHandler, ShowsRefusedResourcesInTheProgramsWords) {
  fakes::FakeErrorBox box;
  app::Application application;
  application.title = "Chronoseq";
  application.errorBox = &box;

  EXPECT_FALSE(app::runHandler(application, [] { throw std::bad_alloc(); }));
  EXPECT_FALSE(app::runHandler(
      application, [] { throw platform::resourceFailure(platform::kTimerRefused, 1400); }));
  ASSERT_EQ(box.shown.size(), 2u);
  EXPECT_EQ(box.shown[0].text, "メモリが不足しています.");
  EXPECT_EQ(box.shown[1].text, "タイマーを開始できません (エラー 1400)");
  EXPECT_EQ(box.shown[1].caption, "Chronoseq");
}

}  // namespace
