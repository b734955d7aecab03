#pragma once

// The message window: one label for the message and an OK button.

#include <windows.h>

#include <string>
#include <string_view>

#include "app/application.h"
#include "app/messages.h"
#include "platform/win32/controls.h"
#include "platform/win32/designed_dialog.h"

namespace shell {

// The windows are built of the Win32 adapters and control wrappers.
using namespace platform::win32;

class MessageWindow final : public DesignedDialog {
 public:
  explicit MessageWindow(app::Application& app) : app_(app), label_(*this) {}

  bool create(HWND owner);
  // What OK answers to; null: nothing any more.
  void attach(app::Messages* messages) { messages_ = messages; }

  app::MessageWindowControls controls() { return app::MessageWindowControls{window(), label_}; }

  LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  void command(int id, int notification) override;

 private:
  // The label: a text in the designed label, or a whole one the window grows for.
  class Label final : public platform::MessageLabel {
   public:
    explicit Label(MessageWindow& window) : window_(window) {}
    void attach(HWND hwnd) { text_.attach(hwnd); }
    HWND hwnd() const { return text_.hwnd(); }
    void setText(std::string_view text) override;
    void setWholeText(std::string_view text) override;
    std::string text() const override { return text_.text(); }

   private:
    MessageWindow& window_;
    WindowTextControl text_;
  };

  struct LabelSize {
    int width;
    int height;
    friend bool operator==(const LabelSize&, const LabelSize&) = default;
  };

  // The designed label and window, or, for a whole text that does not fit
  // them, a label as large as its lines need within the monitor's work area.
  void fitText(bool whole);
  LabelSize wholeLabelSize();
  void layOut(LabelSize label);

  app::Application& app_;
  app::Messages* messages_ = nullptr;
  Label label_;
  HWND panel_ = nullptr;
  HWND okButton_ = nullptr;
  bool whole_ = false;
  LabelSize labelSize_{};
};

}  // namespace shell
