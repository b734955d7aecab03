// The routes to a folder on Windows: the final path of an open handle,
// shortcuts through the shell's link object, the Desktop's known folder.
#include "platform/folder_routes.h"

#include <windows.h>
// The headers below need the types <windows.h> declares.
#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cwchar>
#include <memory>

#include "platform/win32/handles.h"
#include "platform/win32/long_path.h"
#include "platform/win32/utf.h"

namespace platform {

namespace {

using win32::ComPtr;

// "\\?\C:\x" is "C:\x" and "\\?\UNC\server\share" is "\\server\share".
std::wstring withoutLongPrefix(std::wstring path) {
  constexpr std::wstring_view kUnc = L"\\\\?\\UNC\\";
  constexpr std::wstring_view kLong = L"\\\\?\\";
  if (path.rfind(kUnc, 0) == 0) return L"\\\\" + path.substr(kUnc.size());
  if (path.rfind(kLong, 0) == 0) return path.substr(kLong.size());
  return path;
}

std::wstring finalPath(HANDLE handle) {
  const DWORD needed = GetFinalPathNameByHandleW(handle, nullptr, 0, VOLUME_NAME_DOS);
  if (needed == 0) return {};
  std::wstring path(needed, L'\0');
  const DWORD length = GetFinalPathNameByHandleW(handle, path.data(), needed, VOLUME_NAME_DOS);
  if (length == 0 || length >= needed) return {};
  path.resize(length);
  return withoutLongPrefix(std::move(path));
}

std::wstring longPath(const std::wstring& path) {
  const DWORD needed = GetLongPathNameW(path.c_str(), nullptr, 0);
  if (needed == 0) return {};
  std::wstring result(needed, L'\0');
  const DWORD length = GetLongPathNameW(path.c_str(), result.data(), needed);
  if (length == 0 || length >= needed) return {};
  result.resize(length);
  return withoutLongPrefix(std::move(result));
}

class Win32FolderRoutes final : public FolderRoutes {
 public:
  std::string canonicalPath(const std::string& path) override {
    const std::wstring wide = win32::toWinPath(path);
    // No access asked for: reading the attributes and the name needs none,
    // and a folder opens only with FILE_FLAG_BACKUP_SEMANTICS.
    const win32::UniqueHandle handle = win32::adoptHandle(
        CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    std::wstring canonical = handle ? finalPath(handle.get()) : std::wstring();
    if (canonical.empty()) canonical = longPath(wide);
    return narrow(canonical);
  }

  std::optional<std::string> shortcutTarget(const std::string& path) override {
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.putVoid()))) {
      return std::nullopt;
    }
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.putVoid()))) return std::nullopt;
    const std::wstring wide = widen(path);
    if (FAILED(file->Load(wide.c_str(), STGM_READ))) return std::nullopt;
    // No window, no search dialog, and the shortcut is not written back:
    // the user's files are only read. One second at most for a lost target.
    constexpr DWORD kTimeoutMs = 1000;
    const DWORD flags = SLR_NO_UI | SLR_NOUPDATE | (kTimeoutMs << 16);
    if (FAILED(link->Resolve(nullptr, flags))) return std::nullopt;
    std::wstring target(MAX_PATH * 4, L'\0');
    if (link->GetPath(target.data(), static_cast<int>(target.size()), nullptr, 0) != S_OK) {
      return std::nullopt;  // S_FALSE: the target is no file-system item
    }
    target.resize(wcslen(target.c_str()));
    if (target.empty()) return std::nullopt;
    return narrow(target);
  }

  std::string desktopFolder() override {
    PWSTR path = nullptr;
    const HRESULT result = SHGetKnownFolderPath(FOLDERID_Desktop, 0, nullptr, &path);
    const std::unique_ptr<wchar_t, win32::CoTaskMemDeleter> owned(path);
    if (FAILED(result) || !path) return {};
    return narrow(path);
  }
};

}  // namespace

FolderRoutes& systemFolderRoutes() {
  static Win32FolderRoutes routes;
  return routes;
}

}  // namespace platform
