#pragma once

// Texts of the settings dialogs, UTF-8 (the widgets take them as QString).

namespace lp::settings_text {

// The connection settings.
inline constexpr char kConnectionTitle[] = "接続の設定";
inline constexpr char kAccountName[] = "設定名(&F)";
inline constexpr char kPopServer[] = "POPｻｰﾊﾞ(&P)";
inline constexpr char kSmtpServer[] = "SMTPｻｰﾊﾞ(&S)";
inline constexpr char kMailAddress[] = "ﾒｰﾙｱﾄﾞﾚｽ(&M)";
inline constexpr char kPopUser[] = "POPｱｶｳﾝﾄ(&A)";
inline constexpr char kPopPassword[] = "POPﾊﾟｽﾜｰﾄﾞ(&W)";
inline constexpr char kSenderName[] = "氏名(&I)";
inline constexpr char kSignature[] = "署名(&G)";
inline constexpr char kNoSignature[] = "署名なし";
inline constexpr char kNewAccount[] = "新規(&N)...";
inline constexpr char kRenameAccount[] = "名前変更(&R)...";
inline constexpr char kDeleteAccount[] = "削除(&D)...";
inline constexpr char kMoveUp[] = "▲";
inline constexpr char kMoveDown[] = "▼";
inline constexpr char kOptions[] = "オプション(&O)...";
inline constexpr char kAskNewName[] = "新しい設定名を入力してください";
inline constexpr char kAskRename[] = "名前を入力してください";
inline constexpr char kAskDelete[] = "削除しますか？";
inline constexpr char kTableFull[] = "接続先は200件までです";

// Our additions: the connection's security, the ports beside it and the test.
inline constexpr char kPopSecurity[] = "POP暗号化(&E)";
inline constexpr char kSmtpSecurity[] = "SMTP暗号化(&Y)";
inline constexpr char kTlsNone[] = "なし";
inline constexpr char kTlsImplicit[] = "SSL/TLS (最初から暗号化)";
inline constexpr char kTlsStartTls[] = "STARTTLS (接続後に暗号化)";
inline constexpr char kPopPort[] = "POPポート番号(&P):";
inline constexpr char kSmtpPort[] = "SMTPポート番号(&T):";
inline constexpr char kTestConnection[] = "接続テスト(&X)";
// OAuth 2.0 sign-in.
inline constexpr char kAuthMethod[] = "認証方式";
inline constexpr char kAuthPassword[] = "パスワード";
inline constexpr char kAuthOAuth[] = "OAuth 2.0";
inline constexpr char kOAuthProvider[] = "提供元";
inline constexpr char kSignIn[] = "サインイン";
inline constexpr char kSignInWaiting[] = "ブラウザでサインインしてください...";
inline constexpr char kSignedIn[] = "サインインしました";
inline constexpr char kSignInFailed[] = "サインインできませんでした：";
inline constexpr char kSignInNotOAuth[] = "認証方式を「OAuth 2.0」にして提供元を選んでください";
inline constexpr char kNoClientId[] =
    "この提供元のクライアント ID が設定されていません。Lanternpost はクライアント ID を同梱していません。"
    "提供元にアプリケーションを登録し、データフォルダの oauth-providers.ini に ClientId を書いてください";
inline constexpr char kCredentialsNote[] =
    "OAuth 2.0 には提供元に登録したクライアント ID が必要です (Lanternpost は同梱していません)";
inline constexpr char kTesting[] = "接続をテストしています...";
inline constexpr char kTestTitle[] = "接続テスト";
inline constexpr char kPopLabel[] = "POP3: ";
inline constexpr char kSmtpLabel[] = "SMTP: ";
inline constexpr char kLoginOk[] = "ログインできました";
inline constexpr char kConnectOk[] = "接続できました";
inline constexpr char kNotSet[] = "サーバが設定されていません";
inline constexpr char kWrongPassword[] = "ユーザ名かパスワードが違います";
inline constexpr char kFailed[] = "失敗しました";

// Validation.
inline constexpr char kLineBreakRefused[] = "改行を含む値は設定できません: ";
inline constexpr char kNotShiftJis[] = "Shift_JISで表せない文字を含む値は設定できません: ";
inline constexpr char kPortRange[] = "ポート番号は1から65535までの数で入力してください: ";
inline constexpr char kCannotSave[] = "設定を保存できません: ";

// The account options.
inline constexpr char kAutoConnect[] = "自動ダイヤルアップ接続する(&R)";
inline constexpr char kAutoDisconnect[] = "自動切断する(&D)";
inline constexpr char kLeaveOnServer[] = "サーバにメールを残す(&N)";
inline constexpr char kDialUpEntry[] = "接続先(&C)";
inline constexpr char kPatrolTarget[] = "巡回の受信対象とする(&K)";
inline constexpr char kApop[] = "APOP(&A)";
inline constexpr char kSmtpAuth[] = "SMTP認証(&S)";
inline constexpr char kSmtpAuthMode[] = "認証方式(&M)";
inline constexpr char kAuthAutomatic[] = "自動";
inline constexpr char kAuthCramMd5[] = "CRAM-MD5";
inline constexpr char kAuthLogin[] = "LOGIN";
inline constexpr char kReceiveFirst[] = "送受信で受信から先にする(&O)";
inline constexpr char kConfirmEach[] = "一通ずつ確認しながら受信・削除する(&H)";
inline constexpr char kBccAddress[] = "送信メールを自動的にBCCするアドレス(&A):";
inline constexpr char kClearReceived[] = "受信情報のクリア...";
inline constexpr char kAskClearReceived[] =
    "この接続先で「どこまでメールを読んだか」という情報を削除します。\n"
    "次回受信時にはサーバにあるメールを全て受信します。よろしいですか？";
inline constexpr char kCannotDeleteList[] =
    "削除できませんでした。Lanternpost終了後、このファイルを手動で削除してください - ";

}  // namespace lp::settings_text

