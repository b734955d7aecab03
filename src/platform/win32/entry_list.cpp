#include "platform/win32/entry_list.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "platform/win32/design_fonts.h"
#include "platform/win32/dpi.h"
#include "platform/win32/utf.h"
#include "platform/win32/window_text.h"

namespace platform::win32 {

namespace {

struct Column {
  std::string_view header;
  int width;
};
constexpr std::array<Column, EntryList::kColumnCount> kColumns{{
    {"名前", 350},
    {"種類", 70},
    {"更新日時", 120},
}};
constexpr std::string_view kCaptureHeader = "撮影日時";

}  // namespace

void EntryList::create(HWND parent, int id, HFONT font, UINT dpi) {
  // No LVS_EDITLABELS: names are not edited in place. Dragging rows and
  // clicking headers are left to the control's own notifications.
  constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | LVS_REPORT |
                           LVS_OWNERDATA | LVS_SHOWSELALWAYS;
  hwnd_ = createControl(WC_LISTVIEWW, "", kStyle, WS_EX_CLIENTEDGE, RECT{}, parent, id);
  if (!hwnd_) return;
  ListView_SetExtendedListViewStyleEx(hwnd_, LVS_EX_DOUBLEBUFFER, LVS_EX_DOUBLEBUFFER);
  setControlFont(hwnd_, font);
  for (int i = 0; i < kColumnCount; ++i) {
    const Column& column = kColumns[static_cast<std::size_t>(i)];
    insertColumn(i, column.header, scaleToDpi(column.width, dpi));
  }
}

void EntryList::insertColumn(int index, std::string_view header, int width) {
  std::wstring text = widen(header);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM | LVCF_FMT;
  column.fmt = LVCFMT_LEFT;
  column.cx = width;
  column.pszText = text.data();
  column.iSubItem = index;
  ListView_InsertColumn(hwnd_, index, &column);
}

int EntryList::columnCount() const {
  HWND header = ListView_GetHeader(hwnd_);
  return header ? Header_GetItemCount(header) : kColumnCount;
}

void EntryList::showCaptureColumn(bool shown, int width) {
  const bool has = columnCount() > kColumnCount;
  if (shown == has) return;
  if (shown) {
    insertColumn(kColumnCount, kCaptureHeader, width);
  } else {
    ListView_DeleteColumn(hwnd_, kColumnCount);
  }
  // Wine shifts the pixels right of a deleted last column over its left
  // neighbour rather than drawing the rows again: they are drawn afresh.
  InvalidateRect(hwnd_, nullptr, TRUE);
}

std::string_view EntryList::cellText(int row, int column) const {
  return texts_ ? texts_->cellText(row, column) : std::string_view();
}

void EntryList::answerDisplayInfo(NMLVDISPINFOW& info) {
  if (!(info.item.mask & LVIF_TEXT)) return;
  cellBuffer_ = widen(cellText(info.item.iItem, info.item.iSubItem));
  info.item.pszText = cellBuffer_.data();
}

int EntryList::findRow(const NMLVFINDITEMW& find) const {
  if (!texts_ || texts_->rowCount() <= 0 || !(find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) ||
      !find.lvfi.psz) {
    return -1;
  }
  const std::wstring_view wanted(find.lvfi.psz);
  if (wanted.empty()) return -1;
  const int count = texts_->rowCount();
  const int start = find.iStart >= 0 && find.iStart < count ? find.iStart : 0;
  for (int step = 0; step < count; ++step) {
    int row = start + step;
    if (row >= count) {
      if (!(find.lvfi.flags & LVFI_WRAP)) break;
      row -= count;
    }
    const std::wstring name = widen(texts_->cellText(row, 0));
    if (name.size() < wanted.size()) continue;
    if (CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, name.data(),
                       static_cast<int>(wanted.size()), wanted.data(),
                       static_cast<int>(wanted.size())) == CSTR_EQUAL) {
      return row;
    }
  }
  return -1;
}

