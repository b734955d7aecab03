#include "platform/win32/folder_picker.h"

#include "platform/win32/handles.h"
#include "platform/win32/utf.h"

namespace platform::win32 {

namespace {

// nullopt inside: the user cancelled; nullopt outside: the dialog could not
// be made at all.
std::optional<std::optional<std::string>> pickWithFileDialog(const FileDialogMaker& makeDialog,
                                                             HWND owner,
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
  if (FAILED(dialog->Show(owner))) return std::optional<std::string>();  // cancelled
  IShellItem* item = nullptr;
  if (FAILED(dialog->GetResult(&item))) return std::optional<std::string>();
  const ComPtr<IShellItem> chosen = ComPtr<IShellItem>::attach(item);
  wchar_t* path = nullptr;
  if (FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path)) || !path) {
    return std::optional<std::string>();
  }
  std::string result = narrow(path);
  CoTaskMemFree(path);
  return std::optional<std::string>(std::move(result));
}

std::optional<std::string> pickWithBrowseDialog(HWND owner, const std::wstring& title) {
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  const UniquePidl chosen(SHBrowseForFolderW(&info));
  if (!chosen) return std::nullopt;
  wchar_t path[MAX_PATH] = {};
  if (!SHGetPathFromIDListW(chosen.get(), path)) return std::nullopt;
  return narrow(path);
}

}  // namespace

HRESULT makeSystemFileDialog(IFileOpenDialog** dialog) {
  return CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                          IID_PPV_ARGS(dialog));
}

std::optional<std::string> SystemFolderPicker::pickFolder(std::string_view title) {
  const HWND owner = owner_ ? owner_() : nullptr;
  const std::wstring wideTitle = widen(title);
  if (auto picked = pickWithFileDialog(makeDialog_, owner, wideTitle)) return *picked;
  return pickWithBrowseDialog(owner, wideTitle);
}

}  // namespace platform::win32
