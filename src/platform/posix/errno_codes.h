#pragma once

#include <cerrno>

#include "platform/os_error.h"

namespace platform {

// Windows codes for the errno values that have one; the rest keep their errno
// under the customer bit (bit 29), which no Windows system code uses.
inline OsErrorCode mapErrno(int error) {
  switch (error) {
    case 0:
      return 0;
    case ENOENT:
      return kErrorFileNotFound;
    case ENOTDIR:
      return kErrorPathNotFound;
    case EMFILE:
    case ENFILE:
      return kErrorTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR:
      return kErrorAccessDenied;
    case ENOMEM:
      return 8;  // ERROR_NOT_ENOUGH_MEMORY
    case EROFS:
      return 19;  // ERROR_WRITE_PROTECT
    case EBUSY:
    case ETXTBSY:
      return kErrorSharingViolation;
    case EINVAL:
      return 87;  // ERROR_INVALID_PARAMETER
    case ENOSPC:
      return kErrorDiskFull;
    case EEXIST:
      return 183;  // ERROR_ALREADY_EXISTS
    case EXDEV:
      return 17;  // ERROR_NOT_SAME_DEVICE
    case ENOTEMPTY:
      return 145;  // ERROR_DIR_NOT_EMPTY
    case ENAMETOOLONG:
      return 206;  // ERROR_FILENAME_EXCED_RANGE
    case ELOOP:
      return 1921;  // ERROR_CANT_RESOLVE_FILENAME
    default:
      return 0x2000'0000u | static_cast<OsErrorCode>(error);
  }
}

}  // namespace platform
