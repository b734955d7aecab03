// A long check before the stamping, as on a slow network share: the window
// keeps being painted and the caption counts the checked rows, before any
// entry is opened.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "core/stamp_oracle.h"
#include "fakes/fake_app.h"
#include "fakes/memory_file_ops.h"
#include "fakes/temp_folder.h"
#include "platform/path.h"

namespace {

// Each attribute read takes a few milliseconds, and notes what the windows
// showed at that moment.
class SlowShare : public fakes::MemoryFileOps {
 public:
  struct Seen {
    int paints;
    std::string caption;
    int opens;
  };

  std::uint32_t readAttributes(const std::string& path) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(6));
    seen.push_back({app->paintPump.count, app->dialog.caption(), opens});
    return MemoryFileOps::readAttributes(path);
  }
  platform::OpenResult openFile(const std::string& path) override {
    ++opens;
    return MemoryFileOps::openFile(path);
  }

  fakes::FakeApp* app = nullptr;
  std::vector<Seen> seen;
  int opens = 0;
};

TEST(LongCheck, PaintsAndCountsTheCheckedRowsBeforeTheFirstStamp) {
  constexpr int kRows = 60;  // 60 reads of 6 ms: several repaint intervals
  testsupport::TempFolder dir;
  SlowShare share;
  fakes::FakeApp app(&share);
  share.app = &app;
  for (int i = 0; i < kRows; ++i) {
    const std::string name = oracle::numbered("f", 100 + i);
    dir.createFile(name);
    share.entries[platform::joinPath(dir.path(), name)] = {};
  }
  app.tree.path = dir.path();
  app.event([&] { app.listing->listSelectedFolder(); });
  ASSERT_EQ(app.folder().rowCount(), kRows);

  app.event([&] { app.commands->showTimeDialog(); });
  app.setFieldTexts({"2009", "3", "5", "12", "30", "0"});
  ASSERT_TRUE(app.event([&] { app.timeEntry->confirm(); }));
  EXPECT_EQ(app.label.text(), "変更しました");

  ASSERT_EQ(share.seen.size(), static_cast<std::size_t>(kRows));
  const SlowShare::Seen& lastCheck = share.seen.back();
  EXPECT_EQ(lastCheck.opens, 0) << "the check comes before any stamp";
  EXPECT_GT(lastCheck.paints, 0) << "the window was painted during the check";
  // The caption counts from the first checked row: during the check it
  // shows a count of checked rows out of both passes.
  const std::string prefix = "TIME変更 ";
  ASSERT_EQ(lastCheck.caption.substr(0, prefix.size()), prefix) << lastCheck.caption;
  const std::string count = lastCheck.caption.substr(prefix.size());
  const int done = std::stoi(count);
  EXPECT_GE(done, 1);
  EXPECT_LT(done, kRows);
  EXPECT_EQ(count.substr(count.find(" / ")), " / " + std::to_string(2 * kRows));
  EXPECT_EQ(app.dialog.caption(), "TIME変更") << "the caption is given back afterwards";
}

}  // namespace
