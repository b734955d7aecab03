#pragma once

// The window-system interfaces of the handlers over standard Win32 controls.

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "platform/ui.h"

namespace platform::win32 {

// An edit field or a static label.
class WindowTextControl final : public platform::TextControl {
 public:
  explicit WindowTextControl(HWND hwnd = nullptr) : hwnd_(hwnd) {}
  void attach(HWND hwnd) { hwnd_ = hwnd; }
  HWND hwnd() const { return hwnd_; }

  void setText(std::string_view text) override;
  std::string text() const override;

 private:
  HWND hwnd_;
};

// A radio button or a check box.
class ButtonCheck final : public platform::CheckControl {
 public:
  explicit ButtonCheck(HWND hwnd = nullptr) : hwnd_(hwnd) {}
  void attach(HWND hwnd) { hwnd_ = hwnd; }
  HWND hwnd() const { return hwnd_; }

  // Runs after the control has been checked through setChecked(true); a radio
  // button uses it to clear the other option of its group.
  void setOnChecked(std::function<void()> handler) { onChecked_ = std::move(handler); }

  void setChecked(bool checked) override;
  bool isChecked() const override;

 private:
  HWND hwnd_;
  std::function<void()> onChecked_;
};

// The panels of a msctls_statusbar32.
class StatusBarPanels final : public platform::StatusBar {
 public:
  explicit StatusBarPanels(HWND hwnd = nullptr) : hwnd_(hwnd) {}
  void attach(HWND hwnd) { hwnd_ = hwnd; }
  HWND hwnd() const { return hwnd_; }

  void setPanelText(int panel, std::string_view text) override;
  std::string panelText(int panel) const override;

 private:
  HWND hwnd_;
};

// A SetTimer timer of a window; its WM_TIMER carries the id.
class WindowTimer final : public platform::Timer {
 public:
  WindowTimer(UINT_PTR id, UINT intervalMs) : id_(id), interval_(intervalMs) {}
  ~WindowTimer() override;
  WindowTimer(const WindowTimer&) = delete;
  WindowTimer& operator=(const WindowTimer&) = delete;

  void attach(HWND owner) { owner_ = owner; }
  UINT_PTR id() const { return id_; }
  UINT interval() const { return interval_; }

  void setEnabled(bool enabled) override;
  bool isEnabled() const override { return enabled_; }

 private:
  HWND owner_ = nullptr;
  UINT_PTR id_;
  UINT interval_;
  bool enabled_ = false;
};

}  // namespace platform::win32
