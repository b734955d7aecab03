// Chronoseq.exe: creates the three windows in order and runs the event loop.

#include <windows.h>
// The headers below need the types <windows.h> declares.
#include <objbase.h>

#include <string>

#include "app/application.h"
#include "platform/win32/utf.h"
#include "shell/outside_path.h"
#include "shell/program.h"

namespace {

// The shell namespace of the folder tree needs a single-threaded apartment.
class ComApartment {
 public:
  ComApartment()
      : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  HRESULT result_;
};

std::wstring programPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  ComApartment apartment;
  shell::ProgramOptions options;
  options.title = app::applicationTitle(platform::narrow(programPath()));
  options.onMainWindowDestroyed = [] { PostQuitMessage(0); };
  // Explorer's "送る" and a drop onto the program's icon pass a path.
  options.startPath = shell::firstArgument(GetCommandLineW());

  shell::Program windows(std::move(options));
  if (!windows.create()) return 1;
  return shell::runEventLoop(windows, showCommand);
}
