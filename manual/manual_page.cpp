#include "manual/manual_page.h"

#include "cli/command_table.h"
#include "desktop/desktop_options.h"

namespace lp {
namespace {

struct Texts {
  std::string_view name;
  std::string_view synopsis;
  std::string_view description;
  std::string_view help;
  std::string_view version;
  std::string_view cli_name;
  std::string_view desktop_name;
  std::string_view cli_description;
  std::string_view desktop_description;
  std::string_view options;
  std::string_view commands;
  std::string_view requests;
  std::string_view environment;
  std::string_view environment_home;
  std::string_view environment_xdg;
  std::string_view environment_ca;
  std::string_view files;
  std::string_view files_text;
  std::string_view exit_status;
  std::string_view exit_text;
  std::string_view see_also;
  std::string_view manual_title;
};

const Texts kEnglish{
    "NAME",
    "SYNOPSIS",
    "DESCRIPTION",
    "print the options and end",
    "print the version and end",
    "command line of the Lanternpost mail client",
    "Japanese mail client for POP3 and SMTP",
    "lanternpost-cli works on the data directory of the Lanternpost mail client without its windows: it "
    "receives and sends mail, lists, shows, searches, sorts and moves mails, and imports mail of other "
    "programs. Output is UTF-8; messages go to standard error. BOX is a box path relative to the data "
    "directory (default: the receive box); other files are relative to the current directory. Questions "
    "are answered by --yes, otherwise with the cautious answer. Commands that write hold a lock on the data "
    "directory; while the desktop application runs on it, receive, send, sendrecv and patrol are handed to "
    "it.",
    "Lanternpost is a desktop mail client for Japanese users: POP3 and LAN-folder receiving, local "
    "mailboxes, sorting rules, a direct-mail filter and SMTP sending. A second start on the same data "
    "directory hands its request to the running program and ends. Help (F1) opens the user manual.",
    "OPTIONS",
    "COMMANDS",
    "REQUESTS",
    "ENVIRONMENT",
    "the data directory when --data-dir is not given",
    "the data directory is $XDG_DATA_HOME/lanternpost (~/.local/share/lanternpost) when neither --data-dir "
    "nor LANTERNPOST_HOME is given",
    "a PEM file of one more certificate authority to trust besides the system's (for tests)",
    "FILES",
    "the settings file in the data directory; the boxes (*.lp and *.mb) and work files lie beside it",
    "EXIT STATUS",
    "0 on success, 1 on failure, 2 for a malformed command line, 4 when another program holds the data "
    "directory; search exits 1 when nothing matched, delete-all 3 when it was not confirmed.",
    "SEE ALSO",
    "Lanternpost Manual",
};

const Texts kJapanese{
    "名前",
    "書式",
    "説明",
    "オプションを表示して終わります",
    "バージョンを表示して終わります",
    "メールソフト Lanternpost のコマンドライン",
    "POP3 と SMTP の日本語メールソフト",
    "lanternpost-cli はウィンドウを開かずに Lanternpost のデータディレクトリを扱います。メールの受信と"
    "送信、一覧・表示・検索・並べ替え・移動、ほかのメールソフトのメールの取り込みができます。出力は "
    "UTF-8 で、メッセージは標準エラー出力に出ます。BOX はデータディレクトリからの相対パスで指定する"
    "メールボックスで、省略すると受信箱です。そのほかのファイルはカレントディレクトリからの相対パスです。"
    "問い合わせには --yes があれば「はい」、なければ安全な側の答えを返します。書き込むコマンドはデータ"
    "ディレクトリをロックします。デスクトップアプリケーションが同じデータディレクトリで動いているときは、"
    "receive、send、sendrecv、patrol をそちらに任せます。",
    "Lanternpost は日本語のためのデスクトップメールソフトです。POP3 と LAN フォルダからの受信、メール"
    "ボックス、振り分け、ダイレクトメールの排除、SMTP での送信ができます。同じデータディレクトリで2つ目を"
    "起動すると、指定を動いている方に渡して終わります。ヘルプ（F1）で利用者マニュアルが開きます。",
    "オプション",
    "コマンド",
    "起動時の指定",
    "環境変数",
    "--data-dir がないときのデータディレクトリ",
    "--data-dir も LANTERNPOST_HOME もないとき、データディレクトリは $XDG_DATA_HOME/lanternpost"
    "（~/.local/share/lanternpost）です",
    "システムの認証局に加えて信頼する認証局の PEM ファイル（テスト用）",
    "ファイル",
    "データディレクトリの設定ファイル。メールボックス（*.lp と *.mb）と作業ファイルも同じ場所にあります",
    "終了ステータス",
    "成功で 0、失敗で 1、コマンドラインの誤りで 2、ほかのプログラムがデータディレクトリを使用中なら 4 です。"
    "search は一致がなければ 1、delete-all は確認されなければ 3 を返します。",
    "関連項目",
    "Lanternpost マニュアル",
};

const Texts& TextsOf(ManualLanguage language) { return language == ManualLanguage::Japanese ? kJapanese : kEnglish; }

template <typename Entry>
std::string_view Describe(const Entry& entry, ManualLanguage language) {
  return language == ManualLanguage::Japanese ? entry.japanese : entry.english;
}

std::string Section(std::string_view title) { return ".SH \"" + RoffText(title) + "\"\n"; }

std::string Header(std::string_view name, const Texts& texts, std::string_view version, std::string_view summary) {
  std::string out = ".TH " + RoffText(name) + " 1 \"\" \"Lanternpost " + RoffText(version) + "\" \"" +
                    RoffText(texts.manual_title) + "\"\n";
  // Japanese breaks between any two characters (groff's Japanese rules) and
  // is set ragged: justification has no spaces to stretch.
  if (&texts == &kJapanese) out += ".mso ja.tmac\n.ad l\n";
  out += Section(texts.name) + RoffText(name) + " \\- " + RoffText(summary) + "\n";
  return out;
}


enum class TagStyle { Syntax, Name };

// ".TP" with the tag in bold; in a syntax, placeholders (words without a
// lower-case letter) in italics.
std::string TaggedParagraph(std::string_view tag, std::string_view text, TagStyle style = TagStyle::Syntax) {
  std::string styled;
  std::size_t start = 0;
  while (start <= tag.size()) {
    std::size_t end = tag.find(' ', start);
    if (end == std::string_view::npos) end = tag.size();
    const std::string_view word = tag.substr(start, end - start);
    const bool placeholder = style == TagStyle::Syntax && !word.empty() && word.find_first_of("abcdefghijklmnopqrstuvwxyz/") == std::string_view::npos;
    if (!styled.empty()) styled += ' ';
    styled += (placeholder ? "\\fI" : "\\fB") + RoffText(word) + "\\fR";
    start = end + 1;
  }
  return ".TP\n" + styled + "\n" + RoffText(text) + "\n";
}

std::string OptionTag(std::string_view name, std::string_view value) {
  std::string tag = "--" + std::string(name);
  if (!value.empty()) tag += " " + std::string(value);
  return tag;
}

std::string Environment(const Texts& texts, bool with_ca) {
  std::string out = Section(texts.environment);
  out += TaggedParagraph("LANTERNPOST_HOME", texts.environment_home, TagStyle::Name);
  out += TaggedParagraph("XDG_DATA_HOME", texts.environment_xdg, TagStyle::Name);
  if (with_ca) out += TaggedParagraph("LANTERNPOST_EXTRA_CA", texts.environment_ca, TagStyle::Name);
  out += Section(texts.files);
  out += TaggedParagraph("lpost.conf", texts.files_text, TagStyle::Name);
  return out;
}

}  // namespace

std::string RoffText(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-') {
      out += "\\-";
    } else {
      out += c;
    }
  }
  if (!out.empty() && (out.front() == '.' || out.front() == '\'')) out.insert(0, "\\&");
  return out;
}

