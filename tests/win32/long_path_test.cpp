// Which paths reach the system in the long form: CreateDirectoryW refuses a
// folder path of 248 characters or more without it.
#include "platform/win32/long_path.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(LongPath, TheLongFormStartsWhereMakingAFolderNeedsIt) {
  const struct {
    std::string path;
    std::wstring expectedStart;
  } cases[] = {
      {"E:\\" + std::string(244, 'a'), L"E:\\aaa"},           // 247 characters
      {"E:\\" + std::string(245, 'a'), L"\\\\?\\E:\\aaa"},    // 248
      {"E:\\" + std::string(256, 'a'), L"\\\\?\\E:\\aaa"},    // 259
      {"E:\\\\" + std::string(250, 'a'), L"\\\\?\\E:\\aaa"},  // a root's doubled separator
      {"\\\\pc\\share\\" + std::string(240, 'a'), L"\\\\?\\UNC\\pc\\share\\aaa"},
  };
  for (const auto& c : cases) {
    const std::wstring got = platform::win32::toWinPath(c.path);
    EXPECT_EQ(got.substr(0, c.expectedStart.size()), c.expectedStart) << c.path.size();
  }
}

}  // namespace
