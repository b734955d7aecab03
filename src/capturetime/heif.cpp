// HEIF keeps the EXIF block as an item of the top-level meta box: iinf names
// the item of type "Exif", iloc gives where its bytes lie in the file.
#include <vector>

#include "capturetime/byte_cursor.h"
#include "capturetime/exif.h"
#include "capturetime/iso_boxes.h"
#include "capturetime/iso_formats.h"

namespace capturetime {

namespace {

// iinf and iloc of a still image or a burst: far below this.
constexpr std::size_t kMaxTableBox = 1 << 20;

// The contents of a full box (after version and flags), with its version.
struct FullBox {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  std::uint8_t version = 0;
};

std::optional<FullBox> fullBoxOf(FileBytes& bytes, const Box& box) {
  const std::uint64_t size = box.end - box.body;
  if (size < 4 || size > kMaxTableBox) return std::nullopt;
  const std::uint8_t* data = bytes.view(box.body, static_cast<std::size_t>(size));
  if (!data) return std::nullopt;
  return FullBox{data + 4, static_cast<std::size_t>(size - 4), data[0]};
}

// The item ID of the EXIF item in iinf.
std::optional<std::uint32_t> exifItemOf(FileBytes& bytes, const Box& iinf) {
  const std::optional<FullBox> box = fullBoxOf(bytes, iinf);
  if (!box) return std::nullopt;
  // Copied: the entries are read as boxes of their own below.
  const std::vector<std::uint8_t> copy(box->data, box->data + box->size);
  ByteCursor cursor(copy.data(), copy.size());
  const std::uint32_t count = box->version == 0 ? cursor.u16() : cursor.u32();
  if (!cursor.ok()) return std::nullopt;
  std::size_t at = cursor.position();
  for (std::uint32_t n = 0; n < count; ++n) {
    ByteCursor head(copy.data() + at, copy.size() - at);
    const std::uint32_t size = head.u32();
    const std::uint32_t type = head.u32();
    if (!head.ok() || size < 8 || size > copy.size() - at) return std::nullopt;
    if (type == fourCc("infe")) {
      ByteCursor infe(copy.data() + at + 8, size - 8);
      const std::uint8_t version = infe.u8();
      infe.skip(3);
      // Versions 0 and 1 carry no item type.
      if (version >= 2) {
        const std::uint32_t id = version == 2 ? infe.u16() : infe.u32();
        infe.skip(2);  // protection index
        const std::string_view itemType = infe.text(4);
        if (infe.ok() && itemType == "Exif") return id;
      }
    }
    at += size;
  }
  return std::nullopt;
}

struct Extent {
  std::uint64_t offset = 0;
  std::uint64_t length = 0;  // 0: to the end of the file
};

// Where iloc puts the item's first extent, in the file (construction method
// 0); nothing for another method or an item it does not list.
std::optional<Extent> locationOf(FileBytes& bytes, const Box& iloc, std::uint32_t item) {
  const std::optional<FullBox> box = fullBoxOf(bytes, iloc);
  if (!box || box->version > 2) return std::nullopt;
  ByteCursor cursor(box->data, box->size);
  const std::uint8_t sizes = cursor.u8();
  const std::uint8_t moreSizes = cursor.u8();
  const std::size_t offsetSize = sizes >> 4;
  const std::size_t lengthSize = sizes & 0xF;
  const std::size_t baseOffsetSize = moreSizes >> 4;
  const std::size_t indexSize = box->version >= 1 ? (moreSizes & 0xF) : 0;
  const auto validSize = [](std::size_t s) { return s == 0 || s == 4 || s == 8; };
  if (!validSize(offsetSize) || !validSize(lengthSize) || !validSize(baseOffsetSize) ||
      !validSize(indexSize)) {
    return std::nullopt;
  }
  const std::uint32_t count = box->version < 2 ? cursor.u16() : cursor.u32();
  for (std::uint32_t n = 0; n < count && cursor.ok(); ++n) {
    const std::uint32_t id = box->version < 2 ? cursor.u16() : cursor.u32();
    const std::uint16_t method = box->version >= 1 ? (cursor.u16() & 0xF) : 0;
    cursor.skip(2);  // data reference index
    const std::uint64_t base = cursor.number(baseOffsetSize);
    const std::uint16_t extents = cursor.u16();
    std::optional<Extent> first;
    for (std::uint16_t e = 0; e < extents && cursor.ok(); ++e) {
      cursor.skip(indexSize);
      const std::uint64_t offset = cursor.number(offsetSize);
      const std::uint64_t length = cursor.number(lengthSize);
      if (e == 0 && base <= UINT64_MAX - offset) first = Extent{base + offset, length};
    }
    if (!cursor.ok()) return std::nullopt;
    if (id == item) {
      if (method != 0) return std::nullopt;
      return first;
    }
  }
  return std::nullopt;
}

}  // namespace

CaptureTime readHeif(FileBytes& bytes) {
  const std::optional<Box> meta = findBox(bytes, 0, bytes.size(), fourCc("meta"));
  if (!meta || meta->end - meta->body < 4) return {};
  const std::uint64_t children = meta->body + 4;  // a full box
  const std::optional<Box> iinf = findBox(bytes, children, meta->end, fourCc("iinf"));
  const std::optional<Box> iloc = findBox(bytes, children, meta->end, fourCc("iloc"));
  if (!iinf || !iloc) return {};
  const std::optional<std::uint32_t> item = exifItemOf(bytes, *iinf);
  if (!item) return {};
  std::optional<Extent> extent = locationOf(bytes, *iloc, *item);
  if (!extent || extent->offset >= bytes.size()) return {};
  if (extent->length == 0) extent->length = bytes.size() - extent->offset;
  if (!FileBytes::within(extent->offset, extent->length, bytes.size()) || extent->length < 4) {
    return {};
  }
  // The block starts with the offset of the TIFF header past these four bytes.
  const std::uint8_t* head = bytes.view(extent->offset, 4);
  if (!head) return {};
  const std::uint32_t tiffOffset = ByteCursor(head, 4).u32();
  if (tiffOffset > extent->length - 4) return {};
  return readExifBlock(bytes, extent->offset + 4 + tiffOffset, extent->length - 4 - tiffOffset);
}

}  // namespace capturetime
