#pragma once

// The window settings file: eleven integers, one per line, each ending in
// CR LF. Saving writes a temporary file beside it and puts it in the old
// one's place only when it is complete, so a failed or interrupted save
// leaves the last good file as it was.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/text_files.h"

namespace settings {

inline constexpr std::size_t kSettingsCount = 11;
using SettingsValues = std::array<std::int32_t, kSettingsCount>;

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
                      const SettingsValues& values);

// Reads the values one by one, handing each to apply (with its index) before
// the next is read. A missing file, or a folder of that name, is skipped.
// Throws InOutError at the first failure; the values applied by then stay.
void loadSettingsFile(platform::TextFiles& files, const std::string& path,
                      const std::function<void(std::size_t, std::int32_t)>& apply);

}  // namespace settings
