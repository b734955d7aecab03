// The reader of the window settings file: each number by the reading rules,
// then the rest of its line.

#include "settings/settings_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/settings_bytes.h"

namespace {

using settings::kNotANumber;
constexpr settings::InOutCode kNoError;

struct NumberCase {
  const char* text;
  bool ok;
  std::int32_t value;
};

TEST(SettingsReader, NumberForms) {
  const NumberCase cases[] = {
      {"0", true, 0},
      {"-0", true, 0},
      {"+5", true, 5},
      {"007", true, 7},
      {"350", true, 350},
      {"-1280", true, -1280},
      {"2147483647", true, 2147483647},
      {"-2147483648", true, -2147483647 - 1},
      {"2147483648", false, 0},
      {"-2147483649", false, 0},
      {"99999999999999999999", false, 0},
      {"$10", true, 16},
      {"x1f", true, 31},
      {"X1F", true, 31},
      {"0x10", true, 16},
      {"0X7fffffff", true, 2147483647},
      {"$80000000", false, 0},
      {"$FFFFFFFF", false, 0},
      {"$", false, 0},
      {"0x", false, 0},
      {"x", false, 0},
      {"-$1", false, 0},
      {"+x1", false, 0},
      {"-0x1", false, 0},
      {"$1G", false, 0},
      {"0b1", false, 0},
      {"1a", false, 0},
      {"12-", false, 0},
      {"+", false, 0},
      {"-", false, 0},
      {"--1", false, 0},
      {"1.5", false, 0},
      {"1e3", false, 0},
      {"\xEF\xBC\x91", false, 0},  // a full-width digit one
      {"00000000000000000000000000000001", true, 1},
  };
  for (const NumberCase& c : cases) {
    std::int32_t value = 12345;
    EXPECT_EQ(settings::parseNumber(c.text, value), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
}

struct FileCase {
  const char* what;
  std::string bytes;
  std::vector<std::int32_t> values;  // read before the error, or all eleven
  settings::InOutCode error;
};

std::vector<std::int32_t> padded(std::vector<std::int32_t> values) {
  values.resize(11, 0);
  return values;
}

TEST(SettingsReader, WholeFiles) {
  const std::string zeros32(32, '0');
  const std::string ones40(40, '1');
  const FileCase cases[] = {
      {"the design's example",
       "0\r\n0\r\n800\r\n600\r\n350\r\n70\r\n120\r\n231\r\n239\r\n216\r\n286\r\n",
       {0, 0, 800, 600, 350, 70, 120, 231, 239, 216, 286},
       kNoError},
      {"four lines: the rest is 0 without error", "10\r\n20\r\n640\r\n480\r\n",
       padded({10, 20, 640, 480}), kNoError},
      {"an empty file", "", padded({}), kNoError},
      {"only blank lines", "\r\n\r\n  \r\n\t\r\n", padded({}), kNoError},
      {"empty lines between values",
       "1\r\n\r\n\r\n2\r\n \t \r\n3\r\n\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n\r\n11\r\n",
       {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11},
       kNoError},
      {"blanks and control characters before a number",
       "  \t\x01\x1F"
       "7\r\n",
       padded({7}), kNoError},
      {"text after a number on its line", "5 apples\r\n6\tpears and more\r\n", padded({5, 6}),
       kNoError},
      {"lines after the eleventh",
       "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n11\r\n12\r\nrubbish\r\n",
       {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11},
       kNoError},
      {"a number followed by a letter on line 3",
       "10\r\n20\r\n300a\r\n400\r\n",
       {10, 20},
       kNotANumber},
      {"a word instead of the first number", "abc\r\n", {}, kNotANumber},
      {"text glued to a number", "5;6\r\n", {}, kNotANumber},
      {"hexadecimal values", "$10\r\nx20\r\nX30\r\n0x40\r\n0X50\r\n", padded({16, 32, 48, 64, 80}),
       kNoError},
      {"a value past the 32-bit range on line 2", "1\r\n2147483648\r\n", {1}, kNotANumber},
      {"32 characters at most: the 33rd stays on the line and is skipped", zeros32 + "7\r\n5\r\n",
       padded({0, 5}), kNoError},
      {"32 characters at most: 32 ones are past the range", ones40 + "\r\n", {}, kNotANumber},
      {"a lone CR ends the number but not the line", "1\r2\r\n3\r\n", padded({1, 3}), kNoError},
      {"LF alone ends a line", "1\n2\n3\n", padded({1, 2, 3}), kNoError},
      {"Ctrl-Z is the end of the file",
       "1\r\n2\r\n\x1A"
       "3\r\n4\r\n",
       padded({1, 2}), kNoError},
      {"Ctrl-Z ends a number",
       "12\x1A"
       "34\r\n",
       padded({12}), kNoError},
      {"Ctrl-Z in the rest of a line", "1 x\x1A\r\n2\r\n", padded({1}), kNoError},
      {"a NUL byte is a blank", std::string("1\0002\r\n3\r\n", 8), padded({1, 3}), kNoError},
      {"a byte above 127 belongs to the number", "7\xA0\r\n", {}, kNotANumber},
      {"DEL belongs to the number", "7\x7F\r\n", {}, kNotANumber},
      {"no line end after the last number", "1\r\n-2", padded({1, -2}), kNoError},
  };
  for (const FileCase& c : cases) {
    // The same result however the bytes arrive.
    for (std::size_t chunk : {0u, 1u, 2u, 3u, 7u}) {
      const fakes::SettingsParse result = fakes::parseSettings(c.bytes, 11, chunk);
      EXPECT_EQ(result.values, c.values) << c.what << ", chunk " << chunk;
      EXPECT_EQ(result.error, c.error) << c.what << ", chunk " << chunk;
    }
  }
}

// A stream that fails after delivering some bytes.
class FailingStream : public platform::ReadStream {
 public:
  FailingStream(std::string bytes, platform::OsErrorCode code)
      : bytes_(std::move(bytes)), code_(code) {}
  platform::OsErrorCode read(char* buffer, std::size_t capacity, std::size_t& got) override {
    got = 0;
    if (bytes_.empty()) return code_;
    got = std::min(capacity, bytes_.size());
    bytes_.copy(buffer, got);
    bytes_.erase(0, got);
    return 0;
  }

 private:
  std::string bytes_;
  platform::OsErrorCode code_;
};

TEST(SettingsReader, AFailedReadGivesItsCode) {
  FailingStream stream("10\r\n2", 23);
  settings::SettingsReader reader(stream);
  std::int32_t value = 0;
  ASSERT_EQ(reader.readNumber(value), kNoError);
  EXPECT_EQ(value, 10);
  ASSERT_EQ(reader.skipLine(), kNoError);
  EXPECT_EQ(reader.readNumber(value), settings::InOutCode::system(23))
      << "the number runs into the failing read";
}

}  // namespace
