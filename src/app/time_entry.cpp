#include "app/time_entry.h"

#include <algorithm>
#include <string>
#include <utility>
#include <variant>

#include "app/application.h"
#include "app/long_command.h"
#include "app/long_run.h"
#include "app/undo_command.h"
#include "platform/time_zone.h"
#include "stamping/run_preview.h"
#include "stamping/stamping_run.h"
#include "stamping/validation.h"

namespace app {

namespace {

constexpr std::string_view kCaption = "TIME変更";

// Local time to the file time the run sets; nothing where the zone has no
// such time.
std::optional<platform::FileTime> toFileTime(const platform::LocalDateTime& local) {
  const platform::FileTime result = platform::localToUtc(local).value_or(0);
  return result != 0 ? std::optional<platform::FileTime>(result) : std::nullopt;
}

}  // namespace

TimeEntry::TimeEntry(TimeEntryControls controls, TimeEntryLinks links, Clock clock)
    : controls_(controls), links_(links), clock_(std::move(clock)) {}

void TimeEntry::windowCreated() {
  // Position 1 is Close; without it the dialog is left only through its buttons.
  controls_.window.deleteWindowMenuItem(1);
  controls_.minuteStep.setChecked(true);
}

void TimeEntry::fillToday() {
  const platform::LocalDateTime now = clock_();
  showInFields({now.year, now.month, now.day, 0, 0, 0});
}

void TimeEntry::fillNow() {
  const platform::LocalDateTime now = clock_();
  showInFields({now.year, now.month, now.day, now.hour, now.minute, now.second});
}

void TimeEntry::showInFields(const std::array<int, 6>& values) {
  // The year of the moment filled in bounds the year field until the next fill.
  currentYear_ = static_cast<std::uint16_t>(values[0]);
  for (std::size_t i = 0; i < values.size(); ++i) {
    controls_.fields[i]->setText(std::to_string(values[i]));
  }
  fieldsChanged();
}

stamping::TimeFieldTexts TimeEntry::fieldTexts() const {
  stamping::TimeFieldTexts texts;
  for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = controls_.fields[i]->text();
  return texts;
}

void TimeEntry::fieldsChanged() {
  if (!controls_.preview) return;
  controls_.preview->setText(
      stamping::previewLine(fieldTexts(), currentYear_, chosenStep(), links_.folder.rowCount(),
                            links_.folder.separators(), toFileTime, platform::utcToLocal));
}

stamping::Step TimeEntry::chosenStep() const {
  return controls_.twoSecondStep.isChecked() ? stamping::Step::TwoSeconds
                                             : stamping::Step::OneMinute;
}

void TimeEntry::cancel() { cancelTimeDialog(links_.flow); }

void TimeEntry::confirm() {
  runLocked(
      links_.flow, kTimeDialogLock,
      [this] {
        // Exactly one message: the first problem found.
        if (const std::optional<std::string> problem = checkAndStamp()) {
          links_.messages.overDialog(*problem);
        }
      },
      // No path out of this handler may leave both the dialog and the main
      // window locked, nor a run's progress in the caption.
      [this] { controls_.window.setCaption(kCaption); });
}

std::optional<std::string> TimeEntry::checkAndStamp() {
  const auto validated = stamping::validateStartTime(fieldTexts(), currentYear_);
  if (const auto* message = std::get_if<std::string>(&validated)) return *message;

  const stamping::StampOptions options{std::get<platform::LocalDateTime>(validated), chosenStep(),
                                       controls_.alsoCreation.isChecked(),
                                       controls_.alsoAccess.isChecked()};
  const stamping::RunResult result = stamp(options);
  switch (result.outcome) {
    case stamping::RunResult::Outcome::Completed:
      links_.messages.completionOverMain(result.completion);
      return std::nullopt;
    case stamping::RunResult::Outcome::PrecheckFailed:
      return result.text();
    case stamping::RunResult::Outcome::Stopped:
      // The dialog keeps control, fields as typed, so the user can free the
      // entry and try again; the error box reports the row.
      throw HandlerFailure(result.text());
  }
  return std::nullopt;
}

stamping::RunResult TimeEntry::stamp(const stamping::StampOptions& options) {
  platform::EntryListView& list = links_.list;
  int shown = 0;
  LongRun run(controls_.window, kCaption, controls_.paintPump, std::string(kCaption));

  // From the first checked row to the last stamped one: a long check on a
  // slow medium shows its progress and stays painted as the stamping does.
  const auto progress = [&](int done, int count, int stamped) {
    run.progress(done, count, [&] {
      if (stamped > shown) list.redrawRows(shown, stamped - 1);
      shown = stamped;
    });
  };

  const std::string folder = links_.folder.path();
  // What the run changes can be taken back; a run that changes nothing
  // leaves the last one's record as it is.
  stamping::KeptEntries kept;
  stamping::StampOptions keeping = options;
  kept.reserve(links_.folder.rows().size());
  keeping.keep = &kept;

  stamping::RunResult result =
      stamping::runStamping(links_.folder.rows(), folder, links_.fileOps, keeping,
                            links_.folder.separators(), toFileTime, platform::utcToLocal, progress);
  if (!kept.empty()) links_.undo.keep({folder, std::move(kept)});
  if (result.changed > shown) list.redrawRows(shown, result.changed - 1);
  return result;
}

}  // namespace app
