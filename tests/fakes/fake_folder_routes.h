#pragma once

// The routes to a folder as a test lays them out, modelling what Windows
// answers: GetFinalPathNameByHandleW gives one path for every route to a
// folder (a link, a junction, a mapped drive, another case), IShellLinkW
// resolves a shortcut or finds it broken, SHGetKnownFolderPath names the
// Desktop's folder.

#include <map>
#include <optional>
#include <string>

#include "platform/folder_routes.h"

namespace fakes {

class FakeFolderRoutes : public platform::FolderRoutes {
 public:
  // A path not named in `canonical` is its own canonical path; one named
  // there with an empty value cannot be opened.
  std::string canonicalPath(const std::string& path) override {
    const auto found = canonical.find(path);
    return found == canonical.end() ? path : found->second;
  }
  // A shortcut not named in `shortcuts` is broken.
  std::optional<std::string> shortcutTarget(const std::string& path) override {
    ++shortcutsResolved;
    const auto found = shortcuts.find(path);
    if (found == shortcuts.end()) return std::nullopt;
    return found->second;
  }
  std::string desktopFolder() override { return desktop; }

  std::map<std::string, std::string> canonical;
  std::map<std::string, std::string> shortcuts;
  std::string desktop;
  int shortcutsResolved = 0;
};

}  // namespace fakes
