#pragma once

// The entry list: a SysListView32 in report view whose rows are owner data. The
// texts come from the listed folder's rows at the moment they are drawn;
// the selected and focused marks are the control's, per position.

#include <windows.h>
// The headers below need the types <windows.h> declares.
#include <commctrl.h>

#include <string>

#include "platform/ui.h"

namespace platform::win32 {

class EntryList final : public platform::EntryListView {
 public:
  // Column headers and their widths in design pixels; the capture time
  // column comes after them while it is shown.
  static constexpr int kColumnCount = 3;

  void create(HWND parent, int id, HFONT font, UINT dpi);
  HWND hwnd() const { return hwnd_; }

  // The texts the rows show; they outlive the control.
  void setTexts(const platform::CellTexts* texts) { texts_ = texts; }

  // LVN_GETDISPINFOW: fills in the text of one cell.
  void answerDisplayInfo(NMLVDISPINFOW& info);
  // LVN_ODFINDITEMW: typing a name's first letters finds its row (-1: none).
  int findRow(const NMLVFINDITEMW& find) const;

  // Column widths follow the monitor's DPI.
  void rescale(UINT oldDpi, UINT newDpi);

  void setRowCount(int count) override;
  void redrawRows(int first, int last) override;
  int selectionCount() const override;
  int firstSelected() const override;
  bool isSelected(int row) const override;
  void setSelected(int row, bool selected) override;
  void setFocused(int row) override;
  int columnWidth(int column) const override;
  void setColumnWidth(int column, int width) override;
  int focusedRow() const override;
  int rowAt(int x, int y) const override;
  int top() const override;
  int height() const override;
  void scrollBy(int dy) override;
  void refresh() override;

  // The row drawn as a drag's drop target, -1 for none.
  void setDropTarget(int row);
  int dropTarget() const { return dropTarget_; }
  // NM_CUSTOMDRAW: draws the drop target in the highlight colours. This is
  // the only drawing of it: the control is never told of LVIS_DROPHILITED,
  // which Windows would draw over these colours and Wine not at all, so the
  // row looks the same on both.
  LRESULT customDraw(NMLVCUSTOMDRAW& draw) const;
  std::vector<int> selectedRows() const override;
  int selectionMarkRow() const override;
  void setMarks(const std::vector<int>& selected, int focused, int selectionMark) override;
  void setSortArrow(int column, bool descending) override;
  void ensureVisible(int row) override;
  void showCaptureColumn(bool shown, int width) override;

  // True while setMarks() puts the marks in place, one row at a time; the
  // change notifications of that are not the user's.
  bool settingMarks() const { return settingMarks_; }

 private:
  std::string_view cellText(int row, int column) const;
  // The columns the list has now.
  int columnCount() const;
  void insertColumn(int index, std::string_view header, int width);

  HWND hwnd_ = nullptr;
  const platform::CellTexts* texts_ = nullptr;
  // The cell text last handed out; the control reads it before asking again.
  std::wstring cellBuffer_;
  int dropTarget_ = -1;
  bool settingMarks_ = false;
};

}  // namespace platform::win32
