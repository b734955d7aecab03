#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace cardslots {

// The names of the landing's own entries: legal 8.3 names in capitals, so
// that Windows' FAT driver gives each the short entry alone (one slot), and
// of a form a person does not give a song or a folder. A name of the list
// is never given, compared case-blind as FAT compares names.
class PlaceholderNames {
 public:
  explicit PlaceholderNames(const std::vector<std::string>& taken);

  // "~CSQ0000.TMP", "~CSQ0001.TMP" ... with four base-36 digits; empty once
  // all are given.
  std::string nextFile();
  // "~CSQWAIT", then "~CSQWAI1" to "~CSQWAI9"; empty once all are given.
  std::string nextFolder();

  static bool isPlaceholderFile(std::string_view name);

 private:
  bool free(const std::string& name) const;

  std::set<std::string> taken_;  // in capitals
  int files_ = 0;
  int folders_ = 0;
};

}  // namespace cardslots
