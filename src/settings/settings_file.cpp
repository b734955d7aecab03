#include "settings/settings_file.h"

#include "platform/path.h"
#include "settings/in_out_error.h"
#include "settings/settings_reader.h"

namespace settings {

namespace {

// Enough of a line to tell "1" CR LF from anything longer.
constexpr std::size_t kMaxOptionLineLength = 8;

}  // namespace

std::string settingsFilePath() { return platform::joinPath(".", "Chronoseq.INI"); }

std::string temporarySettingsPath(const std::string& settingsPath) { return settingsPath + ".tmp"; }

std::string settingsLine(std::int32_t value) { return std::to_string(value) + "\r\n"; }

namespace {

// Creating a file beside the settings file and replacing it need rights of
// their own (a new file in the folder, deleting the old one) that writing
// the file itself does not: a folder may refuse them, or another program
// may hold the file open without delete sharing.
bool refused(platform::OsErrorCode error) {
  return error == platform::kErrorAccessDenied || error == platform::kErrorSharingViolation;
}

// Writes the eleven lines and the options' line to a newly created or
// emptied file and closes it; 0 or the code of the first failing step.
platform::OsErrorCode writeValues(platform::TextFiles& files, const std::string& path,
                                  const SettingsValues& values, const SettingsOptions& options) {
  platform::Opened<platform::WriteStream> opened = files.create(path);
  if (!opened.stream) return opened.error;
  for (const std::int32_t value : values) {
    if (const platform::OsErrorCode error = opened.stream->write(settingsLine(value))) {
      return error;
    }
  }
  for (const std::int32_t option :
       {options.numericNames ? 1 : 0, options.captureTimes ? 1 : 0, options.captureColumnWidth}) {
    if (const platform::OsErrorCode error = opened.stream->write(settingsLine(option))) {
      return error;
    }
  }
  if (const platform::OsErrorCode error = opened.stream->flush()) return error;
  return opened.stream->close();
}

// The settings file rewritten where it stands, as the one step left when
// the safe save's rights are refused. Only its failure is reported.
void writeInPlace(platform::TextFiles& files, const std::string& path, const SettingsValues& values,
                  const SettingsOptions& options) {
  if (const platform::OsErrorCode error = writeValues(files, path, values, options)) {
    throw InOutError(InOutCode::system(error));
  }
}

}  // namespace

namespace {

std::string_view withoutLineEnd(std::string_view line) {
  if (line.ends_with('\n')) line.remove_suffix(1);
  if (line.ends_with('\r')) line.remove_suffix(1);
  return line;
}

}  // namespace

bool numericNamesLine(std::string_view line) { return onOffLine(line); }

bool onOffLine(std::string_view line) { return withoutLineEnd(line) == "1"; }

std::int32_t captureColumnWidthLine(std::string_view line) {
  line = withoutLineEnd(line);
  // At most five digits, and no leading zero but in "0" itself.
  if (line.empty() || line.size() > 5 || (line.size() > 1 && line.front() == '0')) {
    return kDefaultCaptureColumnWidth;
  }
  std::int32_t width = 0;
  for (const char c : line) {
    if (c < '0' || c > '9') return kDefaultCaptureColumnWidth;
    width = width * 10 + (c - '0');
  }
  return width <= kMaxCaptureColumnWidth ? width : kDefaultCaptureColumnWidth;
}

void saveSettingsFile(platform::TextFiles& files, const std::string& path,
                      const SettingsValues& values, const SettingsOptions& options) {
  const std::string temporary = temporarySettingsPath(path);
  // What an earlier save left behind when it was cut off.
  files.remove(temporary);
  // A read-only file, or one another program holds, refuses the save before
  // anything is written, with its own code.
  if (files.fileExists(path)) {
    if (const platform::OsErrorCode error = files.checkWritable(path)) {
      throw InOutError(InOutCode::system(error));
    }
  }
  if (const platform::OsErrorCode error = writeValues(files, temporary, values, options)) {
    files.remove(temporary);
    // A folder that takes no new file: the file itself may still be written.
    if (refused(error)) return writeInPlace(files, path, values, options);
    throw InOutError(InOutCode::system(error));
  }
  if (const platform::OsErrorCode error = files.replace(temporary, path)) {
    files.remove(temporary);
    if (refused(error)) return writeInPlace(files, path, values, options);
    throw InOutError(InOutCode::system(error));
  }
}

SettingsOptions loadSettingsFile(platform::TextFiles& files, const std::string& path,
                                 const std::function<void(std::size_t, std::int32_t)>& apply) {
  if (!files.fileExists(path)) return {};
  platform::Opened<platform::ReadStream> opened = files.openForReading(path);
  if (!opened.stream) throw InOutError(InOutCode::system(opened.error));
  // The stream closes on the way out.
  SettingsReader reader(*opened.stream);
  if (const InOutCode error = readSettings(reader, kSettingsCount, apply)) throw InOutError(error);
  // Hand-edited option lines never stop the start: what fails to be read
  // keeps its default, and so do the lines after it.
  SettingsOptions options;
  std::string line;
  if (reader.readLine(line, kMaxOptionLineLength)) return options;
  options.numericNames = numericNamesLine(line);
  if (reader.readLine(line, kMaxOptionLineLength)) return options;
  options.captureTimes = onOffLine(line);
  if (reader.readLine(line, kMaxOptionLineLength)) return options;
  options.captureColumnWidth = captureColumnWidthLine(line);
  return options;
}

}  // namespace settings
