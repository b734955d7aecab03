#pragma once

// The photo formats that carry EXIF in a block of their own: where the block
// is, then the EXIF reader.

#include <cstdint>

#include "capturetime/capture_time.h"
#include "capturetime/file_bytes.h"

namespace capturetime {

// The APP1 "Exif" segment of the JPEG at [start, end) (all of the file
// unless another format holds it), found by the segments' headers up to the
// image data.
CaptureTime readJpeg(FileBytes& bytes, std::uint64_t start = 0, std::uint64_t end = UINT64_MAX);
// The eXIf chunk; else ImageMagick's "Raw profile type exif" in a tEXt
// chunk (not its zTXt form, which would take zlib).
CaptureTime readPng(FileBytes& bytes);
// Fujifilm's RAF: the embedded JPEG its header points at.
CaptureTime readRaf(FileBytes& bytes);
CaptureTime readWebp(FileBytes& bytes);  // the EXIF chunk of the RIFF file

}  // namespace capturetime
