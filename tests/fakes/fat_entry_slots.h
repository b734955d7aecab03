#pragma once

#include <cstdint>
#include <string_view>

// How many 32-byte directory slots one name takes in its folder.
namespace fakes {

// On FAT, as Windows' driver decides it (fastfat's FatSelectNames and
// FatEvaluateNameCase, FAT_LFN_DIRENTS_NEEDED in lfn.h): the short entry
// alone when the name is a legal 8.3 name (FatIsNameShortOemValid) without a
// space, whose name and extension are each in one case, since the short
// entry's case bits keep either when all lower case; otherwise the short
// entry and one long-name entry per 13 UTF-16 units. A character from 0x80
// on always takes a long name (FatData.CodePageInvariant, on unless the
// registry turns it off).
std::uint32_t fatSlotsOf(std::string_view utf8Name);

// On exFAT: a file entry, a stream extension entry and one name entry per 15
// UTF-16 units.
std::uint32_t exfatSlotsOf(std::string_view utf8Name);

// Whether the name is a legal 8.3 name as FsRtlIsFatDbcsLegal takes it,
// after upcasing: one to eight characters, optionally a dot and one to three
// more, none of them below 0x20 nor one of " * + , / : ; < = > ? [ \ ] |.
// Only ASCII is looked at: a name with other characters takes a long name
// whatever its short form.
bool isLegalShortName(std::string_view name);

}  // namespace fakes
