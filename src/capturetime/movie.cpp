// A movie's capture time: Apple's creation date in the QuickTime metadata
// (moov/meta with keys and ilst), else Android's date in the user data
// (moov/udta/©day), else the creation time of the movie header (moov/mvhd).
// The moov box may stand anywhere, often at the end behind a large mdat: the
// top-level boxes are walked by their headers alone.
#include <chrono>
#include <string>

#include "capturetime/byte_cursor.h"
#include "capturetime/calendar.h"
#include "capturetime/date_digits.h"
#include "capturetime/exif.h"
#include "capturetime/iso_boxes.h"
#include "capturetime/iso_formats.h"

namespace capturetime {

namespace {

constexpr std::string_view kCreationDateKey = "com.apple.quicktime.creationdate";
// The keys box holds a few dozen short names.
constexpr std::uint64_t kMaxKeysBox = 1 << 16;
// The creation date's text is some 25 characters.
constexpr std::uint64_t kMaxDateText = 64;
// Seconds from 1601-01-01 to 1904-01-01, and from 1904 to 1970.
constexpr std::int64_t kSeconds1601To1904 = 9'561'628'800;
constexpr std::uint64_t kSeconds1904To1970 = 2'082'844'800;
constexpr std::uint32_t kWellKnownUtf8 = 1;

// The 1-based index of the creation date among the keys, or 0.
std::uint32_t creationDateKeyIndex(FileBytes& bytes, const Box& keys) {
  const std::uint64_t size = keys.end - keys.body;
  if (size < 8 || size > kMaxKeysBox) return 0;
  const std::uint8_t* data = bytes.view(keys.body, static_cast<std::size_t>(size));
  if (!data) return 0;
  ByteCursor cursor(data, static_cast<std::size_t>(size));
  cursor.skip(4);  // version and flags
  const std::uint32_t count = cursor.u32();
  for (std::uint32_t n = 1; n <= count && cursor.ok(); ++n) {
    const std::uint32_t keySize = cursor.u32();
    if (keySize < 8) return 0;
    cursor.skip(4);  // namespace, "mdta"
    if (cursor.text(keySize - 8) == kCreationDateKey && cursor.ok()) return n;
  }
  return 0;
}

// The text of the ilst item of that index: its data box, typed UTF-8.
std::optional<std::string> itemText(FileBytes& bytes, const Box& ilst, std::uint32_t index) {
  const std::optional<Box> item = findBox(bytes, ilst.body, ilst.end, index);
  if (!item) return std::nullopt;
  const std::optional<Box> data = findBox(bytes, item->body, item->end, fourCc("data"));
  if (!data) return std::nullopt;
  const std::uint64_t size = data->end - data->body;
  if (size < 8 || size - 8 > kMaxDateText) return std::nullopt;
  const std::uint8_t* contents = bytes.view(data->body, static_cast<std::size_t>(size));
  if (!contents) return std::nullopt;
  ByteCursor cursor(contents, static_cast<std::size_t>(size));
  const std::uint32_t type = cursor.u32();
  cursor.skip(4);  // locale
  if (type != kWellKnownUtf8) return std::nullopt;
  return std::string(cursor.text(static_cast<std::size_t>(size - 8)));
}

// Apple's creation date in a meta box: a QuickTime one (its children right
// after the header) or an ISO full box (version and flags first).
CaptureTime creationDateIn(FileBytes& bytes, const Box& meta) {
  std::uint64_t children = meta.body;
  if (const std::uint8_t* peek = bytes.view(meta.body, 8)) {
    if (ByteCursor(peek + 4, 4).u32() != fourCc("hdlr")) children += 4;
  }
  const std::optional<Box> keys = findBox(bytes, children, meta.end, fourCc("keys"));
  if (!keys) return {};
  const std::uint32_t index = creationDateKeyIndex(bytes, *keys);
  if (index == 0) return {};
  const std::optional<Box> ilst = findBox(bytes, children, meta.end, fourCc("ilst"));
  if (!ilst) return {};
  const std::optional<std::string> text = itemText(bytes, *ilst, index);
  return text ? parseIsoDateTime(*text) : CaptureTime{};
}

// Android's date of the start of recording, in the user data: a 16-bit text
// size and a language code, then the text ("2021-03-04T05:06:07+0900").
CaptureTime userDataDateIn(FileBytes& bytes, const Box& udta) {
  const std::optional<Box> day = findBox(bytes, udta.body, udta.end,
                                         fourCc("\xA9"
                                                "day"));
  if (!day) return {};
  const std::uint64_t size = day->end - day->body;
  if (size < 4 || size - 4 > kMaxDateText) return {};
  const std::uint8_t* data = bytes.view(day->body, static_cast<std::size_t>(size));
  if (!data) return {};
  ByteCursor cursor(data, static_cast<std::size_t>(size));
  const std::uint16_t textSize = cursor.u16();
  cursor.skip(2);  // language
  if (textSize > size - 4) return {};
  return parseIsoDateTime(cursor.text(textSize));
}

int presentYear() {
  const auto today = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
  return static_cast<int>(std::chrono::year_month_day(today).year());
}

CaptureTime headerTimeIn(FileBytes& bytes, const Box& mvhd) {
  const std::uint64_t size = mvhd.end - mvhd.body;
  if (size < 12) return {};
  const std::uint8_t* data = bytes.view(mvhd.body, 12);
  if (!data) return {};
  ByteCursor cursor(data, 12);
  const std::uint8_t version = cursor.u8();
  cursor.skip(3);
  if (version == 0) return movieHeaderTime(cursor.u32(), presentYear());
  if (version == 1) return movieHeaderTime(cursor.u64(), presentYear());
  return {};
}

}  // namespace

CaptureTime parseIsoDateTime(std::string_view text) {
  while (!text.empty() && (text.back() == '\0' || text.back() == ' ')) text.remove_suffix(1);
  if (text.size() < 19 || text[4] != '-' || text[7] != '-' ||
      (text[10] != 'T' && text[10] != ' ') || text[13] != ':' || text[16] != ':') {
    return {};
  }
  const platform::LocalDateTime wall{digitsAt(text, 0, 4),  digitsAt(text, 5, 2),
                                     digitsAt(text, 8, 2),  digitsAt(text, 11, 2),
                                     digitsAt(text, 14, 2), digitsAt(text, 17, 2)};
  if (!validDateTime(wall)) return {};
  std::string_view rest = text.substr(19);
  std::uint32_t subSeconds = 0;
  if (!rest.empty() && (rest[0] == '.' || rest[0] == ',')) {
    std::size_t digits = 1;
    while (digits < rest.size() && isDigit(rest[digits])) ++digits;
    subSeconds = parseSubSeconds(rest.substr(1, digits - 1));
    rest.remove_prefix(digits);
  }
  if (rest.empty()) return CaptureTime::wallTime(wall, subSeconds);
  const std::optional<std::int32_t> offset = parseUtcOffset(rest);
  if (!offset) return {};
  return captureTimeOf(wall, offset, subSeconds);
}

CaptureTime movieHeaderTime(std::uint64_t secondsSince1904, int presentYear) {
  if (secondsSince1904 == 0 || secondsSince1904 > 0x7FFF'FFFF'FFFFull) return {};
  std::int64_t since1601 = static_cast<std::int64_t>(secondsSince1904) + kSeconds1601To1904;
  // Some encoders write Unix time here, which read from 1904 falls between
  // 1904 and 1967, before any digital video. Read from 1970 it is taken when
  // it lands from 1990 (before which no such file was made) to next year (a
  // clock a little ahead); a true 1904 date before 1970 is no capture time
  // anyway.
  if (secondsSince1904 < kSeconds1904To1970) {
    const std::int64_t unix1601 =
        static_cast<std::int64_t>(secondsSince1904) + kSeconds1601To1904 + kSeconds1904To1970;
    const std::int64_t from = platform::secondsFrom1601({1990, 1, 1, 0, 0, 0});
    const std::int64_t until = platform::secondsFrom1601({presentYear + 2, 1, 1, 0, 0, 0});
    if (unix1601 >= from && unix1601 < until) since1601 = unix1601;
  }
  const std::optional<platform::FileTime> utc = fileTimeOfSeconds(since1601);
  return utc ? CaptureTime::instant(*utc) : CaptureTime{};
}

CaptureTime readMovie(FileBytes& bytes) {
  const std::optional<Box> moov = findBox(bytes, 0, bytes.size(), fourCc("moov"));
  if (!moov) return {};
  CaptureTime header;
  CaptureTime created;
  CaptureTime recorded;
  forEachBox(bytes, moov->body, moov->end, [&](const Box& box) {
    if (box.type == fourCc("mvhd") && !header.present()) header = headerTimeIn(bytes, box);
    if (box.type == fourCc("meta") && !created.present()) created = creationDateIn(bytes, box);
    if (box.type == fourCc("udta")) {
      if (!recorded.present()) recorded = userDataDateIn(bytes, box);
      if (!created.present()) {
        if (const std::optional<Box> meta = findBox(bytes, box.body, box.end, fourCc("meta"))) {
          created = creationDateIn(bytes, *meta);
        }
      }
    }
    return true;
  });
  if (created.present()) return created;
  return recorded.present() ? recorded : header;
}

}  // namespace capturetime
