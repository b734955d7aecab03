#pragma once

// The photo formats that carry EXIF in a block of their own: where the block
// is, then the EXIF reader.

#include "capturetime/capture_time.h"
#include "capturetime/file_bytes.h"

namespace capturetime {

CaptureTime readJpeg(FileBytes& bytes);  // the APP1 "Exif" segment
CaptureTime readPng(FileBytes& bytes);   // the eXIf chunk
CaptureTime readWebp(FileBytes& bytes);  // the EXIF chunk of the RIFF file

}  // namespace capturetime
