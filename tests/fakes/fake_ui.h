#pragma once

// An in-memory window system: each control keeps the state the handlers
// set, so tests can read the window flow after every event.

#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui.h"

namespace fakes {

class FakeWindow : public platform::Window {
 public:
  explicit FakeWindow(bool visible = false) : visible_(visible) {}
  void show() override {
    visible_ = true;
    shown_ = true;
    ++showCount;
  }
  void hide() override { visible_ = false; }
  bool isVisible() const override { return visible_; }
  bool hasBeenShown() const override { return shown_; }
  // Shown minimised while owned by another window: Windows then hides it,
  // so it has been shown but is not visible.
  void showMinimisedAndOwned() {
    shown_ = true;
    visible_ = false;
    ++showCount;
  }
  void setEnabled(bool enabled) override { enabled_ = enabled; }
  bool isEnabled() const override { return enabled_; }
  void setCaption(std::string_view text) override { caption_ = text; }
  std::string caption() const override { return caption_; }
  void close() override { ++closeCount; }
  void deleteWindowMenuItem(int position) override { deletedMenuItems.push_back(position); }
  platform::WindowBounds outerBounds() const override { return bounds; }
  platform::WindowBounds restoredBounds() const override { return bounds; }
  void setOuterBounds(const platform::WindowBounds& b) override {
    bounds = b;
    ++boundsChanges;
  }

  int showCount = 0;
  int closeCount = 0;
  std::vector<int> deletedMenuItems;
  platform::WindowBounds bounds;
  int boundsChanges = 0;

 private:
  bool visible_;
  bool shown_ = visible_;
  bool enabled_ = true;
  std::string caption_;
};

class FakeText : public platform::TextControl {
 public:
  void setText(std::string_view text) override { text_ = text; }
  std::string text() const override { return text_; }

 private:
  std::string text_;
};

// The message window's label: its text, and whether it was set to show whole.
class FakeMessageLabel : public platform::MessageLabel {
 public:
  void setText(std::string_view text) override {
    text_ = text;
    whole_ = false;
  }
  void setWholeText(std::string_view text) override {
    text_ = text;
    whole_ = true;
  }
  std::string text() const override { return text_; }
  bool shownWhole() const { return whole_; }

 private:
  std::string text_;
  bool whole_ = false;
};

class FakeCheck : public platform::CheckControl {
 public:
  void setChecked(bool checked) override { checked_ = checked; }
  bool isChecked() const override { return checked_; }

 private:
  bool checked_ = false;
};

// An interval timer on a clock of the test's own: switching it on starts
// the interval afresh, as SetTimer does, whether it was on or not.
class FakeTimer : public platform::Timer {
 public:
  explicit FakeTimer(int intervalMs = 10) : intervalMs_(intervalMs) {}
  void setEnabled(bool enabled) override {
    enabled_ = enabled;
    sinceStart_ = 0;
  }
  bool isEnabled() const override { return enabled_; }
  // Lets `ms` milliseconds pass; returns how many ticks fell due.
  int advance(int ms) {
    if (!enabled_) return 0;
    sinceStart_ += ms;
    const int ticks = sinceStart_ / intervalMs_;
    sinceStart_ %= intervalMs_;
    return ticks;
  }

 private:
  int intervalMs_;
  bool enabled_ = false;
  int sinceStart_ = 0;
};

class FakeStatusBar : public platform::StatusBar {
 public:
  void setPanelText(int panel, std::string_view text) override { panels_.at(panel) = text; }
  std::string panelText(int panel) const override { return panels_.at(panel); }

 private:
  std::vector<std::string> panels_{2};
};

// Marks per position, as the list control keeps them.
class FakeList : public platform::EntryListView {
 public:
  void setRowCount(int count) override {
    selected_.assign(static_cast<std::size_t>(count), false);
    focused_ = -1;
    selectionMark = -1;
  }
  void redrawRows(int first, int last) override { redrawn.push_back({first, last}); }
  int selectionCount() const override {
    int n = 0;
    for (bool s : selected_) n += s ? 1 : 0;
    return n;
  }
  int firstSelected() const override {
    for (std::size_t i = 0; i < selected_.size(); ++i) {
      if (selected_[i]) return static_cast<int>(i);
    }
    return -1;
  }
  bool isSelected(int row) const override { return selected_.at(static_cast<std::size_t>(row)); }
  void setSelected(int row, bool selected) override {
    const bool changed = selected_.at(static_cast<std::size_t>(row)) != selected;
    selected_.at(static_cast<std::size_t>(row)) = selected;
    if (changed && onMarksChanged) onMarksChanged();
  }
  void setFocused(int row) override {
    const bool changed = focused_ != row;
    focused_ = row;
    if (changed && onMarksChanged) onMarksChanged();
  }
  // As ListView_GetColumnWidth: 0 for a column the list does not have.
  int columnWidth(int column) const override {
    return column >= 0 && static_cast<std::size_t>(column) < widths_.size()
               ? widths_[static_cast<std::size_t>(column)]
               : 0;
  }
  void setColumnWidth(int column, int width) override {
    widths_.at(static_cast<std::size_t>(column)) = width;
  }

