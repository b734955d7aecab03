#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/listed_folder.h"
#include "capturetime/background_reader.h"
#include "folderlist/local_time_cache.h"
#include "platform/ui.h"

namespace app {

// What the capture time column shows itself with.
struct CaptureColumnControls {
  platform::Window& window;  // its caption shows the reading's progress
  platform::EntryListView& list;
  platform::Timer& timer;  // 50 ms: takes the times read so far
};

// "撮影日時を表示(&D)": the fourth column and the reading of its times. The
// times are read on a thread of their own from the moment the column shows
// and after each listing while it does; this window's thread takes them on
// the timer and fills the rows a bounded batch per tick, so the window keeps
// answering at any number of rows.
class CaptureColumn {
 public:
  using Read = capturetime::BackgroundReader::Read;
  // Rows filled in per tick: a few milliseconds of work, so that the window
  // answers at once whatever the number of rows.
  static constexpr std::size_t kBatch = 2048;

  // read: one file's capture time, on the reading thread; empty for the
  // file's own.
  CaptureColumn(ListedFolder& folder, CaptureColumnControls controls, Read read = {});

  bool shown() const { return shown_; }
  // Shows or takes away the column; shown, the listed rows' times are read.
  void setShown(bool shown);
  // The column's width: the list's while shown, else the one it comes back
  // with.
  int width() const;
  void setWidth(int width);

  // Rows filled in per tick from now on; a test reaches a second tick with
  // a few rows this way.
  void setBatch(std::size_t rows) { batch_ = rows; }

  // A listing ended: its rows are read while the column shows.
  void listed();
  // A listing begins, or the program ends: the reading stops at once and no
  // time read for the rows gone reaches the rows that follow.
  void stop();
  // The timer: takes what was read and fills in at most one batch of rows.
  void tick();

  // True from the column's showing or a listing until every row's time is in.
  bool reading() const { return static_cast<bool>(reader_); }
  // Runs once when the reading under way has filled in every row; replaced
  // by the next call, dropped by stop() and by taking the column away.
  void whenAllRead(std::function<void()> then) { allRead_ = std::move(then); }

 private:
  // Results as taken from one reading: the listing they belong to.
  struct Taken {
    std::uint64_t generation = 0;
    std::vector<capturetime::ReadResult> results;
    std::size_t next = 0;  // the first not yet filled in
  };

  void start();
  // Fills in the taken results of the current listing, at most a batch.
  void fillBatch();
  void showProgress();
  void finish();

  ListedFolder& folder_;
  CaptureColumnControls controls_;
  Read read_;
  std::size_t batch_ = kBatch;
  bool shown_ = false;
  int width_;
  // Raised by every start and stop: results taken under another belong to
  // rows no longer listed.
  std::uint64_t generation_ = 0;
  std::unique_ptr<capturetime::BackgroundReader> reader_;
  // Readers asked to stop whose thread may still be in a file (a slow
  // network folder): dropped once they have ended, so a stop never waits.
  std::vector<std::unique_ptr<capturetime::BackgroundReader>> stopping_;
  Taken taken_;
  std::size_t filled_ = 0;  // rows filled in by the current reading
  std::string captionBefore_;
  folderlist::LocalTimeCache toLocal_;
  std::function<void()> allRead_;
};

}  // namespace app
