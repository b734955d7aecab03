#pragma once

// Names for the sorting benchmarks: what a large folder holds (camera
// numbering, documents, Japanese names in both kana and both widths, case
// variants, numbered copies), in a fixed shuffled order, with times that
// repeat and both kinds of entry.

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "folderlist/list_entry.h"

namespace benchdata {

inline folderlist::EntryRows benchRows(std::size_t count) {
  static const char* const kPatterns[] = {
      "IMG_%05zu.JPG", "img_%05zu.jpg",         "写真%zu.jpg",  "Report (%zu).docx",
      "ﾃｽﾄ%zu.txt",    "テスト%zu.txt",         "てすと%zu",    "Ｆｉｌｅ%zu.dat",
      "ReadMe%zu.TXT", "議事録_%zu.pdf",        "data-%zu.csv", "résumé %zu",
      "Ωmega%zu",      "新しいフォルダー (%zu)"};
  std::mt19937 random(20261209);
  folderlist::EntryRows rows;
  rows.reserve(count);
  char buffer[128];
  for (std::size_t i = 0; i < count; ++i) {
    const char* pattern = kPatterns[random() % std::size(kPatterns)];
    std::snprintf(buffer, sizeof buffer, pattern, static_cast<std::size_t>(random() % 200000));
    const bool folder = random() % 10 == 0;
    std::snprintf(buffer + 64, 64, "20%02u/%02u/%02u %02u:%02u:00",
                  static_cast<unsigned>(random() % 25), static_cast<unsigned>(1 + random() % 12),
                  static_cast<unsigned>(1 + random() % 28), static_cast<unsigned>(random() % 24),
                  static_cast<unsigned>(random() % 60));
    rows.push_back({buffer, folder ? "<Folder>" : "", buffer + 64});
  }
  return rows;
}

// A camera's folder: DSC_0001.JPG on, four digits until they run out, in a
// fixed shuffled order.
inline folderlist::EntryRows cameraRows(std::size_t count) {
  folderlist::EntryRows rows;
  rows.reserve(count);
  char name[32];
  for (std::size_t i = 1; i <= count; ++i) {
    std::snprintf(name, sizeof name, "DSC_%04zu.JPG", i);
    rows.push_back({name, "", "2026/12/09 10:00:00"});
  }
  std::shuffle(rows.begin(), rows.end(), std::mt19937(20261209));
  return rows;
}

}  // namespace benchdata
