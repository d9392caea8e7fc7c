#pragma once

// Texts of the mail rules: sorting, the direct-mail filter and its keyword
// file. Written in UTF-8; the build turns them into Shift_JIS (see the
// top-level CMakeLists.txt).

namespace lp {

// Sorting rules.
inline constexpr char kSortingText[] = "自動振分中です...";
inline constexpr char kCreatedOutgoingFormat[] = "%d通の送信メールを作成しました";
inline constexpr char kAskSortSelected[] = "選択中の文書を全て自動振り分けしますか？";
inline constexpr char kAskSortBox[] = "この文書BOXの文書を全て自動振り分けしますか？";

// The direct-mail filter and its keyword file.
inline constexpr char kDirectMailNotConfigured[] = "ダイレクトメール設定が行われていません。[表示]-[ダイレクトメール排除設定]を行ってください";
inline constexpr char kAskRemoveDirectMail[] = "選択している文書のうちDMとみなされるものを排除しますか？";
// Followed by a pattern that does not compile (a keyword line, a search text).
inline constexpr char kBadKeywordPattern[] = "正規表現が正しくありません:";
// Mails a search passed over because the regular expression reached a
// limit (effort, memory or time) on them: they may or may not match.
inline constexpr char kNotSearchedMail[] = "検索できなかったメール: ";
inline constexpr char kRegexNotSearchedFormat[] = "正規表現の照合が制限に達したため検索できなかったメールが %d通あります";
inline constexpr char kOutgoingBoxOpenFailed[] = "Err:振り分け先ファイルが開けません";
// What a new keyword file holds.
inline constexpr char kKeywordFileTemplate[] = "１行１キーワードで記述します（この行は削除してください）\r\n！広告！\r\n";
inline constexpr char kKeywordFileCannotCreate[] = "ファイルが作れません";

// Search.
inline constexpr char kSearchCaption[] = "検索中";
inline constexpr char kSearchProgressText[] = "検索中です・・・";
inline constexpr char kSearchFoundNothing[] = "条件にあった文書が見つかりません";

}  // namespace lp
