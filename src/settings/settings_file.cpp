#include "settings/settings_file.h"

#include "platform/path.h"
#include "settings/in_out_error.h"
#include "settings/settings_reader.h"

namespace app {

namespace {

// Enough of a line to tell "1" CR LF from anything longer.
constexpr std::size_t kMaxOptionLineLength = 8;

}  // namespace

std::string settingsFilePath() { return platform::joinPath(".", "Chronoseq.INI"); }

std::string temporarySettingsPath(const std::string& settingsPath) { return settingsPath + ".tmp"; }

std::string settingsLine(std::int32_t value) { return std::to_string(value) + "\r\n"; }

bool numericNamesLine(std::string_view line) {
  if (line.ends_with('\n')) line.remove_suffix(1);
  if (line.ends_with('\r')) line.remove_suffix(1);
  return line == "1";
}

void saveSettingsFile(platform::TextFiles& files, const std::string& path,
                      const SettingsValues& values, const SettingsOptions& options) {
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
  if (const platform::OsErrorCode error =
          opened.stream->write(settingsLine(options.numericNames ? 1 : 0))) {
    fail(error);
  }
  if (const platform::OsErrorCode error = opened.stream->flush()) fail(error);
  if (const platform::OsErrorCode error = opened.stream->close()) fail(error);
  if (const platform::OsErrorCode error = files.replace(temporary, path)) fail(error);
}

SettingsOptions loadSettingsFile(platform::TextFiles& files, const std::string& path,
                                 const std::function<void(std::size_t, std::int32_t)>& apply) {
  if (!files.fileExists(path)) return {};
  platform::Opened<platform::ReadStream> opened = files.openForReading(path);
  if (!opened.stream) throw InOutError(opened.error);
  SettingsReader reader(*opened.stream);
  for (std::size_t index = 0; index < kSettingsCount; ++index) {
    std::int32_t value = 0;
    platform::OsErrorCode error = reader.readNumber(value);
    if (error == 0) error = reader.skipLine();
    if (error != 0) throw InOutError(error);  // the stream closes on the way out
    apply(index, value);
  }
  // A hand-edited twelfth line never stops the start: a failed read is off.
  std::string line;
  if (reader.readLine(line, kMaxOptionLineLength) != 0) return {};
  return SettingsOptions{numericNamesLine(line)};
}

}  // namespace app
