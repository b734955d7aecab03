// The routes to a folder on POSIX: realpath; no shortcut files and no
// Desktop folder.
#include "platform/folder_routes.h"

#include <cstdlib>
#include <memory>

namespace platform {

namespace {

class PosixFolderRoutes final : public FolderRoutes {
 public:
  std::string canonicalPath(const std::string& path) override {
    const std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr),
                                                               &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
  }
  std::optional<std::string> shortcutTarget(const std::string&) override { return std::nullopt; }
  std::string desktopFolder() override { return {}; }
};

}  // namespace

FolderRoutes& systemFolderRoutes() {
  static PosixFolderRoutes routes;
  return routes;
}

}  // namespace platform