  int focusedRow() const override { return focused_; }
  int rowAt(int x, int y) const override {
    (void)x;
    if (y < 0 || rowHeight <= 0) return -1;
    const int row = y / rowHeight;
    return row < rowCount() ? row : -1;
  }
  int top() const override { return 0; }
  int height() const override { return listHeight; }
  void scrollBy(int dy) override { scrolled.push_back(dy); }
  void refresh() override { ++refreshCount; }
  std::vector<int> selectedRows() const override {
    std::vector<int> rows;
    for (std::size_t i = 0; i < selected_.size(); ++i) {
      if (selected_[i]) rows.push_back(static_cast<int>(i));
    }
    return rows;
  }
  int selectionMarkRow() const override { return selectionMark; }
  void setMarks(const std::vector<int>& selected, int focused, int mark) override {
    selected_.assign(selected_.size(), false);
    for (int row : selected) selected_.at(static_cast<std::size_t>(row)) = true;
    focused_ = focused;
    selectionMark = mark;
  }
  void setSortArrow(int column, bool descending) override {
    sortArrowColumn = column;
    sortArrowDescending = descending;
  }
  // The fourth column comes and goes with its width; the header control
  // drops an arrow with its column.
  void showCaptureColumn(bool shown, int width) override {
    if (shown == (widths_.size() == 4)) return;
    if (shown) {
      widths_.push_back(width);
    } else {
      widths_.pop_back();
      if (sortArrowColumn == 3) sortArrowColumn = -1;
    }
  }
  int columnCount() const { return static_cast<int>(widths_.size()); }

  int rowCount() const { return static_cast<int>(selected_.size()); }
  int focused() const { return focused_; }
  int selectionMark = -1;
  void ensureVisible(int row) override { shownRows.push_back(row); }
  std::vector<int> shownRows;  // rows ensureVisible was asked for
  int sortArrowColumn = -1;    // -1: no arrow
  bool sortArrowDescending = false;

  // Like the control's change notification: runs when a mark changes.
  std::function<void()> onMarksChanged;
  // The hit test's row height and the list's outer height.
  int rowHeight = 17;
  int listHeight = 534;
  std::vector<int> scrolled;
  int refreshCount = 0;

  struct Range {
    int first;
    int last;
  };
  std::vector<Range> redrawn;

 private:
  std::vector<bool> selected_;
  int focused_ = -1;
  std::vector<int> widths_{350, 70, 120};
};

class FakeTree : public platform::FolderTree {
 public:
  std::string selectedPath() const override { return path; }
  void refresh() override { ++refreshCount; }
  // Any folder but the refused ones; a change of selection is reported.
  bool selectFolder(const std::string& folder) override {
    if (refused.count(folder)) return false;
    selected.push_back(folder);
    const bool changed = folder != path;
    path = folder;
    if (changed && onSelectionChanged) onSelectionChanged();
    return true;
  }
  void clearSelection() override {
    const bool changed = !path.empty();
    path.clear();
    if (changed && onSelectionChanged) onSelectionChanged();
  }

  std::string path;
  int refreshCount = 0;
  // Folders the tree's walk cannot reach, as a route the shell parses but
  // the tree does not show (a network share with an empty network list).
  std::set<std::string> refused;
  std::vector<std::string> selected;  // every folder selectFolder was asked for
  std::function<void()> onSelectionChanged;
};

class FakeErrorBox : public platform::ErrorBox {
 public:
  void show(std::string_view caption, std::string_view text) override {
    shown.push_back({std::string(caption), std::string(text)});
    // What arrives while the box is up, as its own message loop delivers it.
    if (whileShown) {
      showing_ = true;
      whileShown();
      showing_ = false;
    }
  }
  bool isShown() const override { return showing_; }
  std::function<void()> whileShown;
  struct Shown {
    std::string caption;
    std::string text;
  };
  std::vector<Shown> shown;

 private:
  bool showing_ = false;
};

class FakePaintPump : public platform::PaintPump {
 public:
  void pumpPaint() override { ++count; }
  int count = 0;
};

// The menu bar's items by identifier; an item not yet touched is enabled
// and unchecked, as a menu item is created.
class FakeCommandMenu : public platform::CommandMenu {
 public:
  void setEnabled(int id, bool enabled) override { items_[id].enabled = enabled; }
  bool isEnabled(int id) const override { return item(id).enabled; }
  void setChecked(int id, bool checked) override { items_[id].checked = checked; }
  bool isChecked(int id) const override { return item(id).checked; }

 private:
  struct Item {
    bool enabled = true;
    bool checked = false;
  };
  Item item(int id) const {
    const auto found = items_.find(id);
    return found == items_.end() ? Item{} : found->second;
  }
  std::map<int, Item> items_;
};

}  // namespace fakes
