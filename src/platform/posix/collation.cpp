#include "platform/collation.h"

#include <unicode/ucol.h>

#include <stdexcept>
#include <vector>

#include "platform/posix/icu_text.h"

namespace platform {

using posix::foldInto;

struct TextCollation::State {
  posix::UniqueCollator collator = posix::openUserCollator(false);
  std::u16string first;
  std::u16string second;
  std::vector<uint8_t> key = std::vector<uint8_t>(256);
};

TextCollation::TextCollation() : state_(std::make_unique<State>()) {}
TextCollation::~TextCollation() = default;

int TextCollation::compare(std::string_view a, std::string_view b) {
  foldInto(a, state_->first);
  foldInto(b, state_->second);
  const UCollationResult result = ucol_strcoll(
      state_->collator.get(), state_->first.data(), static_cast<int32_t>(state_->first.size()),
      state_->second.data(), static_cast<int32_t>(state_->second.size()));
  return result == UCOL_LESS ? -1 : result == UCOL_GREATER ? 1 : 0;
}

void TextCollation::appendSortKey(std::string_view text, std::string& keys) {
  foldInto(text, state_->first);
  std::vector<uint8_t>& key = state_->key;
  const auto length = static_cast<int32_t>(state_->first.size());
  int32_t size = ucol_getSortKey(state_->collator.get(), state_->first.data(), length, key.data(),
                                 static_cast<int32_t>(key.size()));
  if (size > static_cast<int32_t>(key.size())) {
    key.resize(static_cast<std::size_t>(size));
    size = ucol_getSortKey(state_->collator.get(), state_->first.data(), length, key.data(),
                           static_cast<int32_t>(key.size()));
  }
  if (size <= 0) throw std::runtime_error("ICU gave no sort key");
  keys.append(reinterpret_cast<const char*>(key.data()), static_cast<std::size_t>(size));
}

}  // namespace platform
