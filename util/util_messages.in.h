#pragma once

// Texts of the utilities: the text export and the version check. Written in
// UTF-8; the build turns them into Shift_JIS (see the top-level
// CMakeLists.txt).

namespace lp::util_messages {

// Text export.
inline constexpr char kLastSettingName[] = "前回の設定";
inline constexpr char kOutputFileOpenFailed[] = "ファイルが開けません";
// Followed by the path: the output would write over a box, the settings or
// another file the program keeps in its data directory.
inline constexpr char kOutputIsKeptFile[] = "プログラムが使うファイルには出力できません:";
inline constexpr char kExportCaption[] = "TEXT出力";
inline constexpr char kExportProgressText[] = "TEXT出力中です・・・";
inline constexpr char kAskDeleteSetting[] = "設定を削除しますか？";
inline constexpr char kAskSettingName[] = "設定名を入力してください";
inline constexpr char kAskOverwriteSetting[] = "同名の設定があります。上書きしますか？";
inline constexpr char kChooseOutputFile[] = "出力ファイル名の入力";
// Followed by the reason; the unreadable file is kept beside the new one.
inline constexpr char kSettingsListUnreadable[] = "テキスト出力設定ファイルが読めません。新しい設定で始めます:";

// Version check.
inline constexpr char kAskVersionCheck[] = "このソフトが最新版かどうか確認しますか？\r\n注：インターネットに接続していることが必要です";
// Follows the address.
inline constexpr char kAddressUnusable[] = "の解析に失敗しました";
// Precedes the network error's text.
inline constexpr char kNetworkErrorPrefix[] = "エラー：";
inline constexpr char kVersionInfoFailed[] = "バージョンアップ情報の取得に失敗しました";
inline constexpr char kUpToDate[] = "現在お使いのバージョンが最新版です";

}  // namespace lp::util_messages
