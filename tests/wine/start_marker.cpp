// Linked into every test program that runs under Wine. Before any other of
// the program's own code runs, it creates the file named by
// CHRONOSEQ_START_MARKER, if that is set. scripts/wine-run.sh sets it: a
// test process that failed without leaving the file never got past Wine's
// loader, and only such a start is tried again (a test that ran never is).
#include <cstdio>
#include <cstdlib>

namespace {

struct StartMarker {
  StartMarker() {
    if (const char* path = std::getenv("CHRONOSEQ_START_MARKER")) {
      if (std::FILE* file = std::fopen(path, "wb")) std::fclose(file);
    }
  }
};

// The earliest priority a program may use: before GoogleTest's own objects.
const StartMarker marker __attribute__((init_priority(101)));

}  // namespace
