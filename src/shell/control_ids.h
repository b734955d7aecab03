#pragma once

// Command and control identifiers of the three windows. None is IDOK or
// IDCANCEL: the dialogs have no default or cancel button, so the Enter and
// Esc commands the dialog manager sends for them find no control.

namespace shell {

// Menu MainMenu1.
inline constexpr int kMenuIME1 = 101;           // "TIME変更（&T）"
inline constexpr int kMenuExit1 = 102;          // "終了(&X)"
inline constexpr int kMenuN1 = 103;             // "バージョン情報(&A)"
inline constexpr int kMenuUndo1 = 104;          // "元に戻す(&U)"
inline constexpr int kMenuCopy1 = 105;          // "この順番でコピー(&C)..."
inline constexpr int kMenuNumericOrder1 = 106;  // "数字を数値として並べる(&N)"
inline constexpr int kMenuReorder1 = 107;       // "カード上でこの順番にする(&R)..."

// Main window Form1.
inline constexpr int kShellTreeView1 = 110;
inline constexpr int kSplitter1 = 111;
inline constexpr int kListView1 = 112;
inline constexpr int kStatusBar1 = 113;

// Timers of the main window.
inline constexpr int kTimer1 = 1;
inline constexpr int kTimer2 = 2;
inline constexpr int kTimer3 = 3;

// Time dialog Form2.
inline constexpr int kForm2Button1 = 201;  // "OK"
inline constexpr int kForm2Button2 = 202;  // "キャンセル"
inline constexpr int kForm2Button3 = 203;  // "現在時刻"
inline constexpr int kForm2GroupBox1 = 204;
inline constexpr int kForm2GroupBox2 = 205;
inline constexpr int kForm2Panel1 = 206;
inline constexpr int kForm2Panel2 = 207;
inline constexpr int kForm2Edit1 = 211;  // Edit1..Edit6 are consecutive
inline constexpr int kForm2RadioButton1 = 221;
inline constexpr int kForm2RadioButton2 = 222;
inline constexpr int kForm2CheckBox1 = 231;
inline constexpr int kForm2CheckBox2 = 232;
inline constexpr int kForm2Separator1 = 241;  // the four separator labels are consecutive
inline constexpr int kForm2Preview = 251;     // the line under the fields

// Message window Form3.
inline constexpr int kForm3Button1 = 301;
inline constexpr int kForm3Panel1 = 302;
inline constexpr int kForm3Label1 = 303;

}  // namespace shell
