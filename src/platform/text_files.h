#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "platform/os_error.h"

// Small text files read from the start and replaced as a whole. Every
// operation reports the OS error code of a failure (0 on success); an open
// file is closed when its object goes, on every path.
namespace platform {

// A file open for reading, shared with other readers only.
class ReadStream {
 public:
  virtual ~ReadStream() = default;
  // Reads up to capacity bytes into buffer; got is 0 at the end of the file.
  virtual OsErrorCode read(char* buffer, std::size_t capacity, std::size_t& got) = 0;
};

// A newly created file open for writing, shared with readers only.
class WriteStream {
 public:
  virtual ~WriteStream() = default;
  // Writes all the bytes or fails.
  virtual OsErrorCode write(std::string_view bytes) = 0;
  // Hands everything written to the disk itself.
  virtual OsErrorCode flush() = 0;
  // Closes the file; a second close does nothing.
  virtual OsErrorCode close() = 0;
};

template <class Stream>
struct Opened {
  std::unique_ptr<Stream> stream;  // null on failure
  OsErrorCode error = 0;
};

class TextFiles {
 public:
  virtual ~TextFiles() = default;
  // True when an entry of that name exists and is not a folder.
  virtual bool fileExists(const std::string& path) = 0;
  virtual Opened<ReadStream> openForReading(const std::string& path) = 0;
  // Whether an existing file may be written now: it is opened for writing,
  // sharing reading only, without changing it, and closed again. This gives
  // the code of a read-only file or of one another program holds.
  virtual OsErrorCode checkWritable(const std::string& path) = 0;
  // Creates the file, or empties an existing one.
  virtual Opened<WriteStream> create(const std::string& path) = 0;
  // Puts a complete file in the place of another in one step (the old one
  // goes), and makes the change itself durable.
  virtual OsErrorCode replace(const std::string& from, const std::string& to) = 0;
  virtual OsErrorCode remove(const std::string& path) = 0;
};

// The operating system's file system.
TextFiles& systemTextFiles();

}  // namespace platform
