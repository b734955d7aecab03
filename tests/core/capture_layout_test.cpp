// The capture time readers over byte layouts built here, byte by byte: where
// each format keeps the time, and the broken and hostile files (lengths and
// offsets past the end, loops of IFDs, truncation at every byte) that must
// give no time and never a crash, reading only the blocks that lead to it.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "capturetime/capture_reader.h"
#include "capturetime/exif.h"
#include "capturetime/file_bytes.h"
#include "fakes/byte_writers.h"
#include "fakes/capture_time_print.h"
#include "fakes/memory_random_access.h"

namespace {

using namespace std::string_literals;
using capturetime::CaptureTime;

using fakes::be;
using fakes::le;

CaptureTime readBytes(const std::string& bytes) {
  fakes::MemoryRandomAccess file(bytes);
  return capturetime::readCaptureTime(file);
}

const CaptureTime kWall = CaptureTime::wallTime({2021, 3, 4, 5, 6, 7});

// A little-endian TIFF: IFD0 at 8 pointing to the EXIF IFD at 26, which holds
// the ASCII fields given (tag, text without its NUL), their texts after it.
struct Field {
  std::uint16_t tag;
  std::string text;
};
std::string tiff(const std::vector<Field>& fields) {
  std::string out = "II*\0"s + le(8, 4);
  out += le(1, 2) + le(0x8769, 2) + le(4, 2) + le(1, 4) + le(26, 4) + le(0, 4);
  const std::size_t dataStart = 26 + 2 + 12 * fields.size() + 4;
  std::string data;
  out += le(fields.size(), 2);
  for (const Field& f : fields) {
    const std::string value = f.text + '\0';
    out += le(f.tag, 2) + le(2, 2) + le(value.size(), 4);
    if (value.size() <= 4) {
      out += value + std::string(4 - value.size(), '\0');
    } else {
      out += le(dataStart + data.size(), 4);
      data += value;
    }
  }
  out += le(0, 4) + data;
  return out;
}
std::string tiffWithDate() { return tiff({{0x9003, "2021:03:04 05:06:07"}}); }

// Overwrites bytes at an offset.
std::string patched(std::string bytes, std::size_t at, const std::string& with) {
  bytes.replace(at, with.size(), with);
  return bytes;
}

std::string jpeg(const std::string& exif, const std::string& tail = "") {
  const std::string app0 = "\xFF\xE0"s + be(16, 2) + "JFIF\0"s + "\x01\x01\0\0\x01\0\x01\0\0"s;
  const std::string app1 = "\xFF\xE1"s + be(2 + 6 + exif.size(), 2) + "Exif\0\0"s + exif;
  return "\xFF\xD8"s + app0 + app1 + "\xFF\xDA"s + be(8, 2) + std::string(6, '\0') + tail +
         "\xFF\xD9"s;
}

std::string repeated(const std::string& bytes, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += bytes;
  return out;
}

// APP2 segments of total bytes in all (markers and lengths counted), none
// longer than a segment may be, as phones write data of their own.
std::string appSegments(std::size_t total) {
  std::string out;
  while (total > 0) {
    const std::size_t size = std::min<std::size_t>(total, 2 + 65'535);
    out += "\xFF\xE2"s + be(size - 2, 2) + std::string(size - 4, 'c');
    total -= size;
  }
  return out;
}

std::string pngChunk(const std::string& type, const std::string& data) {
  return be(data.size(), 4) + type + data + be(0, 4);  // the CRC is not checked
}
// A PNG with its EXIF in an eXIf chunk (none for an empty one), other
// chunks before it.
std::string png(const std::string& exif, const std::string& before = "") {
  return "\x89PNG\r\n\x1a\n"s + pngChunk("IHDR", std::string(13, '\1')) + before +
         pngChunk("IDAT", std::string(100, 'x')) + (exif.empty() ? "" : pngChunk("eXIf", exif)) +
         pngChunk("IEND", "");
}
// ImageMagick's tEXt raw profile: the name, then a line with the profile's
// name, one with its length, and its bytes in hex, 72 digits a line.
std::string rawProfileChunk(const std::string& exif, std::size_t statedExtra = 0,
                            const std::string& hexTail = "") {
  const std::string block = "Exif\0\0"s + exif;
  std::string hex;
  for (std::size_t i = 0; i < block.size(); ++i) {
    const auto byte = static_cast<unsigned char>(block[i]);
    hex += "0123456789abcdef"[byte >> 4];
    hex += "0123456789abcdef"[byte & 0xF];
    if (i % 36 == 35) hex += '\n';
  }
  std::string length = std::to_string(block.size() + statedExtra);
  length.insert(0, 8 - length.size(), ' ');
  return pngChunk("tEXt",
                  "Raw profile type exif\0\nexif\n"s + length + "\n" + hex + hexTail + "\n");
}

// Fujifilm's RAF: its header (magic, version, camera ID and name, 84 bytes),
// then the embedded JPEG's offset and length, the JPEG after the header.
std::string raf(const std::string& embedded, std::uint32_t offsetDelta = 0) {
  std::string header =
      "FUJIFILMCCD-RAW 0201FF129502X-T3"s + std::string(28, '\0') + "0100" + std::string(20, '\0');
  header += be(0x94 + offsetDelta, 4) + be(embedded.size(), 4) + std::string(0x94 - 92, '\0');
  return header + embedded;
}

std::string webp(const std::string& exif) {
  std::string chunks = "VP8 "s + le(5, 4) + "abcde" + '\0';  // an odd size, padded
  chunks += "EXIF"s + le(exif.size(), 4) + exif;
  if (exif.size() % 2) chunks += '\0';
  return "RIFF"s + le(4 + chunks.size(), 4) + "WEBP" + chunks;
}

std::string box(const std::string& type, const std::string& body) {
  return be(8 + body.size(), 4) + type + body;
}
std::string fullBox(const std::string& type, int version, const std::string& body) {
  return box(type, be(version, 1) + be(0, 3) + body);
}
std::string mvhd(std::uint64_t created, int version = 0) {
  const std::string times = version == 1 ? be(created, 8) + be(created, 8) + be(1000, 4) + be(0, 8)
                                         : be(created, 4) + be(created, 4) + be(1000, 4) + be(0, 4);
  return fullBox("mvhd", version, times + std::string(80, '\0'));
}
const std::string kFtypMp4 = box("ftyp", "isom"s + be(0x200, 4) + "isommp41");
// 3,700,000,000 s after 1904: 2021-03-31 01:46:40 UTC, 153,491 days after 1601.
constexpr std::uint64_t kCreated = 3'700'000'000;
const CaptureTime kCreatedTime =
    CaptureTime::instant((153'491ull * 86'400 + 1 * 3600 + 46 * 60 + 40) * 10'000'000ull);

std::string creationDateMeta(const std::string& text, std::uint32_t keyCount = 1) {
  const std::string hdlr = fullBox("hdlr", 0, be(0, 4) + "mdta" + std::string(13, '\0'));
  const std::string key = "com.apple.quicktime.creationdate";
  const std::string keys =
      fullBox("keys", 0, be(keyCount, 4) + be(8 + key.size(), 4) + "mdta" + key);
  const std::string item = box(be(1, 4), box("data", be(1, 4) + be(0, 4) + text));
  return box("meta", hdlr + keys + box("ilst", item));
}

// Android's date in the user data: ©day, a 16-bit text size and a language,
// then the text.
std::string userDataDate(const std::string& text) {
  return box(
      "\xA9"
      "day",
      be(text.size(), 2) + be(0x55C4, 2) + text);
}

// A HEIF with its EXIF item in the media data: iinf names item 2 "Exif",
// iloc (version 0, 4-byte offsets and lengths) says where it lies. iinf may
// state fewer entries than it holds: those past its count are no items.
std::string heif(const std::string& exif, int ilocVersion = 0, std::uint32_t lengthDelta = 0,
                 std::uint16_t statedEntries = 2) {
  const std::string ftyp = box("ftyp", "heic"s + be(0, 4) + "mif1heic");
  const std::string item = be(6, 4) + "Exif\0\0"s + exif;
  const std::string iinf =
      fullBox("iinf", 0,
              be(statedEntries, 2) + fullBox("infe", 2, be(1, 2) + be(0, 2) + "hvc1" + '\0') +
                  fullBox("infe", 2, be(2, 2) + be(0, 2) + "Exif" + '\0'));
  const auto metaWith = [&](std::uint32_t itemOffset) {
    std::string ilocBody = be(0x44, 1) + be(0x00, 1) + be(2, 2);
    for (std::uint32_t id : {1u, 2u}) {
      ilocBody += be(id, 2);
      if (ilocVersion == 1) ilocBody += be(1, 2);  // construction method 1: inside idat
      ilocBody += be(0, 2) + be(1, 2) + be(id == 2 ? itemOffset : 0, 4) +
                  be(id == 2 ? item.size() + lengthDelta : 0, 4);
    }
    return fullBox("meta", 0,
                   fullBox("hdlr", 0, be(0, 4) + "pict" + std::string(13, '\0')) + iinf +
                       fullBox("iloc", ilocVersion, ilocBody));
  };
  const std::size_t metaSize = metaWith(0).size();
  const std::uint32_t itemOffset = static_cast<std::uint32_t>(ftyp.size() + metaSize + 8);
  return ftyp + metaWith(itemOffset) + box("mdat", item);
}

TEST(CaptureLayouts, WhereEachFormatKeepsTheTime) {
  const std::string mdat = box("mdat", std::string(5000, 'm'));
  const struct {
    const char* what;
    std::string bytes;
    CaptureTime expected;
  } cases[] = {
      {"TIFF", tiffWithDate(), kWall},
      {"TIFF with offset and sub-seconds",
       tiff({{0x9003, "2021:03:04 05:06:07"}, {0x9011, "+09:00"}, {0x9291, "5"}}),
       CaptureTime::wallTime({2021, 3, 4, 5, 6, 7}, 5'000'000, 32'400)},
      {"TIFF with a date field of the longest text",
       tiff({{0x9003,
              "2021:03:04 05:06:07" + std::string(capturetime::kMaxTextLength - 1 - 19, ' ')}}),
       kWall},
      {"TIFF with blank offset", tiff({{0x9003, "2021:03:04 05:06:07"}, {0x9011, "   :  "}}),
       kWall},
      {"JPEG", jpeg(tiffWithDate()), kWall},
      {"JPEG with its EXIF after a 60 KiB segment",
       "\xFF\xD8"s + "\xFF\xE2"s + be(61'440, 2) + std::string(61'438, 'c') +
           jpeg(tiffWithDate()).substr(2),
       kWall},
      {"JPEG with its EXIF after 90 KiB of APP segments",
       "\xFF\xD8"s + appSegments(90 * 1024) + jpeg(tiffWithDate()).substr(2), kWall},
      {"JPEG with its EXIF after 150 KiB of APP segments",
       "\xFF\xD8"s + appSegments(150 * 1024) + jpeg(tiffWithDate()).substr(2), kWall},
      {"PNG", png(tiffWithDate()), kWall},
      {"PNG with an Exif header", png("Exif\0\0"s + tiffWithDate()), kWall},
      {"PNG with a raw profile tEXt", png("", rawProfileChunk(tiffWithDate())), kWall},
      {"PNG, eXIf over a raw profile",
       png(tiffWithDate(), rawProfileChunk(tiff({{0x9003, "2019:12:31 23:59:58"}}))), kWall},
      {"RAF", raf(jpeg(tiffWithDate())), kWall},
      {"WebP", webp(tiffWithDate()), kWall},
      {"HEIF", heif(tiffWithDate()), kWall},
      {"MP4, moov at the end", kFtypMp4 + mdat + box("moov", mvhd(kCreated)), kCreatedTime},
      {"MP4, 64-bit mdat size",
       kFtypMp4 + be(1, 4) + "mdat" + be(16 + 5000, 8) + std::string(5000, 'm') +
           box("moov", mvhd(kCreated)),
       kCreatedTime},
      {"MP4, mvhd version 1", kFtypMp4 + box("moov", mvhd(kCreated, 1)), kCreatedTime},
      {"MP4, 64-bit moov size",
       kFtypMp4 + be(1, 4) + "moov" + be(16 + mvhd(kCreated).size(), 8) + mvhd(kCreated),
       kCreatedTime},
      {"MOV without ftyp", mdat + box("moov", mvhd(kCreated)), kCreatedTime},
      {"MP4, creation date over mvhd",
       kFtypMp4 + box("moov", mvhd(kCreated) + creationDateMeta("2019-12-31T23:59:58")),
       CaptureTime::wallTime({2019, 12, 31, 23, 59, 58})},
      {"MP4, creation date in udta",
       kFtypMp4 +
           box("moov", mvhd(kCreated) + box("udta", creationDateMeta("2019-12-31T23:59:58"))),
       CaptureTime::wallTime({2019, 12, 31, 23, 59, 58})},
      {"MP4, Android's date in udta over mvhd",
       kFtypMp4 +
           box("moov", mvhd(kCreated) + box("udta", userDataDate("2021-03-04T05:06:07+0900"))),
       CaptureTime::wallTime({2021, 3, 4, 5, 6, 7}, 0, 32'400)},
      {"MP4, Apple's creation date over Android's",
       kFtypMp4 +
           box("moov", mvhd(kCreated) + box("udta", userDataDate("2021-03-04T05:06:07+0900")) +
                           creationDateMeta("2019-12-31T23:59:58")),
       CaptureTime::wallTime({2019, 12, 31, 23, 59, 58})},
      {"MP4, Android's date not a time: mvhd",
       kFtypMp4 + box("moov", mvhd(kCreated) + box("udta", userDataDate("2021"))), kCreatedTime},
      {"MP4, Android's date's text past its entry",
       kFtypMp4 +
           box("moov", mvhd(kCreated) +
                           box("udta", patched(userDataDate("2021-03-04T05:06:07"), 8, be(40, 2)))),
       kCreatedTime},
      {"MP4, mvhd in seconds since 1970",
       // 2021-03-04 05:06:07 UTC: 1,614,834,367 s after 1970, 153,464 days after 1601.
       kFtypMp4 + box("moov", mvhd(1'614'834'367)),
       CaptureTime::instant((153'464ull * 86'400 + 5 * 3600 + 6 * 60 + 7) * 10'000'000ull)},
      {"MP4, mdat running to the end after moov",
       kFtypMp4 + box("moov", mvhd(kCreated)) + be(0, 4) + "mdat" + std::string(100, 'm'),
       kCreatedTime},
  };
  for (const auto& c : cases) EXPECT_EQ(readBytes(c.bytes), c.expected) << c.what;
}

TEST(CaptureLayouts, BrokenAndHostileFilesHaveNoTime) {
  const std::string good = tiffWithDate();
  const std::string dateEntry = good.substr(28, 12);  // the EXIF IFD's one entry
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"unknown", "hello, world, not a photo"},
      {"IFD0 chained to itself", "II*\0"s + le(8, 4) + le(0, 2) + le(8, 4)},
      {"IFD0 and IFD1 chained to each other",
       "II*\0"s + le(8, 4) + le(0, 2) + le(14, 4) + le(0, 2) + le(8, 4)},
      {"IFD0 past the end", "II*\0"s + le(4000, 4)},
      {"IFD entry count past the end", patched(good, 8, le(0xFFFF, 2))},
      {"EXIF IFD pointer past the end", patched(good, 18, le(0xFFFF'FFF0, 4))},
      {"EXIF IFD pointer to its own pointer entry",
       patched(good, 18, le(8, 4))},  // IFD0 read as the EXIF IFD: no date there
      {"date offset past the end", patched(good, 36, le(0xFFFF'FF00, 4))},
      {"date count past the end", patched(good, 32, le(0xFFFF'FFFF, 4))},
      {"date of type LONG", patched(good, 30, le(4, 2))},
      {"date field one past the longest text",
       tiff(
           {{0x9003, "2021:03:04 05:06:07" + std::string(capturetime::kMaxTextLength - 19, ' ')}})},
      {"big-endian magic in a little-endian file", patched(good, 2, "\0*"s)},
      {"JPEG APP1 length past the end", patched(jpeg(good), 22, be(0xFFFF, 2))},
      {"JPEG APP1 length below 2", patched(jpeg(good), 22, be(1, 2))},
      {"JPEG without markers", "\xFF\xD8"s + std::string(100, 'x')},
      {"JPEG of fill bytes only", "\xFF\xD8"s + std::string(5000, '\xFF')},
      {"JPEG with its EXIF behind the image data",
       "\xFF\xD8"s + "\xFF\xDA"s + be(8, 2) + std::string(6, '\0') + jpeg(good).substr(2)},
      {"JPEG with its EXIF after 100 empty segments",
       "\xFF\xD8"s + repeated("\xFF\xE2\0\x02"s, 100) + jpeg(good).substr(2)},
      {"PNG chunk length past the end", patched(png(good), 8, be(0x7FFF'FFF0, 4))},
      {"PNG raw profile's hex short of its length", png("", rawProfileChunk(good, 1))},
      {"PNG raw profile with a letter not hex", png("", rawProfileChunk(good, 1, "0g0"))},
      {"RAF JPEG offset one past its place", raf(jpeg(good), 1)},
      {"RAF JPEG length past the end", patched(raf(jpeg(good)), 88, be(0x7FFF'0000, 4))},
      {"RAF JPEG length short of its Exif segment", patched(raf(jpeg(good)), 88, be(40, 4))},
      {"WebP chunk length past the end", patched(webp(good), 16, le(0xFFFF'FF00, 4))},
      {"HEIF item past the end", heif(good, 0, 1)},
      {"HEIF item inside idat", heif(good, 1)},
      {"HEIF Exif entry of item 2 past iinf's count of 1", heif(good, 0, 0, 1)},
      {"MP4 moov past the end", kFtypMp4 + be(200, 4) + "moov" + mvhd(kCreated)},
      {"MP4 mdat past the end, moov behind it", kFtypMp4 + be(1, 4) + "mdat" +
                                                    be(0xFFFF'FFFF'FFFF'FF00ull, 8) +
                                                    box("moov", mvhd(kCreated))},
      {"MP4 64-bit size below its header",
       kFtypMp4 + be(1, 4) + "moov" + be(8, 8) + mvhd(kCreated)},
      {"MP4 box size below its header", kFtypMp4 + be(4, 4) + "moov" + mvhd(kCreated)},
      {"MP4 mdat to the end before moov",
       kFtypMp4 + be(0, 4) + "mdat" + box("moov", mvhd(kCreated))},
      {"MP4 mvhd time 0", kFtypMp4 + box("moov", mvhd(0))},
      {"MP4 mvhd version 2", kFtypMp4 + box("moov", mvhd(kCreated, 2))},
      {"MP4 mvhd cut short", kFtypMp4 + box("moov", box("mvhd", "\0\0\0\0"s))},
  };
  for (const auto& c : cases) EXPECT_FALSE(readBytes(c.bytes).present()) << c.what;
  // The layouts break only what they name: the same files unbroken are read.
  EXPECT_TRUE(readBytes(good).present());
  EXPECT_EQ(dateEntry.substr(0, 2), le(0x9003, 2));
}

TEST(CaptureLayouts, AMalformedCreationDateFallsBackToTheMovieHeader) {
  const struct {
    const char* text;
    std::uint32_t keys;  // the count the keys box gives
  } cases[] = {
      {"not a date", 1},
      {"2019-12-31", 1},
      {"2019-12-31T23:59:58", 0},  // a key the count leaves out
  };
  for (const auto& c : cases) {
    EXPECT_EQ(readBytes(kFtypMp4 + box("moov", mvhd(kCreated) + creationDateMeta(c.text, c.keys))),
              kCreatedTime)
        << c.text << ", " << c.keys;
  }
  // A count far beyond the box ends at the box's end.
  EXPECT_EQ(
      readBytes(kFtypMp4 +
                box("moov", mvhd(kCreated) + creationDateMeta("2019-12-31T23:59:58", 1'000'000))),
      CaptureTime::wallTime({2019, 12, 31, 23, 59, 58}));
}

// A view of the largest size the readers are promised is given; one byte
// more, or one that runs past the file's end, is not.
TEST(CaptureLayouts, ViewsUpToTheLargestAndNoLarger) {
  constexpr std::size_t kMax = capturetime::FileBytes::kMaxView;
  std::string bytes(kMax + 1, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i % 251);
  const struct {
    std::uint64_t offset;
    std::size_t count;
    bool given;
  } cases[] = {
      {0, kMax, true},  {1, kMax, true}, {0, kMax + 1, false},
      {2, kMax, false}, {kMax, 1, true}, {kMax + 1, 1, false},
  };
  for (const auto& c : cases) {
    fakes::MemoryRandomAccess file(bytes);
    capturetime::FileBytes fileBytes(file);
    const std::uint8_t* view = fileBytes.view(c.offset, c.count);
    EXPECT_EQ(view != nullptr, c.given) << c.offset << " + " << c.count;
    if (view) {
      const std::size_t last = static_cast<std::size_t>(c.offset) + c.count - 1;
      EXPECT_EQ(view[c.count - 1], static_cast<std::uint8_t>(last % 251)) << c.offset;
    }
  }
}

// Every prefix of a good file: no time (or the whole file's), never a crash
// or a read past the end (AddressSanitizer watches the second).
TEST(CaptureLayouts, TruncatedAtEveryByte) {
  // The sub-seconds stand inside their entry, so a prefix either holds the
  // whole time or none (a cut offset would leave a wall time).
  const std::string good = tiff({{0x9003, "2021:03:04 05:06:07"}, {0x9291, "5"}});
  const std::string files[] = {
      good,
      jpeg(good),
      png(good),
      webp(good),
      heif(good),
      raf(jpeg(good)),
      png("", rawProfileChunk(good)),
      kFtypMp4 + box("mdat", "xyz") +
          box("moov", mvhd(kCreated) + creationDateMeta("2019-12-31T23:59:58")),
  };
  for (const std::string& whole : files) {
    const CaptureTime full = readBytes(whole);
    ASSERT_TRUE(full.present());
    for (std::size_t size = 0; size < whole.size(); ++size) {
      const CaptureTime cut = readBytes(whole.substr(0, size));
      if (cut.present()) {
        EXPECT_EQ(cut, full) << size;
      }
    }
  }
}

// What is read: the first block of a JPEG, and of a movie the box headers
// and the moov box, however large the media data before it.
TEST(CaptureLayouts, ReadsOnlyWhatLeadsToTheTime) {
  const std::string bigJpeg = jpeg(tiffWithDate(), std::string(4 << 20, 'x'));
  fakes::MemoryRandomAccess photo(bigJpeg);
  EXPECT_EQ(capturetime::readCaptureTime(photo), kWall);
  EXPECT_LE(photo.bytesRead, 64u * 1024);

  // Behind 150 KiB of other segments: a block at each segment's header.
  const std::string phoneJpeg = "\xFF\xD8"s + appSegments(150 * 1024) +
                                jpeg(tiffWithDate(), std::string(4 << 20, 'x')).substr(2);
  fakes::MemoryRandomAccess phone(phoneJpeg);
  EXPECT_EQ(capturetime::readCaptureTime(phone), kWall);
  EXPECT_LE(phone.reads, 4u);
  EXPECT_LE(phone.bytesRead, 4u * 4096);

  const std::string movie = kFtypMp4 + be(1, 4) + "mdat" + be(16 + (64 << 20), 8) +
                            std::string(64 << 20, 'm') + box("moov", mvhd(kCreated));
  fakes::MemoryRandomAccess video(movie);
  EXPECT_EQ(capturetime::readCaptureTime(video), kCreatedTime);
  EXPECT_LE(video.bytesRead, 3u * 4096);
  EXPECT_LE(video.reads, 3u);
}

}  // namespace
