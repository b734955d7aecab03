#include "fakes/fault_text_files.h"

namespace fakes {

namespace {

class FaultReadStream : public platform::ReadStream {
 public:
  FaultReadStream(FaultTextFiles& files, std::unique_ptr<platform::ReadStream> inner)
      : files_(files), inner_(std::move(inner)) {}
  platform::OsErrorCode read(char* buffer, std::size_t capacity, std::size_t& got) override {
    got = 0;
    if (const platform::OsErrorCode error = files_.step("read")) return error;
    return inner_->read(buffer, capacity, got);
  }

 private:
  FaultTextFiles& files_;
  std::unique_ptr<platform::ReadStream> inner_;
};

class FaultWriteStream : public platform::WriteStream {
 public:
  FaultWriteStream(FaultTextFiles& files, std::unique_ptr<platform::WriteStream> inner)
      : files_(files), inner_(std::move(inner)) {}
  platform::OsErrorCode write(std::string_view bytes) override {
    if (const platform::OsErrorCode error = files_.step("write")) {
      // Half the bytes reach the file before the failure.
      inner_->write(bytes.substr(0, bytes.size() / 2));
      return error;
    }
    return inner_->write(bytes);
  }
  platform::OsErrorCode flush() override {
    if (const platform::OsErrorCode error = files_.step("flush")) return error;
    return inner_->flush();
  }
  platform::OsErrorCode close() override {
    if (const platform::OsErrorCode error = files_.step("close")) return error;
    return inner_->close();
  }

 private:
  FaultTextFiles& files_;
  std::unique_ptr<platform::WriteStream> inner_;  // its handle closes when this goes
};

}  // namespace

platform::OsErrorCode FaultTextFiles::step(const char* name) {
  const std::size_t number = steps_++;
  log_.emplace_back(name);
  if (number == failStep_ && mode_ == Mode::Cut) cut_ = true;
  if (cut_) return code_ != 0 ? code_ : 1;
  return number == failStep_ ? code_ : 0;
}

bool FaultTextFiles::fileExists(const std::string& path) {
  if (step("exists") != 0) return false;
  return inner_.fileExists(path);
}

platform::Opened<platform::ReadStream> FaultTextFiles::openForReading(const std::string& path) {
  if (const platform::OsErrorCode error = step("open")) return {nullptr, error};
  platform::Opened<platform::ReadStream> opened = inner_.openForReading(path);
  if (!opened.stream) return opened;
  return {std::make_unique<FaultReadStream>(*this, std::move(opened.stream)), 0};
}

platform::OsErrorCode FaultTextFiles::checkWritable(const std::string& path) {
  if (const platform::OsErrorCode error = step("check")) return error;
  return inner_.checkWritable(path);
}

platform::Opened<platform::WriteStream> FaultTextFiles::create(const std::string& path) {
  if (const platform::OsErrorCode error = step("create")) return {nullptr, error};
  platform::Opened<platform::WriteStream> opened = inner_.create(path);
  if (!opened.stream) return opened;
  return {std::make_unique<FaultWriteStream>(*this, std::move(opened.stream)), 0};
}

platform::OsErrorCode FaultTextFiles::replace(const std::string& from, const std::string& to) {
  if (const platform::OsErrorCode error = step("replace")) return error;
  return inner_.replace(from, to);
}

platform::OsErrorCode FaultTextFiles::remove(const std::string& path) {
  if (const platform::OsErrorCode error = step("remove")) return error;
  return inner_.remove(path);
}

}  // namespace fakes
