#pragma once

// The window class names of the three windows, which tools outside the
// program find them by. They are the names the windows were designed under:
// TForm1 the main window, TForm2 the time dialog, TForm3 the message window.

namespace shell {

inline constexpr wchar_t kMainWindowClass[] = L"TForm1";
inline constexpr wchar_t kTimeDialogClass[] = L"TForm2";
inline constexpr wchar_t kMessageWindowClass[] = L"TForm3";

}  // namespace shell
