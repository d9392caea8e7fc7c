#include "codec/spool_analyser.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <ctime>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "codec/address_display.h"
#include "codec/date_header.h"
#include "codec/header_lookup.h"
#include "codec/mime_encoding.h"
#include "config/profile.h"
#include "platform/code_page.h"
#include "platform/command_observer.h"
#include "platform/file_system.h"
#include "tests/support/recording_user_interface.h"
#include "platform/sjis_path.h"
#include "store/mailbox_document.h"
#include "tests/support/temp_directory.h"

// Spools shaped like the mail that common mail programs, web mailers, mobile
// carriers and list servers really send (tests/data/spool_realworld, made by
// make_fixtures.py there), analysed into an inbox as a receive does it. The
// expectations are what the user sees: the mail list columns, the text of the
// read view and the saved attachment files.

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::WriteFileBytes;

std::string Sjis(std::string_view utf8) { return Utf8ToCp932(utf8); }

std::string DataFile(const std::string& name) {
  return ReadFileBytes(std::string(LP_TEST_DATA_DIR) + "/spool_realworld/" + name);
}

// The note left in the text where an attachment was saved under its name
// (without its closing blank line: a note at the end of a mail loses it to
// the block terminator).
std::string SavedNote(std::string_view name_utf8) {
  return Sjis("★添付ファイル ") + Sjis(name_utf8) + Sjis(" を受信しました\r\n");
}
// The end of the note for a part stored as "lpost.bin" because its name was
// missing or unusable.
std::string RenamedNoteTail() {
  return Sjis("を受信しました。\r\n注：lpost.binというファイル名で保存されていますので、正しいファイル名\r\n"
              "　　に変更してください。\r\n");
}
// The whole note for a part that carried no name at all.
std::string NamelessNote() { return Sjis("★添付ファイル ") + " " + RenamedNoteTail(); }

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i]))) {
      return false;
    }
  }
  return true;
}

// The header line of `name` in a shown text with its continuation lines
// unfolded (only the line breaks go) and TABs read as blanks, as the list
// columns show them; the name written as given; empty when absent.
std::string UnfoldedHeaderLine(std::string_view text, std::string_view name) {
  const std::string start = std::string(name) + ":";
  std::string line;
  bool collecting = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view current = text.substr(pos, end - pos);
    pos = end + 2;
    if (current.empty()) break;
    if (collecting && (current[0] == ' ' || current[0] == '\t')) {
      line += current;
      continue;
    }
    collecting = StartsWithIgnoringCase(current, start);
    if (collecting) line = start + std::string(current.substr(start.size()));
  }
  std::replace(line.begin(), line.end(), '\t', ' ');
  return line;
}

struct ExpectedAttachment {
  std::string saved_name;  // UTF-8 file name in the attachment directory
  std::string bytes_file;  // expected/<file> holding the exact content
  std::string note;        // Shift_JIS text that must appear in the mail text
};

ExpectedAttachment Named(std::string name, std::string bytes_file) {
  std::string note = SavedNote(name);
  return {std::move(name), std::move(bytes_file), std::move(note)};
}
ExpectedAttachment Renamed(std::string saved_name, std::string bytes_file) {
  return {std::move(saved_name), std::move(bytes_file), RenamedNoteTail()};
}

struct MessageCase {
  std::string fixture;
  std::string from;
  std::string to;
  std::string cc;
  std::string subject;
  std::string message_id;
  std::string list_date;  // the mail list's date column (Japan time)
  bool reply_to = false;
  std::vector<std::string> body;  // UTF-8 texts the read view shows
  std::vector<ExpectedAttachment> attachments;
};

// Names the case in failure messages instead of dumping its bytes.
void PrintTo(const MessageCase& c, std::ostream* os) { *os << c.fixture; }

const std::string kYamada = "山田 太郎 <yamada@example.ne.jp>";
const std::string kYamadaAddress = "yamada@example.ne.jp";
const std::string kYamadaQuoted = "\"yamada@example.ne.jp\" <yamada@example.ne.jp>";

// The daily report of java_app_base64_single_long_line: its Base64 text is
// one line of more than 10,000 characters.
std::string DailyReport() {
  std::string text = "本日の業務日報を送信します。\r\n";
  for (int i = 0; i < 80; ++i) text += "作業内容：顧客データの移行作業、テスト環境の構築、議事録の作成。\r\n";
  return text + "以上\r\n";
}