void EntryList::rescale(UINT oldDpi, UINT newDpi) {
  for (int i = 0; i < columnCount(); ++i) {
    const int width = ListView_GetColumnWidth(hwnd_, i);
    ListView_SetColumnWidth(hwnd_, i,
                            MulDiv(width, static_cast<int>(newDpi), static_cast<int>(oldDpi)));
  }
}

void EntryList::setRowCount(int count) {
  // The marks belong to positions of the old rows: clear them first.
  ListView_SetItemState(hwnd_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetSelectionMark(hwnd_, -1);
  ListView_SetItemCountEx(hwnd_, count < 0 ? 0 : count, 0);
  if (count > 0) ListView_EnsureVisible(hwnd_, 0, FALSE);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void EntryList::redrawRows(int first, int last) {
  // Only the rows in view: the others are drawn from the rows when they
  // scroll in, and the control would work through every row of the range
  // (a sort redraws them all).
  const int top = ListView_GetTopIndex(hwnd_);
  first = std::max(first, top);
  last = std::min(last, top + ListView_GetCountPerPage(hwnd_));
  if (last < first) return;
  ListView_RedrawItems(hwnd_, first, last);
}

int EntryList::selectionCount() const { return static_cast<int>(ListView_GetSelectedCount(hwnd_)); }

int EntryList::firstSelected() const { return ListView_GetNextItem(hwnd_, -1, LVNI_SELECTED); }

bool EntryList::isSelected(int row) const {
  return ListView_GetItemState(hwnd_, row, LVIS_SELECTED) != 0;
}

void EntryList::setSelected(int row, bool selected) {
  ListView_SetItemState(hwnd_, row, selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

void EntryList::setFocused(int row) {
  if (row < 0) {
    ListView_SetItemState(hwnd_, -1, 0, LVIS_FOCUSED);
  } else {
    ListView_SetItemState(hwnd_, row, LVIS_FOCUSED, LVIS_FOCUSED);
  }
}

int EntryList::columnWidth(int column) const { return ListView_GetColumnWidth(hwnd_, column); }

void EntryList::setColumnWidth(int column, int width) {
  ListView_SetColumnWidth(hwnd_, column, width);
}

int EntryList::focusedRow() const { return ListView_GetNextItem(hwnd_, -1, LVNI_FOCUSED); }

int EntryList::rowAt(int x, int y) const {
  LVHITTESTINFO hit{};
  hit.pt = POINT{x, y};
  // The sub-item test counts every column of a row.
  const int row = ListView_SubItemHitTest(hwnd_, &hit);
  return row >= 0 && (hit.flags & LVHT_ONITEM) ? row : -1;
}

namespace {

RECT boxInParent(HWND hwnd) {
  RECT box{};
  GetWindowRect(hwnd, &box);
  MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&box), 2);
  return box;
}

}  // namespace

int EntryList::top() const { return boxInParent(hwnd_).top; }

int EntryList::height() const {
  const RECT box = boxInParent(hwnd_);
  return box.bottom - box.top;
}

void EntryList::scrollBy(int dy) { ListView_Scroll(hwnd_, 0, dy); }

void EntryList::refresh() {
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void EntryList::setDropTarget(int row) {
  if (row == dropTarget_) return;
  const int previous = dropTarget_;
  dropTarget_ = row;
  if (previous >= 0) ListView_RedrawItems(hwnd_, previous, previous);
  if (row >= 0) ListView_RedrawItems(hwnd_, row, row);
  UpdateWindow(hwnd_);
}

LRESULT EntryList::customDraw(NMLVCUSTOMDRAW& draw) const {
  if (dropTarget_ < 0) return CDRF_DODEFAULT;
  if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT &&
      draw.nmcd.dwItemSpec == static_cast<DWORD_PTR>(dropTarget_)) {
    draw.clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    draw.clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
    return CDRF_NEWFONT;
  }
  return CDRF_DODEFAULT;
}

std::vector<int> EntryList::selectedRows() const {
  std::vector<int> result;
  const int count = ListView_GetItemCount(hwnd_);
  if (count > 0 && selectionCount() == count) {
    // All rows (Ctrl+A): no need to ask for each.
    result.resize(static_cast<std::size_t>(count));
    for (int row = 0; row < count; ++row) result[static_cast<std::size_t>(row)] = row;
  }
  // The search for a next selected row goes through every row after it,
  // so it stops at the last one the selection count promises.
  const std::size_t selected = static_cast<std::size_t>(selectionCount());
  for (int row = result.empty() ? ListView_GetNextItem(hwnd_, -1, LVNI_SELECTED) : -1; row >= 0;
       row = result.size() < selected ? ListView_GetNextItem(hwnd_, row, LVNI_SELECTED) : -1) {
    result.push_back(row);
  }
  return result;
}

int EntryList::selectionMarkRow() const { return ListView_GetSelectionMark(hwnd_); }

void EntryList::setMarks(const std::vector<int>& selected, int focused, int selectionMark) {
  settingMarks_ = true;
  const int count = ListView_GetItemCount(hwnd_);
  std::vector<bool> wanted(static_cast<std::size_t>(std::max(count, 0)), false);
  int wantedCount = 0;
  for (int row : selected) {
    if (row >= 0 && row < count && !wanted[static_cast<std::size_t>(row)]) {
      wanted[static_cast<std::size_t>(row)] = true;
      ++wantedCount;
    }
  }
  // A state set on all rows at once (item -1) makes the control visit every
  // row, so few marks are moved row by row, and many by a blanket state and
  // the rows that differ from it.
  const int now = selectionCount();
  if (wantedCount == count && now == count) {
    // Every row stays selected.
  } else if (now + wantedCount <= count / 2) {
    std::vector<int> unwanted;
    int seen = 0;
    for (int row = ListView_GetNextItem(hwnd_, -1, LVNI_SELECTED); row >= 0;
         row = ++seen < now ? ListView_GetNextItem(hwnd_, row, LVNI_SELECTED) : -1) {
      if (!wanted[static_cast<std::size_t>(row)]) unwanted.push_back(row);
    }
    for (int row : unwanted) ListView_SetItemState(hwnd_, row, 0, LVIS_SELECTED);
    for (int row = 0; row < count; ++row) {
      if (wanted[static_cast<std::size_t>(row)]) {
        ListView_SetItemState(hwnd_, row, LVIS_SELECTED, LVIS_SELECTED);
      }
    }
  } else {
    const bool most = wantedCount * 2 > count;
    ListView_SetItemState(hwnd_, -1, most ? LVIS_SELECTED : 0, LVIS_SELECTED);
    for (int row = 0; row < count; ++row) {
      if (wanted[static_cast<std::size_t>(row)] != most) {
        ListView_SetItemState(hwnd_, row, most ? 0 : LVIS_SELECTED, LVIS_SELECTED);
      }
    }
  }
  if (focused >= 0 && focused < count) {
    ListView_SetItemState(hwnd_, focused, LVIS_FOCUSED, LVIS_FOCUSED);
  } else if (const int had = ListView_GetNextItem(hwnd_, -1, LVNI_FOCUSED); had >= 0) {
    ListView_SetItemState(hwnd_, had, 0, LVIS_FOCUSED);
  }
  ListView_SetSelectionMark(hwnd_, selectionMark < count ? selectionMark : -1);
  settingMarks_ = false;
}

void EntryList::setSortArrow(int column, bool descending) {
  HWND header = ListView_GetHeader(hwnd_);
  if (!header) return;
  for (int i = 0; i < columnCount(); ++i) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    if (!Header_GetItem(header, i, &item)) continue;
    int format = item.fmt & ~(HDF_SORTUP | HDF_SORTDOWN);
    if (i == column) format |= descending ? HDF_SORTDOWN : HDF_SORTUP;
    if (format == item.fmt) continue;
    item.fmt = format;
    Header_SetItem(header, i, &item);
  }
}

void EntryList::ensureVisible(int row) { ListView_EnsureVisible(hwnd_, row, FALSE); }

}  // namespace platform::win32
