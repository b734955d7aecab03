// The locale order of text with case ignored, on whichever backend the tests
// are built for (ICU natively, CompareStringW under Wine): the same
// hand-written expectations for both.

#include "platform/collation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

// "Differs" is what the rules say of width and kana: not made equal. Which
// form goes first is the locale's affair.
enum class Order { kBefore, kSame, kAfter, kDiffers };

struct Case {
  const char* first;
  const char* second;
  Order expected;
  const char* rule;
};

const Case kCases[] = {
    // Case is ignored, in every script that has it.
    {"a", "A", Order::kSame, "case"},
    {"readme.TXT", "README.txt", Order::kSame, "case"},
    {"ＡＢＣ", "ａｂｃ", Order::kSame, "case of full-width letters"},
    {"Σοφία", "ΣΟΦΊΑ", Order::kSame, "Greek case"},
    {"Жук", "жук", Order::kSame, "Cyrillic case"},
    {"Äpfel", "äpfel", Order::kSame, "case of an accented letter"},
    // Case does not order: letters do.
    {"a", "B", Order::kBefore, "letters, not case"},
    {"B", "a", Order::kAfter, "letters, not case"},
    {"apple.txt", "Banana.txt", Order::kBefore, "letters, not case"},
    {"Zeta", "alpha", Order::kAfter, "letters, not case"},
    // Nothing else is ignored.
    {"e", "é", Order::kDiffers, "accents"},
    {"resume.doc", "résumé.doc", Order::kDiffers, "accents"},
    {"A", "Ａ", Order::kDiffers, "width of a letter"},
    {"a", "ａ", Order::kDiffers, "width of a small letter"},
    {"1", "１", Order::kDiffers, "width of a digit"},
    {"ｱ", "ア", Order::kDiffers, "width of katakana"},
    {"ｶﾞ", "ガ", Order::kDiffers, "width of voiced katakana"},
    {"日本語.txt", "文件.txt", Order::kDiffers, "ideographs"},
    {"日", "本", Order::kDiffers, "ideographs"},
    {"あ", "ア", Order::kDiffers, "hiragana and katakana"},
    {"ひらがな.txt", "ヒラガナ.txt", Order::kDiffers, "hiragana and katakana"},
    {"が", "ガ", Order::kDiffers, "voiced hiragana and katakana"},
    // Digits are characters, not numbers.
    {"10", "9", Order::kBefore, "digits as characters"},
    {"file10.txt", "file9.txt", Order::kBefore, "digits as characters"},
    {"100", "99", Order::kBefore, "digits as characters"},
    {"2", "10", Order::kAfter, "digits as characters"},
    {"1", "2", Order::kBefore, "digits"},
    // Word sort: a hyphen or an apostrophe weighs only where the rest is
    // equal, and then after it (by string, they would sort before letters).
    {"coop", "co-op", Order::kBefore, "word sort, hyphen"},
    {"co-op", "cop", Order::kBefore, "word sort, hyphen"},
    {"co-p", "coo", Order::kAfter, "word sort, hyphen"},
    {"oclock", "o'clock", Order::kBefore, "word sort, apostrophe"},
    {"o'd", "oc", Order::kAfter, "word sort, apostrophe"},
    // Equal texts.
    {"name.txt", "name.txt", Order::kSame, "equal"},
    {"日本語.txt", "日本語.txt", Order::kSame, "equal"},
    {"", "", Order::kSame, "equal"},
    // The kind column: files (empty) before folders.
    {"", "<Folder>", Order::kBefore, "kind"},
    {"<Folder>", "", Order::kAfter, "kind"},
    {"<Folder>", "<Folder>", Order::kSame, "kind"},
    // The time column: fixed width, so text order is time order.
    {"2009/03/05 12:30:00", "2009/03/05 12:30:01", Order::kBefore, "time"},
    {"2009/03/05 09:59:59", "2009/03/05 10:00:00", Order::kBefore, "time"},
    {"2009/12/31 23:59:59", "2010/01/01 00:00:00", Order::kBefore, "time"},
    {"1999/12/31 00:00:00", "2000/01/01 00:00:00", Order::kBefore, "time"},
    {"2010/01/01 00:00:00", "2009/12/31 23:59:59", Order::kAfter, "time"},
    {"2009/03/05 12:30:00", "2009/03/05 12:30:00", Order::kSame, "time"},
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << "\"" << c.first << "\" / \"" << c.second << "\" (" << c.rule << ")";
}

class Collation : public ::testing::TestWithParam<Case> {};

