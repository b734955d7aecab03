#pragma once

// ListView1: a SysListView32 in report view whose rows are owner data. The
// texts come from the main window's entry rows at the moment they are drawn;
// the selected and focused marks are the control's, per position.

#include <windows.h>
// The headers below need the types <windows.h> declares.
#include <commctrl.h>

#include <string>

#include "folderlist/list_entry.h"
#include "platform/ui.h"

namespace platform::win32 {

class EntryList final : public platform::EntryListView {
 public:
  // Column headers and their widths in design pixels.
  static constexpr int kColumnCount = 3;

  void create(HWND parent, int id, HFONT font, UINT dpi);
  HWND hwnd() const { return hwnd_; }

  // The rows the texts are read from; they outlive the control.
  void setRows(const folderlist::EntryRows* rows) { rows_ = rows; }

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

  // The row drawn as a drag's drop target, -1 for none. An owner-data list
  // keeps only selection and focus; this state comes through the callback
  // mask when a row is drawn.
  void setDropTarget(int row);
  int dropTarget() const { return dropTarget_; }
  // NM_CUSTOMDRAW: draws the drop target in the highlight colours where the
  // control itself does not (Wine's list view ignores the state).
  LRESULT customDraw(NMLVCUSTOMDRAW& draw) const;
  platform::ListMarks marks() const override;
  void setMarks(const platform::ListMarks& marks) override;
  void setSortArrow(int column, bool descending) override;
  void ensureVisible(int row) override;

  // True while setMarks() puts the marks in place, one row at a time; the
  // change notifications of that are not the user's.
  bool settingMarks() const { return settingMarks_; }

 private:
  std::string_view cellText(int row, int column) const;

  HWND hwnd_ = nullptr;
  const folderlist::EntryRows* rows_ = nullptr;
  // The cell text last handed out; the control reads it before asking again.
  std::wstring cellBuffer_;
  int dropTarget_ = -1;
  bool settingMarks_ = false;
};

}  // namespace platform::win32
