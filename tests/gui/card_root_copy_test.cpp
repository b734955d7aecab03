// Copying onto a card's root as Windows leaves it: only a hidden, system
// "System Volume Information" there, its attributes set as Wine keeps them
// (the extended attribute user.DOSATTRIB, "0x6", by setfattr). The copy goes
// through the real windows, and that folder is left as it was.
//
// The card folder is made by tests/gui/card_root.sh, which runs this case
// with CHRONOSEQ_CARD_ROOT naming it (a Linux path, Z: under Wine).

#include <cstdlib>
#include <string>

#include "fakes/fake_copy_ui.h"
#include "gui/gui_fixture.h"
#include "platform/win32/utf.h"
#include "shell/control_ids.h"

namespace gui {
namespace {

using namespace shell;

constexpr WindowFlags kMessageOverMain{true, false, false, true, true, true};

// The Linux path as Wine's drive Z: shows it.
std::wstring onDriveZ(const std::string& unixPath) {
  std::wstring path = L"Z:" + platform::widen(unixPath);
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

std::string fileContent(const std::wstring& path) {
  const HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<none>";
  char buffer[256] = {};
  DWORD got = 0;
  ReadFile(file, buffer, sizeof(buffer), &got, nullptr);
  CloseHandle(file);
  return std::string(buffer, got);
}

class CardRootCopyTest : public GuiFixture {
 protected:
  void SetUp() override {
    const char* root = std::getenv("CHRONOSEQ_CARD_ROOT");
    if (!root || !*root) {
      GTEST_SKIP() << "the card folder is made by tests/gui/card_root.sh (setfattr), which runs "
                      "this case as gui.CopiesOntoACardRootHoldingItsVolumeFolder";
    }
    card_ = onDriveZ(root);
    GuiFixture::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    picker_.answer = platform::narrow(card_);
    folderPicker_ = &picker_;
    start();
  }

  std::wstring card_;
  fakes::FakePicker picker_;
};

TEST_F(CardRootCopyTest, TheCopyGoesThroughAndTheVolumesFolderIsLeftAsItWas) {
  const std::wstring volume = card_ + L"\\System Volume Information";
  const DWORD before = GetFileAttributesW(volume.c_str());
  ASSERT_NE(before, INVALID_FILE_ATTRIBUTES);
  constexpr DWORD kHiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  ASSERT_EQ(before & kHiddenSystem, kHiddenSystem) << "Wine reads user.DOSATTRIB 0x6";
  const std::string guid = fileContent(volume + L"\\IndexerVolumeGuid");
  ASSERT_NE(guid, "<none>");
  ASSERT_GT(rowCount(), 0);

  menuCommand(app::Command::copyInOrder);

  const std::wstring label = windowText(item(messageWindow(), shell::kMessageLabel));
  EXPECT_EQ(label.rfind(wide("コピーしました ("), 0), 0u) << platform::narrow(label);
  EXPECT_EQ(label.find(wide("順番を読み戻せませんでした")), std::wstring::npos);
  EXPECT_EQ(flags(), kMessageOverMain);
  // Every row is on the card, and the volume's folder as it was.
  for (const std::wstring& name : listedNames()) {
    EXPECT_NE(GetFileAttributesW((card_ + L"\\" + name).c_str()), INVALID_FILE_ATTRIBUTES)
        << platform::narrow(name);
  }
  EXPECT_EQ(GetFileAttributesW(volume.c_str()), before);
  EXPECT_EQ(fileContent(volume + L"\\IndexerVolumeGuid"), guid);
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW((volume + L"\\*").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  int entries = 0;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") ++entries;
  } while (FindNextFileW(search, &found));
  FindClose(search);
  EXPECT_EQ(entries, 1) << "nothing was written into the volume's folder";
}

}  // namespace
}  // namespace gui
