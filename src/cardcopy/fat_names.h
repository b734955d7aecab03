#pragma once

#include <cstddef>
#include <string_view>

namespace cardcopy {

// Longest full paths Windows creates without the long-path prefix: a file
// MAX_PATH - 1 characters, a folder 12 fewer (room for an 8.3 name inside).
inline constexpr std::size_t kLongestFilePath = 259;
inline constexpr std::size_t kLongestFolderPath = 247;
// Longest name of one entry on FAT and exFAT, in UTF-16 units.
inline constexpr std::size_t kLongestName = 255;

// The length of UTF-8 text in UTF-16 units, as Windows counts path lengths.
std::size_t utf16Length(std::string_view utf8);

// Whether FAT can hold the name: not empty, not "." or "..", no trailing dot
// or space, no control character and none of \ / : * ? " < > |, at most
// kLongestName units. Windows cannot list most of these, Linux can.
bool fatCanHoldName(std::string_view name);

}  // namespace cardcopy
