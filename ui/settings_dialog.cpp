#include "ui/settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <climits>
#include <deque>
#include <iterator>
#include <string>

#include "ui/colour_button.h"
#include "ui/list_colours.h"
#include "ui/settings_input.h"
#include "ui/settings_texts.h"
#include "ui/sjis_qt.h"

namespace lp {

namespace {

enum class Kind { Check, Number, Text, Colour, Choice, Folder };

// A row that stands for a field of the current account rather than a key.
enum class AccountField { None, NotDel, Retr, PopBefore, MailKakunin, AutoCon, AutoDis };

enum Page { kSendReceive, kView, kDialUp, kBehaviour, kCompose, kFolders, kPageCount };

struct Row {
  Page page;
  const char* text;     // UTF-8
  const char* section;  // null: an account field only
  const char* key;      // the key, or the account key; also the control's object name
  Kind kind;
  int default_number = 0;
  const char* default_text = "";
  int lowest = 0;
  int highest = 0;
  AccountField account = AccountField::None;
  const char* suffix = nullptr;  // UTF-8 text after a number
};


// Every control of the six pages, in page order.
const Row kRows[] = {
    {kSendReceive, "受信時、自動振り分け(&N)", "System", "Autodiv", Kind::Check, 1},
    {kSendReceive, "サーバにメールを残す(&S)", nullptr, "NotDel", Kind::Check, 1, "", 0, 0, AccountField::NotDel},
    {kSendReceive, "定期的に削除(&D)", "System", "Serverdel", Kind::Check, 0},
    {kSendReceive, "", "System", "DelNo", Kind::Number, 100, "", 0, 999999, AccountField::None, "通残す"},
    {kSendReceive, "未読ポインタ", nullptr, "RETR", Kind::Number, 1, "", 0, INT_MAX, AccountField::Retr},
    {kSendReceive, "メールがあるときにメッセージを出す(&A)", "View", "MailMes", Kind::Check, 1},
    {kSendReceive, "メールがないときにメッセージを出す(&M)", "View", "NoMail", Kind::Check, 1},
    {kSendReceive, "定期的にメールを受信する(&T)", "System", "Timer", Kind::Check, 0},
    {kSendReceive, "", "System", "TimerValue", Kind::Number, 10, "", 1, 1440, AccountField::None, "分間隔"},
    {kSendReceive, "全接続先を巡回する(&J)", "System", "TimerAll", Kind::Check, 0},
    {kSendReceive, "送信終了時にメッセージを出す(&E)", "View", "SMail", Kind::Check, 1},
    {kSendReceive, "完了の報告をメッセージボックスで出す(&W)", "View", "ReportBox", Kind::Check, 0},
    {kSendReceive, "ToとCcで10通以上送信時に警告を出す(&C)", "System", "ManyAlert", Kind::Check, 0},
    {kSendReceive, "送信したメールは送信済みBOXに移動(&Z)", "System", "SmailDone", Kind::Check, 0},
    {kSendReceive, "送受信で受信から先にする(&R)", "System", "RFirst", Kind::Check, 0, "", 0, 0, AccountField::PopBefore},
    {kSendReceive, "一通ずつ確認しながら受信・削除する(&K)", nullptr, "MailKakunin", Kind::Check, 0, "", 0, 0,
     AccountField::MailKakunin},
    {kView, "メールのヘッダ部分を全て表示(&H)", "Mail", "Header", Kind::Check, 0},
    {kView, "メール表示時の折り返しあり(&T)", "View", "Turn", Kind::Check, 0},
    {kView, "メール一覧に名前のみ表示(&N)", "View", "Name", Kind::Check, 1},
    {kView, "メール一覧にアドレスブックからの名前表示(&A)", "View", "NameFromAdr", Kind::Check, 1},
    {kView, "日付の表示(&D)", "View", "Date", Kind::Check, 1},
    {kView, "メールマネージャは常に表示(&M)", "View", "MailManager", Kind::Check, 1},
    {kView, "メール受信時の進行状況は常に件数表示(&K)", "View", "ProgressMode", Kind::Check, 0},
    {kView, "文字色(&S)...", "View", "StrColor", Kind::Colour},
    {kView, "背景色(&B)...", "View", "BackColor", Kind::Colour},
    {kView, "選択文字(&E)...", "View", "StrColor2", Kind::Colour},
    {kView, "選択背景色(&P)...", "View", "BackColor2", Kind::Colour},
    {kView, "未読の色(&C)...", "Mail", "MRColor", Kind::Colour},
    {kView, "概要の色(&G)...", "Mail", "BodyColor", Kind::Colour},
    {kDialUp, "自動接続する(&A)", nullptr, "AutoCon", Kind::Check, 0, "", 0, 0, AccountField::AutoCon},
    {kDialUp, "自動切断する(&D)", nullptr, "AutoDis", Kind::Check, 0, "", 0, 0, AccountField::AutoDis},
    {kBehaviour, "HTMLメールをブラウザ表示するときに警告する(&H)", "System", "HtmlAlert", Kind::Check, 1},
    {kBehaviour, "プレビューで既読にする(&P)", "View", "PreRead", Kind::Check, 0},
    {kBehaviour, "起動時、メールマネージャを前に(&M)", "System", "Manager", Kind::Check, 0},
    {kBehaviour, "送信メールは「開く」で編集(&E)", "System", "SmailEdit", Kind::Check, 1},
    {kBehaviour, "ゴミ箱を使う(&T)", "System", "Trash", Kind::Check, 1},
    {kBehaviour, "返信時、題名の前の[ ]部分を削除(&R)", "System", "bResTitleML", Kind::Check, 1},
    {kBehaviour, "受信後のカーソル位置(&J):", "System", "nRecCursor", Kind::Choice, 0},
    {kBehaviour, "送信後待ち時間(&S):", "System", "SmailTime", Kind::Number, 100, "", 0, 60000, AccountField::None, "ms"},
    {kBehaviour, "IFRAMEを含むメールはゴミ箱(&V)", "System", "VirusCheck", Kind::Check, 1},
    {kBehaviour, "IFRAMEを含むメールをブラウザで開かない(&I)", "System", "HtmlIframeCheck", Kind::Check, 1},
    {kBehaviour, "IFRAMEを含むメールはサーバから削除(&D)", "System", "IframeDel", Kind::Check, 0},
    {kBehaviour, "起動時にゴミ箱を空にする(&A)", "System", "TrashEmpty", Kind::Check, 0},
    {kBehaviour, "送受信ボタンで巡回する(&B)", "System", "RsmailRound", Kind::Check, 0},
    {kBehaviour, "メール削除時の添付ファイル(&T)", "System", "RemoveAttach", Kind::Choice, 0},
    {kCompose, "返信時に全文引用(&R)", "System", "ReplyAll", Kind::Check, 1},
    {kCompose, "引用符(&M):", "System", "ReplyMark", Kind::Text, 0, ">"},
    {kCompose, "送信文書作成時IMEをON(&E)", "System", "Ime", Kind::Check, 0},
    {kCompose, "下書きBOXを使う(&A)", "System", "Draft", Kind::Check, 1},
    {kCompose, "全行改行時の一行の文字数(&K):", "SMail", "RetPos", Kind::Number, 70, "", 1, 9999},
    {kFolders, "送信添付ファイル(&U):", "System", "UploadDir", Kind::Folder, 0, "Upload"},
    {kFolders, "受信添付ファイル(&A):", "System", "AttachDir", Kind::Folder, 0, "Attach"},
    {kFolders, "テンプレート(&T):", "System", "TemplateDir", Kind::Folder, 0, "Template"},
};

}  // namespace

namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

// What the list shows for a colour key that holds no colour.
QColor PaletteColourOf(std::string_view key, const QPalette& palette) {
  const ListColours own = PaletteListColours(palette);
  if (key == "StrColor") return own.text;
  if (key == "BackColor") return own.back;
  if (key == "StrColor2") return own.selected_text;
  if (key == "BackColor2") return own.selected_back;
  if (key == "MRColor") return own.unread;
  return own.summary;
}

bool AccountFlag(const CSetMenu& account, AccountField field) {
  switch (field) {
    case AccountField::NotDel:
      return account.not_del;
    case AccountField::PopBefore:
      return account.pop_before;
    case AccountField::MailKakunin:
      return account.mail_kakunin;
    case AccountField::AutoCon:
      return account.auto_con;
    case AccountField::AutoDis:
      return account.auto_dis;
    default:
      return false;
  }
}

void SetAccountFlag(CSetMenu& account, AccountField field, bool on) {
  switch (field) {
    case AccountField::NotDel:
      account.not_del = on;
      return;
    case AccountField::PopBefore:
      account.pop_before = on;
      return;
    case AccountField::MailKakunin:
      account.mail_kakunin = on;
      return;
    case AccountField::AutoCon:
      account.auto_con = on;
      return;
    case AccountField::AutoDis:
      account.auto_dis = on;
      return;
    default:
      return;
  }
}

}  // namespace

