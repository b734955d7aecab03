#include "platform/win32/folder_picker.h"

#include "platform/win32/handles.h"
#include "platform/win32/utf.h"

namespace platform::win32 {

namespace {

// nullopt: the dialog could not be made at all, and the older one is tried.
std::optional<PickedFolder> pickWithFileDialog(const FileDialogMaker& makeDialog, HWND owner,
                                               const std::wstring& title) {
  IFileOpenDialog* raw = nullptr;
  if (FAILED(makeDialog(&raw)) || !raw) return std::nullopt;
  const ComPtr<IFileOpenDialog> dialog = ComPtr<IFileOpenDialog>::attach(raw);
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  if (FAILED(dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM |
                                FOS_PATHMUSTEXIST))) {
    return std::nullopt;
  }
  dialog->SetTitle(title.c_str());
  PickedFolder picked;
  const HRESULT shown = dialog->Show(owner);
  if (shown == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return picked;
  if (FAILED(shown)) {
    picked.failure = static_cast<std::uint32_t>(shown);
    return picked;
  }
  IShellItem* item = nullptr;
  if (const HRESULT got = dialog->GetResult(&item); FAILED(got) || !item) {
    picked.failure = static_cast<std::uint32_t>(FAILED(got) ? got : E_FAIL);
    return picked;
  }
  const ComPtr<IShellItem> chosen = ComPtr<IShellItem>::attach(item);
  wchar_t* path = nullptr;
  if (const HRESULT named = chosen->GetDisplayName(SIGDN_FILESYSPATH, &path);
      FAILED(named) || !path) {
    picked.failure = static_cast<std::uint32_t>(FAILED(named) ? named : E_FAIL);
    return picked;
  }
  picked.path = narrow(path);
  CoTaskMemFree(path);
  return picked;
}

PickedFolder pickWithBrowseDialog(HWND owner, const std::wstring& title) {
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  PickedFolder picked;
  const UniquePidl chosen(SHBrowseForFolderW(&info));
  if (!chosen) return picked;  // cancelled
  wchar_t path[MAX_PATH] = {};
  if (!SHGetPathFromIDListW(chosen.get(), path)) {
    picked.failure = static_cast<std::uint32_t>(E_FAIL);
    return picked;
  }
  picked.path = narrow(path);
  return picked;
}

}  // namespace

HRESULT makeSystemFileDialog(IFileOpenDialog** dialog) {
  return CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                          IID_PPV_ARGS(dialog));
}

PickedFolder SystemFolderPicker::pickFolder(std::string_view title) {
  const HWND owner = owner_ ? owner_() : nullptr;
  const std::wstring wideTitle = widen(title);
  if (auto picked = pickWithFileDialog(makeDialog_, owner, wideTitle)) return *picked;
  return pickWithBrowseDialog(owner, wideTitle);
}

}  // namespace platform::win32