std::string CliManualPage(ManualLanguage language, std::string_view version) {
  const Texts& texts = TextsOf(language);
  std::string out = Header("lanternpost-cli", texts, version, texts.cli_name);
  out += Section(texts.synopsis) + ".B lanternpost\\-cli\n[\\fB\\-\\-data\\-dir\\fR \\fIDIR\\fR] \\fICOMMAND\\fR [\\fIARGS\\fR]\n";
  out += ".br\n.B lanternpost\\-cli\n\\fICOMMAND\\fR \\fB\\-\\-help\\fR\n";
  out += Section(texts.description) + RoffText(texts.cli_description) + "\n";
  out += Section(texts.options);
  for (const CliOption& option : GlobalCliOptions()) {
    out += TaggedParagraph(OptionTag(option.name, option.value), Describe(option, language));
  }
  out += Section(texts.commands);
  for (const CliCommand& command : CliCommands()) {
    std::string tag(command.name);
    if (!command.synopsis.empty()) tag += " " + std::string(command.synopsis);
    out += TaggedParagraph(tag, Describe(command, language));
    if (command.options.empty()) continue;
    out += ".RS\n";
    for (const CliOption& option : command.options) {
      out += TaggedParagraph(OptionTag(option.name, option.value), Describe(option, language));
    }
    out += ".RE\n";
  }
  out += Environment(texts, true);
  out += Section(texts.exit_status) + RoffText(texts.exit_text) + "\n";
  out += Section(texts.see_also) + ".BR lanternpost (1)\n";
  return out;
}

std::string DesktopManualPage(ManualLanguage language, std::string_view version) {
  const Texts& texts = TextsOf(language);
  std::string out = Header("lanternpost", texts, version, texts.desktop_name);
  out += Section(texts.synopsis) + ".B lanternpost\n[\\fB\\-\\-data\\-dir\\fR \\fIDIR\\fR] [\\fB/R\\fR|\\fB/S\\fR|\\fB/J\\fR|"
         "\\fB/A\\fR|\\fBmailto:\\fR\\fIURL\\fR]\n";
  out += Section(texts.description) + RoffText(texts.desktop_description) + "\n";
  out += Section(texts.options);
  for (const DesktopOption& option : DesktopOptions()) {
    out += TaggedParagraph(OptionTag(option.name, option.value), Describe(option, language));
  }
  out += TaggedParagraph("--help", texts.help);
  out += TaggedParagraph("--version", texts.version);
  out += Section(texts.requests);
  for (const DesktopRequest& request : DesktopRequests()) {
    out += TaggedParagraph(request.request, Describe(request, language));
  }
  out += Environment(texts, false);
  out += Section(texts.see_also) + ".BR lanternpost\\-cli (1)\n";
  return out;
}

}  // namespace lp
