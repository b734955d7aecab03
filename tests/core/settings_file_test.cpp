// The settings file on the system's file system (POSIX natively, Win32 under
// Wine): the exact bytes written, reading back, the messages of failures, and
// a save that fails or is cut off at every step.

#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/application.h"
#include "fakes/fault_text_files.h"
#include "fakes/settings_bytes.h"
#include "fakes/temp_folder.h"
#include "settings/in_out_error.h"
#include "settings/settings_reader.h"

namespace {

using settings::SettingsValues;

std::filesystem::path fsPath(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string contentOf(const std::string& path) {
  std::ifstream in(fsPath(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool exists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(fsPath(path), ignored);
}

// The design's example and its bytes.
const SettingsValues kExample{0, 0, 800, 600, 350, 70, 120, 231, 239, 216, 286};
// The eleven lines, and the file as the program writes it: a twelfth line for
// the name order, "0" while it is off, a thirteenth for the capture time
// column, "0" while it is hidden, and its width, 120 at first.
const char kExampleEleven[] =
    "0\r\n0\r\n800\r\n600\r\n350\r\n70\r\n120\r\n231\r\n239\r\n216\r\n286\r\n";
const std::string kExampleText = std::string(kExampleEleven) + "0\r\n0\r\n120\r\n";

const SettingsValues kOther{-1080, -1920, 1936, 1056, 0, -2, 2147483647, -2147483647 - 1, 5, 7, 9};
const char kOtherText[] =
    "-1080\r\n-1920\r\n1936\r\n1056\r\n0\r\n-2\r\n2147483647\r\n-2147483648\r\n5\r\n7\r\n9\r\n"
    "0\r\n0\r\n120\r\n";

class SettingsFile : public testing::Test {
 protected:
  std::vector<std::int32_t> load(platform::TextFiles& using_) {
    std::vector<std::int32_t> values;
    options =
        settings::loadSettingsFile(using_, path, [&values](std::size_t index, std::int32_t value) {
          EXPECT_EQ(index, values.size()) << "values come in file order";
          values.push_back(value);
        });
    return values;
  }
  std::vector<std::int32_t> load() { return load(files); }

  platform::OsErrorCode saveError(platform::TextFiles& using_, const SettingsValues& values) {
    try {
      settings::saveSettingsFile(using_, path, values);
    } catch (const settings::InOutError& e) {
      // A save meets only the system's own errors.
      EXPECT_EQ(e.code().source(), settings::InOutCode::Source::System);
      return e.code().value();
    }
    return 0;
  }

  platform::TextFiles& files = platform::systemTextFiles();
  testsupport::TempFolder dir;
  std::string path = dir.pathOf("Chronoseq.INI");
  std::string temporary = settings::temporarySettingsPath(path);
  settings::SettingsOptions options;  // what the last load() returned
};

TEST(SettingsText, LinesAreDecimalWithCrLf) {
  const struct {
    std::int32_t value;
    const char* line;
  } cases[] = {{0, "0\r\n"},
               {7, "7\r\n"},
               {350, "350\r\n"},
               {-1, "-1\r\n"},
               {-1280, "-1280\r\n"},
               {2147483647, "2147483647\r\n"},
               {-2147483647 - 1, "-2147483648\r\n"}};
  for (const auto& c : cases) EXPECT_EQ(settings::settingsLine(c.value), c.line) << c.value;
}

TEST(SettingsMessages, ByCode) {
  using settings::InOutCode;
  const struct {
    InOutCode code;
    const char* message;
    const char* shown;  // in the error box
  } cases[] = {
      {InOutCode::system(2), "ファイルが見つかりません", "ファイルが見つかりません."},
      {InOutCode::system(3), "不正なファイル名です", "不正なファイル名です."},
      {InOutCode::system(4), "オープンしたファイルが多すぎます",
       "オープンしたファイルが多すぎます."},
      {InOutCode::system(5), "ファイルへのアクセスが拒否されました",
       "ファイルへのアクセスが拒否されました."},
      {settings::kReadPastEnd, "ファイルの末尾以降を読み込みました",
       "ファイルの末尾以降を読み込みました."},
      {settings::kDiskFull, "ディスクがいっぱいです", "ディスクがいっぱいです."},
      {settings::kNotANumber, "入力値が数値ではありません", "入力値が数値ではありません."},
      {InOutCode::system(32), "I/O エラー (32)", "I/O エラー (32)"},
      {InOutCode::system(112), "I/O エラー (112)", "I/O エラー (112)"},
      {InOutCode::system(1), "I/O エラー (1)", "I/O エラー (1)"},
      // The system's codes that share a number with the reader's own keep
      // the general text.
      {InOutCode::system(100), "I/O エラー (100)", "I/O エラー (100)"},
      {InOutCode::system(101), "I/O エラー (101)", "I/O エラー (101)"},
      {InOutCode::system(106), "I/O エラー (106)", "I/O エラー (106)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(settings::inOutErrorMessage(c.code), c.message) << c.code.value();
    EXPECT_EQ(app::errorBoxText(settings::InOutError(c.code).what()), c.shown) << c.code.value();
  }
}

TEST_F(SettingsFile, WritesTheExactBytes) {
  settings::saveSettingsFile(files, path, kExample);
  EXPECT_EQ(contentOf(path), kExampleText);
  settings::saveSettingsFile(files, path, kOther);
  EXPECT_EQ(contentOf(path), kOtherText) << "the old file is replaced whole";
  EXPECT_FALSE(exists(temporary));
}

TEST_F(SettingsFile, ReadsBackWhatWasWritten) {
  for (const SettingsValues& values : {kExample, kOther}) {
    settings::saveSettingsFile(files, path, values);
    EXPECT_EQ(load(), std::vector<std::int32_t>(values.begin(), values.end()));
  }
}

TEST_F(SettingsFile, TheNameOrderIsTheTwelfthLine) {
  settings::saveSettingsFile(files, path, kExample, settings::SettingsOptions{true});
  EXPECT_EQ(contentOf(path), std::string(kExampleEleven) + "1\r\n0\r\n120\r\n");
  EXPECT_EQ(load(), std::vector<std::int32_t>(kExample.begin(), kExample.end()));
  EXPECT_TRUE(options.numericNames);
  settings::saveSettingsFile(files, path, kExample, settings::SettingsOptions{false});
  EXPECT_EQ(contentOf(path), kExampleText);
  load();
  EXPECT_FALSE(options.numericNames);
}

// What follows the eleventh value's line, and how it reads: exactly "1" is
// on; everything else is off, and the start goes on without a message.
TEST_F(SettingsFile, TheTwelfthLineReadsAsOnOnlyWhenItIsExactlyOne) {
  const struct {
    const char* tail;
    bool on;
  } cases[] = {
      {"1\r\n", true},
      {"1", true},
      {"1\n", true},
      {"1\r\nmore\r\n", true},
      {"0\r\n", false},
      {"", false},
      {"\r\n", false},
      {"\r\n1\r\n", false},
      {" 1\r\n", false},
      {"1 \r\n", false},
      {"01\r\n", false},
      {"+1\r\n", false},
      {"2\r\n", false},
      {"-1\r\n", false},
      {"11\r\n", false},
      {"$1\r\n", false},
      {"yes\r\n", false},
      {"1\r\r\n", false},
      {"\x1A"
       "1\r\n",
       false},
      {"1111111111111111111111111111111111111111\r\n", false},
  };
  for (const auto& c : cases) {
    dir.createFile("Chronoseq.INI", std::string(kExampleEleven) + c.tail);
    options = settings::SettingsOptions{!c.on};
    EXPECT_EQ(load(), std::vector<std::int32_t>(kExample.begin(), kExample.end())) << c.tail;
    EXPECT_EQ(options.numericNames, c.on) << "tail \"" << c.tail << "\"";
  }
}

TEST_F(SettingsFile, AShortFileReadsTheNameOrderAsOff) {
  for (const char* text : {"", "1\r\n", "1\r\n1\r\n1\r\n1\r\n"}) {
    dir.createFile("Chronoseq.INI", text);
    options = settings::SettingsOptions{true};
    load();
    EXPECT_FALSE(options.numericNames) << text;
  }
}

// The capture time column's two lines after the name order's: written as
// the program writes numbers, read back; anything else is the default.
TEST_F(SettingsFile, TheCaptureColumnIsTheThirteenthAndFourteenthLines) {
  const struct {
    settings::SettingsOptions options;
    const char* tail;
  } cases[] = {
      {{false, true, 150}, "0\r\n1\r\n150\r\n"},
      {{true, false, 0}, "1\r\n0\r\n0\r\n"},
      {{true, true, 32767}, "1\r\n1\r\n32767\r\n"},
  };
  for (const auto& c : cases) {
    settings::saveSettingsFile(files, path, kExample, c.options);
    EXPECT_EQ(contentOf(path), std::string(kExampleEleven) + c.tail);
    options = {};
    EXPECT_EQ(load(), std::vector<std::int32_t>(kExample.begin(), kExample.end()));
    EXPECT_EQ(options, c.options) << c.tail;
  }
}

TEST_F(SettingsFile, UnexpectedCaptureColumnLinesAreTheDefaultsWithoutAMessage) {
  const struct {
    const char* tail;  // after the eleven values and the name order's line
    bool captureTimes;
    std::int32_t width;
  } cases[] = {
      {"", false, 120},
      {"1", true, 120},
      {"1\r\n", true, 120},
      {"1\n200\n", true, 200},
      {"1\r\n200", true, 200},
      {"0\r\n0\r\n", false, 0},
      {"on\r\n200\r\n", false, 200},
      {"11\r\n200\r\n", false, 200},
      {"\r\n1\r\n", false, 1},  // each line stands for itself
      {"1\r\n\r\n300\r\n", true, 120},
      {"1\r\n-5\r\n", true, 120},
      {"1\r\n+5\r\n", true, 120},
      {"1\r\n 5\r\n", true, 120},
      {"1\r\n5 \r\n", true, 120},
      {"1\r\n05\r\n", true, 120},
      {"1\r\n$80\r\n", true, 120},
      {"1\r\n5px\r\n", true, 120},
      {"1\r\n32768\r\n", true, 120},
      {"1\r\n123456\r\n", true, 120},
      {"1\r\n99999999999999999999\r\n", true, 120},
      {"1\r\n\x1A"
       "200\r\n",
       true, 120},
      {"1\r\n200\r\nmore\r\n", true, 200},
  };
  for (const auto& c : cases) {
    dir.createFile("Chronoseq.INI", std::string(kExampleEleven) + "1\r\n" + c.tail);
    options = settings::SettingsOptions{false, !c.captureTimes, -1};
    EXPECT_EQ(load(), std::vector<std::int32_t>(kExample.begin(), kExample.end())) << c.tail;
    EXPECT_TRUE(options.numericNames) << c.tail;
    EXPECT_EQ(options.captureTimes, c.captureTimes) << "tail \"" << c.tail << "\"";
    EXPECT_EQ(options.captureColumnWidth, c.width) << "tail \"" << c.tail << "\"";
  }
}

TEST_F(SettingsFile, AReaderOfTwelveLinesStopsBeforeTheCaptureColumn) {
  settings::saveSettingsFile(files, path, kOther, settings::SettingsOptions{true, true, 99});
  const std::string text = contentOf(path);
  EXPECT_TRUE(text.ends_with("\r\n9\r\n1\r\n1\r\n99\r\n")) << text;
  // What the reader of the name order reads: the eleven values, then line 12.
  fakes::MemoryReadStream stream(text);
  settings::SettingsReader reader(stream);
  EXPECT_FALSE(settings::readSettings(reader, 11, [](std::size_t, std::int32_t) {}));
  std::string line;
  EXPECT_FALSE(reader.readLine(line, 8));
  EXPECT_TRUE(settings::numericNamesLine(line));
}

TEST_F(SettingsFile, AReaderOfElevenLinesStopsBeforeTheTwelfth) {
  settings::saveSettingsFile(files, path, kOther, settings::SettingsOptions{true});
  const fakes::SettingsParse eleven = fakes::parseSettings(contentOf(path), 11);
  EXPECT_FALSE(eleven.error);
  EXPECT_EQ(eleven.values, std::vector<std::int32_t>(kOther.begin(), kOther.end()));
}

TEST_F(SettingsFile, AMissingFileOrAFolderIsSkipped) {
  EXPECT_TRUE(load().empty());
  dir.createFolder("Chronoseq.INI");
  EXPECT_TRUE(load().empty());
}

TEST_F(SettingsFile, ALeftoverTemporaryFileIsNeverReadAndGoesAtTheNextSave) {
  dir.createFile("Chronoseq.INI.tmp", "1\r\n2\r\n3\r\n");
  EXPECT_TRUE(load().empty()) << "without the settings file there is nothing to load";
  dir.createFile("Chronoseq.INI", kExampleText);
  EXPECT_EQ(load(), std::vector<std::int32_t>(kExample.begin(), kExample.end()));
  settings::saveSettingsFile(files, path, kOther);
  EXPECT_FALSE(exists(temporary));
  EXPECT_EQ(contentOf(path), kOtherText);
}

TEST_F(SettingsFile, ABadThirdLineStopsAfterTwoValues) {
  dir.createFile("Chronoseq.INI", "10\r\n20\r\n300a\r\n400\r\n");
  std::vector<std::int32_t> applied;
  try {
    settings::loadSettingsFile(
        files, path, [&applied](std::size_t, std::int32_t value) { applied.push_back(value); });
    ADD_FAILURE() << "no failure";
  } catch (const settings::InOutError& e) {
    EXPECT_EQ(e.code(), settings::kNotANumber);
    EXPECT_STREQ(e.what(), "入力値が数値ではありません");
  }
  EXPECT_EQ(applied, (std::vector<std::int32_t>{10, 20}));
  // Nothing holds the file open any more: it can be written.
  settings::saveSettingsFile(files, path, kExample);
  EXPECT_EQ(contentOf(path), kExampleText);
}

TEST_F(SettingsFile, AReadOnlyFileRefusesTheSaveWithCode5AndStaysAsItWas) {
  dir.createFile("Chronoseq.INI", kExampleText);
  testsupport::setReadOnly(path, true);
  EXPECT_EQ(saveError(files, kOther), 5u);
  testsupport::setReadOnly(path, false);
  EXPECT_EQ(contentOf(path), kExampleText);
  EXPECT_FALSE(exists(temporary));
}

TEST_F(SettingsFile, AFileHeldByAnotherHandleRefusesTheSaveWithItsCode) {
  dir.createFile("Chronoseq.INI", kExampleText);
  auto hold = testsupport::holdExclusively(path);
  if (!hold) GTEST_SKIP() << "this system has no share modes";
  EXPECT_EQ(saveError(files, kOther), 32u);
  hold.reset();
  EXPECT_EQ(contentOf(path), kExampleText);
  EXPECT_FALSE(exists(temporary));
}

// Held open by another program that shares reading and writing but not
// deleting: the file cannot be replaced, so it is written where it stands.
TEST_F(SettingsFile, AFileThatCannotBeReplacedIsWrittenInPlace) {
  dir.createFile("Chronoseq.INI", kExampleText);
  auto hold = testsupport::holdWithoutDeleteSharing(path);
  if (!hold) GTEST_SKIP() << "this system has no share modes";
  EXPECT_EQ(saveError(files, kOther), 0u);
  hold.reset();
  EXPECT_EQ(contentOf(path), kOtherText);
  EXPECT_FALSE(exists(temporary));
}

// The safe save's own rights refused (a new file in the folder, replacing
// the old one): the file is written in place and the save succeeds. Any
// other failure of those steps is reported, the old file left as it was.
TEST_F(SettingsFile, ARefusedTemporaryFileOrReplacementFallsBackToWritingInPlace) {
  constexpr std::size_t kCreate = 3;
  constexpr std::size_t kReplace = 20;
  // Fourteen lines: the eleven values, the name order and the capture column's two.
  const std::vector<std::string> fourteenWrites(14, "write");
  const auto log = [](std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
  };
  const std::vector<std::string> opening{"remove", "exists", "check", "create"};
  const std::vector<std::string> ending{"flush", "close"};
  const std::vector<std::string> inPlace{"remove", "create"};
  const struct {
    std::size_t step;
    platform::OsErrorCode code;
    platform::OsErrorCode reported;
    std::vector<std::string> log;
  } cases[] = {
      {kCreate, 5, 0, log({opening, inPlace, fourteenWrites, ending})},
      {kCreate, 32, 0, {}},
      {kReplace, 5, 0,
       log({opening, fourteenWrites, ending, {"replace"}, inPlace, fourteenWrites, ending})},
      {kReplace, 32, 0, {}},
      {kCreate, 112, 112, {}},
      {kReplace, 112, 112, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "step " << c.step << " failing with " << c.code);
    dir.createFile("Chronoseq.INI", kExampleText);
    fakes::FaultTextFiles faulty(files);
    faulty.failAt(c.step, c.code);
    EXPECT_EQ(saveError(faulty, kOther), c.reported);
    EXPECT_EQ(contentOf(path), c.reported == 0 ? kOtherText : kExampleText);
    EXPECT_FALSE(exists(temporary));
    if (!c.log.empty()) {
      EXPECT_EQ(faulty.log(), c.log);
    }
  }
}

TEST_F(SettingsFile, AFolderOfThatNameRefusesTheSave) {
  dir.createFolder("Chronoseq.INI");
  EXPECT_EQ(saveError(files, kExample), 5u);
  EXPECT_FALSE(exists(temporary));
}

TEST_F(SettingsFile, AFailedReadGivesItsCodeAfterTheValuesBefore) {
  dir.createFile("Chronoseq.INI", kExampleText);
  fakes::FaultTextFiles faulty(files);
  faulty.failAt(2, 23);  // exists, open, then the first read
  std::vector<std::int32_t> applied;
  try {
    settings::loadSettingsFile(
        faulty, path, [&applied](std::size_t, std::int32_t value) { applied.push_back(value); });
    ADD_FAILURE() << "no failure";
  } catch (const settings::InOutError& e) {
    EXPECT_EQ(e.code(), settings::InOutCode::system(23));
    EXPECT_STREQ(e.what(), "I/O エラー (23)");
  }
  EXPECT_TRUE(applied.empty());
}

// Whatever step of a save fails, and wherever the process is cut off, the
// settings file is the old one or the new one, never a mix. A failure
// reports its code and leaves no temporary file; after a cut the next save
// cleans up and succeeds.
TEST_F(SettingsFile, ASaveInterruptedAtEveryStepLeavesTheOldFileOrTheNew) {
  // The number of steps of an undisturbed save.
  {
    dir.createFile("Chronoseq.INI", kExampleText);
    fakes::FaultTextFiles counting(files);
    settings::saveSettingsFile(counting, path, kOther);
    ASSERT_EQ(counting.log(),
              (std::vector<std::string>{"remove", "exists", "check",  "create", "write", "write",
                                        "write",  "write",  "write",  "write",  "write", "write",
                                        "write",  "write",  "write",  "write",  "write", "write",
                                        "flush",  "close",  "replace"}));
  }
  const std::size_t steps = 21;
  for (const auto mode : {fakes::FaultTextFiles::Mode::Fail, fakes::FaultTextFiles::Mode::Cut}) {
    const bool cut = mode == fakes::FaultTextFiles::Mode::Cut;
    for (std::size_t step = 0; step < steps; ++step) {
      SCOPED_TRACE(testing::Message() << (cut ? "cut" : "failed") << " at step " << step);
      dir.createFile("Chronoseq.INI", kExampleText);
      fakes::FaultTextFiles faulty(files);
      faulty.failAt(step, 112, mode);
      const platform::OsErrorCode error = saveError(faulty, kOther);

      const std::string after = contentOf(path);
      EXPECT_TRUE(after == kExampleText || after == kOtherText) << "a mix: " << after;
      if (!cut && step < 2) {
        // The removal of a leftover and the existence test may fail without
        // harm: the save goes on.
        EXPECT_EQ(error, 0u);
        EXPECT_EQ(after, kOtherText);
      } else if (!cut) {
        EXPECT_EQ(error, 112u);
        EXPECT_EQ(after, kExampleText);
      }
      if (!cut) {
        EXPECT_FALSE(exists(temporary));
      } else {
        // A cut at any step comes before the replacement, the last step:
        // the old file stands, byte for byte, and the program starting again
        // reads it whole. Its next save cleans up.
        EXPECT_EQ(after, kExampleText);
        EXPECT_EQ(load(), std::vector<std::int32_t>(kExample.begin(), kExample.end()));
        settings::saveSettingsFile(files, path, kOther);
        EXPECT_EQ(contentOf(path), kOtherText);
        EXPECT_FALSE(exists(temporary));
      }
    }
  }
}

}  // namespace
