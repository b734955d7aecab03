#pragma once

// Reads the capture time of one photo or video, taking only the few blocks
// of the file that lead to it.

#include <string>

#include "capturetime/capture_time.h"
#include "platform/random_access.h"

namespace capturetime {

// The kind of file is told by its first bytes, not by its name: JPEG, TIFF
// and the raw formats built on it (DNG, NEF, ARW, CR2, ORF, RW2), Fujifilm's
// RAF (through its embedded JPEG), PNG, WebP,
// HEIF/HEIC, and the movies of the ISO and QuickTime family (MP4, MOV, M4V,
// 3GP). Anything else, and any file that breaks its format's rules, has no
// capture time.
CaptureTime readCaptureTime(platform::RandomAccessFile& file);

// The same for the file at path; nothing when it cannot be opened.
CaptureTime readCaptureTimeOfFile(const std::string& path);

}  // namespace capturetime
