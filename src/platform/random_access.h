#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Files read in pieces at chosen offsets, for the readers that take a few
// bytes out of a large file (a photo's or a video's capture time). Reading
// shares the file with every other program: writers and deleters included.
namespace platform {

class RandomAccessFile {
 public:
  virtual ~RandomAccessFile() = default;
  // The file's size in bytes when it was opened.
  virtual std::uint64_t size() const = 0;
  // Reads up to count bytes at offset into buffer; returns how many were
  // read, fewer at the end of the file or on a failure.
  virtual std::size_t readAt(std::uint64_t offset, void* buffer, std::size_t count) = 0;
};

// The file at path, open for reading; null when it cannot be opened (missing,
// held by another program, no rights) or is not a regular file.
std::unique_ptr<RandomAccessFile> openRandomAccess(const std::string& path);

}  // namespace platform
