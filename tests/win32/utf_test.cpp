#include "platform/win32/utf.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

using platform::narrow;
using platform::widen;

struct ValidCase {
  std::string utf8;
  std::wstring utf16;
};

class UtfValidTest : public ::testing::TestWithParam<ValidCase> {};

std::wstring systemWiden(const std::string& s) {
  if (s.empty()) return {};
  const int n =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), int(s.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), int(s.size()), out.data(), n);
  return out;
}

TEST_P(UtfValidTest, ConvertsBothWaysLikeTheSystem) {
  const auto& c = GetParam();
  EXPECT_EQ(widen(c.utf8), c.utf16);
  EXPECT_EQ(narrow(c.utf16), c.utf8);
  EXPECT_EQ(widen(c.utf8), systemWiden(c.utf8));
}

INSTANTIATE_TEST_SUITE_P(
    Table, UtfValidTest,
    ::testing::Values(ValidCase{"", L""}, ValidCase{"a.txt", L"a.txt"},
                      ValidCase{"日本語.txt", L"\u65E5\u672C\u8A9E.txt"},
                      ValidCase{"文件", L"\u6587\u4EF6"},
                      ValidCase{"\xF0\x9F\x98\x80", L"\xD83D\xDE00"},  // U+1F600, a pair
                      ValidCase{"e\xCC\x81", L"e\u0301"},              // combining mark
                      ValidCase{"\xC3\xA9", L"\u00E9"},                // precomposed
                      ValidCase{"\xF4\x8F\xBF\xBF", L"\xDBFF\xDFFF"},  // U+10FFFF
                      ValidCase{"\xEF\xBF\xBF", L"\uFFFF"},            // last of the BMP
                      ValidCase{"\xC2\x80", L"\u0080"},                // first two-byte
                      ValidCase{"\xE0\xA0\x80", L"\u0800"},            // first three-byte
                      ValidCase{std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
                      ValidCase{"ｱｲｳ アイウ", L"\uFF71\uFF72\uFF73 \u30A2\u30A4\u30A6"}));

// A Windows name may hold a surrogate without its partner; it must come back
// as the same unit, so the name opens the same entry again.
struct LoneCase {
  std::wstring utf16;
  std::string utf8;
};

class UtfLoneSurrogateTest : public ::testing::TestWithParam<LoneCase> {};

TEST_P(UtfLoneSurrogateTest, SurvivesTheRoundTrip) {
  const auto& c = GetParam();
  EXPECT_EQ(narrow(c.utf16), c.utf8);
  EXPECT_EQ(widen(narrow(c.utf16)), c.utf16);
}

INSTANTIATE_TEST_SUITE_P(Table, UtfLoneSurrogateTest,
                         ::testing::Values(LoneCase{L"\xD800", "\xED\xA0\x80"},
                                           LoneCase{L"\xDC00", "\xED\xB0\x80"},
                                           LoneCase{L"a\xDBFFz", "a\xED\xAF\xBFz"},
                                           // low before high is no pair
                                           LoneCase{L"\xDC00\xD800", "\xED\xB0\x80\xED\xA0\x80"},
                                           // a high one at the very end
                                           LoneCase{L"x\xD83D", "x\xED\xA0\xBD"}));

struct InvalidCase {
  std::string utf8;
  std::wstring utf16;
};

class UtfInvalidTest : public ::testing::TestWithParam<InvalidCase> {};

// Bytes that are no UTF-8 become U+FFFD one byte at a time, and the valid
// text around them stays.
TEST_P(UtfInvalidTest, BecomesReplacementCharacters) {
  const auto& c = GetParam();
  EXPECT_EQ(widen(c.utf8), c.utf16);
}

INSTANTIATE_TEST_SUITE_P(
    Table, UtfInvalidTest,
    ::testing::Values(InvalidCase{"\xFF", L"\xFFFD"}, InvalidCase{"a\x80z", L"a\xFFFDz"},
                      InvalidCase{"\xE6\x97", L"\xFFFD\xFFFD"},            // cut short
                      InvalidCase{"\xE6\x97z", L"\xFFFD\xFFFDz"},          // cut short, text after
                      InvalidCase{"\xC0\xAF", L"\xFFFD\xFFFD"},            // overlong "/"
                      InvalidCase{"\xE0\x80\xAF", L"\xFFFD\xFFFD\xFFFD"},  // overlong "/"
                      InvalidCase{"\xF4\x90\x80\x80", L"\xFFFD\xFFFD\xFFFD\xFFFD"},  // > U+10FFFF
                      InvalidCase{"\xF8\x88\x80\x80\x80", L"\xFFFD\xFFFD\xFFFD\xFFFD\xFFFD"}));

}  // namespace
