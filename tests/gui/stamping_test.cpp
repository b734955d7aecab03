// OK pressed on the real time dialog over the real list: the times on disk,
// the list's time texts afterwards, the step and the two extra-time options
// as the dialog's own controls set them, the check's message and a file that
// cannot be opened. Expected instants are worked out here from the fixed
// offset of Japan's zone (UTC+9, no daylight saving), not by the program.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fakes/recording_file_ops.h"
#include "fakes/temp_folder.h"
#include "gui/gui_fixture.h"
#include "platform/win32/utf.h"
#include "shell/control_ids.h"

namespace gui {
namespace {

using namespace platform::win32;
using namespace shell;
using platform::FileTime;

constexpr WindowFlags kMessageOverMain{true, false, false, true, true, true};
constexpr WindowFlags kMessageOverDialog{true, false, true, false, true, true};
constexpr WindowFlags kTimeEntry{true, false, true, true, false, true};

// Old times in 2001, distinct per entry: last write, and last access a day on.
constexpr std::int64_t kOldUnix = 981'173'106;  // 2001-02-03 04:05:06 UTC

FileTime fileTimeOfUnix(std::int64_t unix) {
  return static_cast<FileTime>(unix * 10'000'000 + 116'444'736'000'000'000LL);
}

// 2009/03/05 12:30:00 in Japan is 03:30:00 UTC.
constexpr std::int64_t kStartUnix = 1'236'223'800;

// "yyyy/mm/dd hh:nn:ss" in Japan's time of a Unix time.
std::wstring japanText(std::int64_t unix) {
  namespace chr = std::chrono;
  const chr::sys_seconds s{chr::seconds{unix + 9 * 3600}};
  const chr::sys_days day = chr::floor<chr::days>(s);
  const chr::year_month_day ymd{day};
  const chr::hh_mm_ss hms{s - day};
  wchar_t buffer[32];
  std::swprintf(buffer, 32, L"%04d/%02u/%02u %02d:%02d:%02d", static_cast<int>(ymd.year()),
                static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                static_cast<int>(hms.hours().count()), static_cast<int>(hms.minutes().count()),
                static_cast<int>(hms.seconds().count()));
  return buffer;
}

class StampingOnRealWindows : public GuiFixture {
 protected:
  void SetUp() override {
    prepare();
    if (IsSkipped() || HasFatalFailure()) return;
    TIME_ZONE_INFORMATION zone;
    GetTimeZoneInformation(&zone);
    if (zone.Bias != -540 || zone.DaylightDate.wMonth != 0) {
      GTEST_SKIP() << "the expectations are worked out for Japan's zone (TZ=Asia/Tokyo)";
    }
    int index = 0;
    for (const char* name : {"a.txt", "b.txt", "日本語.txt", "sub", "empty"}) {
      const std::int64_t old = kOldUnix + index++ * 1000;
      testsupport::setTimes(pathOf(name), fileTimeOfUnix(old), fileTimeOfUnix(old + 86'400));
    }
    fileOps_ = &recording_;
    start();
    ASSERT_EQ(rowCount(), 5);
  }

  std::string pathOf(const std::string& name) const {
    return platform::narrow((folder() / wide(name)).wstring());
  }
  std::string pathOfRow(int row) const { return pathOf(platform::narrow(names_[row])); }

  // Opens the dialog, fills the fields and sets the options by clicking the
  // dialog's own controls, then presses OK.
  void pressOk(bool twoSeconds, bool alsoCreation, bool alsoAccess) {
    names_ = listedNames();
    for (int row = 0; row < rowCount(); ++row) {
      before_.push_back(testsupport::readTimes(pathOfRow(row)));
    }
    menuCommand(app::Command::changeTimes);
    ASSERT_EQ(flags(), kTimeEntry);
    const wchar_t* fields[] = {L"2009", L"3", L"5", L"12", L"30", L"0"};
    for (int i = 0; i < 6; ++i) SetWindowTextW(item(timeDialog(), kFirstTimeField + i), fields[i]);
    if (twoSeconds) click(item(timeDialog(), kTwoSecondStep));
    if (alsoCreation) click(item(timeDialog(), kAlsoCreation));
    if (alsoAccess) click(item(timeDialog(), kAlsoAccess));
    click(item(timeDialog(), kTimeOk));
  }

  std::wstring label() { return windowText(item(messageWindow(), kMessageLabel)); }

  // Row k: on disk and in the list, the start plus k steps.
  void expectStamped(int row, int stepSeconds, bool lastAccess) {
    SCOPED_TRACE("row " + std::to_string(row) + " " + platform::narrow(names_[row]));
    const std::int64_t expected = kStartUnix + row * stepSeconds;
    const testsupport::EntryTimes after = testsupport::readTimes(pathOfRow(row));
    EXPECT_EQ(after.lastWrite, fileTimeOfUnix(expected));
    EXPECT_EQ(after.lastAccess, lastAccess ? fileTimeOfUnix(expected) : before_[row].lastAccess);
    EXPECT_EQ(cellText(row, 2), japanText(expected));
  }

  void expectUntouched(int row) {
    SCOPED_TRACE("row " + std::to_string(row) + " " + platform::narrow(names_[row]));
    const testsupport::EntryTimes after = testsupport::readTimes(pathOfRow(row));
    EXPECT_EQ(after.lastWrite, before_[row].lastWrite);
    EXPECT_EQ(after.lastAccess, before_[row].lastAccess);
  }

  fakes::RecordingFileOps recording_;
  std::vector<std::wstring> names_;
  std::vector<testsupport::EntryTimes> before_;
};

TEST_F(StampingOnRealWindows, CompletedOkByTheMinute) {
  pressOk(false, false, false);
  EXPECT_EQ(flags(), kMessageOverMain);
  EXPECT_EQ(label(), wide("変更しました"));
  EXPECT_EQ(windowText(timeDialog()), wide("TIME変更"));
  for (int row = 0; row < 5; ++row) expectStamped(row, 60, false);
  // The hand-worked texts of the first and last rows, folders among them.
  EXPECT_EQ(cellText(0, 2), L"2009/03/05 12:30:00");
  EXPECT_EQ(cellText(4, 2), L"2009/03/05 12:34:00");
  click(item(messageWindow(), kMessageOk));
  EXPECT_TRUE(IsWindowEnabled(mainWindow()));
}

TEST_F(StampingOnRealWindows, TwoSecondStepFromItsRadioButton) {
  pressOk(true, false, false);
  EXPECT_EQ(label(), wide("変更しました"));
  for (int row = 0; row < 5; ++row) expectStamped(row, 2, false);
  EXPECT_EQ(cellText(4, 2), L"2009/03/05 12:30:08");
}

struct CheckBoxCase {
  bool alsoCreation;  // "作成日時も変更"
  bool alsoAccess;    // "アクセス日時も変更"
};

class CheckBoxesOnRealWindows : public StampingOnRealWindows,
                                public testing::WithParamInterface<CheckBoxCase> {};

// The creation time is handed to the system only with "作成日時も変更" (Wine drops
// it, so the call is what is checked); the last-access time, which Wine
// keeps, changes on disk only with "アクセス日時も変更".
TEST_P(CheckBoxesOnRealWindows, EachBoxSetsItsOwnTime) {
  const CheckBoxCase c = GetParam();
  pressOk(false, c.alsoCreation, c.alsoAccess);
  ASSERT_EQ(label(), wide("変更しました"));
  ASSERT_EQ(recording_.calls().size(), 5u);
  for (const fakes::RecordedSetTimes& call : recording_.calls()) {
    EXPECT_EQ(call.creation, c.alsoCreation) << call.path;
    EXPECT_EQ(call.lastAccess, c.alsoAccess) << call.path;
  }
  for (int row = 0; row < 5; ++row) expectStamped(row, 60, c.alsoAccess);
}

INSTANTIATE_TEST_SUITE_P(Boxes, CheckBoxesOnRealWindows,
                         testing::Values(CheckBoxCase{false, false}, CheckBoxCase{true, false},
                                         CheckBoxCase{false, true}, CheckBoxCase{true, true}),
                         [](const testing::TestParamInfo<CheckBoxCase>& info) {
                           return std::string(info.param.alsoCreation ? "Box1" : "NoBox1") +
                                  (info.param.alsoAccess ? "_Box2" : "_NoBox2");
                         });

TEST_F(StampingOnRealWindows, ReadOnlyFileStopsTheCheckAndChangesNothing) {
  const std::string path = pathOf("b.txt");
  testsupport::setReadOnly(path, true);
  pressOk(false, false, false);
  EXPECT_EQ(flags(), kMessageOverDialog);
  EXPECT_EQ(label(), wide("リードオンリー属性の\r\nファイルがあります\r\n\r\nb.txt"));
  EXPECT_TRUE(recording_.calls().empty());
  for (int row = 0; row < 5; ++row) expectUntouched(row);
  testsupport::setReadOnly(path, false);
}

TEST_F(StampingOnRealWindows, FileHeldOpenStopsTheRunAtItsRow) {
  const std::string path = pathOf("b.txt");
  const auto hold = testsupport::holdExclusively(path);
  ASSERT_NE(hold, nullptr);
  pressOk(false, false, false);
  int held = -1;
  for (int row = 0; row < 5; ++row) {
    if (names_[row] == L"b.txt") held = row;
  }
  ASSERT_GE(held, 0);
  ASSERT_EQ(errorBox_.shown.size(), 1u);
  const std::string expected = "ファイル " + path + " は開けません";
  EXPECT_EQ(errorBox_.shown[0].text.substr(0, expected.size()), expected);
  EXPECT_EQ(flags(), kTimeEntry) << "the dialog gets control back";
  EXPECT_EQ(windowText(timeDialog()), wide("TIME変更"));
  for (int row = 0; row < held; ++row) expectStamped(row, 60, false);
  for (int row = held; row < 5; ++row) expectUntouched(row);
  EXPECT_NE(cellText(held, 2), japanText(kStartUnix + held * 60));
}

}  // namespace
}  // namespace gui
