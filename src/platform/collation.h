#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace platform {

// Text in lower case by the system's own case mapping, every script
// included (full-width Latin, accented letters, Cyrillic, ...).
// Windows: LCMapStringEx, the user's locale, LCMAP_LOWERCASE.
// POSIX: ICU's u_strToLower in the root locale.
std::string toLowerCase(std::string_view utf8);

// The user's locale order for text with case ignored and no other difference
// ignored: full-width and half-width forms, hiragana and katakana, accents
// all count, and digits compare as characters ("10" before "9").
// Windows: CompareStringW, LOCALE_USER_DEFAULT, NORM_IGNORECASE.
// POSIX: an ICU collator of the locale in LC_ALL, LC_COLLATE or LANG at full
// strength over case-folded text.
class TextCollation {
 public:
  TextCollation();
  ~TextCollation();
  TextCollation(const TextCollation&) = delete;
  TextCollation& operator=(const TextCollation&) = delete;

  // -1, 0 or +1: a before, equal to, or after b.
  int compare(std::string_view a, std::string_view b);

  // Appends text's sort key to keys. Two keys compared as unsigned byte
  // strings (std::string_view's order) give exactly compare()'s answer.
  void appendSortKey(std::string_view text, std::string& keys);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace platform
