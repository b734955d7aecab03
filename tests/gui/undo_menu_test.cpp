// "元に戻す(&U)" on the real windows: greyed out until a run, the window flow
// of an undo, the times back on disk, and what greys the command again.

#include <map>
#include <string>

#include "fakes/temp_folder.h"
#include "gui/gui_fixture.h"
#include "shell/control_ids.h"

namespace gui {
namespace {

using namespace platform::win32;
using namespace shell;

constexpr WindowFlags kIdle{true, true, false, true, false, true};
constexpr WindowFlags kMessageOverMain{true, false, false, true, true, true};

class UndoMenuTest : public GuiTest {
 protected:
  bool undoEnabled() {
    const UINT state =
        GetMenuState(GetMenu(mainWindow()), app::commandId(app::Command::undo), MF_BYCOMMAND);
    EXPECT_NE(state, static_cast<UINT>(-1)) << "the menu has the command";
    return (state & (MF_GRAYED | MF_DISABLED)) == 0;
  }
  std::wstring label() { return windowText(item(messageWindow(), kMessageLabel)); }

  // Stamps the listed folder from 2009/03/05 12:30:00 with all three times
  // and dismisses the notice.
  void stamp() {
    menuCommand(app::Command::changeTimes);
    const wchar_t* fields[] = {L"2009", L"3", L"5", L"12", L"30", L"0"};
    for (int i = 0; i < 6; ++i) SetWindowTextW(item(timeDialog(), kFirstTimeField + i), fields[i]);
    for (int box : {kAlsoCreation, kAlsoAccess}) {
      if (SendMessageW(item(timeDialog(), box), BM_GETCHECK, 0, 0) != BST_CHECKED) {
        click(item(timeDialog(), box));
      }
    }
    click(item(timeDialog(), kTimeOk));
    ASSERT_EQ(label(), wide("変更しました"));
    click(item(messageWindow(), kMessageOk));
    ASSERT_EQ(flags(), kIdle);
  }

  std::map<std::wstring, testsupport::EntryTimes> timesOnDisk() {
    std::map<std::wstring, testsupport::EntryTimes> times;
    for (const std::wstring& name : listedNames()) {
      const std::filesystem::path path = folder() / name;
      const std::u8string utf8 = path.u8string();
      times[name] = testsupport::readTimes(std::string(utf8.begin(), utf8.end()));
    }
    return times;
  }
};

TEST_F(UndoMenuTest, StampThenUndoFromTheMenu) {
  EXPECT_FALSE(undoEnabled()) << "nothing stamped yet";
  ASSERT_GT(rowCount(), 0);
  const auto before = timesOnDisk();
  std::vector<std::wstring> texts;
  for (int row = 0; row < rowCount(); ++row) texts.push_back(cellText(row, 2));

  stamp();
  EXPECT_TRUE(undoEnabled());
  EXPECT_EQ(cellText(0, 2), wide("2009/03/05 12:30:00"));

  menuCommand(app::Command::undo);
  EXPECT_EQ(flags(), kMessageOverMain);
  EXPECT_EQ(label(), wide("元に戻しました"));
  EXPECT_EQ(windowText(mainWindow()), L"Chronoseq") << "no progress left in the caption";
  EXPECT_EQ(GetFocus(), item(messageWindow(), kMessageOk));
  EXPECT_FALSE(undoEnabled()) << "an undo cannot be undone";
  for (int row = 0; row < rowCount(); ++row) {
    EXPECT_EQ(cellText(row, 2), texts[static_cast<std::size_t>(row)]) << "row " << row;
  }
  const auto after = timesOnDisk();
  for (const auto& [name, old] : before) {
    SCOPED_TRACE(std::string(name.begin(), name.end()));
    EXPECT_EQ(after.at(name).lastWrite, old.lastWrite);
    EXPECT_EQ(after.at(name).lastAccess, old.lastAccess);
    if (!testsupport::creationTimeUnsupported()) {
      EXPECT_EQ(after.at(name).creation, old.creation);
    }
  }

  click(item(messageWindow(), kMessageOk));
  EXPECT_EQ(flags(), kIdle);
  EXPECT_TRUE(errorBox_.shown.empty());
}

TEST_F(UndoMenuTest, AnotherFolderAndF5GreyItOut) {
  stamp();
  ASSERT_TRUE(undoEnabled());
  SendMessageW(list(), WM_KEYUP, VK_F5, 0xC0000001);
  pump();
  EXPECT_FALSE(undoEnabled()) << "F5";

  stamp();
  ASSERT_TRUE(undoEnabled());
  selectTreeItem(L"sub");
  EXPECT_FALSE(undoEnabled()) << "another folder";
}

}  // namespace
}  // namespace gui
