#include "platform/numeric_collation.h"

#include <shlwapi.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <stdexcept>
#include <string>
#include <unordered_map>

#include "platform/win32/utf.h"

namespace platform {

namespace {

int sign(int value) { return value < 0 ? -1 : value > 0 ? 1 : 0; }

// The digits StrCmpLogicalW reads as numbers.
bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// What the parts of a key begin with: the end of the name sorts before a
// run of digits, a run of digits before text, as StrCmpLogicalW has it.
constexpr char kEnd = 0;
constexpr char kNumber = 1;
constexpr char kText = 2;

struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::wstring_view text) const {
    return std::hash<std::wstring_view>{}(text);
  }
};

// The keys of the runs of text met so far: names repeat them ("IMG_",
// ".JPG"), so most keys are made without a call into the system.
class RunKeys {
 public:
  const std::string& of(std::wstring_view run) {
    const auto found = keys_.find(run);
    if (found != keys_.end()) return found->second;
    // A folder of names without digits makes one run per name; the memory
    // stays bounded.
    if (keys_.size() >= 65536) keys_.clear();
    constexpr DWORD kFlags = LCMAP_SORTKEY | SORT_DIGITSASNUMBERS | NORM_IGNORECASE;
    const int length = static_cast<int>(run.size());
    const int size = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, run.data(), length, nullptr, 0,
                                   nullptr, nullptr, 0);
    std::string key(static_cast<std::size_t>(std::max(size, 0)), '\0');
    if (size <= 0 ||
        LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, run.data(), length,
                      reinterpret_cast<LPWSTR>(key.data()), size, nullptr, nullptr, 0) != size) {
      throw std::runtime_error("LCMapStringEx failed (error " + std::to_string(GetLastError()) +
                               ")");
    }
    return keys_.emplace(std::wstring(run), std::move(key)).first->second;
  }

 private:
  std::unordered_map<std::wstring, std::string, TextHash, std::equal_to<>> keys_;
};

}  // namespace

struct NumericCollation::State {
  std::wstring first;
  std::wstring second;
};

NumericCollation::NumericCollation() : state_(std::make_unique<State>()) {}
NumericCollation::~NumericCollation() = default;

int NumericCollation::compare(std::string_view a, std::string_view b) {
  state_->first = widen(a);
  state_->second = widen(b);
  return sign(StrCmpLogicalW(state_->first.c_str(), state_->second.c_str()));
}

void NumericCollation::compareNeighbours(const std::vector<std::string_view>& texts,
                                         std::span<const std::uint32_t> sequence,
                                         std::span<std::int8_t> results) const {
  if (sequence.size() < 2) return;
  // Two buffers of the caller's own thread, each name made wide once.
  std::wstring left, right;
  widenInto(texts[sequence[0]], left);
  for (std::size_t k = 0; k + 1 < sequence.size(); ++k) {
    widenInto(texts[sequence[k + 1]], right);
    results[k] = static_cast<std::int8_t>(sign(StrCmpLogicalW(left.c_str(), right.c_str())));
    left.swap(right);
  }
}

void NumericCollation::appendSortKeys(std::span<const std::string_view> texts, std::string& keys,
                                      std::vector<std::size_t>& ends) const {
  // Each name in parts, left to right: each run of digits by its value (its
  // digits without the leading zeros, longest first), each run of text by
  // its locale sort key (case ignored), then the end. Names equal so far
  // are ordered by their leading zeros, more zeros first, as Windows does.
  RunKeys runKeys;
  std::wstring wide;
  std::string zeros;
  for (const std::string_view text : texts) {
    widenInto(text, wide);
    zeros.clear();
    std::size_t at = 0;
    while (at < wide.size()) {
      std::size_t end = at;
      if (isDigit(wide[at])) {
        while (end < wide.size() && isDigit(wide[end])) ++end;
        std::size_t significant = at;
        while (significant < end && wide[significant] == L'0') ++significant;
        const std::size_t digits = end - significant;
        keys += kNumber;
        keys += static_cast<char>(digits >> 8);
        keys += static_cast<char>(digits & 0xFF);
        for (std::size_t i = significant; i < end; ++i) keys += static_cast<char>(wide[i]);
        zeros += static_cast<char>(0xFF - std::min<std::size_t>(significant - at, 0xFE));
      } else {
        while (end < wide.size() && !isDigit(wide[end])) ++end;
        keys += kText;
        keys += runKeys.of(std::wstring_view(wide).substr(at, end - at));
      }
      at = end;
    }
    keys += kEnd;
    keys += zeros;
    ends.push_back(keys.size());
  }
}

std::vector<std::uint32_t> NumericCollation::stableOrder(const std::vector<std::string_view>& texts,
                                                         bool descending) {
  // StrCmpLogicalW has no sort key: each text is made wide once, and the
  // sort compares the wide texts.
  std::vector<std::wstring> wide;
  wide.reserve(texts.size());
  for (const std::string_view text : texts) wide.push_back(widen(text));
  std::vector<std::uint32_t> order(texts.size());
  std::iota(order.begin(), order.end(), 0u);
  if (descending) {
    std::stable_sort(order.begin(), order.end(), [&wide](std::uint32_t a, std::uint32_t b) {
      return StrCmpLogicalW(wide[b].c_str(), wide[a].c_str()) < 0;
    });
  } else {
    std::stable_sort(order.begin(), order.end(), [&wide](std::uint32_t a, std::uint32_t b) {
      return StrCmpLogicalW(wide[a].c_str(), wide[b].c_str()) < 0;
    });
  }
  return order;
}

}  // namespace platform