std::vector<MessageCase> Cases() {
  return {
      {"thunderbird_iso2022jp_attachment", "田中 花子 <hanako.tanaka@example.co.jp>", kYamada, "",
       "申込表の送付について", "<4F8A2C3D.5060708@example.co.jp>", "2026/12/08 10:15:40", false,
       {"山田様\r\n\r\nいつもお世話になっております。田中です。\r\n\r\n先日お話しした申込表を添付いたします。\r\n"
        "ご確認のほど、よろしくお願いいたします。\r\n\r\n--\r\n田中 花子 <hanako.tanaka@example.co.jp>\r\n"},
       // 表 ends in the byte 0x5C: the name must not be cut there.
       {Named("申込表.xls", "thunderbird_iso2022jp_attachment-1.xls")}},
      {"outlook_utf8_base64_multipart_alternative", "佐藤 美咲 <misaki.sato@example.co.jp>", kYamadaQuoted,
       "高橋 健一 <kenichi.takahashi@example.co.jp>", "【要確認】来週の定例会議の議題について",
       // Exchange folds a long Message-ID onto the next line.
       "<TYWPR01MB1234567D8E9F0A1B2C3D4E5F6A7B8C9D0@TYWPR01MB1234.jpnprd01.prod.outlook.com>",
       "2026/12/08 10:23:45", false,
       {"山田さん\r\n\r\nお疲れさまです。佐藤です。\r\n\r\n来週の定例会議（12月15日（火）14:00〜15:00）の議題をお送りします。"
        "\r\n１．第３四半期の進捗報告\r\n２．新システム導入スケジュールの確認\r\n３．その他\r\n\r\n"
        "資料は前日までに共有フォルダに格納しておきます。\r\nご不明点があればお知らせください。\r\n\r\n佐藤\r\n",
        "<p class=\"MsoNormal\">来週の定例会議（12月15日（火）14:00〜15:00）の議題をお送りします。<o:p></o:p></p>\r\n"},
       {}},
      {"gmail_utf8_qp_html", "伊藤さくら <sakura.ito.1990@gmail.com>", "山田太郎 <yamada@example.ne.jp>", "",
       "写真ありがとうございました！", "<CAKx7pQ3mVb2Nw9yT4rG8hJ1sLd6Fz0cXe5Ua7Wq3Ro9Pk2Mn8g@mail.gmail.com>",
       "2026/12/08 19:02:11", false,
       {"山田さん\r\n\r\n先日は素敵な写真をたくさん送っていただき、本当にありがとうございました！"
        "家族みんなで見て、旅行の思い出話で盛り上がりました。\r\n\r\n"
        "特に富士山の朝焼けの写真は、額に入れてリビングに飾ることにしました。\r\n\r\n"
        "また近いうちにお会いできるのを楽しみにしています。\r\n\r\n伊藤さくら\r\n",
        "<div>特に富士山の朝焼けの写真は、額に入れてリビングに飾ることにしました。</div>"},
       {}},
      {"apple_mail_rfc2231_filename", "鈴木 一郎 <ichiro.suzuki@icloud.com>", kYamada, "", "お見積書をお送りします",
       "<3C5D7E9F-1A2B-4C3D-8E9F-0A1B2C3D4E5F@icloud.com>", "2026/12/08 08:30:12", false,
       {"山田様\r\n\r\nお世話になっております。鈴木です。\r\n\r\n"
        "ご依頼いただいた件のお見積書を添付にてお送りいたします。有効期限は2026年12月末日となっております。\r\n\r\n"
        "何卒よろしくお願い申し上げます。\r\n\r\n鈴木 一郎\r\n"},
       {Named("御見積書_No.2026-1208.pdf", "apple_mail_rfc2231_filename-1.pdf")}},
      {"mutt_rfc2231_filename_only", "Kenji Watanabe <kenji@example.org>", kYamadaAddress, "", "議事録の送付",
       "<20261208024503.GA12345@example.org>", "2026/12/08 11:45:03", false,
       {"山田さん\r\n\r\n昨日の打ち合わせの議事録を添付します。\r\n次回は12月15日（火）の予定です。\r\n\r\n渡辺\r\n"},
       // Named only by "filename*=utf-8''..." (RFC 2231).
       {Named("議事録（12月8日）.pdf", "mutt_rfc2231_filename_only-1.pdf")}},
      {"k9_rfc2231_continued_filename", "小林 由紀 <yuki.kobayashi@example.co.jp>", kYamada, "", "予算書（案）",
       "<0f1e2d3c-4b5a-6978-8a9b-0c1d2e3f4a5b@example.co.jp>", "2026/12/08 13:10:00", false,
       {"山田様\r\n\r\n来年度の予算書（案）をお送りします。\r\nご確認をお願いいたします。\r\n\r\n小林\r\n"},
       // Named only by "filename*0*=", "filename*1*=", "filename*2*=".
       {Named("令和8年度予算書（案）_営業部担当分.xlsx", "k9_rfc2231_continued_filename-1.xlsx")}},
      {"yahoo_japan_iso2022jp_plain", "高橋 真由 <mayu_takahashi@yahoo.co.jp>", kYamadaQuoted, "", "同窓会のお知らせ",
       "<1796716834.56789.YahooMailNeo@web101234.mail.kks.yahoo.co.jp>", "2026/12/08 16:20:34", true,
       {"山田太郎様\r\n\r\nこんにちは。高橋です。\r\n来月の同窓会の件でご連絡しました。\r\n\r\n"
        "日時：１月１０日（土）１８時から\r\n場所：新宿駅西口の居酒屋「和楽」\r\n会費：５，０００円\r\n\r\n"
        "出欠を１２月２０日までにお知らせください。\r\n\r\n高橋 真由"},
       {}},
      {"docomo_sjis_8bit", "hanako-0123@docomo.ne.jp", kYamadaAddress, "", "到着しました",
       "<20261208123456.A1B2C3.hanako-0123@docomo.ne.jp>", "2026/12/08 12:34:56", false,
       {"お疲れさまです。\r\n今、駅に着きました。\r\n改札を出たところで待っています。\r\nﾒｰﾙ見たら電話ください。"},
       {}},
      {"eucjp_legacy_unix", "www@example-shop.jp", kYamadaAddress, "", "【お問い合わせ】フォームからの送信",
       "<20261208000511.C0FFEE@www.example-shop.jp>", "2026/12/08 09:05:11", false,
       {"以下の内容でお問い合わせを受け付けました。\r\n\r\nお名前：中村 健太\r\nメール：kenta@example.net\r\n"
        "内容：\r\n製品カタログの送付を希望します。\r\n郵送先は東京都千代田区丸の内一丁目です。"},
       {}},
      {"mixed_charset_subject", "加藤恵美 <emi.kato@example.com>", "dev-jp@lists.example.org", "",
       // ISO-2022-JP, UTF-8 and Shift_JIS words in one header; the blanks
       // between adjacent encoded words go.
       "[dev-jp 01234] Re: 仕様変更の件（修正版）最終", "<87h6x2k9qz.fsf@example.com>", "2026/12/08 15:00:00", false,
       {"山田さん\r\n\r\n議事録の修正版です。\r\n\r\n加藤"},
       {}},
      {"pop3_dot_stuffed_uuencode", "木村 修 <kimura@example.net>", kYamadaAddress, "", "サンプル送付",
       "<200612081720.AA00123@example.net>", "2026/12/08 17:20:05", false,
       // The server doubled the leading dots; the user sees them single.
       {"山田さん\r\n\r\n.NET 版のサンプルを uuencode で送ります。\r\n手順は次のとおりです。\r\n"
        ".\\setup.bat を実行する\r\n...以上です。\r\n.\r\n"},
       {Named("sample.lzh", "pop3_dot_stuffed_uuencode-1.lzh")}},
      {"nested_multipart_related_cid", "佐々木 剛 <takeshi.sasaki@example.co.jp>", kYamada, "", "ロゴ案と仕様書",
       "<OS3PR01MB6543210A1B2C3D4E5F6A7B8C9D0E@OS3PR01MB6543.jpnprd01.prod.outlook.com>", "2026/12/08 14:40:29",
       false,
       {"山田さん\r\n\r\n新しいロゴ案を本文に貼り付けました。\r\n仕様書も添付します。\r\n\r\n佐々木\r\n",
        "<p class=\"MsoNormal\">新しいロゴ案を本文に貼り付けました。</p>\r\n"},
       {Named("image001.png", "nested_multipart_related_cid-1.png"),
        Named("仕様書.pdf", "nested_multipart_related_cid-2.pdf")}},
      {"newsletter_content_id_before_type", "EXAMPLE SHOP <news@mail.example-shop.jp>", kYamadaAddress, "",
       "【EXAMPLE SHOP】年末セールのお知らせ", "<98765.4321.1796700000000.JavaMail.mailer@mta12>",
       "2026/12/08 07:00:00", false, {"<p>いつもご利用ありがとうございます。</p>\r\n"},
       {Named("logo.gif", "newsletter_content_id_before_type-1.gif"),
        Named("banner.jpg", "newsletter_content_id_before_type-2.jpg")}},
      {"mailing_list_folded_subject", "森 直樹 <naoki.mori@example.jp>",
       "study-ml@ml.example.jp, 山田 太郎 <yamada@example.ne.jp>", "事務局 <office@example.jp>, hayashi@example.jp",
       "[study-ml:00123] 来週の勉強会のテーマと担当者について（日程調整のお願い）",
       "<20261208121520.2F3E4D5C@example.jp>", "2026/12/08 21:15:20", true,
       {"各位\r\n\r\n来週の勉強会のテーマと担当者が決まりましたのでお知らせします。\r\n"
        "詳細は添付の予定表をご覧ください。\r\n\r\n-- \r\n森 直樹"},
       {}},
      {"iphone_utf8_base64_single_part", "清水 涼 <ryo.shimizu@icloud.com>", kYamada, "", "Re: 今夜の待ち合わせ",
       "<6A7B8C9D-0E1F-4A2B-9C3D-4E5F6A7B8C9D@icloud.com>", "2026/12/08 18:01:40", false,
       {"了解です！\r\n19時に渋谷のハチ公前で待ち合わせにしましょう。\r\n"
        "少し遅れるかもしれないので、着いたらLINEします。\r\n\r\niPhoneから送信"},
       {}},
      {"newsletter_utf8_qp_single_part", "技術者向けメールマガジン <magazine@news.example.org>", kYamadaAddress, "",
       "第256号 文字コードの落とし穴", "<mm256.20261207210000@news.example.org>", "2026/12/08 06:00:00", false,
       {"━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━\r\n"
        "　技術者向けメールマガジン　第２５６号　２０２６年１２月８日\r\n"
        "━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━\r\n\r\n"
        "■今週の話題：文字コードの落とし穴と、その対処法について詳しく解説します\r\n\r\n"
        "配信停止はこちら：https://news.example.org/unsubscribe?id=12345\r\n"},
       {}},
      {"reservation_jis_capitalised_base64_cte", "reserve@reserve.example.jp", kYamadaAddress, "", "ご予約確認",
       "<R20261208-0042@reserve.example.jp>", "2026/12/08 11:11:11", false,
       {"山田 太郎 様\r\n\r\nご予約ありがとうございます。以下の内容で承りました。\r\n\r\n"
        "予約番号：２０２６１２０８００４２\r\n日時：２０２６年１２月２４日（木）１９：００\r\n人数：２名\r\n\r\n"
        "当日のお越しをお待ちしております。"},
       {}},
      {"scanner_pdf_without_name", "mfp-3f-east@example.co.jp", kYamadaAddress, "", "Scanned from MFP-3F-EAST",
       "<20261208103015.0001@mfp-3f-east.example.co.jp>", "2026/12/08 10:30:15", false,
       {"スキャンしたデータを送信します。\r\n\r\nデバイス名：MFP-3F-EAST\r\n"},
       {{"lpost.bin", "scanner_pdf_without_name-1.bin", NamelessNote()}}},
      {"windows_path_in_attachment_name", "木下 亮 <kinoshita@example.co.jp>", "<yamada@example.ne.jp>", "", "報告書",
       "<001201dd6a2b$4e5f6a70$0a00a8c0@PCKINOSHITA>", "2026/12/08 16:45:10", false,
       {"山田さん\r\n\r\n報告書と議事メモを送ります。\r\n\r\n木下\r\n"},
       {Named("報告書.doc", "windows_path_in_attachment_name-1.doc"),
        Named("議事メモ.txt", "windows_path_in_attachment_name-2.txt")}},
      {"malicious_attachment_names", "Billing <billing@invoice-example.test>", kYamadaAddress, "", "Invoice 2026-12",
       "<b1_8f3e2d1c0b9a8f7e6d5c4b3a29180706@invoice-example.test>", "2026/12/08 03:03:01", false,
       {"Please check the attached invoice.\r\n"},
       // "../lpost.conf" loses its directory part; ".." and a name with
       // control characters are unusable.
       {Named("lpost.conf", "malicious_attachment_names-1.conf"),
        Renamed("lpost.bin", "malicious_attachment_names-2.bin"),
        Renamed("lpost(1).bin", "malicious_attachment_names-3.bin")}},
      {"lan_copy_sjis_attachment", "鈴木 一郎 </mnt/lanmail/suzuki>", "/mnt/lanmail/yamada", "", "集計表の件", "",
       "2026/12/08 14:05:09", false,
       // A LAN copy is never dot-stuffed, so its dots stay as written.
       {"山田さん\r\n\r\n表計算の資料です。\r\n...以上、よろしくお願いします。\r\n\r\n鈴木\r\n"},
       {Named("集計表.xlsx", "lan_copy_sjis_attachment-1.xlsx")}},
      {"thunderbird_utf8_8bit_format_flowed", "山本 彩 <aya.yamamoto@example.com>", kYamada, "", "来週の打ち合わせ",
       "<8c1d9e2f-3a4b-5c6d-7e8f-9a0b1c2d3e4f@example.com>", "2026/12/08 20:30:00", false,
       {"山田さん\r\n\r\n漢字の多い文章でも正しく表示されるか確認しています。\r\n"
        "東京都千代田区霞が関の会議室で、来週月曜日に打ち合わせがあります。\r\n資料の準備をお願いします。\r\n\r\n山本"},
       {}},
      {"subject_split_inside_characters", "長谷川 さやか <sayaka.hasegawa@example.ne.jp>", kYamadaAddress, "",
       // Folded encoded words cut inside a UTF-8 character and inside a JIS
       // kanji run.
       "【重要】システムメンテナンスのお知らせ", "<5f6e7d8c.2026.1208.2210@example.ne.jp>", "2026/12/08 22:10:00",
       false, {"メンテナンスは１２月１２日（土）２時から６時までです。"},
       {}},
      {"outlook_express_raw_jis_filename", "\"松本 誠\" <matsumoto@example.ne.jp>",
       "\"山田 太郎\" <yamada@example.ne.jp>", "", "ソフト一覧表", "<000701dd6a30$12345670$6400a8c0@matsumoto>",
       "2026/12/08 09:40:00", false, {"山田様\r\n\r\nソフトの一覧表を送ります。\r\n\r\n松本\r\n"},
       // A raw JIS name; ソ and 表 end in the byte 0x5C once in Shift_JIS.
       {Named("ソフト一覧表.xls", "outlook_express_raw_jis_filename-1.xls")}},
      {"au_jis_halfwidth_katakana", "taku-0808@ezweb.ne.jp", kYamadaAddress, "", "ｶﾗｵｹ",
       "<20261208234500.1234.taku-0808@ezweb.ne.jp>", "2026/12/08 23:45:00", false,
       {"ｶﾗｵｹ行こうよ\r\nﾒﾝﾊﾞｰは５人です"},
       {}},
      {"outlook_iso2022jp_quoted_printable", "井上 裕子 <inoue@sample.example.co.jp>", kYamada, "", "資料発送のご連絡",
       "<TY2PR01MB4321ABCDEF0123456789ABCDEF01@TY2PR01MB4321.jpnprd01.prod.outlook.com>", "2026/12/08 13:30:09",
       false,
       {"山田様\r\n\r\nいつもお世話になっております。株式会社サンプルの井上でございます。"
        "先日ご依頼いただきました資料につきまして、本日発送いたしましたのでご連絡いたします。\r\n\r\n"
        "今後ともよろしくお願い申し上げます。\r\n\r\n井上\r\n",
        "<p>株式会社サンプルの井上でございます。先日ご依頼いただきました資料につきまして、"
        "本日発送いたしましたのでご連絡いたします。</p>"},
       {}},
      {"unix_lf_line_endings", "岡田 学 <okada@example.org>", kYamadaAddress, "", "改行の確認",
       "<20261208120000.GA4321@example.org>", "2026/12/08 21:00:00", false,
       {"山田さん\r\n\r\n改行コードが LF だけのメールです。\r\n\r\n岡田"},
       {}},
      {"thunderbird_forward_as_attachment", "前田 聡 <maeda@example.co.jp>", kYamada, "", "Fwd: 忘年会のご案内",
       "<d4c3b2a1-1111-4111-8111-abcdef012345@example.co.jp>", "2026/12/08 09:00:00", false,
       {"山田さん\r\n\r\n総務部からの案内を転送します。\r\n\r\n前田\r\n"},
       // The forwarded mail is kept byte for byte, its own encoded words included.
       {Named("忘年会のご案内.eml", "thunderbird_forward_as_attachment-1.eml")}},
      {"gmail_attachment_long_utf8_name", "西村 圭 <nishimura.kei@gmail.com>", "山田太郎 <yamada@example.ne.jp>", "",
       "打ち合わせ資料の共有", "<CAJt9Wn1xQ4r7Yb2Lm5Kp8Hs3Dv6Fz0cXe9Ua4Wq2Ro7Pk1Mn5g@mail.gmail.com>",
       "2026/12/08 17:55:38", false,
       {"山田さん\r\n\r\n先日の打ち合わせで使った資料を共有します。\r\nよろしくお願いします。\r\n\r\n西村\r\n",
        "<div>先日の打ち合わせで使った資料を共有します。</div>"},
       // Two encoded words inside one quoted name.
       {Named("2026年度_第3四半期_営業実績まとめ_最終版.xlsx", "gmail_attachment_long_utf8_name-1.xlsx")}},
      {"shop_sjis_qp_html_single_part", "サンプル商店 <order@shop.example.jp>", kYamadaAddress, "",
       "【サンプル商店】商品発送のお知らせ", "<ship.20261208152000.7788@shop.example.jp>", "2026/12/08 15:20:00", false,
       {"<p>このたびは当店をご利用いただき、誠にありがとうございます。ご注文の商品を本日発送いたしました。"
        "お届けまで今しばらくお待ちください。</p>\r\n<p>ご注文番号：ABC-20261208-7788</p>"},
       {}},
      {"eucjp_short_lines", "佐藤 修 <sato@example.net>", kYamadaAddress, "", "承知しました",
       "<20261208103000.D00D@example.net>", "2026/12/08 19:30:00", false,
       // "山田様" and "佐藤です。" in EUC-JP are byte pairs Shift_JIS could hold too.
       {"山田様\r\n\r\n先日の件、承知しました。\r\n佐藤です。\r\n以上です。"},
       {}},
      {"batch_script_lowercase_header_names", "system@example.co.jp", kYamadaAddress, "", "日次レポート 2026/12/08",
       "<20261208060001.12345@batch01.example.co.jp>", "2026/12/08 06:00:01", false,
       {"本日の日次レポートを送付します。\r\n\r\n※このメールは自動送信です。\r\n"},
       {Named("daily_report_20261208.csv", "batch_script_lowercase_header_names-1.csv")}},
      {"iphone_photos_same_name", "清水 涼 <ryo.shimizu@icloud.com>", kYamada, "", "旅行の写真",
       "<0B1C2D3E-4F50-4617-8293-A4B5C6D7E8F9@icloud.com>", "2026/12/08 21:02:08", false,
       {"山田さん\r\n\r\n旅行の写真を送ります。\r\n", "iPhoneから送信"},
       // Both photos are called "image.jpeg", unquoted and followed by ";".
       {Named("image.jpeg", "iphone_photos_same_name-1.jpeg"),
        Named("image(1).jpeg", "iphone_photos_same_name-2.jpeg")}},
      {"outlook_nec_special_characters", "坂本 大輔 <sakamoto@sample.example.co.jp>", kYamada, "",
       // NEC special characters (row 13) in ISO-2022-JP, as Windows mailers send them.
       "打ち合わせ候補日（㈱サンプル）", "<002a01dd6a2f$8c9d0e10$a5b6c7d8$@sample.example.co.jp>",
       "2026/12/08 10:05:09", false,
       {"山田様\r\n\r\n㈱サンプルの坂本です。\r\n打ち合わせの候補日は次のとおりです。\r\n"
        "①１２月１４日（月）１０時～\r\n②１２月１５日（火）１５時～\r\n会場：本社ビルⅢ期棟　３階\r\n\r\n"
        "よろしくお願いいたします。"},
       {}},
      {"postfix_bounce_multipart_report", "MAILER-DAEMON@mx01.example.ne.jp (Mail Delivery System)", kYamadaAddress,
       "", "Undelivered Mail Returned to Sender", "<20261208020005.1A2B3C4D5E@mx01.example.ne.jp>",
       "2026/12/08 11:00:05", false,
       // The report and the returned mail are read as text.
       {"This is the mail system at host mx01.example.ne.jp.\r\n", "Status: 5.4.4\r\n",
        "Subject: お見積のご依頼\r\n", "鈴木様\r\n\r\nお見積のご依頼です。\r\n"},
       {}},
      {"html_newsletter_base64_cid_across_lines", "info@example.jp", kYamadaAddress, "", "ご案内",
       "<related.20261208080000@example.jp>", "2026/12/08 08:00:00", false, {"<p>ご案内です。</p></body></html>"},
       {Named("logo.png", "html_newsletter_base64_cid_across_lines-1.png")}},
      {"exchange_utf7_plain", "admin@legacy.example.com", kYamadaAddress, "", "UTF-7 のメール",
       "<1208121212.4711@exchange.legacy.example.com>", "2026/12/08 12:12:12", false,
       {"山田様\r\n\r\nUTF-7 で届いたメールです。\r\n以上"},
       {}},
      {"raw_utf8_header_subject", "no-reply@portal.example.jp", kYamadaAddress, "",
       // UTF-8 written into the Subject without encoded words.
       "【会員サイト】パスワード再設定のお知らせ", "<pw-reset.20261208073000@portal.example.jp>", "2026/12/08 07:30:00",
       false, {"山田 太郎 様\r\n\r\nパスワードの再設定を受け付けました。"},
       {}},
      {"old_mailer_raw_jis_header", "原田 淳 <harada@example.or.jp>", kYamadaAddress, "", "例の件について",
       "<199912081020.KAA01234@pc98.example.or.jp>", "2026/12/08 10:20:30", false,
       {"山田さん\r\n\r\n例の件、了解しました。\r\n\r\n原田"},
       {}},
      {"webmail_iso2022jp_base64_text_part", "事務局 <office@example.ac.jp>", kYamadaAddress, "", "会議室予約表",
       "<20261208145000.5a6b7c8d@webmail.example.ac.jp>", "2026/12/08 14:50:00", false,
       {"山田様\r\n\r\n会議室の予約表をお送りします。\r\n\r\n事務局\r\n"},
       {Named("予約表.pdf", "webmail_iso2022jp_base64_text_part-1.pdf")}},
      {"java_app_base64_single_long_line", "report@app.example.co.jp", kYamadaAddress, "", "業務日報",
       "<1234567890.0.1796710000000.JavaMail.app@app.example.co.jp>", "2026/12/08 18:30:00", false, {DailyReport()},
       {Named("logs.zip", "java_app_base64_single_long_line-1.zip")}},
      {"gmail_utf8_ibm_extended_kanji", "髙橋 直子 <naoko.takahashi@gmail.com>", "山﨑 様 <yamazaki@example.ne.jp>", "",
       // 髙, 﨑 and 德 have only IBM extension codes (lead bytes 0xFA-0xFC).
       "德永さんの件", "<CAM4uK7pX2wQ9rT5yB8nL3sD6fG1hJ0kZ4cV7xN2mQ5pR8tW1eY@mail.gmail.com>", "2026/12/08 20:10:04",
       false,
       {"髙橋です。\r\n德永さんと山﨑さんにもよろしくお伝えください。\r\n",
        "<div dir=\"ltr\">髙橋です。<div>德永さんと山﨑さんにもよろしくお伝えください。</div></div>"},
       {}},
      {"mobile_sjis_8bit_ibm_extended_kanji", "takahashi.m@i.softbank.jp", kYamadaAddress, "", "髙橋です",
       "<20261208204501.A7B8C9@i.softbank.jp>", "2026/12/08 20:45:01", false,
       {"髙橋です。\r\n﨑の字は「立」の方です。"},
       {}},
      {"outlook_smime_signed", "渡部 恵 <watanabe@city.example.lg.jp>", kYamada, "", "電子署名付きメール",
       "<001001dd6a31$abcdef00$01234567$@city.example.lg.jp>", "2026/12/08 11:20:00", false,
       {"山田様\r\n\r\n電子署名付きでお送りします。\r\n\r\n総務課 渡部\r\n"},
       {Named("smime.p7s", "outlook_smime_signed-1.p7s")}},
      {"mobile_subject_only_empty_body", "yui-0425@docomo.ne.jp", kYamadaAddress, "", "おやすみなさい",
       "<20261208235800.F1E2D3.yui-0425@docomo.ne.jp>", "2026/12/08 23:58:00", false, {}, {}},
      // Folded at blanks: each fold's blank stays between the words.
      {"security_notice_folded_ascii_headers", "Example Account Security <no-reply@accounts.example.com>",
       "yamada@example.ne.jp, yamada.taro@example.co.jp, t-yamada@example.jp", "",
       "Your password was reset when two-factor authentication was on",
       "<0100018c4f2e7a1b-security-notice@accounts.example.com>", "2026/12/08 11:14:08", false,
       {"The password of your account was reset while two-factor\r\nauthentication is turned on."}, {}},
      // The record keeps the quoted form a reply needs; lists show the names.
      {"webmail_quoted_display_names", "\"佐藤 美咲\" <misaki.sato@webmail.example.jp>",
       "\"Taro \\\"T.Y.\\\" Yamada\" <yamada@example.ne.jp>, \"Suzuki, Hanako\" <hanako.suzuki@example.co.jp>",
       "\"経理部\" <keiri@example.co.jp>, \"C:\\\\share\" <share@example.co.jp>", "Re: 請求書の件",
       "<20261208140210.5A6B7C8D@web12.webmail.example.jp>", "2026/12/08 14:02:10", false,
       {"山田さん\r\n\r\n請求書の件、承知しました。\r\n"}, {}},
      // Files sent without a transfer encoding are saved byte for byte: the
      // line break before each delimiter is not theirs.
      {"text_files_attached_7bit_and_8bit", "伊藤 誠 <ito@example.co.jp>", kYamada, "", "会議メモと在庫表",
       "<5b6c7d8e-2222-4222-8222-abcdef987654@example.co.jp>", "2026/12/08 11:30:00", false,
       {"メモと在庫表を送ります。\r\n"},
       {Named("memo.txt", "text_files_attached_7bit_and_8bit-1.txt"),
        Named("stock.csv", "text_files_attached_7bit_and_8bit-2.csv")}},
  };
}

