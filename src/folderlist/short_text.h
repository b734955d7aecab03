#pragma once

#include <compare>
#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace folderlist {

// A text kept inside the object itself up to kInlineCapacity bytes, and only
// a longer one on the heap. A row's time text, "yyyy/mm/dd hh:nn:ss" with
// one-byte separators, is 19 bytes: past std::string's own buffer, so a
// std::string would take a heap block for every row of a listing.
// Reads as a std::string_view.
class ShortText {
 public:
  static constexpr std::size_t kInlineCapacity = 23;

  ShortText() = default;
  ShortText(std::string_view text) { assign(text); }
  ShortText(const char* text) { assign(text); }
  ShortText(const std::string& text) { assign(text); }

  // The inline bytes go as one block of fixed size: a row move shifts many
  // rows, and copying the array byte by byte was most of its time.
  ShortText(const ShortText& other) : long_(copyOfLong(other)) { copyInline(other); }
  ShortText(ShortText&& other) noexcept : long_(std::move(other.long_)) { copyInline(other); }
  ShortText& operator=(const ShortText& other) {
    copyInline(other);
    long_ = copyOfLong(other);
    return *this;
  }
  ShortText& operator=(ShortText&& other) noexcept {
    copyInline(other);
    long_ = std::move(other.long_);
    return *this;
  }

  ShortText& operator=(std::string_view text) {
    assign(text);
    return *this;
  }
  ShortText& operator=(const char* text) { return *this = std::string_view(text); }
  ShortText& operator=(const std::string& text) { return *this = std::string_view(text); }

  void assign(std::string_view text) {
    if (text.size() <= kInlineCapacity) {
      if (!text.empty()) std::memcpy(inline_, text.data(), text.size());  // data() may be null
      inlineSize_ = static_cast<std::uint8_t>(text.size());
      long_.reset();
    } else if (long_) {
      long_->assign(text);
      inlineSize_ = 0;
    } else {
      long_ = std::make_unique<std::string>(text);
      inlineSize_ = 0;
    }
  }

  std::string_view view() const {
    return long_ ? std::string_view(*long_) : std::string_view(inline_, inlineSize_);
  }
  operator std::string_view() const { return view(); }
  std::string str() const { return std::string(view()); }

  bool empty() const { return view().empty(); }
  std::size_t size() const { return view().size(); }
  const char* data() const { return view().data(); }
  std::string_view substr(std::size_t pos, std::size_t count = std::string_view::npos) const {
    return view().substr(pos, count);
  }

  friend bool operator==(const ShortText& a, std::string_view b) { return a.view() == b; }
  friend std::strong_ordering operator<=>(const ShortText& a, std::string_view b) {
    return a.view() <=> b;
  }
  friend std::ostream& operator<<(std::ostream& os, const ShortText& text) {
    return os << text.view();
  }

 private:
  static std::unique_ptr<std::string> copyOfLong(const ShortText& other) {
    return other.long_ ? std::make_unique<std::string>(*other.long_) : nullptr;
  }
  void copyInline(const ShortText& other) {
    std::memcpy(inline_, other.inline_, sizeof inline_);
    inlineSize_ = other.inlineSize_;
  }

  char inline_[kInlineCapacity] = {};
  std::uint8_t inlineSize_ = 0;
  // Only a text longer than kInlineCapacity. A pointer rather than a
  // std::string keeps the text at 32 bytes: a listing's rows are first
  // touched as they are made, and the fewer bytes, the fewer page faults.
  std::unique_ptr<std::string> long_;
};

}  // namespace folderlist
