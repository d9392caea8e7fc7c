#include "cli/command_table.h"

#include <algorithm>

namespace lp {
namespace {

constexpr CliValue kText{};
constexpr CliValue kBox{ValueKind::Box, {}};
constexpr CliValue kFile{ValueKind::File, {}};

const CliOption kAccountOption{"account", "N", kText, "use connection account N (0 is the first) for this run only",
                               "この実行に限り接続アカウント N（0 が最初）を使います"};
const CliOption kBodyOption{"body", "TEXT", kText, "the text written above the quoted mail",
                            "引用したメールの上に書く本文"};
const CliOption kBodyFileOption{"body-file", "FILE", kFile, "read that text from FILE (UTF-8)",
                                "その本文をファイル FILE（UTF-8）から読みます"};

const CliOption kGlobalOptions[] = {
    {"data-dir", "DIR", {ValueKind::Directory, {}},
     "the data directory (default: $LANTERNPOST_HOME, else $XDG_DATA_HOME/lanternpost)",
     "データディレクトリ（既定は $LANTERNPOST_HOME、なければ $XDG_DATA_HOME/lanternpost）"},
    {"yes", "", kText, "answer every question with Yes (otherwise the cautious answer is taken)",
     "すべての問い合わせに「はい」と答えます（指定しなければ安全な側の答えになります）"},
    {"help", "", kText, "print the commands, or with a command its options, and end",
     "コマンドの一覧を、コマンドと共に指定するとそのオプションを表示して終わります"},
    {"version", "", kText, "print the version and end", "バージョンを表示して終わります"},
};

std::vector<CliCommand> MakeCommands() {
  return {
      {"init", DataAccess::Write, RunInitCommand, {}, "", "create the settings, fixed boxes and directories",
       "Creates the data directory's settings file, the fixed boxes (receive, send, sent, draft, trash) and the "
       "work directories. Existing files are kept.",
       "データディレクトリに設定ファイル、固定のメールボックス（受信・送信・送信済み・下書き・ごみ箱）と作業用の"
       "ディレクトリを作ります。既にあるファイルはそのまま残します。",
       {},
       {}},
      {"list", DataAccess::Read, RunListCommand, {}, "[BOX]", "list the mails of a box (default: the receive box)",
       "Prints one TAB-separated line per mail of BOX (default: the receive box): index, status, label, date, "
       "From (display names without quotes) and Subject.",
       "BOX（既定は受信箱）のメール 1通ごとに、番号・状態・ラベル・日付・差出人・件名をタブ区切りで 1行に"
       "表示します。",
       {kBox},
       {}},
      {"show", DataAccess::Read, RunShowCommand, {}, "[BOX] INDEX [--header-mode 0|1|2] [--line-limit N] [--sjis] [--source]",
       "print the display text of one mail",
       "Prints the display text of mail INDEX of BOX as the reading window shows it.",
       "BOX のメール INDEX の表示用テキストを、メールを読むウィンドウと同じ形で表示します。",
       {kBox},
       {{"header-mode", "0|1|2", {ValueKind::Choice, "0 1 2"}, "0 the chosen headers, 1 all headers, 2 none",
         "0 選んだヘッダ、1 すべてのヘッダ、2 ヘッダなし"},
        {"line-limit", "N", kText, "fold lines longer than N characters", "N 文字を超える行を折り返します"},
        {"sjis", "", kText, "print Shift_JIS instead of UTF-8", "UTF-8 ではなくシフトJISで出力します"},
        {"source", "", kText, "print an HTML mail as stored instead of as readable text",
         "HTML メールを読みやすいテキストにせず、保存されたままの形で出力します"}}},
      {"analyse", DataAccess::Write, RunAnalyseCommand, {}, "SPOOL [BOX]",
       "analyse a spool file into a box (default: the receive box)",
       "Analyses the received mail in the spool file SPOOL into BOX (default: the receive box) and prints the "
       "number of mails added.",
       "スプールファイル SPOOL の受信メールを解析して BOX（既定は受信箱）に加え、加えた通数を表示します。",
       {kFile, kBox},
       {}},
      {"html", DataAccess::Read, RunHtmlCommand, {}, "[BOX] INDEX [--yes|--no]",
       "write lpost.html for one mail; --yes answers the warnings",
       "Writes the browser view \"lpost.html\" of one mail and prints its path. The questions about active "
       "content are answered by --yes or --no.",
       "1通のメールのブラウザ表示用ファイル \"lpost.html\" を書き、そのパスを表示します。危険な内容についての"
       "問い合わせには --yes か --no で答えます。",
       {kBox},
       {{"no", "", kText, "answer the questions with No", "問い合わせに「いいえ」と答えます"}}},
      {"boxes", DataAccess::Read, RunBoxesCommand, {}, "", "list every box and folder (folders end in /)",
       "Prints every box and folder below the data directory, sorted; folders end in \"/\".",
       "データディレクトリの下のすべてのメールボックスとフォルダを並べて表示します。フォルダは \"/\" で終わります。",
       {},
       {}},
      {"sort", DataAccess::Write, RunSortCommand, {}, "BOX KEY",
       "sort a box: date, from, subject, to, label, status, thread (or 0-6)",
       "Sorts BOX by KEY: date, from, subject, to, label, status or thread (or their numbers 0 to 6).",
       "BOX をキー KEY で並べ替えます。キーは date、from、subject、to、label、status、thread（または番号 0〜6）"
       "です。",
       {kBox, {ValueKind::Choice, "date from subject to label status thread"}},
       {}},
      {"compact", DataAccess::Write, RunCompactCommand, {}, "BOX", "remove the dead space of a box's text file",
       "Removes the space left by deleted mails from the text file of BOX.",
       "BOX のテキストファイルから、削除したメールの残した空きを取り除きます。",
       {kBox},
       {}},
      {"check", DataAccess::Write, RunCheckCommand, {}, "BOX", "check and repair the text offsets of a box",
       "Checks the text offsets of BOX against its text file and repairs them.",
       "BOX のテキスト位置をテキストファイルと照合し、修復します。",
       {kBox},
       {}},
      {"import", DataAccess::Write, RunImportCommand, {}, "BOX FILE", "take over the mails of another box file",
       "Adds the mails of the box file FILE to BOX.", "ボックスファイル FILE のメールを BOX に取り込みます。",
       {kBox, kFile},
       {}},
      {"move", DataAccess::Write, RunMoveCommand, {}, "BOX INDEX DEST", "move one mail to another box",
       "Moves mail INDEX of BOX to the box DEST.", "BOX のメール INDEX をメールボックス DEST へ移動します。",
       {kBox, kText, kBox},
       {}},
      {"delete", DataAccess::Write, RunDeleteCommand, {}, "BOX INDEX [--yes]",
       "delete one mail (to the trash box when it is on)",
       "Deletes mail INDEX of BOX, to the trash box when the trash box is on. Asks first: without --yes nothing "
       "is deleted.",
       "BOX のメール INDEX を削除します（ごみ箱を使う設定ならごみ箱へ）。確認があり、--yes がなければ何も削除"
       "しません。",
       {kBox},
       {}},
      {"accounts", DataAccess::Read, RunAccountsCommand, {}, "",
       "list the connection accounts: current mark (*), index, name, POP server, address, patrol flag",
       "Prints the connection accounts, one TAB-separated line each: the current mark \"*\", index, name, POP "
       "server, mail address and patrol flag.",
       "接続アカウントを 1行ずつタブ区切りで表示します。現在のアカウントの印 \"*\"、番号、名前、POPサーバ、"
       "メールアドレス、巡回の有無です。",
       {},
       {}},
      {"password", DataAccess::Write, RunPasswordCommand, {}, "[--account N]",
       "store an account's POP password, read from standard input",
       "Reads a POP password from standard input and stores it for the current account (or account N).",
       "標準入力から POP パスワードを読み、現在のアカウント（またはアカウント N）に保存します。",
       {},
       {{"account", "N", kText, "store it for account N", "アカウント N に保存します"}}},
      {"signin", DataAccess::Write, RunSignInCommand, {}, "[--account N] [--time-limit SECONDS]",
       "sign an OAuth 2.0 account in and store its tokens",
       "Signs an OAuth 2.0 account (the current one, or account N) in: prints the address to open in a browser, "
       "waits for the sign-in and stores the tokens, then prints the account: index, name and user "
       "(TAB-separated).",
       "OAuth 2.0 のアカウント（現在のアカウント、またはアカウント N）にサインインします。ブラウザで開くアドレスを"
       "表示し、サインインを待ってトークンを保存し、アカウントの番号・名前・ユーザをタブ区切りで表示します。",
       {},
       {{"account", "N", kText, "sign account N in", "アカウント N にサインインします"},
        {"time-limit", "SECONDS", kText, "give up after SECONDS (default 300, at most 3600)",
         "SECONDS 秒で待つのをやめます（既定 300、最大 3600）"}}},
      {"receive", DataAccess::Write, RunReceiveCommand, "/R", "[--account N]",
       "fetch the new mail of the current account (or account N)",
       "Fetches the new mail of the current account (or of account N for this receive only) into the receive "
       "box. While the desktop application runs on the data directory, the receive is handed to it.",
       "現在のアカウント（またはこの受信に限りアカウント N）の新着メールを受信箱に受信します。同じデータ"
       "ディレクトリでデスクトップアプリケーションが動いているときは、受信をそちらに任せます。",
       {},
       {kAccountOption}},
      {"patrol", DataAccess::Write, RunPatrolCommand, "/A", "",
       "send, then receive every account marked for the patrol in turn",
       "Sends the send box, then receives every account marked for the patrol in turn and reports once.",
       "送信箱を送信してから、巡回の対象のアカウントを順に受信し、最後にまとめて報告します。",
       {},
       {}},
      {"sendrecv", DataAccess::Write, RunSendAndReceiveCommand, "/J", "",
       "send and receive for the current account (PopBefore: receive first)",
       "Sends and receives for the current account; an account with PopBefore=1 receives first.",
       "現在のアカウントで送受信します。PopBefore=1 のアカウントは先に受信します。",
       {},
       {}},
      {"lan", DataAccess::Write, RunLanCommand, {}, "", "pick up LAN mail only",
       "Picks up the mail of the LAN directory only.", "LAN ディレクトリのメールだけを受け取ります。",
       {},
       {}},
      {"delete-all", DataAccess::Write, RunDeleteAllCommand, {}, "--yes",
       "delete every mail on the current account's POP server",
       "Deletes every mail on the current account's POP server. Asks first: without --yes nothing is deleted "
       "(exit status 3).",
       "現在のアカウントの POP サーバにあるメールをすべて削除します。確認があり、--yes がなければ何も削除"
       "しません（終了ステータス 3）。",
       {},
       {}},
      {"compose", DataAccess::Write, RunComposeCommand, {},
       "--to ADDR [--cc ADDR] [--bcc ADDR] --subject TEXT (--body-file FILE | --body TEXT) [--attach FILE] "
       "[--signature N] [--account N]",
       "queue a new mail in the send box",
       "Queues a new mail (status unsent) in the send box; the next send run sends it.",
       "新しいメールを送信箱に未送信として置きます。次の送信で送られます。",
       {},
       {{"to", "ADDR", kText, "the recipients", "宛先"},
        {"cc", "ADDR", kText, "the copy recipients", "Cc の宛先"},
        {"bcc", "ADDR", kText, "the blind copy recipients", "Bcc の宛先"},
        {"subject", "TEXT", kText, "the subject", "件名"},
        {"body", "TEXT", kText, "the text of the mail", "本文"},
        {"body-file", "FILE", kFile, "read the text from FILE (UTF-8)", "本文をファイル FILE（UTF-8）から読みます"},
        {"attach", "FILE", kFile, "attach FILE", "ファイル FILE を添付します"},
        {"signature", "N", kText, "append signature N", "署名 N を付けます"},
        {"account", "N", kText, "send from account N", "アカウント N から送ります"}}},
      {"reply", DataAccess::Write, RunReplyCommand, {},
       "[BOX] INDEX [--all] [--body TEXT | --body-file FILE] [--account N]",
       "queue a reply (to everyone with --all) above the quoted mail",
       "Queues a reply to mail INDEX of BOX: to its Reply-To or From, with a \"Re:\" subject, the text above "
       "the quoted mail and the reference chain. The mail is marked replied.",
       "BOX のメール INDEX への返信を送信箱に置きます。宛先は Reply-To または From、件名は \"Re:\" 付きで、"
       "本文は引用の上に書きます。元のメールは返信済みになります。",
       {kBox},
       {{"all", "", kText, "copy the other recipients too", "ほかの宛先にも送ります"},
        kBodyOption,
        kBodyFileOption,
        kAccountOption}},
      {"forward", DataAccess::Write, RunForwardCommand, {}, "[BOX] INDEX --to ADDR [--body TEXT | --body-file FILE]",
       "queue a forward of one mail, quoted",
       "Queues a forward of mail INDEX of BOX to ADDR: the same subject, the text above the quoted mail.",
       "BOX のメール INDEX を ADDR へ転送するメールを送信箱に置きます。件名はそのままで、本文は引用の上に"
       "書きます。",
       {kBox},
       {{"to", "ADDR", kText, "the recipients", "宛先"}, kBodyOption, kBodyFileOption}},
      {"send", DataAccess::Write, RunSendCommand, "/S", "[--account N]", "send every unsent mail of the send box",
       "Sends every unsent mail of the send box.", "送信箱の未送信のメールをすべて送信します。",
       {},
       {kAccountOption}},
      // A walk over the boxes must not meet a writer rewriting one of them:
      // search and export hold the lock like writers.
      {"search", DataAccess::Write, RunSearchCommand, {},
       "[BOX|--all] TEXT [--regex] [--fold width,case,kana,small|all] [--field subject|from|to|body|all] "
       "[--status N] [--label N]",
       "list the matching mails: box, index, date, From, Subject (TAB-separated); exit status 1 when nothing "
       "matched",
       "Prints one TAB-separated line per mail of BOX (or of every box) that matches TEXT: box, index, date, "
       "From and Subject. Exit status 1 when nothing matched.",
       "BOX（または全メールボックス）で TEXT に一致したメールを 1通 1行、タブ区切りで表示します（メール"
       "ボックス、番号、日付、差出人、件名）。一致しなければ終了ステータスは 1 です。",
       {kBox},
       {{"all", "", kText, "search every box", "すべてのメールボックスを検索します"},
        {"regex", "", kText, "TEXT is a regular expression", "TEXT を正規表現として扱います"},
        {"fold", "LIST", {ValueKind::Choice, "width case kana small all"},
         "ignore differences of width, case, kana or small and voiced forms (comma-separated, or all)",
         "全角と半角、大文字と小文字、ひらがなとカタカナ、小書きと濁点の違いを無視します（カンマ区切り、"
         "または all）"},
        {"field", "FIELD", {ValueKind::Choice, "subject from to body all"},
         "search only this field; body is the whole stored text", "この欄だけを検索します（body は本文全体）"},
        {"status", "N", kText, "only mails of status N", "状態 N のメールだけ"},
        {"label", "N", kText, "only mails of label N (0: no label)", "ラベル N のメールだけ（0 はラベルなし）"}}},
      {"export", DataAccess::Write, RunExportCommand, {}, "NAME [BOX|--all] [--to FILE]",
       "write the mails a named text-export setting chooses to a file",
       "Writes the mails that the text-export setting NAME chooses to its output file (or FILE).",
       "テキスト出力の設定 NAME が選ぶメールを、その出力ファイル（または FILE）に書き出します。",
       {kText, kBox},
       {{"all", "", kText, "export from every box", "すべてのメールボックスから出力します"},
        {"to", "FILE", kFile, "write to FILE instead", "ファイル FILE に書き出します"}}},
      {"import-mail", DataAccess::Write, RunImportMailCommand, {},
       "SOURCE [--into FOLDER] [--format mbox|maildir|mh]",
       "import another program's mbox, Maildir or MH folders into boxes",
       "Imports the mbox, Maildir or MH folders of another mail program (Thunderbird, mutt, Sylpheed ...): a box "
       "per folder below FOLDER. Prints a line per box, then the summary; exit status 1 when some mail could "
       "not be read.",
       "ほかのメールソフト（Thunderbird、mutt、Sylpheed など）の mbox、Maildir、MH フォルダを取り込みます。"
       "フォルダごとに FOLDER の下にメールボックスを作ります。メールボックスごとに 1行、最後に合計を表示し、"
       "読めないメールがあったときの終了ステータスは 1 です。",
       {{ValueKind::Directory, {}}},
       {{"into", "FOLDER", {ValueKind::Folder, {}}, "the folder below the data directory that takes the boxes",
         "メールボックスを作るデータディレクトリの中のフォルダ"},
        {"format", "FORMAT", {ValueKind::Choice, "mbox maildir mh"}, "the format of SOURCE (default: recognised)",
         "SOURCE の形式（既定は自動判別）"}}},
  };
}

}  // namespace

std::span<const CliCommand> CliCommands() {
  static const std::vector<CliCommand> commands = MakeCommands();
  return commands;
}

const CliCommand* FindCliCommand(std::string_view name) {
  const auto commands = CliCommands();
  const auto found = std::find_if(commands.begin(), commands.end(), [&](const CliCommand& c) { return c.name == name; });
  return found == commands.end() ? nullptr : &*found;
}

std::span<const CliOption> GlobalCliOptions() { return kGlobalOptions; }

std::vector<std::string> CliOptionsWithValue() {
  std::vector<std::string> names;
  const auto add = [&names](const CliOption& option) {
    if (!option.value.empty() && std::find(names.begin(), names.end(), option.name) == names.end()) {
      names.emplace_back(option.name);
    }
  };
  for (const CliOption& option : GlobalCliOptions()) add(option);
  for (const CliCommand& command : CliCommands()) {
    for (const CliOption& option : command.options) add(option);
  }
  return names;
}

}  // namespace lp