class RecordingMessageIds : public MessageIdObserver {
 public:
  void OnMessageIdAnalysed(std::string_view sjis_message_id) override { ids.emplace_back(sjis_message_id); }
  std::vector<std::string> ids;
};

// A fresh data directory as the program sets it up: settings file,
// attachment directory and an empty receive box.
class SpoolAnalysisFixture {
 protected:
  static constexpr const char* kSettings = "[System]\r\nAttachDir=Attach\r\n";

  SpoolAnalysisFixture() {
    setenv("TZ", "Asia/Tokyo", 1);
    tzset();
    WriteFileBytes(dir_.File("lpost.conf"), kSettings);
    EXPECT_TRUE(MakeDirectory("Attach"));
    const std::string box_path = Sjis("受信.lp");
    EXPECT_TRUE(CreateEmptyFileIfMissing(box_path));
    EXPECT_TRUE(box_.Open(box_path).ok);
    attach_dir_ = JoinPath(CurrentDirectory(), "Attach");
  }

  // Writes the spool as "inbox.log" in the data directory and analyses it.
  int AnalyseFixtures(const std::vector<std::string>& fixtures) {
    std::string spool;
    for (const std::string& name : fixtures) spool += DataFile(name + ".txt");
    WriteFileBytes(dir_.File("inbox.log"), spool);
    return AnalyseSpool(box_, "inbox.log", &message_ids_);
  }

