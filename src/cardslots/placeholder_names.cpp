#include "cardslots/placeholder_names.h"

namespace cardslots {

namespace {

constexpr std::string_view kFileHead = "~CSQ";
constexpr std::string_view kFileTail = ".TMP";
constexpr std::string_view kDigits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr int kFileNames = 36 * 36 * 36 * 36;
constexpr std::string_view kFolderName = "~CSQWAIT";
constexpr int kFolderNames = 10;

// FAT compares names in capitals; the placeholders are ASCII, so only the
// ASCII letters of another name can meet them.
std::string capitals(std::string_view name) {
  std::string text(name);
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

}  // namespace

PlaceholderNames::PlaceholderNames(const std::vector<std::string>& taken) {
  for (const std::string& name : taken) taken_.insert(capitals(name));
}

bool PlaceholderNames::free(const std::string& name) const { return !taken_.count(name); }

std::string PlaceholderNames::nextFile() {
  while (files_ < kFileNames) {
    int n = files_++;
    std::string name(kFileHead);
    std::string digits(4, '0');
    for (int place = 3; place >= 0; --place, n /= 36) {
      digits[static_cast<std::size_t>(place)] = kDigits[static_cast<std::size_t>(n % 36)];
    }
    name += digits;
    name += kFileTail;
    if (free(name)) return name;
  }
  return {};
}

std::string PlaceholderNames::nextFolder() {
  while (folders_ < kFolderNames) {
    const int n = folders_++;
    std::string name(kFolderName);
    if (n > 0) name.back() = static_cast<char>('0' + n);
    if (free(name)) return name;
  }
  return {};
}

bool PlaceholderNames::isPlaceholderFile(std::string_view name) {
  if (name.size() != kFileHead.size() + 4 + kFileTail.size()) return false;
  if (name.substr(0, kFileHead.size()) != kFileHead) return false;
  if (name.substr(name.size() - kFileTail.size()) != kFileTail) return false;
  for (const char c : name.substr(kFileHead.size(), 4)) {
    if (kDigits.find(c) == std::string_view::npos) return false;
  }
  return true;
}

}  // namespace cardslots
