// The slots a name takes on FAT and exFAT, worked by hand from Windows' FAT
// driver's rules (fastfat's FatSelectNames, FatEvaluateNameCase,
// FatSpaceInName, FAT_LFN_DIRENTS_NEEDED) and exFAT's entry set.
#include "fakes/fat_entry_slots.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct SlotCase {
  const char* why;
  std::string name;
  std::uint32_t fat;
  std::uint32_t exfat;
};

const SlotCase kCases[] = {
    {"8.3 in capitals: the short entry alone", "ABC.TXT", 1, 3},
    {"8.3 in small letters: the case bits keep it", "abc.txt", 1, 3},
    {"name and extension each in its own case: both case bits", "abc.TXT", 1, 3},
    {"no extension", "README", 1, 3},
    {"digits and symbols have no case", "01_~$-#.MP3", 1, 3},
    {"mixed case inside the name: a long name of 7 units", "Abc.txt", 2, 3},
    {"a space always takes a long name (FatSpaceInName)", "a b.txt", 2, 3},
    {"nine characters before the dot", "ABCDEFGHI.TXT", 2, 3},
    {"four after the dot", "ABC.TEXT", 2, 3},
    {"two dots", "A.B.C", 2, 3},
    {"a leading dot", ".profile", 2, 3},
    {"'+' is not legal in a short name", "A+B.TXT", 2, 3},
    {"'[' neither", "A[1].MP3", 2, 3},
    {"13 units: one long-name slot", "ABCDEFGHIJKLM", 2, 3},
    {"14 units: two", "ABCDEFGHIJKLMN", 3, 3},
    {"the song name of 20 units", "01 Title of song.mp3", 3, 4},
    {"Japanese: every character from 0x80 on takes a long name", "写真.jpg", 2, 3},
    {"Japanese, 16 units", "第一楽章 アレグロ・モデラート.m4a", 3, 4},
    {"a character beyond the BMP counts two units", "\xF0\x9D\x84\x9E.mp3", 2, 3},
    {"15 units on exFAT fill one name entry", "ABCDEFGHIJK.TXT", 3, 3},
    {"16 units take a second", "ABCDEFGHIJKL.TXT", 3, 4},
};

TEST(FatEntrySlots, NamesTakeTheSlotsTheDriversRulesGive) {
  for (const SlotCase& c : kCases) {
    EXPECT_EQ(fakes::fatSlotsOf(c.name), c.fat) << c.why << ": " << c.name;
    EXPECT_EQ(fakes::exfatSlotsOf(c.name), c.exfat) << c.why << ": " << c.name;
  }
}

TEST(FatEntrySlots, TheLongestNameTakesTwentyOneSlotsOnFat) {
  // 255 units: 20 long-name slots of 13 and the short entry.
  EXPECT_EQ(fakes::fatSlotsOf(std::string(255, 'x')), 21u);
  // 17 name entries of 15 units, and the file and stream entries.
  EXPECT_EQ(fakes::exfatSlotsOf(std::string(255, 'x')), 19u);
}

}  // namespace
