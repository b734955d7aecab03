#pragma once

#include <string_view>

// The texts of copying the rows in their order, for the message window.
namespace cardcopy::messages {

// Before anything is written; each is followed by the path or the row's name
// (a missing row's text is folderlist::missingRowMessage's).
inline constexpr std::string_view kInsideListed =
    "コピー先が一覧の\r\nフォルダの中にあります\r\n\r\n";
inline constexpr std::string_view kInsideRow =
    "コピー先が一覧の\r\nフォルダ行の中にあります\r\n\r\n";
inline constexpr std::string_view kNoDestination =
    "コピー先のフォルダが\r\n見当たりません \r\n\r\n";
inline constexpr std::string_view kNotEmpty =
    "コピー先が空ではありません\r\n"
    "空いた場所に書くと順番が崩れます\r\n"
    "新しいフォルダにしてください\r\n\r\n";
inline constexpr std::string_view kUnreadableFile = "読み取れないファイルがあります\r\n\r\n";
inline constexpr std::string_view kUnreadableFolder = "読み取れないフォルダがあります\r\n\r\n";
inline constexpr std::string_view kBadName = "カードに書けない名前があります\r\n\r\n";
inline constexpr std::string_view kPathTooLong = "コピー先のパスが長すぎます\r\n\r\n";
// FAT and exFAT hold the years 1980 to 2107, FAT files below 4 GiB, and
// FAT12/16 no more than 512 entries at the root.
inline constexpr std::string_view kTimeOutOfRange =
    "カードに書けない日時の行があります\r\n1980 年から 2107 年までです\r\n\r\n";
inline constexpr std::string_view kFileTooLarge =
    "カードに書けない大きさのファイルがあります\r\n4 GB 未満までです\r\n\r\n";
inline constexpr std::string_view kRootFull =
    "カードの一番上のフォルダに入りきりません\r\n512 項目までです\r\n\r\n";
// Followed by both names, one a line.
inline constexpr std::string_view kSameName =
    "コピー先で同じ名前になる行があります\r\n大文字と小文字は区別されません\r\n\r\n";
// Followed by "必要 n MB / 空き m MB".
inline constexpr std::string_view kNoSpace = "コピー先の空き容量が足りません\r\n\r\n";

// While and after copying.
inline constexpr std::string_view kCannotCopy = "コピーできませんでした\r\n\r\n";
inline constexpr std::string_view kCompleted = "コピーしました";
inline constexpr std::string_view kStopped = "コピーを中止しました";
inline constexpr std::string_view kOrderNotKept = "順番を保たないドライブです";
// On FAT and exFAT, which keep the order written, an order read back wrong
// is the program's own failure to place: the first entry out of place (a
// row, or a path inside a folder row), then what to do.
inline constexpr std::string_view kNotPlaced = "一覧の順番どおりに書けませんでした\r\n";
inline constexpr std::string_view kNotPlacedFrom = " から順番が違います\r\n";
inline constexpr std::string_view kNotPlacedAdvice = "新しいフォルダにもう一度コピーしてください";
// The system's reason follows on a line of its own.
inline constexpr std::string_view kOrderNotReadBack = "順番を読み戻せませんでした";
// After a stop or a failure; each followed by a path or a row's name.
inline constexpr std::string_view kLeftBehind = "書きかけのファイルが残っています\r\n";
inline constexpr std::string_view kFolderIncomplete =
    "途中までしかコピーしていないフォルダ行です\r\n";

}  // namespace cardcopy::messages
