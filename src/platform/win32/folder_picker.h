#pragma once

#include <windows.h>
// The header below needs the types <windows.h> declares.
#include <shobjidl.h>

#include <functional>

#include "platform/copy_ui.h"

namespace platform::win32 {

// Makes the folder dialog, as CoCreateInstance does: S_OK and a dialog with
// one reference, or the failure's HRESULT.
using FileDialogMaker = std::function<HRESULT(IFileOpenDialog** dialog)>;

// The system's CLSID_FileOpenDialog.
HRESULT makeSystemFileDialog(IFileOpenDialog** dialog);

// The system's folder picker over a window: IFileOpenDialog with
// FOS_PICKFOLDERS, or SHBrowseForFolderW where that dialog cannot be made.
// The maker is the seam at that call: the tests make it fail, as a system
// without the dialog does, to reach the older dialog.
class SystemFolderPicker final : public platform::FolderPicker {
 public:
  explicit SystemFolderPicker(std::function<HWND()> owner,
                              FileDialogMaker makeDialog = makeSystemFileDialog)
      : owner_(std::move(owner)), makeDialog_(std::move(makeDialog)) {}
  // A failure of the dialog (not Cancel) gives the HRESULT it failed with.
  platform::PickedFolder pickFolder(std::string_view title) override;

 private:
  std::function<HWND()> owner_;
  FileDialogMaker makeDialog_;
};

}  // namespace platform::win32
