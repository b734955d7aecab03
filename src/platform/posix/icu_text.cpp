#include "platform/posix/icu_text.h"

#include <unicode/uchar.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <cstdlib>
#include <stdexcept>

namespace platform::posix {

namespace {

// The locale that decides the order of text, as POSIX looks it up: LC_ALL,
// then LC_COLLATE, then LANG; "ja_JP.UTF-8@x" gives "ja_JP". C and POSIX get
// the root order.
std::string collationLocale() {
  const char* value = nullptr;
  for (const char* name : {"LC_ALL", "LC_COLLATE", "LANG"}) {
    value = std::getenv(name);
    if (value && *value) break;
  }
  std::string locale = value ? value : "";
  locale = locale.substr(0, locale.find_first_of(".@"));
  if (locale == "C" || locale == "POSIX") locale.clear();
  return locale;
}

}  // namespace

UniqueCollator openUserCollator(bool numeric) {
  UErrorCode status = U_ZERO_ERROR;
  UniqueCollator collator(ucol_open(collationLocale().c_str(), &status));
  if (U_FAILURE(status)) {
    status = U_ZERO_ERROR;
    collator.reset(ucol_open("", &status));
  }
  if (U_FAILURE(status) || !collator) {
    throw std::runtime_error(std::string("ICU collator unavailable: ") + u_errorName(status));
  }
  // Case is taken out by folding the text first. Every other difference must
  // count, and some tailorings put width and kana differences beyond the
  // tertiary and quaternary levels (Japanese does): only the identical level
  // keeps them all. It still treats canonically equivalent texts as equal.
  // With numbers, that level also puts "01" before "1" once the values tie.
  ucol_setStrength(collator.get(), UCOL_IDENTICAL);
  ucol_setAttribute(collator.get(), UCOL_NUMERIC_COLLATION, numeric ? UCOL_ON : UCOL_OFF, &status);
  ucol_setAttribute(collator.get(), UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
  return collator;
}

void foldInto(std::string_view text, std::u16string& out) {
  out.clear();
  out.reserve(text.size());
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  const auto length = static_cast<int32_t>(text.size());
  for (int32_t i = 0; i < length;) {
    UChar32 c;
    U8_NEXT_OR_FFFD(bytes, i, length, c);
    c = u_foldCase(c, U_FOLD_CASE_DEFAULT);
    if (U_IS_BMP(c)) {
      out.push_back(static_cast<char16_t>(c));
    } else {
      out.push_back(static_cast<char16_t>(U16_LEAD(c)));
      out.push_back(static_cast<char16_t>(U16_TRAIL(c)));
    }
  }
}

}  // namespace platform::posix
