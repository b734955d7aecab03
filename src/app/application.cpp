#include "app/application.h"

#include <exception>
#include <new>

#include "platform/collation.h"

namespace app {

std::string applicationTitle(std::string_view programPath) {
  const auto slash = programPath.find_last_of("\\/");
  std::string_view name =
      slash == std::string_view::npos ? programPath : programPath.substr(slash + 1);
  name = name.substr(0, name.find('.'));
  if (name.empty()) return {};
  // The first character is kept whole: one lead byte and its continuation
  // bytes (10xxxxxx).
  std::size_t first = 1;
  while (first < name.size() && (static_cast<unsigned char>(name[first]) & 0xC0) == 0x80) ++first;
  return std::string(name.substr(0, first)) + platform::toLowerCase(name.substr(first));
}

std::string errorBoxText(std::string_view message) {
  std::string text(message);
  if (text.empty()) return text;
  // Every byte of a multi-byte UTF-8 character is 0x80 or above, so Japanese
  // text ends in a byte that sorts after "." just as letters and digits do.
  const auto last = static_cast<unsigned char>(text.back());
  if (last > '.') text.push_back('.');
  return text;
}

bool runHandler(const Application& app, const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (const std::bad_alloc&) {
    // The library's own text is English: the user reads the program's words.
    if (app.errorBox) app.errorBox->show(app.title, errorBoxText(kOutOfMemory));
  } catch (const std::exception& failure) {
    if (app.errorBox) app.errorBox->show(app.title, errorBoxText(failure.what()));
  }
  return false;
}

}  // namespace app
