// Capture times read from photos and videos made by ImageMagick, exiftool and
// box by box (tests/capture/make_files.sh, run by the build), on the system's
// file system: what the reader finds must be what exiftool reads in the same
// files (oracle.txt), and, shown in Japan's zone, the texts written here.

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "capturetime/capture_reader.h"
#include "fakes/capture_time_print.h"
#include "platform/path.h"
#include "platform/time_zone.h"

namespace {

using capturetime::CaptureTime;

std::string filesDir() { return CHRONOSEQ_CAPTURE_FILES; }

// One line of oracle.txt: what exiftool read, "-" for a missing field.
struct OracleLine {
  std::string name, dateTimeOriginal, offsetTimeOriginal, subSecTimeOriginal, creationDate,
      contentCreateDate, createDate;
};

std::vector<OracleLine> oracle() {
  std::ifstream in(platform::joinPath(filesDir(), "oracle.txt"));
  std::vector<OracleLine> lines;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    OracleLine o;
    std::getline(fields, o.name, '\t');
    std::getline(fields, o.dateTimeOriginal, '\t');
    std::getline(fields, o.offsetTimeOriginal, '\t');
    std::getline(fields, o.subSecTimeOriginal, '\t');
    std::getline(fields, o.creationDate, '\t');
    std::getline(fields, o.contentCreateDate, '\t');
    std::getline(fields, o.createDate, '\t');
    lines.push_back(o);
  }
  return lines;
}

// exiftool's "YYYY:MM:DD HH:MM:SS[.fff][+HH:MM]" taken apart with the
// standard library's calendar, as an independent reading of the same text.
struct ExifToolTime {
  std::chrono::sys_seconds wall;  // the fields as if UTC
  std::uint32_t subSecondTicks = 0;
  std::optional<int> offsetSeconds;
};

std::uint32_t ticksOfFraction(const std::string& digits) {
  std::string seven = digits.substr(0, 7);
  seven.resize(7, '0');
  return static_cast<std::uint32_t>(std::stoul(seven));
}

ExifToolTime parseExifTool(const std::string& text) {
  using namespace std::chrono;
  ExifToolTime t;
  const int y = std::stoi(text.substr(0, 4));
  const unsigned mo = std::stoul(text.substr(5, 2)), d = std::stoul(text.substr(8, 2));
  const int h = std::stoi(text.substr(11, 2)), mi = std::stoi(text.substr(14, 2)),
            s = std::stoi(text.substr(17, 2));
  t.wall = sys_days(year{y} / month{mo} / day{d}) + hours{h} + minutes{mi} + seconds{s};
  std::string rest = text.substr(19);
  if (!rest.empty() && rest[0] == '.') {
    const std::size_t end = rest.find_first_of("+-", 1);
    t.subSecondTicks = ticksOfFraction(rest.substr(1, end == std::string::npos ? end : end - 1));
    rest = end == std::string::npos ? "" : rest.substr(end);
  }
  if (!rest.empty()) {
    const int offset = std::stoi(rest.substr(1, 2)) * 3600 + std::stoi(rest.substr(4, 2)) * 60;
    t.offsetSeconds = rest[0] == '-' ? -offset : offset;
  }
  return t;
}

platform::FileTime fileTimeOf(std::chrono::sys_seconds utc, std::uint32_t ticks) {
  using namespace std::chrono;
  const auto since1601 = utc - sys_days(year{1601} / January / 1);
  return static_cast<platform::FileTime>(since1601.count()) * platform::kTicksPerSecond + ticks;
}

platform::LocalDateTime fieldsOf(std::chrono::sys_seconds wall) {
  using namespace std::chrono;
  const sys_days day = floor<days>(wall);
  const year_month_day ymd(day);
  const hh_mm_ss hms(wall - day);
  return {static_cast<int>(ymd.year()),
          static_cast<int>(static_cast<unsigned>(ymd.month())),
          static_cast<int>(static_cast<unsigned>(ymd.day())),
          static_cast<int>(hms.hours().count()),
          static_cast<int>(hms.minutes().count()),
          static_cast<int>(hms.seconds().count())};
}

