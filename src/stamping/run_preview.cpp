#include "stamping/run_preview.h"

#include <optional>
#include <variant>

#include "folderlist/time_text.h"

namespace stamping {

std::string previewLine(const TimeFieldTexts& fields, std::uint16_t currentYear, Step step,
                        int rowCount, const platform::DateTimeSeparators& separators,
                        const LocalToFileTime& toFileTime, const FileTimeToLocal& toLocal) {
  if (rowCount <= 0) return {};
  const ValidationResult validated = validateStartTime(fields, currentYear);
  const auto* start = std::get_if<platform::LocalDateTime>(&validated);
  if (!start) return {};
  const std::optional<platform::FileTime> instant = startInstant(*start, toFileTime, toLocal);
  const auto shown = [&](int k) -> std::optional<std::string> {
    const std::optional<platform::FileTime> utc = rowInstant(instant, k, stepSeconds(step));
    const std::optional<platform::LocalDateTime> when = utc ? toLocal(*utc) : std::nullopt;
    if (!when) return std::nullopt;
    return folderlist::formatTimeText(*when, separators);
  };
  const std::optional<std::string> first = shown(0);
  const std::optional<std::string> last = shown(rowCount - 1);
  if (!first || !last) return {};
  return "1 行目 " + *first + " ～ " + std::to_string(rowCount) + " 行目 " + *last;
}

}  // namespace stamping
