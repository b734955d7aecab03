#pragma once

#include <windows.h>

#include <functional>

#include "platform/copy_ui.h"

namespace platform::win32 {

// The system's folder picker over a window: IFileOpenDialog with
// FOS_PICKFOLDERS, or SHBrowseForFolderW where that dialog cannot be made.
class SystemFolderPicker final : public platform::FolderPicker {
 public:
  explicit SystemFolderPicker(std::function<HWND()> owner) : owner_(std::move(owner)) {}
  std::optional<std::string> pickFolder(std::string_view title) override;

 private:
  std::function<HWND()> owner_;
};

}  // namespace platform::win32
