#include "platform/collation.h"

#include <windows.h>

#include <stdexcept>

#include "platform/win32/utf.h"

namespace platform {

namespace {

constexpr DWORD kFlags = NORM_IGNORECASE;

}  // namespace

std::string toLowerCase(std::string_view utf8) {
  const std::wstring wide = widen(utf8);
  if (wide.empty()) return {};
  const int length = static_cast<int>(wide.size());
  const int needed = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_LOWERCASE, wide.c_str(), length,
                                   nullptr, 0, nullptr, nullptr, 0);
  if (needed <= 0) return std::string(utf8);
  std::wstring lower(static_cast<std::size_t>(needed), L'\0');
  const int written = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_LOWERCASE, wide.c_str(), length,
                                    lower.data(), needed, nullptr, nullptr, 0);
  if (written <= 0) return std::string(utf8);
  lower.resize(static_cast<std::size_t>(written));
  return narrow(lower);
}

struct TextCollation::State {
  std::string keyBuffer;
};

TextCollation::TextCollation() : state_(std::make_unique<State>()) {}
TextCollation::~TextCollation() = default;

int TextCollation::compare(std::string_view a, std::string_view b) {
  const std::wstring wa = widen(a);
  const std::wstring wb = widen(b);
  const int answer =
      CompareStringW(LOCALE_USER_DEFAULT, kFlags, wa.data(), static_cast<int>(wa.size()), wb.data(),
                     static_cast<int>(wb.size()));
  if (answer == 0) {
    throw std::runtime_error("CompareStringW failed (error " + std::to_string(GetLastError()) +
                             ")");
  }
  return answer - CSTR_EQUAL;
}

void TextCollation::appendSortKey(std::string_view text, std::string& keys) {
  // The text is passed null-terminated: LCMapStringW refuses a length of 0,
  // and the empty name's key must still sort first. A name holds no null.
  const std::wstring wide = widen(text);
  std::string& buffer = state_->keyBuffer;
  const std::size_t guess = wide.size() * 12 + 32;
  if (buffer.size() < guess) buffer.resize(guess);
  int length =
      LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | kFlags, wide.c_str(), -1,
                   reinterpret_cast<LPWSTR>(buffer.data()), static_cast<int>(buffer.size()));
  if (length == 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    length =
        LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | kFlags, wide.c_str(), -1, nullptr, 0);
    if (length > 0) {
      buffer.resize(static_cast<std::size_t>(length));
      length = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | kFlags, wide.c_str(), -1,
                            reinterpret_cast<LPWSTR>(buffer.data()), length);
    }
  }
  if (length == 0) {
    throw std::runtime_error("LCMapStringW failed (error " + std::to_string(GetLastError()) + ")");
  }
  keys.append(buffer.data(), static_cast<std::size_t>(length));
}

}  // namespace platform
