#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace platform {

// An operating-system error code: GetLastError() on Windows, errno elsewhere,
// already mapped to the Windows code where a Windows code exists.
using OsErrorCode = std::uint32_t;

inline constexpr OsErrorCode kErrorFileNotFound = 2;
inline constexpr OsErrorCode kErrorPathNotFound = 3;
inline constexpr OsErrorCode kErrorTooManyOpenFiles = 4;
inline constexpr OsErrorCode kErrorAccessDenied = 5;
inline constexpr OsErrorCode kErrorSharingViolation = 32;
inline constexpr OsErrorCode kErrorDiskFull = 112;

// A failed platform operation, carrying the OS error code.
class OsError : public std::runtime_error {
 public:
  OsError(std::string what, OsErrorCode code) : std::runtime_error(std::move(what)), code_(code) {}
  OsErrorCode code() const noexcept { return code_; }

 private:
  OsErrorCode code_;
};

}  // namespace platform
