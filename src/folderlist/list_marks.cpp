#include "folderlist/list_marks.h"

#include <algorithm>

namespace folderlist {

void ListChanges::redraw(int first, int last) {
  if (first > last) std::swap(first, last);
  if (redrawFirst < 0) {
    redrawFirst = first;
    redrawLast = last;
    return;
  }
  redrawFirst = std::min(redrawFirst, first);
  redrawLast = std::max(redrawLast, last);
}

}  // namespace folderlist
