#pragma once

#include <string>
#include <string_view>

namespace platform {

// The pieces of a message, one after the other, with one allocation.
template <class... Pieces>
std::string concat(const Pieces&... pieces) {
  const std::string_view views[] = {std::string_view(pieces)...};
  std::size_t size = 0;
  for (const std::string_view view : views) size += view.size();
  std::string text;
  text.reserve(size);
  for (const std::string_view view : views) text.append(view);
  return text;
}

}  // namespace platform
