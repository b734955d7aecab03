#pragma once

// The capture time of the files built of ISO boxes.

#include "capturetime/capture_time.h"
#include "capturetime/file_bytes.h"

namespace capturetime {

// HEIF/HEIC: the EXIF item of the top-level meta box, found through its item
// information (iinf) and located through iloc.
CaptureTime readHeif(FileBytes& bytes);

// MP4, MOV, M4V, 3GP: Apple's com.apple.quicktime.creationdate in the movie's
// metadata where it is present, else Android's date in the user data (©day),
// both as written; else the movie header's creation time (UTC).
CaptureTime readMovie(FileBytes& bytes);

// Apple's and Android's creation date text: ISO 8601,
// "2024-05-01T12:34:56+09:00" (the offset also as "+0900" or "Z", seconds'
// fractions allowed, NULs and blanks after it left out). A wall time, with
// its offset when it has one. Nothing when it is not a time.
CaptureTime parseIsoDateTime(std::string_view text);

// A movie header's creation time, seconds since 1904-01-01 UTC; 0 is none.
// A count that read from 1904 falls before 1970, but read from 1970 falls
// from 1990 to the year after presentYear, is read from 1970.
CaptureTime movieHeaderTime(std::uint64_t secondsSince1904, int presentYear);

}  // namespace capturetime
