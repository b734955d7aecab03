// The routes to a folder through the Win32 backend: the file system's own
// path for another spelling of it, nothing for a path that is not there,
// and shortcuts made by the shell's link object resolved without a window.

#include "platform/folder_routes.h"

#include <gtest/gtest.h>
#include <windows.h>
// The headers below need the types <windows.h> declares.
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <optional>
#include <string>

#include "fakes/temp_folder.h"
#include "platform/path.h"
#include "platform/win32/utf.h"

namespace {

using testsupport::TempFolder;

bool makeShortcut(const std::string& link, const std::string& target) {
  IShellLinkW* shellLink = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&shellLink)))) {
    return false;
  }
  IPersistFile* file = nullptr;
  const bool made =
      SUCCEEDED(shellLink->SetPath(platform::widen(target).c_str())) &&
      SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
      SUCCEEDED(file->Save(platform::widen(link).c_str(), TRUE));
  if (file) file->Release();
  shellLink->Release();
  return made;
}

TEST(Win32FolderRoutes, TheFileSystemsOwnPathOfAFolderOrFile) {
  TempFolder tmp;
  const std::string folder = tmp.createFolder("写真 Abc");
  const std::string file = tmp.createFile(platform::joinPath("写真 Abc", "Img.JPG"), "x");
  platform::FolderRoutes& routes = platform::systemFolderRoutes();
  const std::string canonical = routes.canonicalPath(folder);
  ASSERT_FALSE(canonical.empty());
  const struct {
    std::string path;
    std::string expected;
  } cases[] = {
      {folder, canonical},
      {tmp.pathOf("写真 ABC"), canonical},  // another case: the name as stored
      {folder + "\\", canonical},
      {folder + "\\.\\", canonical},
      {platform::joinPath(tmp.pathOf("写真 aBC"), "img.jpg"),
       platform::joinPath(canonical, "Img.JPG")},
      {tmp.pathOf("無い"), ""},
  };
  for (const auto& c : cases) EXPECT_EQ(routes.canonicalPath(c.path), c.expected) << c.path;
  EXPECT_TRUE(platform::sameFolder(routes, tmp.pathOf("写真 abc"), folder));
  (void)file;
}

TEST(Win32FolderRoutes, AShortcutsTargetIsReadWithoutAWindow) {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  TempFolder tmp;
  const std::string folder = tmp.createFolder("曲");
  const std::string file = tmp.createFile(platform::joinPath("曲", "1.mp3"), "x");
  const std::string toFolder = tmp.pathOf("曲へ.lnk");
  const std::string toFile = tmp.pathOf("1.mp3 へ.lnk");
  ASSERT_TRUE(makeShortcut(toFolder, folder));
  ASSERT_TRUE(makeShortcut(toFile, file));
  platform::FolderRoutes& routes = platform::systemFolderRoutes();
  EXPECT_EQ(routes.shortcutTarget(toFolder), std::optional<std::string>(folder));
  EXPECT_EQ(routes.shortcutTarget(toFile), std::optional<std::string>(file));
  const std::string notALink = tmp.createFile("偽物.lnk", "not a shortcut");
  EXPECT_EQ(routes.shortcutTarget(notALink), std::nullopt);
  EXPECT_EQ(routes.shortcutTarget(tmp.pathOf("無い.lnk")), std::nullopt);
  if (SUCCEEDED(com)) CoUninitialize();
}

}  // namespace
