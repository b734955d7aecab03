#pragma once

#include <string_view>

// The texts of putting a card's folder in the list's order where it stands,
// for the message window and the confirmations.
namespace cardorder::messages {

// Before asking: a drive that keeps names sorted. Followed by the folder.
inline constexpr std::string_view kSortsNames =
    "このドライブは書いた順番を保ちません\r\n"
    "(NTFS や ReFS は名前の順に並べます)\r\n"
    "並べ替えはカード (FAT, exFAT) で使ってください\r\n\r\n";

// The confirmation: the folder, then the count, then the question.
inline constexpr std::string_view kConfirmFolder = "フォルダ\r\n";
inline constexpr std::string_view kConfirmCount = "\r\nの ";
inline constexpr std::string_view kConfirmAction =
    " 個を一覧の順番に並べ替えます\r\n"
    "(いったん作業フォルダに移して、この順番で戻します)\r\n\r\n";
inline constexpr std::string_view kConfirmUnknownDrive =
    "このドライブのファイルシステムは分かりません\r\n"
    "書いた順番を保たないドライブなら順番は変わりません\r\n\r\n";
inline constexpr std::string_view kConfirmQuestion = "よろしいですか";

// Before anything moves; each is followed by the row's name or the path (a
// missing row's text is folderlist::missingRowMessage's).
inline constexpr std::string_view kOpenElsewhere =
    "ほかのプログラムが開いているファイルがあります\r\n"
    "閉じてからもう一度どうぞ\r\n\r\n";
inline constexpr std::string_view kReadOnly = "書き込めないカードです\r\n\r\n";
inline constexpr std::string_view kNotListed =
    "一覧にない項目がフォルダにあります\r\n"
    "F5 で一覧を読み直してください\r\n\r\n";
inline constexpr std::string_view kWorkFolderRow =
    "前回の並べ替えの作業フォルダが一覧にあります\r\n"
    "先に続きを済ませてください\r\n\r\n";
inline constexpr std::string_view kCannotMakeWorkFolder = "作業フォルダを作れません\r\n\r\n";
// A row with the list file's name would meet the list in the work folder.
inline constexpr std::string_view kListNameRow =
    "作業フォルダの order.txt と同じ名前の行があります\r\n"
    "名前を変えてからもう一度どうぞ\r\n\r\n";

// While and after moving.
inline constexpr std::string_view kCompleted = "並べ替えました";
inline constexpr std::string_view kOrderNotKept = "順番を保たないドライブです";
// On FAT and exFAT, which keep the order written, an order read back wrong
// is the program's own failure to place: the first row out of place, then
// what to do.
inline constexpr std::string_view kNotPlaced = "一覧の順番どおりに置けませんでした\r\n";
inline constexpr std::string_view kNotPlacedFrom = " から順番が違います\r\n";
inline constexpr std::string_view kNotPlacedAdvice =
    "もう一度行うか、新しいフォルダにコピーしてください";
inline constexpr std::string_view kStopped = "並べ替えを中止しました";
inline constexpr std::string_view kCannotMove = "並べ替えできませんでした\r\n\r\n";
inline constexpr std::string_view kAllInFolder = "項目はすべて元のフォルダにあります";
// Followed by the work folder's path and the names still in it.
inline constexpr std::string_view kLeftInWorkFolder =
    "作業フォルダに残っている項目があります\r\n"
    "中の order.txt の順番でフォルダに戻してください\r\n\r\n";
inline constexpr std::string_view kMoreLeft = "ほか ";
inline constexpr std::string_view kCannotRemoveWorkFolder = "作業フォルダを消せませんでした\r\n";
// The system's reason follows on a line of its own.
inline constexpr std::string_view kOrderNotReadBack = "順番を読み戻せませんでした";
// Followed by the work folder's path and the names the list lacks: the list
// and the folder stay.
inline constexpr std::string_view kStrangersInWorkFolder =
    "作業フォルダに order.txt にない項目があります\r\n"
    "作業フォルダと order.txt は残しました\r\n\r\n";
// Followed by the names: a card pulled out between the two writes of a move
// leaves the entry in neither folder.
inline constexpr std::string_view kFoundNowhere =
    "どちらのフォルダにも見当たらない項目があります\r\n"
    "カードを chkdsk で調べると見つかることがあります\r\n";

// At the next listing: the work folder's path, then how many wait in it.
inline constexpr std::string_view kOfferToFinish =
    "前回の並べ替えが終わっていません\r\n\r\n作業フォルダ\r\n";
inline constexpr std::string_view kOfferWaiting = "\r\nに ";
// A work folder whose list cannot be read: its path follows.
inline constexpr std::string_view kListUnreadable =
    "前回の並べ替えの作業フォルダがありますが\r\n"
    "中の order.txt を読めません\r\n"
    "中の項目を手でフォルダに戻してください\r\n\r\n";
inline constexpr std::string_view kOfferQuestion =
    " 個が残っています\r\n\r\n"
    "続きを行って、一覧の順番でフォルダに戻しますか";

}  // namespace cardorder::messages
