#include "fakes/fat_entry_slots.h"

#include "cardcopy/fat_names.h"

namespace fakes {

namespace {

constexpr std::string_view kNotInShortNames = "\"*+,/:;<=>?[\\]|";

bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool isLower(char c) { return c >= 'a' && c <= 'z'; }

// FatEvaluateNameCase: a name or extension with both upper and lower case
// letters needs the long name; one in one case is kept by the case bits.
bool nameAndExtensionInOneCase(std::string_view name) {
  bool upper = false;
  bool lower = false;
  for (const char c : name) {
    if (c == '.') {
      if (upper && lower) return false;
      upper = lower = false;
      continue;
    }
    upper = upper || isUpper(c);
    lower = lower || isLower(c);
  }
  return !(upper && lower);
}

std::uint32_t longNameSlots(std::string_view utf8Name, std::uint32_t perSlot) {
  const auto units = static_cast<std::uint32_t>(cardcopy::utf16Length(utf8Name));
  return (units + perSlot - 1) / perSlot;
}

}  // namespace

bool isLegalShortName(std::string_view name) {
  if (name.empty() || name.size() > 12 || name == "." || name == "..") return false;
  const std::size_t dot = name.find('.');
  const std::string_view base = name.substr(0, dot);
  const std::string_view extension =
      dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
  if (base.empty() || base.size() > 8) return false;
  if (dot != std::string_view::npos && (extension.empty() || extension.size() > 3)) return false;
  if (extension.find('.') != std::string_view::npos) return false;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) return false;
    if (c == '.') continue;
    if (byte < 0x20 || kNotInShortNames.find(c) != std::string_view::npos) return false;
  }
  return true;
}

std::uint32_t fatSlotsOf(std::string_view utf8Name) {
  // FatSpaceInName sends every name with a space to a generated short name.
  const bool shortAlone = isLegalShortName(utf8Name) &&
                          utf8Name.find(' ') == std::string_view::npos &&
                          nameAndExtensionInOneCase(utf8Name);
  return shortAlone ? 1 : 1 + longNameSlots(utf8Name, 13);
}

std::uint32_t exfatSlotsOf(std::string_view utf8Name) { return 2 + longNameSlots(utf8Name, 15); }

}  // namespace fakes
