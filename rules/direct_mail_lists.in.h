#pragma once

#include <array>
#include <string_view>

// The built-in lists of the direct-mail filter, in the order they are tried.
// Written in UTF-8; the build turns the texts into Shift_JIS (see the
// top-level CMakeLists.txt).

namespace lp {

// Mail programs used for bulk advertising, looked for in the X-Mailer header.
inline constexpr std::array<std::string_view, 16> kDirectMailMailers = {
    "Achi-Kochi Mail",
    "Direct Email",
    "IM2000",
    "IM2001",
    "DM Mailer",
    "Oshirase-Mailer",
    "Send CSV Mail",
    "SendMailEX",
    "PocketMailing",
    "MaxBulk Mailer",
    "Douhou@Mail",
    "Personal_ML11F",
    "MultiSneder",
    "FightIK",
    "007 Direct Email Easy",
    "Easy DM free",
};

// Phrases typical of advertising mail, looked for in the subject and then
// in the text. "出会いのページ" stands twice, as it always has.
inline constexpr std::array<std::string_view, 60> kDirectMailPhrases = {
    "アイコラ",
    "アダルトなコンテンツ",
    "裏情報",
    "激裏",
    "アダルト情報",
    "地下情報",
    "即日現金調達",
    "サイドビジネスのご案内",
    "裏流出",
    "流出ビデオ",
    "ネットアイドル",
    "ヘアヌード",
    "超過激",
    "アダルトビデオ",
    "オナニー",
    "レズ映像",
    "えっちなページ",
    "超優良サイト",
    "ＡＶ女優",
    "AV出演",
    "過激な出会い",
    "コギャル画像",
    "Ｈなプライベートビデオ",
    "！広告！",
    "! 広告 !",
    "!広告!",
    "今回限りのメールですので",
    "メールによる突然のご案内",
    "未承諾広告",
    "出会いのホームページ",
    "出会いのページ",
    "『出会い』",
    "大人の出会い",
    "出会いサイト",
    "出会いの広場",
    "出会いのページ",
    "出会いの必勝法",
    "出会い掲示板",
    "出会いの掲示板",
    "不要の際は削除願います",
    "このメ－ルを削除してください",
    "リストより直ちに削除いたします",
    "在宅ビジネスのご案内",
    "アダルト情報に興味の無い方",
    "18歳未満の方",
    "詳細希望の方は下記まで",
    "在宅で月収",
    "お手数ですが削除して下さい",
    "リピート・フォー",
    "不必要であればお手数ですが削除",
    "極秘サイト",
    "ネット公開初",
    "即日融資",
    "会員以外の方の届いた場合は、破棄",
    "アドレスは掲示板等から収集させていただきました",
    "今後一切配信を希望しない場合は",
    "SkyBiz",
    "必要のない方に配信された場合は",
    "代理店募集の御案内",
    "ＤＭ一括配信",
};

}  // namespace lp
