#include "settings/settings_file.h"

#include "platform/path.h"
#include "settings/in_out_error.h"
#include "settings/settings_reader.h"

namespace settings {

std::string settingsFilePath() { return platform::joinPath(".", "Chronoseq.INI"); }

std::string temporarySettingsPath(const std::string& settingsPath) { return settingsPath + ".tmp"; }

std::string settingsLine(std::int32_t value) { return std::to_string(value) + "\r\n"; }

void saveSettingsFile(platform::TextFiles& files, const std::string& path,
                      const SettingsValues& values) {
  const std::string temporary = temporarySettingsPath(path);
  // What an earlier save left behind when it was cut off.
  files.remove(temporary);
  // A read-only file, or one another program holds, refuses the save before
  // anything is written, with its own code.
  if (files.fileExists(path)) {
    if (const platform::OsErrorCode error = files.checkWritable(path)) throw InOutError(error);
  }
  platform::Opened<platform::WriteStream> opened = files.create(temporary);
  if (!opened.stream) throw InOutError(opened.error);
  const auto fail = [&](platform::OsErrorCode error) {
    opened.stream.reset();
    files.remove(temporary);
    throw InOutError(error);
  };
  for (const std::int32_t value : values) {
    if (const platform::OsErrorCode error = opened.stream->write(settingsLine(value))) fail(error);
  }
  if (const platform::OsErrorCode error = opened.stream->flush()) fail(error);
  if (const platform::OsErrorCode error = opened.stream->close()) fail(error);
  if (const platform::OsErrorCode error = files.replace(temporary, path)) fail(error);
}

void loadSettingsFile(platform::TextFiles& files, const std::string& path,
                      const std::function<void(std::size_t, std::int32_t)>& apply) {
  if (!files.fileExists(path)) return;
  platform::Opened<platform::ReadStream> opened = files.openForReading(path);
  if (!opened.stream) throw InOutError(opened.error);
  // The stream closes on the way out.
  if (const platform::OsErrorCode error = readSettings(*opened.stream, kSettingsCount, apply)) {
    throw InOutError(error);
  }
}

}  // namespace settings
