#pragma once

#include <string_view>

// The texts of copying the rows in their order, for the message window.
namespace cardcopy::messages {

// Before anything is written; each is followed by the path or the row's name.
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
inline constexpr std::string_view kMissingFile = "見当たらないファイルがあります \r\n\r\n";
inline constexpr std::string_view kMissingFolder = "見当たらないフォルダがあります \r\n\r\n";
inline constexpr std::string_view kUnreadableFile = "読み取れないファイルがあります\r\n\r\n";
inline constexpr std::string_view kUnreadableFolder = "読み取れないフォルダがあります\r\n\r\n";
inline constexpr std::string_view kBadName = "カードに書けない名前があります\r\n\r\n";
inline constexpr std::string_view kPathTooLong = "コピー先のパスが長すぎます\r\n\r\n";
// Followed by "必要 n MB / 空き m MB".
inline constexpr std::string_view kNoSpace = "コピー先の空き容量が足りません\r\n\r\n";

// While and after copying.
inline constexpr std::string_view kCannotCopy = "コピーできませんでした\r\n\r\n";
inline constexpr std::string_view kCompleted = "コピーしました";
inline constexpr std::string_view kStopped = "コピーを中止しました";
inline constexpr std::string_view kOrderNotKept = "順番を保たないドライブです";

}  // namespace cardcopy::messages
