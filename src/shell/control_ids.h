#pragma once

// Control and timer identifiers of the three windows (the menu's are in the
// command table). None is IDOK or IDCANCEL: the dialogs have no default or
// cancel button, so the Enter and Esc commands the dialog manager sends for
// them find no control.

namespace shell {

// The main window.
inline constexpr int kFolderTree = 110;
inline constexpr int kSplitter = 111;
inline constexpr int kEntryList = 112;
inline constexpr int kStatusBar = 113;

// Timers of the main window.
inline constexpr int kMoveStepTimer = 1;
inline constexpr int kDragScrollTimer = 2;
inline constexpr int kSettingsLoadTimer = 3;
inline constexpr int kCaptureTimer = 4;

// The time dialog.
inline constexpr int kTimeOk = 201;      // "OK"
inline constexpr int kTimeCancel = 202;  // "キャンセル"
inline constexpr int kTimeNow = 203;     // "現在時刻"
inline constexpr int kDateGroup = 204;
inline constexpr int kTimeGroup = 205;
inline constexpr int kStepPanel = 206;
inline constexpr int kExtraTimesPanel = 207;
inline constexpr int kFirstTimeField = 211;  // year .. second are consecutive
inline constexpr int kMinuteStep = 221;
inline constexpr int kTwoSecondStep = 222;
inline constexpr int kAlsoCreation = 231;
inline constexpr int kAlsoAccess = 232;
inline constexpr int kFirstFieldSeparator = 241;  // the four separator labels are consecutive
inline constexpr int kTimePreview = 251;          // the line under the fields

// The message window.
inline constexpr int kMessageOk = 301;
inline constexpr int kMessagePanel = 302;
inline constexpr int kMessageLabel = 303;

}  // namespace shell