  [[nodiscard]] std::string AttachmentPath(std::string_view name_utf8) const {
    return JoinPath(attach_dir_, Sjis(name_utf8));
  }

  [[nodiscard]] std::set<std::string> AttachDirectoryNames() const {
    std::set<std::string> names;
    if (auto entries = ListDirectory(attach_dir_)) {
      for (const DirectoryEntry& entry : *entries) names.insert(Cp932ToUtf8(entry.name));
    }
    return names;
  }

  testing::TempDirectory dir_{true};
  Profile profile_{"lpost.conf"};
  RecordingUserInterface ui_;
  NullCommandObserver commands_;
  CLPOSTDoc box_{profile_, ui_, commands_};
  RecordingMessageIds message_ids_;
  std::string attach_dir_;
};

class RealWorldMailTest : public SpoolAnalysisFixture, public ::testing::TestWithParam<MessageCase> {};

TEST_P(RealWorldMailTest, ShowsTheMailAsItsSenderWroteIt) {
  const MessageCase& c = GetParam();
  ASSERT_EQ(AnalyseFixtures({c.fixture}), 1);
  ASSERT_EQ(box_.Count(), 1);
  const CMail& mail = *box_.RecordAt(0);

  EXPECT_EQ(Cp932ToUtf8(mail.from), c.from);
  EXPECT_EQ(Cp932ToUtf8(mail.to), c.to);
  EXPECT_EQ(Cp932ToUtf8(mail.cc), c.cc);
  EXPECT_EQ(Cp932ToUtf8(mail.subject), c.subject);
  EXPECT_EQ(mail.message_id, c.message_id);
  EXPECT_EQ(FormatListDate(mail.date), c.list_date);
  EXPECT_EQ(mail.status, kStatusUnread);
  EXPECT_EQ((mail.flags & kFlagHasReplyTo) != 0, c.reply_to);
  EXPECT_TRUE(mail.bcc.empty());
  EXPECT_TRUE(box_.IsModified());

  const std::string body = box_.DisplayText(0, HeaderMode::None, 0).text;
  for (const std::string& fragment : c.body) {
    EXPECT_NE(body.find(Sjis(fragment)), std::string::npos)
        << "missing:\n" << fragment << "\nin the shown text:\n" << Cp932ToUtf8(body);
  }
  // Part headers and transfer encodings never reach the reader.
  EXPECT_EQ(body.find("Content-Transfer-Encoding:"), std::string::npos) << Cp932ToUtf8(body);
  EXPECT_EQ(body.find("=?"), std::string::npos) << Cp932ToUtf8(body);

  // The header lines the read view shows read as the list columns do.
  const std::string all = box_.DisplayText(0, HeaderMode::All, 0).text;
  EXPECT_EQ(Cp932ToUtf8(UnfoldedHeaderLine(all, "From")), "From: " + c.from) << Cp932ToUtf8(all);
  EXPECT_EQ(Cp932ToUtf8(UnfoldedHeaderLine(all, "Subject")), "Subject: " + c.subject) << Cp932ToUtf8(all);

  std::string expected_paths;
  std::set<std::string> expected_names;
  for (const ExpectedAttachment& attachment : c.attachments) {
    const std::string path = AttachmentPath(attachment.saved_name);
    if (!expected_paths.empty()) expected_paths += "\n";
    expected_paths += path;
    expected_names.insert(attachment.saved_name);

    const std::string expected_bytes = DataFile("expected/" + attachment.bytes_file);
    EXPECT_EQ(ReadFileBytes(ToNativePath(path)), expected_bytes) << attachment.saved_name;
    EXPECT_NE(body.find(attachment.note), std::string::npos)
        << "note for " << attachment.saved_name << " missing in:\n" << Cp932ToUtf8(body);
    // Neither the encoded nor the decoded content lands in the mail text.
    EXPECT_EQ(body.find(Base64EncodeBlock(expected_bytes.substr(0, 57))), std::string::npos);
    EXPECT_EQ(body.find(expected_bytes.substr(0, 8)), std::string::npos);
  }
  EXPECT_EQ(Cp932ToUtf8(mail.attachments), Cp932ToUtf8(expected_paths));
  EXPECT_EQ(AttachDirectoryNames(), expected_names);

  // Whatever an attachment was called, the settings file stays as it was.
  EXPECT_EQ(ReadFileBytes(dir_.File("lpost.conf")), kSettings);
  ASSERT_EQ(message_ids_.ids.size(), c.message_id.empty() ? 0U : 1U);
  if (!c.message_id.empty()) {
    EXPECT_EQ(message_ids_.ids[0], c.message_id);
  }
}

