#pragma once

// The window settings file: eleven integers, one per line, each ending in
// CR LF; then the options, one per line: "0" or "1" for the name order, "0"
// or "1" for the capture time column, and that column's width. Saving writes
// a temporary file beside it and puts it in the old one's place only when it
// is complete, so a failed or interrupted save leaves the last good file as
// it was.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/text_files.h"

namespace settings {

inline constexpr std::size_t kSettingsCount = 11;
using SettingsValues = std::array<std::int32_t, kSettingsCount>;

// The capture time column's width until the user drags it: the width of
// "更新日時", which shows the same text.
inline constexpr std::int32_t kDefaultCaptureColumnWidth = 120;
// The widest column the file brings back (the list control's widths are
// 16-bit).
inline constexpr std::int32_t kMaxCaptureColumnWidth = 32767;

// The options after the eleven values. A reader that knows only the eleven
// stops before them; one that knows only the name order stops before the
// capture time's two lines.
struct SettingsOptions {
  bool numericNames = false;  // line 12: "数字を数値として並べる(&N)"
  bool captureTimes = false;  // line 13: "撮影日時を表示(&D)"
  std::int32_t captureColumnWidth = kDefaultCaptureColumnWidth;  // line 14: "撮影日時"
  friend bool operator==(const SettingsOptions&, const SettingsOptions&) = default;
};

// Lines 12 and 13 as read: exactly "1" (a CR before its LF aside) is on; "0",
// anything else, or no such line is off, without a message.
bool numericNamesLine(std::string_view line);
bool onOffLine(std::string_view line);

// Line 14 as read: a width as the file writes it (decimal digits, no sign,
// blank or leading zero) from 0 to kMaxCaptureColumnWidth; anything else, or
// no such line, is the default width, without a message.
std::int32_t captureColumnWidthLine(std::string_view line);

// ".\Chronoseq.INI": the file in the current directory.
std::string settingsFilePath();
// The temporary file a save writes first; never read as the settings.
std::string temporarySettingsPath(const std::string& settingsPath);

// One line: the value in decimal, "-" before a negative one, then CR LF.
std::string settingsLine(std::int32_t value);

// Writes the values to path. Throws InOutError with the OS code of the
// failure; the file at path is then the one from before, and no temporary
// file is left. Where the folder refuses the temporary file, or the file
// refuses to be replaced (codes 5 and 32), the file is written in place
// instead, and only a failure of that write is reported.
void saveSettingsFile(platform::TextFiles& files, const std::string& path,
                      const SettingsValues& values, const SettingsOptions& options = {});

// Reads the values one by one, handing each to apply (with its index) before
// the next is read, then the options of the lines after the eleventh value's
// line, which are returned. A missing file, or a folder of that name, is
// skipped. Throws InOutError at the first failure of the eleven values; the
// values applied by then stay. The options never fail: what cannot be read
// is off.
SettingsOptions loadSettingsFile(platform::TextFiles& files, const std::string& path,
                                 const std::function<void(std::size_t, std::int32_t)>& apply);

}  // namespace settings
