#include "app/capture_column.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>

#include "capturetime/capture_time.h"
#include "folderlist/column_sort.h"
#include "platform/path.h"
#include "platform/time_zone.h"
#include "settings/settings_file.h"

namespace app {

namespace {

// Leads the caption while the times are read: "撮影日時 n / N".
constexpr std::string_view kProgressCaption = "撮影日時";

}  // namespace

CaptureColumn::CaptureColumn(ListedFolder& folder, CaptureColumnControls controls, Read read)
    : folder_(folder),
      controls_(controls),
      read_(std::move(read)),
      width_(settings::kDefaultCaptureColumnWidth),
      toLocal_(platform::utcToLocal) {}

void CaptureColumn::setShown(bool shown) {
  if (shown == shown_) return;
  if (!shown) {
    width_ = controls_.list.columnWidth(folderlist::kCaptureColumn);
    stop();
  }
  shown_ = shown;
  controls_.list.showCaptureColumn(shown, width_);
  if (shown) start();
}

int CaptureColumn::width() const {
  return shown_ ? controls_.list.columnWidth(folderlist::kCaptureColumn) : width_;
}

void CaptureColumn::setWidth(int width) {
  width_ = width;
  if (shown_) controls_.list.setColumnWidth(folderlist::kCaptureColumn, width);
}

void CaptureColumn::listed() {
  if (shown_) start();
}

void CaptureColumn::stop() {
  ++generation_;
  std::erase_if(stopping_, [](const auto& reader) { return reader->ended(); });
  const bool wasReading = static_cast<bool>(reader_);
  if (reader_) {
    // Nothing it reads from now on is handed over; its thread ends after
    // the file it is in, without this thread waiting for it.
    reader_->stop();
    stopping_.push_back(std::move(reader_));
  }
  taken_ = {};
  filled_ = 0;
  allRead_ = nullptr;
  folder_.captures().clear();
  controls_.timer.setEnabled(false);
  if (wasReading) controls_.window.setCaption(captionBefore_);
}

void CaptureColumn::start() {
  stop();
  const std::vector<std::string>& names = folder_.captures().start(folder_.rows());
  std::vector<std::string> paths;
  paths.reserve(names.size());
  for (const std::string& name : names) paths.push_back(platform::joinPath(folder_.path(), name));
  captionBefore_ = controls_.window.caption();
  reader_ = std::make_unique<capturetime::BackgroundReader>(std::move(paths), read_);
  showProgress();
  controls_.timer.setEnabled(true);
}

void CaptureColumn::tick() {
  if (!reader_) {
    controls_.timer.setEnabled(false);
    return;
  }
  // The reader's progress first: all it counts is then among what is taken.
  const bool allReadBefore = reader_->progress().finished();
  if (taken_.next >= taken_.results.size()) {
    taken_ = Taken{generation_, reader_->take(), 0};
  }
  fillBatch();
  if (allReadBefore && taken_.next >= taken_.results.size() &&
      reader_->progress().done == filled_) {
    finish();
    return;
  }
  showProgress();
}

void CaptureColumn::fillBatch() {
  // Taken under another listing: none of it is for these rows.
  if (taken_.generation != generation_) taken_ = {};
  const std::size_t end = std::min(taken_.results.size(), taken_.next + batch_);
  if (taken_.next >= end) return;
  folderlist::CaptureCells& cells = folder_.captures();
  const auto toLocal = [this](platform::FileTime utc) { return toLocal_.toLocal(utc); };
  for (; taken_.next < end; ++taken_.next) {
    const capturetime::ReadResult& result = taken_.results[taken_.next];
    const std::optional<capturetime::ShownCaptureTime> shown =
        capturetime::shownCaptureTime(result.time, toLocal);
    cells.put(result.index, shown, capturetime::captureTimeText(shown, folder_.separators()));
    ++filled_;
  }
  // Only the rows in view are drawn again; the others read their cells when
  // they scroll in.
  if (folder_.rowCount() > 0) controls_.list.redrawRows(0, folder_.rowCount() - 1);
}

void CaptureColumn::showProgress() {
  const std::size_t total = folder_.captures().nameCount();
  controls_.window.setCaption(std::string(kProgressCaption) + " " + std::to_string(filled_) +
                              " / " + std::to_string(total));
}

void CaptureColumn::finish() {
  reader_.reset();
  controls_.timer.setEnabled(false);
  controls_.window.setCaption(captionBefore_);
  std::function<void()> then = std::move(allRead_);
  allRead_ = nullptr;
  if (then) then();
}

}  // namespace app
