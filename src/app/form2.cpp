#include "app/form2.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <utility>
#include <variant>

#include "app/form1.h"
#include "app/form3.h"
#include "app/undo_command.h"
#include "app/window_flow.h"
#include "platform/time_zone.h"
#include "stamping/run_preview.h"
#include "stamping/stamping_run.h"
#include "stamping/validation.h"

namespace app {

namespace {

constexpr std::string_view kCaption = "TIME変更";
constexpr std::string_view kCompleted = "変更しました";

// How often a long run repaints its windows and shows its progress.
constexpr auto kRepaintInterval = std::chrono::milliseconds(100);

}  // namespace

TForm2::TForm2(Application& app, Form2Controls controls, platform::FileOps& fileOps, Clock clock)
    : app_(app), controls_(controls), fileOps_(fileOps), clock_(std::move(clock)) {}

void TForm2::FormCreate() {
  // Position 1 is Close; without it the dialog is left only through its buttons.
  controls_.window.deleteWindowMenuItem(1);
  controls_.radioButton1.setChecked(true);
}

void TForm2::fillToday() {
  const platform::LocalDateTime now = clock_();
  showInFields({now.year, now.month, now.day, 0, 0, 0});
}

void TForm2::Button3Click() {
  const platform::LocalDateTime now = clock_();
  showInFields({now.year, now.month, now.day, now.hour, now.minute, now.second});
}

void TForm2::showInFields(const std::array<int, 6>& values) {
  // The year of the moment filled in bounds the year field until the next fill.
  currentYear_ = static_cast<std::uint16_t>(values[0]);
  for (std::size_t i = 0; i < values.size(); ++i) {
    controls_.edits[i]->setText(std::to_string(values[i]));
  }
  FieldsChange();
}

void TForm2::FieldsChange() {
  if (!controls_.preview) return;
  stamping::TimeFieldTexts texts;
  for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = controls_.edits[i]->text();
  const TForm1& main = *app_.form1;
  controls_.preview->setText(stamping::previewLine(texts, currentYear_, chosenStep(),
                                                   main.entryCount(), main.separators(),
                                                   fileTimeConversion(), platform::utcToLocal));
}

stamping::Step TForm2::chosenStep() const {
  return controls_.radioButton2.isChecked() ? stamping::Step::TwoSeconds
                                            : stamping::Step::OneMinute;
}

stamping::LocalToFileTime TForm2::fileTimeConversion() {
  return [this](const platform::LocalDateTime& local) {
    platform::FileTime result = 0;
    DateTimeToFIleTime(result, local);
    return result != 0 ? std::optional<platform::FileTime>(result) : std::nullopt;
  };
}

void TForm2::Button2Click() { cancelTimeDialog(flowWindows(app_)); }

void TForm2::DateTimeToFIleTime(platform::FileTime& result, const platform::LocalDateTime& value) {
  result = platform::localToUtc(value).value_or(0);
}

void TForm2::Button1Click() {
  startChecking(flowWindows(app_));
  try {
    proceedFlag_ = 1;
    TForm3& messages = *app_.form3;

    stamping::TimeFieldTexts texts;
    for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = controls_.edits[i]->text();
    const auto validated = stamping::validateStartTime(texts, currentYear_);
    if (const auto* message = std::get_if<std::string>(&validated)) {
      messages.controls().label1.setText(*message);
      proceedFlag_ = 0;
    }

    if (proceedFlag_ == 1) {
      const stamping::StampOptions options{std::get<platform::LocalDateTime>(validated),
                                           chosenStep(), controls_.checkBox1.isChecked(),
                                           controls_.checkBox2.isChecked()};
      const stamping::StampResult result = stamp(options);
      switch (result.outcome) {
        case stamping::StampResult::Outcome::Completed:
          messages.controls().label1.setText(kCompleted);
          showCompletionOverMain(flowWindows(app_));
          return;
        case stamping::StampResult::Outcome::PrecheckFailed:
          messages.controls().label1.setText(result.message);
          proceedFlag_ = 0;
          break;
        case stamping::StampResult::Outcome::Stopped:
          // The dialog keeps control, fields as typed, so the user can free the
          // entry and try again; the error box reports the row.
          proceedFlag_ = 0;
          throw HandlerFailure(result.message);
      }
    }

    if (proceedFlag_ == 0) showMessageOverDialog(flowWindows(app_));
  } catch (...) {
    // No path out of this handler may leave both the dialog and the main
    // window locked, nor a run's progress in the caption.
    controls_.window.setCaption(kCaption);
    giveDialogBack(flowWindows(app_));
    throw;
  }
}

stamping::StampResult TForm2::stamp(const stamping::StampOptions& options) {
  TForm1& main = *app_.form1;
  platform::EntryListView& list = main.controls().list;
  const int total = main.entryCount();
  int shown = 0;
  auto lastPaint = std::chrono::steady_clock::now();

  // From the first checked row to the last stamped one: a long check on a
  // slow medium shows its progress and stays painted as the stamping does.
  const auto progress = [&](int done, int count, int stamped) {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastPaint < kRepaintInterval && done < count) return;
    lastPaint = now;
    if (stamped > shown) list.redrawRows(shown, stamped - 1);
    shown = stamped;
    controls_.window.setCaption(std::string(kCaption) + " " + std::to_string(done) + " / " +
                                std::to_string(count));
    controls_.paintPump.pumpPaint();
  };
  const stamping::LocalToFileTime toFileTime = fileTimeConversion();

  const std::string folder = main.currentFolderPath();
  // What the run changes can be taken back; a run that changes nothing
  // leaves the last one's record as it is.
  stamping::KeptEntries kept;
  stamping::StampOptions keeping = options;
  if (app_.undo) {
    kept.reserve(static_cast<std::size_t>(std::max(total, 0)));
    keeping.keep = &kept;
  }

  stamping::StampResult result =
      stamping::runStamping(main.rows(), total, folder, fileOps_, keeping, main.separators(),
                            toFileTime, platform::utcToLocal, progress);
  if (app_.undo && !kept.empty()) app_.undo->keep({folder, std::move(kept)});
  if (result.stampedRows > shown) list.redrawRows(shown, result.stampedRows - 1);
  controls_.window.setCaption(kCaption);
  return result;
}

}  // namespace app
