#include "platform/win32/utf.h"

#include <cstdint>

namespace platform {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Decodes one code point at text[i], advancing i. Lone surrogates
// (ED A0..BF xx) are accepted; overlong forms, code points above U+10FFFF and
// truncated sequences give U+FFFD and consume only the first byte, so the
// next valid sequence is not swallowed.
char32_t decodeOne(std::string_view text, std::size_t& i) {
  const auto c0 = static_cast<unsigned char>(text[i]);
  if (c0 < 0x80) {
    ++i;
    return c0;
  }
  std::size_t length = 0;
  char32_t cp = 0;
  char32_t minimum = 0;
  if ((c0 & 0xE0) == 0xC0) {
    length = 2, cp = c0 & 0x1F, minimum = 0x80;
  } else if ((c0 & 0xF0) == 0xE0) {
    length = 3, cp = c0 & 0x0F, minimum = 0x800;
  } else if ((c0 & 0xF8) == 0xF0) {
    length = 4, cp = c0 & 0x07, minimum = 0x10000;
  } else {
    ++i;
    return kReplacement;
  }
  if (i + length > text.size()) {
    ++i;
    return kReplacement;
  }
  for (std::size_t k = 1; k < length; ++k) {
    const auto c = static_cast<unsigned char>(text[i + k]);
    if (!isContinuation(c)) {
      ++i;
      return kReplacement;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF) {
    ++i;
    return kReplacement;
  }
  i += length;
  return cp;
}

void encodeOne(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

bool isHighSurrogate(char32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

std::size_t encodedLength(char32_t cp) {
  return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
}

// Calls f with each code point of the UTF-16 text; a surrogate without its
// partner is handed over as itself.
template <typename F>
void forEachCodePoint(std::wstring_view utf16, F&& f) {
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    const auto u = static_cast<char32_t>(static_cast<std::uint16_t>(utf16[i]));
    if (isHighSurrogate(u) && i + 1 < utf16.size()) {
      const auto low = static_cast<char32_t>(static_cast<std::uint16_t>(utf16[i + 1]));
      if (isLowSurrogate(low)) {
        f(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    f(u);
  }
}

}  // namespace

std::wstring widen(std::string_view utf8) {
  std::wstring out;
  widenInto(utf8, out);
  return out;
}

void widenInto(std::string_view utf8, std::wstring& out) {
  static_assert(sizeof(wchar_t) == 2, "Win32 wide text is UTF-16");
  out.clear();
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const char32_t cp = decodeOne(utf8, i);
    if (cp < 0x10000) {
      out.push_back(static_cast<wchar_t>(cp));
    } else {
      const char32_t v = cp - 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (v >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (v & 0x3FF)));
    }
  }
}

std::string narrow(std::wstring_view utf16) {
  // Two passes: the exact length first, so a short name fits the string's
  // own buffer and a long one takes a single allocation.
  std::size_t length = 0;
  forEachCodePoint(utf16, [&](char32_t cp) { length += encodedLength(cp); });
  std::string out;
  out.reserve(length);
  forEachCodePoint(utf16, [&](char32_t cp) { encodeOne(cp, out); });
  return out;
}

}  // namespace platform
