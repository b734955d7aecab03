#pragma once

// ICU pieces both text orders of the POSIX backend share.

#include <unicode/ucol.h>

#include <memory>
#include <string>
#include <string_view>

namespace platform::posix {

struct CloseCollator {
  void operator()(UCollator* collator) const { ucol_close(collator); }
};
using UniqueCollator = std::unique_ptr<UCollator, CloseCollator>;

// A collator of the user's locale (LC_ALL, then LC_COLLATE, then LANG; C and
// POSIX give the root order) at full strength, with digits compared as
// numbers or as characters. Throws when ICU has none.
UniqueCollator openUserCollator(bool numeric);

// UTF-8 to UTF-16 with simple case folding (one code point for one, so "ß"
// stays itself while "ẞ" becomes "ß"). Bytes that are not UTF-8 become U+FFFD.
void foldInto(std::string_view text, std::u16string& out);

}  // namespace platform::posix
