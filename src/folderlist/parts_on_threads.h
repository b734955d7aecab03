#pragma once

#include <cstddef>
#include <functional>

namespace folderlist {

// Calls work(part) once for every part below parts, on up to `threads`
// threads, the caller's among them. Each thread takes the next part no
// thread has taken yet, so a part that costs more than the others does not
// leave the other threads idle. Should a part throw, no further part is
// started, and the first exception goes on to the caller once every thread
// is done.
void runParts(std::size_t parts, std::size_t threads,
              const std::function<void(std::size_t part)>& work);

// The threads worth starting for `items` items of work: the processor's
// cores, but none for fewer than leastEach items.
std::size_t threadsFor(std::size_t items, std::size_t leastEach);

}  // namespace folderlist
