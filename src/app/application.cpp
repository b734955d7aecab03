#include "app/application.h"

#include <cctype>
#include <exception>
#include <new>

namespace app {

std::string applicationTitle(std::string_view programPath) {
  const auto slash = programPath.find_last_of("\\/");
  std::string_view name =
      slash == std::string_view::npos ? programPath : programPath.substr(slash + 1);
  name = name.substr(0, name.find('.'));
  std::string title(name);
  for (std::size_t i = 1; i < title.size(); ++i) {
    const auto c = static_cast<unsigned char>(title[i]);
    if (c < 0x80) title[i] = static_cast<char>(std::tolower(c));
  }
  return title;
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
