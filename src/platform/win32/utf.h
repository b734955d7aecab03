#pragma once

#include <string>
#include <string_view>

namespace platform {

// UTF-8 (the core's text) to UTF-16 (the Win32 W functions) and back.
//
// A Windows file name is a sequence of 16-bit units that need not be valid
// UTF-16: a lone surrogate is allowed. So that every name the file system
// delivers opens the same entry again, a lone surrogate is carried through
// UTF-8 as its own three-byte sequence (the generalised form also known as
// WTF-8) and turned back into the same unit by widen(). Valid UTF-16 gives
// plain standard UTF-8. Bytes that are not UTF-8 at all become U+FFFD.
std::wstring widen(std::string_view utf8);
// The same into a buffer the caller keeps, which grows only as needed.
void widenInto(std::string_view utf8, std::wstring& out);
std::string narrow(std::wstring_view utf16);

}  // namespace platform
