// A small program that uses the C++ runtime and threads, linked by the import
// check's test both ways: against the runtime DLLs and statically.
#include <iostream>
#include <thread>

int main() {
  std::thread worker([] { std::cout << "probe\n"; });
  worker.join();
}