// What the reader must give for exiftool's reading of a file.
CaptureTime expectedOf(const OracleLine& o) {
  if (o.dateTimeOriginal != "-") {
    ExifToolTime t = parseExifTool(o.dateTimeOriginal);
    if (o.subSecTimeOriginal != "-") t.subSecondTicks = ticksOfFraction(o.subSecTimeOriginal);
    if (o.offsetTimeOriginal == "-") {
      return CaptureTime::wallTime(fieldsOf(t.wall), t.subSecondTicks);
    }
    const ExifToolTime offset = parseExifTool("2000:01:01 00:00:00" + o.offsetTimeOriginal);
    return CaptureTime::wallTime(fieldsOf(t.wall), t.subSecondTicks, offset.offsetSeconds);
  }
  if (o.creationDate != "-") {
    const ExifToolTime t = parseExifTool(o.creationDate);
    return CaptureTime::wallTime(fieldsOf(t.wall), t.subSecondTicks, t.offsetSeconds);
  }
  if (o.contentCreateDate != "-") {
    const ExifToolTime t = parseExifTool(o.contentCreateDate);
    return CaptureTime::wallTime(fieldsOf(t.wall), t.subSecondTicks, t.offsetSeconds);
  }
  if (o.createDate != "-") {
    // The movie header's 0 is read by exiftool as its epoch: no time.
    const ExifToolTime t = parseExifTool(o.createDate);
    if (o.createDate.starts_with("1904:01:01 00:00:00")) return {};
    // exiftool reads Unix time there from 1904; it is meant from 1970, 66
    // years (24,107 days) later.
    if (o.name == "mp4-mvhd-1970-based.mp4") {
      return CaptureTime::instant(fileTimeOf(t.wall + std::chrono::days(24'107), 0));
    }
    return CaptureTime::instant(fileTimeOf(t.wall, 0));
  }
  return {};
}

// Every file the script makes, and what the list shows for it in Japan's
// zone (TZ=Asia/Tokyo): worked out by hand, not by exiftool. Photo and
// creation date times show as written whatever their offset; a movie
// header's UTC in Japan's time.
const std::map<std::string, std::string> kShownInTokyo = {
    {"heic-offset-subsec.heic", "2021/03/04 05:06:07"},  // +14:00, as written
    {"heic-plain.heic", "2021/03/04 05:06:07"},
    {"jpeg-app-segments-150k.jpg", "2021/03/04 05:06:07"},  // +09:00
    {"jpeg-app-segments-90k.jpg", "2021/03/04 05:06:07"},
    {"jpeg-no-exif.jpg", ""},
    {"jpeg-offset-subsec.jpg", "2020/02/29 23:30:00"},  // -05:30, as written
    {"jpeg-offset.jpg", "2021/03/04 05:06:07"},         // +09:00
    {"jpeg-other-tags-only.jpg", ""},
    {"jpeg-plain.jpg", "2021/03/04 05:06:07"},
    {"jpeg-subsec.jpg", "2021/03/04 05:06:07"},
    {"mov-creationdate-offset-at-end.mov", "2021/03/04 05:06:07"},
    {"mov-creationdate-subsec.mov", "2021/03/04 05:06:07"},
    {"mov-mvhd-zero.mov", ""},
    {"mp4-creationdate-negative-offset.mp4", "2021/12/31 20:00:00"},  // -07:00
    {"mp4-creationdate-no-offset.mp4", "2019/12/31 23:59:58"},
    {"mp4-mdat-to-end.mp4", "2021/03/31 10:46:40"},      // UTC 01:46:40
    {"mp4-mvhd-1970-based.mp4", "2021/03/04 14:06:07"},  // UTC 05:06:07
    {"mp4-mvhd-v0-moov-at-end.mp4", "2021/03/31 10:46:40"},
    {"mp4-mvhd-v1-large-mdat.mp4", "2100/01/01 09:00:00"},
    {"png-offset-subsec.png", "2021/03/04 05:06:07"},  // -12:00
    {"mp4-userdata-date.mp4", "2022/06/07 08:09:10"},  // +05:30, as written
    {"png-plain.png", "2021/03/04 05:06:07"},
    {"png-raw-profile-text.png", "2021/03/04 05:06:07"},
    {"raf-embedded-jpeg.raf", "2021/03/04 05:06:07"},
    {"raw-subsec.dng", "2021/03/04 05:06:07"},
    {"tiff-big-endian-plain.tif", "2021/03/04 05:06:07"},
    {"tiff-little-endian-offset-subsec.tif", "2021/03/04 05:06:07"},  // +01:00
    {"webp-offset.webp", "2021/03/04 05:06:07"},                      // +05:45
    {"webp-subsec.webp", "2021/03/04 05:06:07"},
};

TEST(CaptureFiles, TheReaderFindsWhatExifToolReads) {
  const std::vector<OracleLine> lines = oracle();
  ASSERT_EQ(lines.size(), kShownInTokyo.size())
      << "oracle.txt in " << filesDir() << " lists every file the script makes";
  for (const OracleLine& o : lines) {
    ASSERT_TRUE(kShownInTokyo.contains(o.name)) << o.name;
    EXPECT_EQ(capturetime::readCaptureTimeOfFile(platform::joinPath(filesDir(), o.name)),
              expectedOf(o))
        << o.name;
  }
}

TEST(CaptureFiles, ShownInJapansZoneAsWrittenHere) {
  // 2021-03-04 00:00 UTC, day 153,464 since 1601.
  const auto zone = platform::utcToLocal(153'464ull * 86'400ull * platform::kTicksPerSecond);
  if (!zone || zone->hour != 9) GTEST_SKIP() << "needs TZ=Asia/Tokyo, as the presets set";
  for (const auto& [name, text] : kShownInTokyo) {
    const CaptureTime time =
        capturetime::readCaptureTimeOfFile(platform::joinPath(filesDir(), name));
    const auto shown = capturetime::shownCaptureTime(time, platform::utcToLocal);
    EXPECT_EQ(capturetime::captureTimeText(shown, {"/", ":"}), text) << name;
  }
}

TEST(CaptureFiles, AFileThatCannotBeOpenedHasNoTime) {
  EXPECT_FALSE(
      capturetime::readCaptureTimeOfFile(platform::joinPath(filesDir(), "missing.jpg")).present());
  // A folder is no file.
  EXPECT_FALSE(capturetime::readCaptureTimeOfFile(filesDir()).present());
}

}  // namespace
