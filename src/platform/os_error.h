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
// ERROR_REQUEST_ABORTED: a copy that was asked to stop.
inline constexpr OsErrorCode kErrorRequestAborted = 1235;
// ERROR_WRITE_PROTECT: a card locked by its switch, or mounted read-only.
inline constexpr OsErrorCode kErrorWriteProtect = 19;
// ERROR_NOT_SAME_DEVICE: a move that would have to copy.
inline constexpr OsErrorCode kErrorNotSameDevice = 17;
// ERROR_ALREADY_EXISTS: a folder or a move's target that is there already.
inline constexpr OsErrorCode kErrorAlreadyExists = 183;
// ERROR_NOT_SUPPORTED: what the system cannot tell.
inline constexpr OsErrorCode kErrorNotSupported = 50;
// ERROR_HANDLE_EOF: a source that ended before the size it had when opened.
inline constexpr OsErrorCode kErrorHandleEof = 38;
// ERROR_FILE_EXISTS: a new file where a file of that name stands.
inline constexpr OsErrorCode kErrorFileExists = 80;
// ERROR_INVALID_PARAMETER: what FAT's driver answers to a time it cannot hold.
inline constexpr OsErrorCode kErrorInvalidParameter = 87;
// ERROR_FILENAME_EXCED_RANGE: a name or path longer than the system takes.
inline constexpr OsErrorCode kErrorFilenameTooLong = 206;

// The system's own words for an error code, then the code in brackets, as
// "アクセスが拒否されました。 (5)"; without a line end, never empty.
std::string osErrorText(OsErrorCode code);

// A failed platform operation, carrying the OS error code.
class OsError : public std::runtime_error {
 public:
  OsError(std::string what, OsErrorCode code) : std::runtime_error(std::move(what)), code_(code) {}
  OsErrorCode code() const noexcept { return code_; }

 private:
  OsErrorCode code_;
};

}  // namespace platform
