#include "app/form2.h"

#include <algorithm>
#include <string>
#include <utility>
#include <variant>

#include "app/long_run.h"
#include "app/undo_command.h"
#include "platform/time_zone.h"
#include "stamping/run_preview.h"
#include "stamping/stamping_run.h"
#include "stamping/validation.h"

namespace app {

namespace {

constexpr std::string_view kCaption = "TIME変更";

}  // namespace

TForm2::TForm2(Form2Controls controls, ListedFolder& folder, const FlowWindows& flow,
               Messages& messages, UndoCommand& undo, platform::FileOps& fileOps, Clock clock)
    : controls_(controls),
      folder_(folder),
      flow_(flow),
      messages_(messages),
      undo_(undo),
      fileOps_(fileOps),
      clock_(std::move(clock)) {}

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
  controls_.preview->setText(stamping::previewLine(texts, currentYear_, chosenStep(),
                                                   folder_.entryCount(), folder_.separators(),
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

void TForm2::Button2Click() { cancelTimeDialog(flow_); }

void TForm2::DateTimeToFIleTime(platform::FileTime& result, const platform::LocalDateTime& value) {
  result = platform::localToUtc(value).value_or(0);
}

void TForm2::Button1Click() {
  startChecking(flow_);
  try {
    proceedFlag_ = true;
    std::string problem;

    stamping::TimeFieldTexts texts;
    for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = controls_.edits[i]->text();
    const auto validated = stamping::validateStartTime(texts, currentYear_);
    if (const auto* message = std::get_if<std::string>(&validated)) {
      problem = *message;
      proceedFlag_ = false;
    }

    if (proceedFlag_) {
      const stamping::StampOptions options{std::get<platform::LocalDateTime>(validated),
                                           chosenStep(), controls_.checkBox1.isChecked(),
                                           controls_.checkBox2.isChecked()};
      const stamping::RunResult result = stamp(options);
      switch (result.outcome) {
        case stamping::RunResult::Outcome::Completed:
          messages_.completionOverMain(result.message);
          return;
        case stamping::RunResult::Outcome::PrecheckFailed:
          problem = result.message;
          proceedFlag_ = false;
          break;
        case stamping::RunResult::Outcome::Stopped:
          // The dialog keeps control, fields as typed, so the user can free the
          // entry and try again; the error box reports the row.
          proceedFlag_ = false;
          throw HandlerFailure(result.message);
      }
    }

    if (!proceedFlag_) messages_.overDialog(problem);
  } catch (...) {
    // No path out of this handler may leave both the dialog and the main
    // window locked, nor a run's progress in the caption.
    controls_.window.setCaption(kCaption);
    giveDialogBack(flow_);
    throw;
  }
}

stamping::RunResult TForm2::stamp(const stamping::StampOptions& options) {
  platform::EntryListView& list = folder_.list();
  const int total = folder_.entryCount();
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
  const stamping::LocalToFileTime toFileTime = fileTimeConversion();

  const std::string folder = folder_.path();
  // What the run changes can be taken back; a run that changes nothing
  // leaves the last one's record as it is.
  stamping::KeptEntries kept;
  stamping::StampOptions keeping = options;
  kept.reserve(static_cast<std::size_t>(std::max(total, 0)));
  keeping.keep = &kept;

  stamping::RunResult result =
      stamping::runStamping(folder_.rows(), total, folder, fileOps_, keeping, folder_.separators(),
                            toFileTime, platform::utcToLocal, progress);
  if (!kept.empty()) undo_.keep({folder, std::move(kept)});
  if (result.changed > shown) list.redrawRows(shown, result.changed - 1);
  return result;
}

}  // namespace app
