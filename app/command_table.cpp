#include "app/command_table.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <unordered_map>

#include "app/command_ids.h"
#include "platform/code_page.h"

namespace lp {
namespace {

using M = CommandMenu;
using R = EnableRule;

// The texts are kept readable here and converted to Shift_JIS once.
const std::vector<CommandInfo> kCommands = {
    // The key customisation list, in its order.
    {cmd::kSendAndReceive, M::File, R::NotBusy, "[ﾌｧｲﾙ]送受信", "送受信(&J)"},
    {cmd::kReceive, M::File, R::NotBusy, "[ﾌｧｲﾙ]受信", "受信(&T)"},
    {cmd::kSend, M::File, R::NotBusy, "[ﾌｧｲﾙ]送信", "送信(&M)"},
    {cmd::kPatrol, M::File, R::NotBusy, "[ﾌｧｲﾙ]巡回", "巡回(&A)"},
    {cmd::kSendThisBox, M::File, R::MailboxNotBusy, "[ﾌｧｲﾙ]このBOXで送信", ""},
    {cmd::kLanReceiveOnly, M::File, R::NotBusy, "[ﾌｧｲﾙ]LANメールのみ受信", "LANメールのみ受信(&L)"},
    {cmd::kImportFile, M::File, R::MailboxNotBusy, "[ﾌｧｲﾙ]取込-ファイル指定...", ""},
    {cmd::kImportFolder, M::File, R::MailboxNotBusy, "[ﾌｧｲﾙ]取込-フォルダ指定...", ""},
    {cmd::kImport, M::File, R::MailboxNotBusy, "[ﾌｧｲﾙ]インポート...", ""},
    {cmd::kImportOtherMail, M::File, R::NotBusy, "", "他のメールソフトから取り込む..."},
    {cmd::kAnalyse, M::File, R::NotBusy, "[ﾌｧｲﾙ]解析", ""},
    {cmd::kSaveAll, M::File, R::Always, "[ﾌｧｲﾙ]全て保存", ""},
    {cmd::kConnect, M::File, R::NotBusy, "[ﾌｧｲﾙ]接続", "接続(&C)"},
    {cmd::kDisconnect, M::File, R::NotBusy, "[ﾌｧｲﾙ]切断", "切断(&D)"},
    {cmd::kNewMailbox, M::File, R::Always, "[ﾌｧｲﾙ]新規作成...", ""},
    {cmd::kDeleteAllOnServer, M::File, R::NotBusy, "[ﾌｧｲﾙ]サーバ上のメールを全て削除...", ""},
    {cmd::kTextExport, M::File, R::Mailbox, "[ﾌｧｲﾙ]ﾃｷｽﾄﾌｧｲﾙ出力...", ""},
    {cmd::kTextExportSelected, M::File, R::Selection, "[ﾌｧｲﾙ]選択ﾒｰﾙをﾃｷｽﾄﾌｧｲﾙ出力...", ""},
    {cmd::kInsertTextFile, M::File, R::Compose, "[ﾌｧｲﾙ]ﾃｷｽﾄﾌｧｲﾙ挿入...", ""},
    {cmd::kSaveAsOtherMail, M::File, R::Compose, "[ﾌｧｲﾙ]別メールとして保存", ""},
    {cmd::kSaveAsDraft, M::File, R::Compose, "[ﾌｧｲﾙ]下書きとして保存", ""},
    {cmd::kSaveAsTemplate, M::File, R::Compose, "[ﾌｧｲﾙ]ﾃﾝﾌﾟﾚｰﾄとして保存", ""},
    {cmd::kEmptyTrash, M::File, R::NotBusy, "[ﾌｧｲﾙ]ごみ箱を空にする", "ごみ箱を空にする(&E)"},
    {cmd::kPrint, M::File, R::Selection, "[ﾌｧｲﾙ]印刷...", "印刷(&P)..."},
    {cmd::kPrintPreview, M::File, R::Selection, "[ﾌｧｲﾙ]ﾌﾟﾘﾝﾀの設定...", "印刷プレビュー(&V)..."},
    {cmd::kExit, M::File, R::Always, "[ﾌｧｲﾙ]ｱﾌﾟﾘｹｰｼｮﾝの終了", ""},
    {cmd::kExitAfterAsking, M::None, R::Always, "[ﾌｧｲﾙ]確認後終了", ""},
    {cmd::kUndo, M::Edit, R::Compose, "[編集]元に戻す", ""},
    {cmd::kCut, M::Edit, R::Compose, "[編集]切り取り", ""},
    {cmd::kCopy, M::Edit, R::TextView, "[編集]ｺﾋﾟｰ", ""},
    {cmd::kCopyQuoted, M::Edit, R::TextView, "[編集]引用符付きコピー", ""},
    {cmd::kPaste, M::Edit, R::Compose, "[編集]貼り付け", ""},
    {cmd::kSelectAllText, M::Edit, R::TextView, "[編集]すべての範囲を選択", ""},
    {cmd::kHalfKanaToFull, M::Edit, R::Compose, "[編集]半角カナを全角に", ""},
    {cmd::kFullToHalf, M::Edit, R::Compose, "[編集]全角を半角に", ""},
    {cmd::kInsertDate, M::Edit, R::Compose, "[編集]今日の日付を挿入", ""},
    {cmd::kChangeMailDate, M::Edit, R::Selection, "[編集]文書の日付を変更", ""},
    {cmd::kFindInBox, M::Edit, R::Mailbox, "[編集]このBOXを検索...", ""},
    {cmd::kFindNextInBox, M::Edit, R::Mailbox, "[編集]このBOXを次検索", ""},
    {cmd::kFindPreviousInBox, M::Edit, R::Mailbox, "[編集]このBOXを前検索", ""},
    {cmd::kFindInText, M::Edit, R::TextView, "[編集]文章内検索...", ""},
    {cmd::kFindAll, M::Edit, R::Always, "[編集]全体検索...", "全体を検索(&K)..."},
    {cmd::kFindAllNext, M::Edit, R::Always, "[編集]全体を次検索", "全体を次検索(&O)"},
    {cmd::kFindNextBox, M::Edit, R::Always, "[編集]次のBOXを検索", "次のBOXを検索(&G)"},
    {cmd::kQueueAndClose, M::Compose, R::Compose, "[文書編集]送信予約して閉じる", ""},
    {cmd::kSaveAndClose, M::Compose, R::Compose, "[文書編集]保存して閉じる", ""},
    {cmd::kDiscardAndClose, M::Compose, R::Compose, "[文書編集]破棄して閉じる", ""},
    {cmd::kCloseCompose, M::Compose, R::Compose, "[文書編集]閉じる", ""},
    {cmd::kOpenReceiveBox, M::Box, R::Always, "[文書BOX]受信BOX", "受信BOX(&R)"},
    {cmd::kOpenSendBox, M::Box, R::Always, "[文書BOX]送信BOX", "送信BOX(&S)"},
    {cmd::kNewBox, M::Box, R::Manager, "[文書BOX]新規作成...", ""},
    {cmd::kNewFolder, M::Box, R::Manager, "[文書BOX]フォルダの新規作成...", ""},
    {cmd::kOpenBox, M::Box, R::Always, "[文書BOX]開く...", ""},
    {cmd::kCloseBox, M::Box, R::Mailbox, "[文書BOX]閉じる", ""},
    {cmd::kDeleteBox, M::Box, R::Manager, "[文書BOX]削除...", ""},
    {cmd::kRenameBox, M::Box, R::Manager, "[文書BOX]名前変更", ""},
    {cmd::kBoxProperties, M::Box, R::Manager, "[文書BOX]プロパティ...", ""},
    {cmd::kCompactBox, M::Box, R::MailboxNotBusy, "[文書BOX]このBOXを整理", ""},
    {cmd::kFocusMailList, M::Box, R::Mailbox, "[文書BOX]メール一覧にカーソルを移す", ""},
    {cmd::kFocusPreview, M::Box, R::Mailbox, "[文書BOX]プレビューにカーソルを移す", ""},
    {cmd::kNewMail, M::Mail, R::Always, "[文書]新規作成", "新規作成(&N)"},
    {cmd::kNewMailInThisBox, M::Mail, R::Mailbox, "[文書]このBOXに新規作成", ""},
    {cmd::kEditMail, M::Mail, R::Selection, "[文書]編集", ""},
    {cmd::kReply, M::Mail, R::Selection, "[文書]返信", ""},
    {cmd::kForward, M::Mail, R::Selection, "[文書]転送", ""},
    {cmd::kOpenMail, M::Mail, R::Selection, "[文書]文書を開く", ""},
    {cmd::kCloseMail, M::Mail, R::ReadWindow, "[文書]文書を閉じる", ""},
    {cmd::kOpenAttachment, M::Mail, R::Selection, "[文書]添付ファイルを開く", ""},
    {cmd::kRenameAttachment, M::Mail, R::Selection, "[文書]添付ファイル名の変更...", ""},
    {cmd::kDeleteMail, M::Mail, R::Selection, "[文書]削除", ""},
    {cmd::kSelectMail, M::Mail, R::Mailbox, "[文書]文書を選択", ""},
    {cmd::kSelectAllMail, M::Mail, R::Mailbox, "[文書]文書すべてを選択", ""},
    {cmd::kSortToReceiveBox, M::Mail, R::Selection, "[文書]受信BOXに振り分け", ""},
    {cmd::kSortToSendBox, M::Mail, R::Selection, "[文書]送信BOXに振り分け", ""},
    {cmd::kAutoSortSelected, M::Mail, R::Selection, "[文書]選択中の文書を自動振り分け", ""},
    {cmd::kAutoSortThisBox, M::Mail, R::MailboxNotBusy, "[文書]この文書BOXを自動振り分け", ""},
    {cmd::kSortMenu, M::Mail, R::Mailbox, "[文書]整列", ""},
    {cmd::kSortByDate, M::Mail, R::Mailbox, "[文書]Date:の昇順に整列", ""},
    {cmd::kSortByFrom, M::Mail, R::Mailbox, "[文書]From:の昇順に整列", ""},
    {cmd::kSortBySubject, M::Mail, R::Mailbox, "[文書]Subject:の昇順に整列", ""},
    {cmd::kSortByLabel, M::Mail, R::Mailbox, "[文書]ラベルの昇順に整列", ""},
    {cmd::kSortByStatus, M::Mail, R::Mailbox, "[文書]状態の昇順に整列", ""},
    {cmd::kSetLabel, M::Mail, R::Selection, "[文書]ラベルを指定...", ""},
    {cmd::kMarkRead, M::Mail, R::Selection, "[文書]既読メールにする", ""},
    {cmd::kMarkUnread, M::Mail, R::Selection, "[文書]未読メールにする", ""},
    {cmd::kMarkSent, M::Mail, R::Selection, "[文書]送信済みメールにする", ""},
    {cmd::kMarkUnsent, M::Mail, R::Selection, "[文書]未送信メールにする", ""},
    {cmd::kMoveThisMail, M::Mail, R::Selection, "[文書]この文書を振り分け", ""},
    {cmd::kAddToAddressBook, M::Mail, R::Selection, "[文書]ｱﾄﾞﾚｽﾌﾞｯｸに追加", ""},
    {cmd::kConnectionSettings, M::View, R::Always, "[表示]接続の設定...", "接続の設定(&B)..."},
    {cmd::kSettings, M::View, R::Always, "[表示]設定...", "設定(&X)..."},
    {cmd::kFontSettings, M::View, R::Always, "[表示]フォントの設定...", ""},
    {cmd::kEditorSettings, M::View, R::Always, "[表示]エディタ部分の設定...", ""},
    {cmd::kLanDirectorySettings, M::View, R::Always, "[表示]LANディレクトリの設定...",
     "LANディレクトリの設定(&R)..."},
    {cmd::kLabelSettings, M::View, R::Always, "[表示]ラベル内容の設定...", "ラベル内容の設定(&L)..."},
    {cmd::kAutoSortSettings, M::View, R::Always, "[表示]自動振り分けの設定...", "自動振り分けの設定(&D)..."},
    {cmd::kSignatureSettings, M::View, R::Always, "[表示]署名の設定...", "署名の設定(&G)..."},
    {cmd::kAddressBook, M::View, R::Always, "[表示]ｱﾄﾞﾚｽﾌﾞｯｸの設定...", "ｱﾄﾞﾚｽﾌﾞｯｸの設定(&A)..."},
    {cmd::kPatrolSettings, M::View, R::Always, "[表示]巡回先の設定...", "巡回先の設定(&N)..."},
    {cmd::kKeyCustomization, M::View, R::Always, "[表示]キーカスタマイズ", "キーカスタマイズ(&K)..."},
    {cmd::kDirectMailSettings, M::View, R::Always, "[表示]ダイレクトメール排除設定",
     "ダイレクトメール排除設定(&C)..."},
    {cmd::kDirectMailFromSelected, M::View, R::Selection, "[表示]選択メールからDM排除", ""},
    {cmd::kSummaryView, M::View, R::Mailbox, "[表示]概要表示", ""},
    {cmd::kViewInBrowser, M::View, R::Selection, "[表示]ブラウザで表示", ""},
    {cmd::kNoPreview, M::View, R::Always, "[表示]プレビュー無し", "プレビュー無し(&N)"},
    {cmd::kSplitRows, M::View, R::Always, "[表示]上下に分割", "上下に分割(&H)"},
    {cmd::kSplitColumns, M::View, R::Always, "[表示]左右に分割", "左右に分割(&V)"},
    {cmd::kLabelTotals, M::View, R::Mailbox, "[表示]ラベル別集計", ""},
    {cmd::kConsistencyCheck, M::View, R::MailboxNotBusy, "[表示]データ整合性チェック", ""},
    {cmd::kSetClock, M::View, R::NotBusy, "[表示]時間を合わせる", ""},
    {cmd::kSmallToolbar, M::View, R::Always, "[表示]小さいﾂｰﾙ ﾊﾞｰ", "小さいﾂｰﾙ ﾊﾞｰ(&T)"},
    {cmd::kLargeToolbar, M::View, R::Always, "[表示]大きいﾂｰﾙﾊﾞｰ", "大きいﾂｰﾙﾊﾞｰ(&B)"},
    {cmd::kStatusBar, M::View, R::Always, "[表示]ｽﾃｰﾀｽ ﾊﾞｰ", "ｽﾃｰﾀｽ ﾊﾞｰ(&S)"},
    {cmd::kMailManager, M::View, R::Always, "[表示]ﾒｰﾙﾏﾈｼﾞｬ", "ﾒｰﾙﾏﾈｼﾞｬ(&M)"},
    {cmd::kCascade, M::Window, R::ChildWindow, "[ｳｨﾝﾄﾞｳ]重ねて表示", ""},
    {cmd::kTileRows, M::Window, R::ChildWindow, "[ｳｨﾝﾄﾞｳ]上下に並べて表示", ""},
    {cmd::kTileColumns, M::Window, R::ChildWindow, "[ｳｨﾝﾄﾞｳ]左右に並べて表示", ""},
    {cmd::kCloseAllWindows, M::Window, R::ChildWindow, "[ｳｨﾝﾄﾞｳ]全て閉じる", "全て閉じる(&L)"},
    {cmd::kRestoreAllWindows, M::Window, R::ChildWindow, "[ｳｨﾝﾄﾞｳ]全ての最小化を元に戻す",
     "全ての最小化を元に戻す(&I)"},
    {cmd::kArrangeIcons, M::Window, R::ChildWindow, "[ｳｨﾝﾄﾞｳ]ｱｲｺﾝの整列", ""},
    {cmd::kCloseWindow, M::Window, R::ChildWindow, "[ｳｨﾝﾄﾞｳ]ｳｨﾝﾄﾞｳを閉じる", ""},
    {cmd::kHelp, M::Help, R::Always, "[ﾍﾙﾌﾟ]ﾍﾙﾌﾟ", ""},
    {cmd::kHelpKeyword, M::Help, R::Always, "[ﾍﾙﾌﾟ]キーワードで検索", "キーワードで検索(&S)"},
    {cmd::kHomePage, M::Help, R::Always, "[ﾍﾙﾌﾟ]Lanternpostのﾎｰﾑﾍﾟｰｼﾞへ", ""},
    {cmd::kAbout, M::Help, R::Always, "[ﾍﾙﾌﾟ]ﾊﾞｰｼﾞｮﾝ情報 ...", ""},
    // Commands outside the key customisation list.
    {cmd::kDeleteMailForGood, M::Mail, R::Selection, "", "完全に削除"},
    {cmd::kNoToolbar, M::View, R::Always, "", "なし(&N)"},
    {cmd::kFunctionBar, M::View, R::Always, "", "ﾌｧﾝｸｼｮﾝﾊﾞｰ(&F)"},
    {cmd::kAutoForwardMode, M::View, R::Always, "", "自動転送モード(&Z)"},
    {cmd::kOpenSentBox, M::Box, R::Always, "", "送信済みBOX"},
    {cmd::kOpenDraftBox, M::Box, R::Always, "", "下書きBOX"},
    {cmd::kOpenTrashBox, M::Box, R::Always, "", "ごみ箱"},
    {cmd::kRefreshFolders, M::None, R::Always, "", "フォルダの更新"},
    {cmd::kVersionCheck, M::Help, R::Always, "", "最新バージョンの確認(&V)..."},
    {cmd::kReceiveForSendAndReceive, M::None, R::Always, "", ""},
    {cmd::kNextPatrol, M::None, R::Always, "", ""},
    {cmd::kTextExportAllBoxes, M::None, R::NotBusy, "", "全BOXのテキスト出力"},
    {cmd::kProcessMailto, M::None, R::Always, "", "mailto:の処理"},
    {cmd::kCancelRun, M::None, R::Always, "", ""},
    {cmd::kGoToMailNo, M::None, R::Mailbox, "", ""},
    {cmd::kRefreshUnreadMarks, M::None, R::Always, "", ""},
    {cmd::kStatusUpdate, M::None, R::Always, "", ""},
    {cmd::kRefreshFunctionBar, M::None, R::Always, "", ""},
};

struct ConvertedTexts {
  std::unordered_map<int, std::string> names;
  std::unordered_map<int, std::string> menu_texts;
  std::vector<int> named_ids;
};

std::string_view AfterMenuPrefix(std::string_view name) {
  const std::size_t close = name.find(']');
  return close == std::string_view::npos ? name : name.substr(close + 1);
}

const ConvertedTexts& Texts() {
  static const ConvertedTexts texts = [] {
    ConvertedTexts result;
    for (const CommandInfo& info : kCommands) {
      const std::string_view name = info.name_utf8;
      const std::string_view menu_text = info.menu_text_utf8;
      result.names.emplace(info.id, Utf8ToCp932(name));
      result.menu_texts.emplace(info.id, Utf8ToCp932(menu_text.empty() ? AfterMenuPrefix(name) : menu_text));
      if (!name.empty()) result.named_ids.push_back(info.id);
    }
    return result;
  }();
  return texts;
}

const std::string& Lookup(const std::unordered_map<int, std::string>& texts, int id) {
  static const std::string empty;
  const auto found = texts.find(id);
  return found == texts.end() ? empty : found->second;
}

}  // namespace

const std::vector<CommandInfo>& AllCommands() { return kCommands; }

const CommandInfo* FindCommand(int id) {
  const auto found = std::find_if(kCommands.begin(), kCommands.end(), [id](const CommandInfo& c) { return c.id == id; });
  return found == kCommands.end() ? nullptr : &*found;
}

const std::vector<int>& NamedCommandIds() { return Texts().named_ids; }
const std::string& CommandName(int id) { return Lookup(Texts().names, id); }
const std::string& MenuText(int id) { return Lookup(Texts().menu_texts, id); }

const std::string& MenuTitle(CommandMenu menu) {
  static const std::unordered_map<int, std::string> titles = [] {
    const std::pair<CommandMenu, const char*> utf8[] = {
        {M::File, "ファイル(&F)"},   {M::Edit, "編集(&E)"},     {M::Compose, "文書編集(&C)"},
        {M::Box, "文書BOX(&B)"},     {M::Mail, "文書(&D)"},     {M::View, "表示(&V)"},
        {M::Window, "ウィンドウ(&W)"}, {M::Help, "ヘルプ(&H)"},
    };
    std::unordered_map<int, std::string> result;
    for (const auto& [key, text] : utf8) result.emplace(static_cast<int>(key), Utf8ToCp932(text));
    return result;
  }();
  return Lookup(titles, static_cast<int>(menu));
}

bool RuleAllows(EnableRule rule, const CommandState& state) {
  const bool mailbox = state.active == WindowKind::Mailbox;
  switch (rule) {
    case R::Always:
      return true;
    case R::NotBusy:
      return !state.busy;
    case R::Mailbox:
      return mailbox;
    case R::MailboxNotBusy:
      return mailbox && !state.busy;
    case R::Selection:
      return state.active == WindowKind::Read || (mailbox && state.selection_count > 0);
    case R::TextView:
      return mailbox || state.active == WindowKind::Read || state.active == WindowKind::Compose;
    case R::ReadWindow:
      return state.active == WindowKind::Read;
    case R::Compose:
      return state.active == WindowKind::Compose;
    case R::Manager:
      return state.active == WindowKind::Manager;
    case R::ChildWindow:
      return state.child_window_count > 0;
  }
  return false;
}

std::optional<bool> CheckedState(int id, const CommandState& state) {
  switch (id) {
    case cmd::kSmallToolbar:
      return state.toolbar_choice == 0;
    case cmd::kLargeToolbar:
      return state.toolbar_choice == 1;
    case cmd::kNoToolbar:
      return state.toolbar_choice == 2;
    case cmd::kStatusBar:
      return state.status_bar;
    case cmd::kFunctionBar:
      return state.function_bar;
    case cmd::kNoPreview:
      return state.split_position == 0;
    case cmd::kSplitRows:
      return state.split_position == 1;
    case cmd::kSplitColumns:
      return state.split_position == 2;
    case cmd::kAutoForwardMode:
      return state.auto_forward;
    default:
      return std::nullopt;
  }
}

void CommandRouter::Register(int id, Handler handler) { handlers_[id] = std::move(handler); }

void CommandRouter::RegisterRange(int first, int last, RangeHandler handler) {
  ranges_.push_back(Range{first, last, std::move(handler)});
}

const CommandRouter::Range* CommandRouter::RangeOf(int id) const {
  for (const Range& range : ranges_) {
    if (id >= range.first && id <= range.last) return &range;
  }
  return nullptr;
}

bool CommandRouter::HasHandler(int id) const { return handlers_.contains(id) || RangeOf(id) != nullptr; }

bool CommandRouter::IsEnabled(int id) const {
  if (!HasHandler(id)) return false;
  const CommandInfo* info = FindCommand(id);
  return info == nullptr || RuleAllows(info->rule, state_());
}

bool CommandRouter::Run(int id) {
  if (!IsEnabled(id)) return false;
  if (const auto found = handlers_.find(id); found != handlers_.end()) {
    // A copy: the handler may register or replace handlers while it runs.
    const Handler handler = found->second;
    handler();
    return true;
  }
  const Range* range = RangeOf(id);
  if (range == nullptr) return false;
  const RangeHandler handler = range->handler;
  handler(id);
  return true;
}

std::string FunctionKeyLabel(int key_number, int modifier_state, std::uint32_t command) {
  if (command == 0) {
    static constexpr char kPrefixes[] = {'F', 'B', 'C', 'D'};
    char label[16];
    std::snprintf(label, sizeof label, "%c%d", kPrefixes[modifier_state & 3], key_number);
    return label;
  }
  static const std::unordered_map<int, std::string> short_forms = [] {
    const std::pair<int, const char*> utf8[] = {
        {cmd::kFindNextInBox, "次検索"}, {cmd::kFindAllNext, "次検索"},   {cmd::kMailManager, "ﾏﾈｰｼﾞｬ"},
        {cmd::kFindPreviousInBox, "前検索"}, {cmd::kConnectionSettings, "接続設定"},
        {cmd::kMoveThisMail, "振分"},   {cmd::kSelectAllMail, "全選択"},  {cmd::kFindInBox, "検索"},
    };
    std::unordered_map<int, std::string> result;
    for (const auto& [id, text] : utf8) result.emplace(id, Utf8ToCp932(text));
    return result;
  }();
  if (const auto found = short_forms.find(static_cast<int>(command)); found != short_forms.end()) {
    return found->second;
  }
  std::string label(AfterMenuPrefix(CommandName(static_cast<int>(command))));
  static const std::string kMailSuffix = Utf8ToCp932("メールにする");
  if (const std::size_t at = label.find(kMailSuffix); at != std::string::npos) label.erase(at, kMailSuffix.size());
  return label;
}

}  // namespace lp
