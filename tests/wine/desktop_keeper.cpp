// wine_desktop_keeper [SECONDS]
// Holds Wine's desktop open while the Windows tests run, so that no test
// starts the desktop process itself. That process takes over the standard
// error of whoever starts it and lives on for a second after its last user,
// which keeps ctest waiting on each such test's output. Started with its
// streams away from ctest's pipes, it prints "ready" once the desktop is up
// and stays until killed or until SECONDS (default: no limit) have passed.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (GetDesktopWindow() == nullptr) {
    std::fprintf(stderr, "no desktop window (error %lu)\n", GetLastError());
    return 1;
  }
  std::puts("ready");
  std::fflush(stdout);
  const unsigned long seconds = argc > 1 ? std::wcstoul(argv[1], nullptr, 10) : 0;
  Sleep(seconds > 0 ? seconds * 1000 : INFINITE);
  return 0;
}