INSTANTIATE_TEST_SUITE_P(MailPrograms, RealWorldMailTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<MessageCase>& param) { return param.param.fixture; });

class RealWorldSpoolTest : public SpoolAnalysisFixture, public ::testing::Test {};

// One POP3 session fetching several mails leaves them one after another in
// the spool; each becomes its own record and text block.
TEST_F(RealWorldSpoolTest, OneSessionOfSeveralMailsGivesOneRecordEach) {
  const std::vector<std::string> fixtures = {"thunderbird_iso2022jp_attachment", "gmail_utf8_qp_html",
                                             "thunderbird_iso2022jp_attachment", "docomo_sjis_8bit",
                                             "yahoo_japan_iso2022jp_plain"};
  ASSERT_EQ(AnalyseFixtures(fixtures), 5);
  ASSERT_EQ(box_.Count(), 5);

  const std::vector<std::string> subjects = {"申込表の送付について", "写真ありがとうございました！",
                                             "申込表の送付について", "到着しました", "同窓会のお知らせ"};
  for (int i = 0; i < 5; ++i) {
    const CMail& mail = *box_.RecordAt(i);
    EXPECT_EQ(Cp932ToUtf8(mail.subject), subjects[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(mail.status, kStatusUnread) << i;
    EXPECT_EQ(box_.ReadText(mail.text_start, mail.text_end).text.rfind("+OK", 0), 0U) << i;
    if (i > 0) {
      EXPECT_EQ(mail.text_start, box_.RecordAt(i - 1)->text_end) << i;
    }
  }
  EXPECT_EQ(Cp932ToUtf8(box_.RecordAt(1)->cc), "");
  EXPECT_EQ(box_.RecordAt(4)->text_end, FileSize(box_.TextFilePath()).value_or(0));

  // The same attachment name in a later mail gets a numbered name.
  const std::string expected_bytes = DataFile("expected/thunderbird_iso2022jp_attachment-1.xls");
  EXPECT_EQ(box_.RecordAt(0)->attachments, AttachmentPath("申込表.xls"));
  EXPECT_EQ(box_.RecordAt(2)->attachments, AttachmentPath("申込表(1).xls"));
  EXPECT_EQ(ReadFileBytes(ToNativePath(AttachmentPath("申込表.xls"))), expected_bytes);
  EXPECT_EQ(ReadFileBytes(ToNativePath(AttachmentPath("申込表(1).xls"))), expected_bytes);
  EXPECT_NE(box_.DisplayText(2, HeaderMode::None, 0).text.find(SavedNote("申込表(1).xls")), std::string::npos);

  const std::vector<std::string> ids = {"<4F8A2C3D.5060708@example.co.jp>",
                                        "<CAKx7pQ3mVb2Nw9yT4rG8hJ1sLd6Fz0cXe5Ua7Wq3Ro9Pk2Mn8g@mail.gmail.com>",
                                        "<4F8A2C3D.5060708@example.co.jp>",
                                        "<20261208123456.A1B2C3.hanako-0123@docomo.ne.jp>",
                                        "<1796716834.56789.YahooMailNeo@web101234.mail.kks.yahoo.co.jp>"};
  EXPECT_EQ(message_ids_.ids, ids);
}

// A later receive appends to the same box and leaves the earlier mails as
// they were.
TEST_F(RealWorldSpoolTest, ALaterReceiveLeavesEarlierMailsIntact) {
  ASSERT_EQ(AnalyseFixtures({"yahoo_japan_iso2022jp_plain"}), 1);
  const std::string first_text = box_.DisplayText(0, HeaderMode::All, 0).text;
  ASSERT_EQ(AnalyseFixtures({"lan_copy_sjis_attachment", "iphone_utf8_base64_single_part"}), 2);
  ASSERT_EQ(box_.Count(), 3);
  EXPECT_EQ(box_.DisplayText(0, HeaderMode::All, 0).text, first_text);
  EXPECT_EQ(box_.RecordAt(1)->text_start, box_.RecordAt(0)->text_end);
  EXPECT_EQ(Cp932ToUtf8(box_.RecordAt(1)->subject), "集計表の件");
  EXPECT_EQ(Cp932ToUtf8(box_.RecordAt(2)->subject), "Re: 今夜の待ち合わせ");
  // A LAN copy has no status line: its text starts with its first header.
  EXPECT_EQ(box_.ReadText(box_.RecordAt(1)->text_start, box_.RecordAt(1)->text_end).text.rfind("X-MAILER:", 0), 0U);
}

// An HTML part that shows an image sent along refers to it as "cid:"; the
// stored text points at the saved file instead.
TEST_F(RealWorldSpoolTest, OutlookInlineImageIsShownFromTheSavedFile) {
  ASSERT_EQ(AnalyseFixtures({"nested_multipart_related_cid"}), 1);
  const std::string image = AttachmentPath("image001.png");

  ASSERT_EQ(box_.content_ids().size(), 1U);
  EXPECT_EQ(box_.content_ids()[0].content_id, "image001.png@01DD6A2B.3C4D5E60");
  EXPECT_EQ(box_.content_ids()[0].path, image);

  const std::string body = box_.DisplayText(0, HeaderMode::None, 0).text;
  EXPECT_NE(body.find("src=\"" + image + "\" alt="), std::string::npos) << Cp932ToUtf8(body);
  EXPECT_EQ(body.find("cid:"), std::string::npos) << Cp932ToUtf8(body);
  // The attachment after the related part still gets its own file.
  EXPECT_EQ(box_.RecordAt(0)->attachments, image + "\n" + AttachmentPath("仕様書.pdf"));
}

TEST_F(RealWorldSpoolTest, ContentIdBeforeThePartsFileNameStillFindsTheFile) {
  ASSERT_EQ(AnalyseFixtures({"newsletter_content_id_before_type"}), 1);
  const std::string logo = AttachmentPath("logo.gif");
  const std::string banner = AttachmentPath("banner.jpg");

  ASSERT_EQ(box_.content_ids().size(), 2U);
  EXPECT_EQ(box_.content_ids()[0].content_id, "logo_202612@mail.example-shop.jp");
  EXPECT_EQ(box_.content_ids()[0].path, logo);
  EXPECT_EQ(box_.content_ids()[1].content_id, "banner_202612@mail.example-shop.jp");
  EXPECT_EQ(box_.content_ids()[1].path, banner);

  const std::string body = box_.DisplayText(0, HeaderMode::None, 0).text;
  EXPECT_NE(body.find("<p><img src=\"" + logo + "\" alt=\"EXAMPLE SHOP\"></p>"), std::string::npos)
      << Cp932ToUtf8(body);
  EXPECT_NE(body.find("<p><img src=\"" + logo + "\" width=\"60\"></p>"), std::string::npos);
  EXPECT_NE(body.find("<img src=\"" + banner + "\"></p>"), std::string::npos);
  EXPECT_EQ(body.find("cid:"), std::string::npos);
}

// Mails analysed from a spool name their attachments with a directory part
// only by mistake or malice; nothing is written outside the attachment
// directory.
TEST_F(RealWorldSpoolTest, AttachmentNamesNeverLeaveTheAttachmentDirectory) {
  ASSERT_EQ(AnalyseFixtures({"malicious_attachment_names", "windows_path_in_attachment_name"}), 2);
  EXPECT_EQ(ReadFileBytes(dir_.File("lpost.conf")), kSettings);
  const std::set<std::string> expected = {"lpost.conf", "lpost.bin", "lpost(1).bin", "報告書.doc", "議事メモ.txt"};
  EXPECT_EQ(AttachDirectoryNames(), expected);
  auto data_dir = ListDirectory(CurrentDirectory());
  ASSERT_TRUE(data_dir.has_value());
  std::set<std::string> data_names;
  for (const DirectoryEntry& entry : *data_dir) data_names.insert(Cp932ToUtf8(entry.name));
  const std::set<std::string> expected_data = {"lpost.conf", "Attach", "inbox.log", "受信.lp", "受信.mb"};
  EXPECT_EQ(data_names, expected_data);
}

// A mail saved by another program and picked with the analyse command has no
// "." line after it; the mail still arrives whole.
TEST_F(RealWorldSpoolTest, AFileWithoutTerminatorStillGivesAReadableMail) {
  ASSERT_EQ(AnalyseFixtures({"saved_eml_without_terminator"}), 1);
  const CMail& mail = *box_.RecordAt(0);
  EXPECT_EQ(Cp932ToUtf8(mail.subject), "改行の確認");
  EXPECT_GT(mail.text_end, mail.text_start);
  EXPECT_EQ(mail.text_end, FileSize(box_.TextFilePath()).value_or(0));
  const std::string body = box_.DisplayText(0, HeaderMode::None, 0).text;
  EXPECT_NE(body.find(Sjis("山田さん\r\n\r\n改行コードが LF だけのメールです。\r\n\r\n岡田")), std::string::npos)
      << Cp932ToUtf8(body);
}

// A relay that enforces a size limit cuts a mail inside its attachment; the
// part that arrived is kept and the next mail of the spool is not harmed.
TEST_F(RealWorldSpoolTest, MailCutInsideItsAttachmentKeepsWhatArrived) {
  ASSERT_EQ(AnalyseFixtures({"truncated_by_server_size_limit", "yahoo_japan_iso2022jp_plain"}), 2);
  const CMail& cut = *box_.RecordAt(0);
  EXPECT_EQ(Cp932ToUtf8(cut.subject), "打ち合わせ資料の共有");
  const std::string path = AttachmentPath("2026年度_第3四半期_営業実績まとめ_最終版.xlsx");
  EXPECT_EQ(cut.attachments, path);
  const std::string arrived = ReadFileBytes(ToNativePath(path));
  EXPECT_EQ(arrived.size(), 10U * 57U);
  EXPECT_EQ(arrived, DataFile("expected/gmail_attachment_long_utf8_name-1.xlsx").substr(0, arrived.size()));

  const CMail& next = *box_.RecordAt(1);
  EXPECT_EQ(next.text_start, cut.text_end);
  EXPECT_EQ(Cp932ToUtf8(next.subject), "同窓会のお知らせ");
  EXPECT_EQ(Cp932ToUtf8(next.from), "高橋 真由 <mayu_takahashi@yahoo.co.jp>");
  EXPECT_NE(box_.DisplayText(1, HeaderMode::None, 0).text.find(Sjis("会費：５，０００円\r\n")), std::string::npos);
}

// A Japanese name of 90 characters fits in 255 bytes of Shift_JIS but not
// in a Linux file name of 255 bytes of UTF-8. The part is still saved whole,
// and the note names the file it went to.
TEST_F(RealWorldSpoolTest, VeryLongJapaneseFileNameStillSavesThePart) {
  ASSERT_EQ(AnalyseFixtures({"thunderbird_very_long_attachment_name"}), 1);
  const std::set<std::string> names = AttachDirectoryNames();
  ASSERT_EQ(names.size(), 1U);
  const std::string saved = *names.begin();
  const std::string path = AttachmentPath(saved);
  EXPECT_EQ(box_.RecordAt(0)->attachments, path);
  EXPECT_EQ(ReadFileBytes(ToNativePath(path)), DataFile("expected/thunderbird_very_long_attachment_name-1.pdf"));
  const std::string body = box_.DisplayText(0, HeaderMode::None, 0).text;
  const bool saved_note = body.find(SavedNote(saved)) != std::string::npos;
  const bool renamed_note = body.find(RenamedNoteTail()) != std::string::npos;
  EXPECT_TRUE(saved_note || renamed_note) << Cp932ToUtf8(body);
  EXPECT_NE(body.find("Please find the attached file.\r\n"), std::string::npos) << Cp932ToUtf8(body);
}

TEST_F(RealWorldSpoolTest, ContentIdSplitBetweenBase64LinesIsStillReplaced) {
  ASSERT_EQ(AnalyseFixtures({"html_newsletter_base64_cid_across_lines"}), 1);
  const std::string logo = AttachmentPath("logo.png");
  ASSERT_EQ(box_.content_ids().size(), 1U);
  EXPECT_EQ(box_.content_ids()[0].path, logo);
  const std::string body = box_.DisplayText(0, HeaderMode::None, 0).text;
  EXPECT_NE(body.find("<p><img src=\"" + logo + "\" alt=\"logo\"></p>"), std::string::npos) << Cp932ToUtf8(body);
  EXPECT_EQ(body.find("cid:"), std::string::npos);
}

// Users name the attachment directory in Japanese; a directory that was
// removed is made again rather than losing the attachment.
TEST_F(RealWorldSpoolTest, JapaneseAttachmentDirectoryIsMadeWhenMissing) {
  const std::string directory = Sjis("添付ファイル");
  ASSERT_TRUE(profile_.WriteString("System", "AttachDir", directory));
  ASSERT_EQ(AnalyseFixtures({"thunderbird_iso2022jp_attachment"}), 1);
  const std::string path = JoinPath(JoinPath(CurrentDirectory(), directory), Sjis("申込表.xls"));
  EXPECT_EQ(box_.RecordAt(0)->attachments, path);
  EXPECT_EQ(ReadFileBytes(ToNativePath(path)), DataFile("expected/thunderbird_iso2022jp_attachment-1.xls"));
}

// The read view shows the To, From, Date, Cc, Subject and Reply-To lines of a
// received mail; mail programs write these names in other cases too
// ("CC:" from Exchange, "from:" and "subject:" from scripts).
TEST_F(RealWorldSpoolTest, ReadViewShowsHeaderNamesWrittenInAnyCase) {
  ASSERT_EQ(AnalyseFixtures({"outlook_utf8_base64_multipart_alternative", "batch_script_lowercase_header_names"}), 2);
  const std::string outlook = Cp932ToUtf8(box_.DisplayText(0, HeaderMode::FromSetting, 0).text);
  EXPECT_NE(outlook.find("CC: 高橋 健一 <kenichi.takahashi@example.co.jp>\r\n"), std::string::npos) << outlook;
  const std::string script = Cp932ToUtf8(box_.DisplayText(1, HeaderMode::FromSetting, 0).text);
  EXPECT_NE(script.find("from: system@example.co.jp\r\n"), std::string::npos) << script;
  EXPECT_NE(script.find("subject: 日次レポート 2026/12/08\r\n"), std::string::npos) << script;
}

// 髙, 﨑 and 德 exist in code page 932 only as IBM extension codes, whose
// lead bytes (0xFA to 0xFC) a code guess takes for EUC-JP. The stored text
// keeps them (the analysis), and the read view shows them (the display).
TEST_F(RealWorldSpoolTest, IbmExtensionKanjiAreStoredAndShownUnchanged) {
  ASSERT_EQ(AnalyseFixtures({"gmail_utf8_ibm_extended_kanji", "mobile_sjis_8bit_ibm_extended_kanji"}), 2);
  const std::string takahashi = Sjis("髙橋です。\r\n");
  for (int i = 0; i < 2; ++i) {
    const CMail& mail = *box_.RecordAt(i);
    const std::string stored = box_.ReadText(mail.text_start, mail.text_end).text;
    EXPECT_NE(stored.find(takahashi), std::string::npos) << i << "\n" << Cp932ToUtf8(stored);
    EXPECT_NE(box_.DisplayText(i, HeaderMode::None, 0).text.find(takahashi), std::string::npos) << i;
  }
  EXPECT_EQ(Cp932ToUtf8(box_.RecordAt(0)->from), "髙橋 直子 <naoko.takahashi@gmail.com>");
  EXPECT_EQ(Cp932ToUtf8(box_.RecordAt(1)->subject), "髙橋です");
}

// A mail may have no body at all, and then no blank line ends its header;
// its terminator still ends it, and the next mail is read as a mail.
TEST_F(RealWorldSpoolTest, MailWithoutBodyEndsAtItsTerminator) {
  ASSERT_EQ(AnalyseFixtures({"header_only_without_body", "yahoo_japan_iso2022jp_plain"}), 2);
  const CMail& notice = *box_.RecordAt(0);
  EXPECT_EQ(notice.subject, "[OK] backup finished");
  EXPECT_EQ(notice.from, "monitor@example.co.jp");
  EXPECT_EQ(FormatListDate(notice.date), "2026/12/08 03:00:00");
  EXPECT_EQ(box_.ReadText(notice.text_start, notice.text_end).text.rfind("+OK", 0), 0U);
  const CMail& next = *box_.RecordAt(1);
  EXPECT_EQ(next.text_start, notice.text_end);
  EXPECT_EQ(Cp932ToUtf8(next.subject), "同窓会のお知らせ");
  EXPECT_NE(box_.DisplayText(1, HeaderMode::None, 0).text.find(Sjis("会費：５，０００円\r\n")), std::string::npos);
}

// Web mailers quote every display name, encoded words included. The mail
// list and the read view show the names; the record keeps the quotes that
// a reply to "Suzuki, Hanako" needs.
TEST_F(RealWorldSpoolTest, QuotedDisplayNamesAreShownWithoutTheirQuotes) {
  ASSERT_EQ(AnalyseFixtures({"webmail_quoted_display_names"}), 1);
  const CMail& mail = *box_.RecordAt(0);
  EXPECT_EQ(Cp932ToUtf8(AddressFieldForDisplay(mail.from)), "佐藤 美咲 <misaki.sato@webmail.example.jp>");
  EXPECT_EQ(Cp932ToUtf8(AddressFieldForDisplay(mail.to)),
            "Taro \"T.Y.\" Yamada <yamada@example.ne.jp>, Suzuki, Hanako <hanako.suzuki@example.co.jp>");
  const std::string shown = Cp932ToUtf8(box_.DisplayText(0, HeaderMode::FromSetting, 0).text);
  EXPECT_NE(shown.find("From: 佐藤 美咲 <misaki.sato@webmail.example.jp>\r\n"), std::string::npos) << shown;
  EXPECT_NE(shown.find("To: Taro \"T.Y.\" Yamada <yamada@example.ne.jp>, Suzuki, Hanako\r\n"
                       " <hanako.suzuki@example.co.jp>\r\n"),
            std::string::npos)
      << shown;
  EXPECT_NE(shown.find("Cc: 経理部 <keiri@example.co.jp>, C:\\share <share@example.co.jp>\r\n"), std::string::npos)
      << shown;
}

// Replies read References and Message-ID, and the mail filters read any
// header line, from the stored text; pointing "cid:" references at the
// saved files must not take those lines away.
TEST_F(RealWorldSpoolTest, ContentIdRewriteKeepsTheHeaderLines) {
  ASSERT_EQ(AnalyseFixtures({"nested_multipart_related_cid", "newsletter_content_id_before_type"}), 2);
  EXPECT_EQ(HeaderValue(box_, 0, "Message-ID"),
            "<OS3PR01MB6543210A1B2C3D4E5F6A7B8C9D0E@OS3PR01MB6543.jpnprd01.prod.outlook.com>");
  EXPECT_EQ(HeaderValue(box_, 0, "Thread-Index"), "AdtJ8w2mK3pLq4vR5sT6uV7wX8yZ9A==");
  EXPECT_EQ(HeaderValue(box_, 1, "List-Unsubscribe"), "<mailto:unsubscribe@mail.example-shop.jp>");
  EXPECT_EQ(box_.ReadText(box_.RecordAt(1)->text_start, box_.RecordAt(1)->text_end).text.rfind("+OK", 0), 0U);
}

}  // namespace
}  // namespace lp
