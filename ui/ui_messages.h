#pragma once

// Texts of the desktop application's own windows, UTF-8 (the widgets take
// them as QString). Texts the core shows come from the core in Shift_JIS.

namespace lp::ui_text {

inline constexpr char kTitlePrefix[] = "Orvex Lanternpost - ";
inline constexpr char kColumnLabel[] = "ラベル";
inline constexpr char kColumnName[] = "名前";
inline constexpr char kColumnDate[] = "日付";
inline constexpr char kColumnSubject[] = "題名";
inline constexpr char kCancel[] = "キャンセル";
inline constexpr char kMailManagerTitle[] = "メールマネージャ";
inline constexpr char kSplitTakesEffectLater[] = "この設定は次のメールボックスを開くときから有効です";
inline constexpr char kAskExit[] = "Lanternpostを終了しますか？";
inline constexpr char kMailCountFormat[] = "%3d/%3d";
inline constexpr char kReceiveTimeFormat[] = "R %02d/%02d %02d:%02d";
inline constexpr char kSendTimeFormat[] = "S %02d/%02d %02d:%02d";
inline constexpr char kCannotOpenBox[] = "文書BOXを開けません";
inline constexpr char kHandedOver[] = "起動中のLanternpostに渡しました";
inline constexpr char kDataDirectoryBusy[] = "データディレクトリは別のプログラムが使用中です: ";

}  // namespace lp::ui_text