namespace lp::settings_text {

// The settings property sheet.
inline constexpr char kSettingsTitle[] = "設定";
inline constexpr char kPageSendReceive[] = "送受信";
inline constexpr char kPageView[] = "表示";
inline constexpr char kPageDialUp[] = "ダイヤル";
inline constexpr char kPageBehaviour[] = "動作";
inline constexpr char kPageCompose[] = "文書作成";
inline constexpr char kPageFolders[] = "フォルダ";
inline constexpr char kChooseFolder[] = "...";
inline constexpr char kNumberRange[] = "%1から%2までの数で入力してください: ";
// The choices of the two lists; the item index is the stored value.
inline constexpr const char* kCursorChoices[] = {"そのまま", "最初の新着メール", "最初の未読メール"};
inline constexpr const char* kAttachmentChoices[] = {"ごみ箱へ移動", "確認して削除", "確認せずに削除",
                                                     "削除しない"};

}  // namespace lp::settings_text

namespace lp::settings_text {

// The patrol targets, the LAN directory and the labels.
inline constexpr char kPatrolTitle[] = "巡回先の設定";
inline constexpr char kLanTitle[] = "LANディレクトリの設定";
inline constexpr char kLanDirectory[] = "LANメールのディレクトリ(&D):";
inline constexpr char kLabelTitle[] = "ラベル内容の設定";
inline constexpr char kLabelNumber[] = "ラベル%1";
inline constexpr char kLabelColour[] = "色...";

// The signature dialog.
inline constexpr char kSignatureTitle[] = "署名の設定";
inline constexpr char kSignatureFolder[] = "署名ファイルのフォルダ(&D)";
inline constexpr char kSignatureAdd[] = "追加(&A)";
inline constexpr char kSignatureRemove[] = "削除(&R)";
inline constexpr char kSignatureName[] = "名前(&N)";
inline constexpr char kSignatureFile[] = "ファイル名(&F)";
inline constexpr char kSignatureText[] = "署名(&T)";
inline constexpr char kSignatureDefaultName[] = "署名%1";
inline constexpr char kSignatureNumber[] = "署名 %1";
inline constexpr char kSignatureBadEntry[] = "名前が空か、ファイル名に使えない文字があります: ";

// The direct-mail settings.
inline constexpr char kDirectMailTitle[] = "ダイレクトメール排除設定";
inline constexpr char kDirectMailBox[] = "振り分け先(&B):";
inline constexpr char kDirectMailChooseFile[] = "参照(&R)";
inline constexpr char kDirectMailEditFile[] = "ファイルを開いて編集する(&O)";
inline constexpr char kDirectMailFileTitle[] = "ｷｰﾜｰﾄﾞﾌｧｲﾙ名の入力";
inline constexpr char kDirectMailFileFilter[] = "ﾃｷｽﾄﾌｧｲﾙ (*.txt *.TXT);;全てのﾌｧｲﾙ (*)";
inline constexpr char kDirectMailKeywordField[] = "キーワードファイル";
inline constexpr char kDirectMailTemplate[] = "１行１キーワードで記述します（この行は削除してください）\n！広告！\n";
inline constexpr char kDirectMailCannotCreate[] = "ファイルが作れません";
inline constexpr char kDirectMailNoBox[] = "振り分け先が指定されていません。振り分け先を指定してください";
inline constexpr char kDirectMailNoCriterion[] = "何をDMと見なすか指定されていません。最低一つは指定してください。";
inline constexpr char kDirectMailNoKeywordFile[] = "キーワードファイルが指定されていません。";
inline constexpr char kDirectMailBadPattern[] = "キーワードファイルの%1行目の正規表現が正しくありません: ";

// The auto-sort rules.
inline constexpr char kRuleListTitle[] = "自動振り分けの編集";
inline constexpr char kRuleAdd[] = "追加(&A)...";
inline constexpr char kRuleDelete[] = "削除(&D)...";
inline constexpr char kRuleEdit[] = "修正(&E)...";
inline constexpr char kRuleUp[] = "一つ上へ移動";
inline constexpr char kRuleDown[] = "一つ下へ移動";
inline constexpr char kRuleAskDelete[] = "削除しますか？";
inline constexpr char kRuleEditTitle[] = "振り分け設定";
inline constexpr char kRuleGa[] = "が";
inline constexpr char kRuleWhenContains[] = "を含むとき";
inline constexpr char kRuleTextField[] = "含む文字列";
inline constexpr char kRuleNoMove[] = "（移動しない）";
inline constexpr char kRuleMove[] = "へ移動";
inline constexpr char kRuleForward[] = "へ転送";
inline constexpr char kRuleAddressBook[] = "アドレスブック";
inline constexpr char kRuleReply[] = "を返信";
inline constexpr char kRuleChooseReply[] = "参照(&B)...";
inline constexpr char kRuleReplyFileTitle[] = "返信に使うファイル";
inline constexpr char kRuleDoesNothing[] = "移動先、転送先、返信のどれかを指定してください";

}  // namespace lp::settings_text
