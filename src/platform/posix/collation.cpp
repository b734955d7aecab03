#include "platform/collation.h"

#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include <compare>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "platform/posix/icu_text.h"

namespace platform {

namespace {

using posix::foldInto;

// Windows' word sort sets the hyphen and the apostrophe apart from other
// symbols so that "coop" and "co-op" stand together: they weigh nothing in
// the comparison of the rest of the text and, where that is equal, a text
// without them comes first. These are the ones taken out, each with its place.
struct WordMark {
  std::uint32_t position;
  char16_t mark;
  friend auto operator<=>(const WordMark&, const WordMark&) = default;
};

bool isWordMark(char16_t c) { return c == u'-' || c == u'\''; }

void takeOutWordMarks(std::u16string& text, std::vector<WordMark>& marks) {
  marks.clear();
  std::size_t kept = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (isWordMark(text[i])) {
      marks.push_back({static_cast<std::uint32_t>(i), text[i]});
    } else {
      text[kept++] = text[i];
    }
  }
  text.resize(kept);
}

}  // namespace

struct TextCollation::State {
  posix::UniqueCollator collator = posix::openUserCollator(false);
  std::u16string first;
  std::u16string second;
  std::vector<uint8_t> key = std::vector<uint8_t>(256);
  std::vector<WordMark> firstMarks;
  std::vector<WordMark> secondMarks;
};

TextCollation::TextCollation() : state_(std::make_unique<State>()) {}
TextCollation::~TextCollation() = default;

int TextCollation::compare(std::string_view a, std::string_view b) {
  foldInto(a, state_->first);
  foldInto(b, state_->second);
  takeOutWordMarks(state_->first, state_->firstMarks);
  takeOutWordMarks(state_->second, state_->secondMarks);
  const UCollationResult result = ucol_strcoll(
      state_->collator.get(), state_->first.data(), static_cast<int32_t>(state_->first.size()),
      state_->second.data(), static_cast<int32_t>(state_->second.size()));
  if (result != UCOL_EQUAL) return result == UCOL_LESS ? -1 : 1;
  const auto marks = state_->firstMarks <=> state_->secondMarks;
  return marks < 0 ? -1 : marks > 0 ? 1 : 0;
}

void TextCollation::appendSortKey(std::string_view text, std::string& keys) {
  foldInto(text, state_->first);
  takeOutWordMarks(state_->first, state_->firstMarks);
  std::vector<uint8_t>& key = state_->key;
  const auto length = static_cast<int32_t>(state_->first.size());
  int32_t size = ucol_getSortKey(state_->collator.get(), state_->first.data(), length, key.data(),
                                 static_cast<int32_t>(key.size()));
  if (size > static_cast<int32_t>(key.size())) {
    key.resize(static_cast<std::size_t>(size));
    size = ucol_getSortKey(state_->collator.get(), state_->first.data(), length, key.data(),
                           static_cast<int32_t>(key.size()));
  }
  if (size <= 0) throw std::runtime_error("ICU gave no sort key");
  keys.append(reinterpret_cast<const char*>(key.data()), static_cast<std::size_t>(size));
  // The marks taken out, in the order compare() weighs them: each as 2, its
  // place (four bytes, high first) and the mark, then 1, so that fewer marks
  // sort first and no key is the start of another.
  for (const WordMark& m : state_->firstMarks) {
    keys.push_back('\x02');
    for (int shift = 24; shift >= 0; shift -= 8) {
      keys.push_back(static_cast<char>((m.position >> shift) & 0xFF));
    }
    keys.push_back(static_cast<char>(m.mark));
  }
  keys.push_back('\x01');
}

std::string toLowerCase(std::string_view utf8) {
  if (utf8.empty()) return {};
  UErrorCode status = U_ZERO_ERROR;
  std::vector<UChar> text(utf8.size() + 1);
  int32_t length = 0;
  u_strFromUTF8(text.data(), static_cast<int32_t>(text.size()), &length, utf8.data(),
                static_cast<int32_t>(utf8.size()), &status);
  if (U_FAILURE(status)) return std::string(utf8);
  // Lower case may be longer (a few letters expand); twice the length holds it.
  std::vector<UChar> lower(static_cast<std::size_t>(length) * 2 + 4);
  const int32_t lowerLength = u_strToLower(lower.data(), static_cast<int32_t>(lower.size()),
                                           text.data(), length, "", &status);
  if (U_FAILURE(status)) return std::string(utf8);
  std::string out(static_cast<std::size_t>(lowerLength) * 3 + 1, '\0');
  int32_t outLength = 0;
  u_strToUTF8(out.data(), static_cast<int32_t>(out.size()), &outLength, lower.data(), lowerLength,
              &status);
  if (U_FAILURE(status)) return std::string(utf8);
  out.resize(static_cast<std::size_t>(outLength));
  return out;
}

}  // namespace platform