TEST_P(Collation, FollowsTheRules) {
  const Case& c = GetParam();
  platform::TextCollation collation;
  const int forward = collation.compare(c.first, c.second);
  const int backward = collation.compare(c.second, c.first);
  switch (c.expected) {
    case Order::kBefore:
      EXPECT_EQ(forward, -1);
      break;
    case Order::kSame:
      EXPECT_EQ(forward, 0);
      break;
    case Order::kAfter:
      EXPECT_EQ(forward, 1);
      break;
    case Order::kDiffers:
      EXPECT_NE(forward, 0);
      EXPECT_TRUE(forward == -1 || forward == 1) << forward;
      break;
  }
  EXPECT_EQ(backward, -forward) << "the reverse question gets the reverse answer";
}

INSTANTIATE_TEST_SUITE_P(Table, Collation, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return "case" + std::to_string(info.index);
                         });

// A varied set of names: scripts, widths, kana, case, digits, accents,
// punctuation, spaces, combining marks, characters beyond the BMP, the empty
// name, and random mixtures of all of these.
std::vector<std::string> variedNames() {
  std::vector<std::string> names = {
      "",
      "a",
      "A",
      "b",
      "B",
      "ab",
      "aB",
      "a b",
      "a-b",
      "a_b",
      "a.b",
      "a'b",
      "co-op",
      "coop",
      "co op",
      "cop",
      "co-p",
      "o'clock",
      "oclock",
      "--",
      "'",
      "10",
      "9",
      "09",
      "1",
      "１０",
      "file1.txt",
      "File10.TXT",
      "file9.txt",
      "file.txt",
      "file",
      ".hidden",
      "~tmp",
      "#1",
      "(1)",
      "[a]",
      "é",
      "e",
      "É",
      "ë",
      "e\xCC\x81",
      "ß",
      "ss",
      "SS",
      "ẞ",
      "æ",
      "ae",
      "Å",
      "Ω",
      "ω",
      "Σ",
      "σ",
      "ς",
      "Ж",
      "ж",
      "あ",
      "ア",
      "ｱ",
      "ぁ",
      "ァ",
      "が",
      "ガ",
      "ｶﾞ",
      "か",
      "カ",
      "ー",
      "ｰ",
      "〜",
      "日本語",
      "日本",
      "本",
      "文件",
      "中文.txt",
      "한국어",
      "Ａ",
      "ａ",
      "Ｂ",
      "１",
      "　",
      " ",
      "😀",
      "😁",
      "𝔸",
      "x😀y",
      "<Folder>",
      "<folder>",
      "2009/03/05 12:30:00",
      "2009/03/05 12:30:01",
      "2010/01/01 00:00:00",
      "¥",
      "\\",
      "₩",
      "€",
      "ﬁ",
      "fi",
      "Ⅸ",
      "IX",
      "①",
      "1",
  };
  const std::vector<std::string> parts = {"a", "A",  "b",  "Z",  "0",  "1",  "9", "10", "é",
                                          "E", "あ", "ア", "ｱ",  "Ａ", "ａ", "-", "'",  " ",
                                          ".", "_",  "日", "本", "😀",  "ß",  "ー"};
  std::mt19937 random(20261209);
  for (int i = 0; i < 200; ++i) {
    std::string name;
    const int length = 1 + static_cast<int>(random() % 5);
    for (int k = 0; k < length; ++k) name += parts[random() % parts.size()];
    names.push_back(name);
  }
  return names;
}

int keyOrder(const std::string& a, const std::string& b) {
  const int c = std::string_view(a).compare(b);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

TEST(CollationKeys, GiveExactlyTheComparisonsOrderOverAVariedSetOfNames) {
  platform::TextCollation collation;
  const std::vector<std::string> names = variedNames();
  std::vector<std::string> keys;
  for (const std::string& name : names) {
    std::string key;
    collation.appendSortKey(name, key);
    EXPECT_FALSE(key.empty());
    keys.push_back(std::move(key));
  }
  int mismatches = 0;
  for (std::size_t i = 0; i < names.size(); ++i) {
    for (std::size_t j = 0; j < names.size(); ++j) {
      const int expected = collation.compare(names[i], names[j]);
      if (keyOrder(keys[i], keys[j]) != expected && ++mismatches <= 20) {
        ADD_FAILURE() << "\"" << names[i] << "\" against \"" << names[j] << "\": compare gives "
                      << expected << ", the keys " << keyOrder(keys[i], keys[j]);
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(CollationKeys, AppendToWhatIsThere) {
  platform::TextCollation collation;
  std::string alone;
  collation.appendSortKey("name.txt", alone);
  std::string after = "prefix";
  collation.appendSortKey("name.txt", after);
  EXPECT_EQ(after, "prefix" + alone);
}

}  // namespace
