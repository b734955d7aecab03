#pragma once

// Text files that fail one chosen operation, over another TextFiles (the
// real file system, usually). Every operation counts as one step; the steps
// of a save are the removal of an old temporary file, the existence test,
// the writability check, the creation, each write, the flush, the close and
// the replacement.

#include <cstddef>
#include <string>
#include <vector>

#include "platform/text_files.h"

namespace fakes {

class FaultTextFiles : public platform::TextFiles {
 public:
  enum class Mode {
    Fail,  // the step fails with the code; later steps run as usual
    Cut,   // the process dies at the step: it and every later step do nothing
  };

  explicit FaultTextFiles(platform::TextFiles& inner) : inner_(inner) {}

  // Makes step number `step` (counted from 0) fail. A failing write first
  // writes half of its bytes, as a full disk does.
  void failAt(std::size_t step, platform::OsErrorCode code, Mode mode = Mode::Fail) {
    failStep_ = step;
    code_ = code;
    mode_ = mode;
  }
  std::size_t steps() const { return steps_; }
  // The names of the steps taken, in order ("create", "write", ...).
  const std::vector<std::string>& log() const { return log_; }

  bool fileExists(const std::string& path) override;
  platform::Opened<platform::ReadStream> openForReading(const std::string& path) override;
  platform::OsErrorCode checkWritable(const std::string& path) override;
  platform::Opened<platform::WriteStream> create(const std::string& path) override;
  platform::OsErrorCode replace(const std::string& from, const std::string& to) override;
  platform::OsErrorCode remove(const std::string& path) override;

  // One step: 0 when it may run, else the code it fails with.
  platform::OsErrorCode step(const char* name);
  bool cut() const { return cut_; }

 private:
  platform::TextFiles& inner_;
  std::size_t steps_ = 0;
  std::size_t failStep_ = static_cast<std::size_t>(-1);
  platform::OsErrorCode code_ = 0;
  Mode mode_ = Mode::Fail;
  bool cut_ = false;
  std::vector<std::string> log_;
};

}  // namespace fakes