SettingsDialog::SettingsDialog(Profile& profile, CSetMenuArray& accounts, AppSettings& settings, QWidget* parent)
    : QDialog(parent), profile_(profile), accounts_(accounts), settings_(settings) {
  setWindowTitle(Text(settings_text::kSettingsTitle));
  Build();
}

void SettingsDialog::Build() {
  using namespace settings_text;
  auto* layout = new QVBoxLayout(this);
  pages_ = new QTabWidget(this);
  pages_->setUsesScrollButtons(false);  // all six tabs in sight
  layout->addWidget(pages_);
  QFormLayout* forms[kPageCount];
  const char* titles[kPageCount] = {kPageSendReceive, kPageView, kPageDialUp, kPageBehaviour, kPageCompose, kPageFolders};
  for (int page = 0; page < kPageCount; ++page) {
    auto* widget = new QWidget(pages_);
    forms[page] = new QFormLayout(widget);
    pages_->addTab(widget, Text(titles[page]));
  }

  const CSetMenu& account = accounts_.Current();
  for (const Row& row : kRows) {
    QWidget* page = pages_->widget(row.page);
    QFormLayout* form = forms[row.page];
    QWidget* control = nullptr;
    switch (row.kind) {
      case Kind::Check: {
        auto* box = new QCheckBox(Text(row.text), page);
        // The receive-first row shows the account's choice; it writes both.
        box->setChecked(row.account != AccountField::None
                            ? AccountFlag(account, row.account)
                            : profile_.GetInt(row.section, row.key, row.default_number) != 0);
        form->addRow(box);
        control = box;
        break;
      }
      case Kind::Number: {
        const int value = row.account == AccountField::Retr ? account.retr
                                                            : profile_.GetInt(row.section, row.key, row.default_number);
        auto* edit = new QLineEdit(QString::number(value), page);
        QWidget* field = edit;
        if (row.suffix != nullptr) {
          field = new QWidget(page);
          auto* line = new QHBoxLayout(field);
          line->setContentsMargins(0, 0, 0, 0);
          line->addWidget(edit);
          line->addWidget(new QLabel(Text(row.suffix), field));
          line->addStretch();
        }
        form->addRow(Text(row.text), field);
        control = edit;
        break;
      }
      case Kind::Text:
      case Kind::Folder: {
        auto* edit = new QLineEdit(FromSjis(profile_.GetString(row.section, row.key, row.default_text)), page);
        QWidget* field = edit;
        if (row.kind == Kind::Folder) {
          field = new QWidget(page);
          auto* line = new QHBoxLayout(field);
          line->setContentsMargins(0, 0, 0, 0);
          line->addWidget(edit);
          auto* choose = new QPushButton(Text(kChooseFolder), field);
          line->addWidget(choose);
          connect(choose, &QPushButton::clicked, this, [this, edit] {
            const QString folder = QFileDialog::getExistingDirectory(this, {}, edit->text());
            if (!folder.isEmpty()) edit->setText(folder);
          });
        }
        form->addRow(Text(row.text), field);
        control = edit;
        break;
      }
      case Kind::Colour: {
        // A colour the user never chose stays unwritten and follows the palette.
        auto* button = new ColourButton(Text(row.text), profile_.GetInt(row.section, row.key, ColourButton::kUnsetColour),
                                        page, PaletteColourOf(row.key, palette()));
        form->addRow(button);
        control = button;
        break;
      }
      case Kind::Choice: {
        auto* box = new QComboBox(page);
        const bool cursor = std::string_view(row.key) == "nRecCursor";
        if (cursor) {
          for (const char* choice : kCursorChoices) box->addItem(Text(choice));
        } else {
          for (const char* choice : kAttachmentChoices) box->addItem(Text(choice));
        }
        const int stored = profile_.GetInt(row.section, row.key, row.default_number);
        // A value outside the list keeps its meaning until the user chooses.
        box->setCurrentIndex(stored >= 0 && stored < box->count() ? stored : -1);
        form->addRow(Text(row.text), box);
        control = box;
        break;
      }
    }
    control->setObjectName(QLatin1String(row.key));
    controls_.push_back(control);
    if (row.page == kDialUp && row.account == AccountField::AutoDis) {
      dial_up_entry_ = new QComboBox(page);
      dial_up_entry_->setObjectName(QStringLiteral("RasName"));
      if (!account.ras_name.empty()) dial_up_entry_->addItem(FromSjis(account.ras_name));
      form->addRow(Text(kDialUpEntry), dial_up_entry_);
    }
  }

  // No dial-up on this platform: its page keeps the account's values but
  // is not shown.
  pages_->setTabVisible(kDialUp, false);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

bool SettingsDialog::Apply() {
  // Every value is checked before anything is written.
  std::deque<std::string> values;
  std::vector<ProfileEntry> entries;
  CSetMenu account = accounts_.Current();
  for (std::size_t i = 0; i < std::size(kRows); ++i) {
    const Row& row = kRows[i];
    QWidget* control = controls_[i];
    std::string value;
    switch (row.kind) {
      case Kind::Check: {
        const bool on = static_cast<QCheckBox*>(control)->isChecked();
        SetAccountFlag(account, row.account, on);
        value = on ? "1" : "0";
        break;
      }
      case Kind::Number: {
        const std::optional<int> number =
            CheckedNumber(static_cast<QLineEdit*>(control)->text(), Text(row.text[0] != '\0' ? row.text : row.suffix),
                          row.lowest, row.highest, this);
        if (!number) {
          pages_->setCurrentIndex(row.page);
          control->setFocus();
          return false;
        }
        // The unread pointer counts from 1.
        if (row.account == AccountField::Retr) account.retr = *number == 0 ? 1 : *number;
        value = std::to_string(*number);
        break;
      }
      case Kind::Text:
      case Kind::Folder: {
        std::optional<std::string> text = CheckedSettingText(static_cast<QLineEdit*>(control)->text(), Text(row.text), this);
        if (!text) {
          pages_->setCurrentIndex(row.page);
          control->setFocus();
          return false;
        }
        value = std::move(*text);
        break;
      }
      case Kind::Colour: {
        const auto* button = static_cast<ColourButton*>(control);
        if (!button->IsSet()) continue;
        value = std::to_string(button->StoredColour());
        break;
      }
      case Kind::Choice: {
        const int index = static_cast<QComboBox*>(control)->currentIndex();
        if (index < 0) continue;  // nothing chosen: the stored value stays
        value = std::to_string(index);
        break;
      }
    }
    if (row.section == nullptr) continue;
    values.push_back(std::move(value));
    entries.push_back({row.section, row.key, values.back()});
  }
  if (dial_up_entry_->currentIndex() >= 0) account.ras_name = ToSjis(dial_up_entry_->currentText());

  if (!profile_.WriteStrings(entries)) {
    QMessageBox::warning(this, QStringLiteral("Lanternpost"),
                         Text(settings_text::kCannotSave) + FromSjis(profile_.LastError()));
    return false;
  }
  const CSetMenu before = accounts_.Current();
  accounts_.Current() = account;
  if (!accounts_.Save(profile_)) {
    accounts_.Current() = before;
    QMessageBox::warning(this, QStringLiteral("Lanternpost"),
                         Text(settings_text::kCannotSave) + FromSjis(profile_.LastError()));
    return false;
  }
  settings_.smail_done = profile_.GetInt("System", "SmailDone", 0) != 0;
  settings_.trash = profile_.GetInt("System", "Trash", 1) != 0;
  settings_.ime = profile_.GetInt("System", "Ime", 0) != 0;
  settings_.draft = profile_.GetInt("System", "Draft", 1) != 0;
  settings_.upload_dir = profile_.GetString("System", "UploadDir", "Upload");
  settings_.attach_dir = profile_.GetString("System", "AttachDir", "Attach");
  settings_.template_dir = profile_.GetString("System", "TemplateDir", "Template");
  settings_.CreateBoxesAndDirectories(profile_);
  return true;
}

void SettingsDialog::accept() {
  if (Apply()) QDialog::accept();
}

}  // namespace lp
