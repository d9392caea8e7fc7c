#include "ui/direct_mail_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <fstream>

#include "platform/atomic_file.h"
#include "platform/file_system.h"
#include "platform/sjis_path.h"
#include "rules/regex_matcher.h"
#include "ui/box_choices.h"
#include "ui/settings_input.h"
#include "ui/settings_texts.h"
#include "ui/sjis_qt.h"

namespace lp {
namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

struct SwitchKey {
  const char* key;
  const char* text_utf8;
};

constexpr SwitchKey kSwitches[DirectMailDialog::SwitchCount] = {
    {"Divide", "受信時にダイレクトメールを排除する(&D)"},
    {"XMailer", "DM用メールソフトで送られてきたメール(&M)"},
    {"English", "英語メール(&E)"},
    {"Hiwai", "DMと思われる語句を含む(&H)"},
    {"KeyWord", "以下のファイルにあるキーワードを含む(&K)"},
    {"KeyWordRegExp", "キーワードファイルは全て正規表現(&X)"},
    {"ToCheck", "To、Ccが自分宛ではない(&T)"},
    {"VirusCheck", "簡易ウイルスチェック(&V)"},
};

}  // namespace

DirectMailDialog::DirectMailDialog(Profile& profile, const std::string& data_directory,
                                   std::function<void(const std::string& sjis_path)> open_file, QWidget* parent)
    : QDialog(parent),
      profile_(profile),
      open_file_(std::move(open_file)),
      box_(new QComboBox(this)),
      keyword_file_(new QLineEdit(this)) {
  using namespace settings_text;
  setWindowTitle(Text(kDirectMailTitle));
  const DirectMailSettings settings = DirectMailSettings::Load(profile_);
  const bool values[SwitchCount] = {settings.divide,  settings.x_mailer,       settings.english,
                                    settings.hiwai,   settings.keyword,        settings.keyword_regexp,
                                    settings.to_check, settings.virus_check};
  auto* layout = new QVBoxLayout(this);
  for (int i = 0; i < SwitchCount; ++i) {
    checks_[i] = new QCheckBox(Text(kSwitches[i].text_utf8), this);
    checks_[i]->setChecked(values[i]);
  }
  layout->addWidget(checks_[Divide]);

  // The box is shown by its folder path; one that is set but missing stays
  // selectable, so that OK does not drop it silently.
  const BoxChoices choices = ListBoxChoices(data_directory);
  box_paths_.emplace_back();  // no box chosen
  box_paths_.insert(box_paths_.end(), choices.paths.begin(), choices.paths.end());
  box_->addItem(QString());
  box_->addItems(choices.labels);
  int current = 0;
  for (std::size_t i = 1; i < box_paths_.size(); ++i) {
    if (!settings.box.empty() && AbsolutePath(box_paths_[i]) == AbsolutePath(settings.box)) current = static_cast<int>(i);
  }
  if (current == 0 && !settings.box.empty()) {
    box_paths_.push_back(settings.box);
    box_->addItem(FromSjis(settings.box));
    current = box_->count() - 1;
  }
  box_->setCurrentIndex(current);
  auto* form = new QFormLayout;
  form->addRow(Text(kDirectMailBox), box_);
  layout->addLayout(form);

  for (Switch which : {XMailer, English, Hiwai, KeyWord}) layout->addWidget(checks_[which]);
  keyword_file_->setText(FromSjis(settings.keyword_file));
  auto* choose = new QPushButton(Text(kDirectMailChooseFile), this);
  auto* edit = new QPushButton(Text(kDirectMailEditFile), this);
  auto* file_row = new QHBoxLayout;
  file_row->addWidget(keyword_file_, 1);
  file_row->addWidget(choose);
  file_row->addWidget(edit);
  layout->addLayout(file_row);
  for (Switch which : {KeyWordRegExp, ToCheck, VirusCheck}) layout->addWidget(checks_[which]);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons);

  connect(choose, &QPushButton::clicked, this, [this] {
    const QString file = QFileDialog::getOpenFileName(this, Text(settings_text::kDirectMailFileTitle),
                                                      keyword_file_->text(), Text(settings_text::kDirectMailFileFilter));
    if (!file.isEmpty()) keyword_file_->setText(file);
  });
  connect(edit, &QPushButton::clicked, this, &DirectMailDialog::OpenKeywordFile);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void DirectMailDialog::OpenKeywordFile() {
  const std::optional<std::string> path =
      CheckedSettingText(keyword_file_->text(), Text(settings_text::kDirectMailKeywordField), this);
  if (!path || path->empty()) return;
  if (!PathExists(*path) && !ReplaceFileAtomically(*path, ToSjis(Text(settings_text::kDirectMailTemplate)))) {
    QMessageBox::warning(this, QStringLiteral("Lanternpost"), Text(settings_text::kDirectMailCannotCreate));
    return;
  }
  if (open_file_) open_file_(*path);
}

QString DirectMailDialog::BadKeywordPattern(const std::string& path) const {
  std::ifstream file(ToNativePath(path), std::ios::binary);
  std::string line;
  for (int number = 1; std::getline(file, line); ++number) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    const RegexMatcher pattern(line, RegexCase::Sensitive);
    if (!pattern.ok()) {
      return Text(settings_text::kDirectMailBadPattern).arg(number) + FromSjis(line) + QStringLiteral(" (") +
             QString::fromStdString(pattern.error()) + QLatin1Char(')');
    }
  }
  return {};
}

void DirectMailDialog::accept() {
  using namespace settings_text;
  const auto refuse = [this](const char* text_utf8) {
    QMessageBox::warning(this, QStringLiteral("Lanternpost"), Text(text_utf8));
  };
  const std::string& box = box_paths_[static_cast<std::size_t>(box_->currentIndex())];
  if (box.empty()) return refuse(kDirectMailNoBox);
  const bool any_criterion = checks_[English]->isChecked() || checks_[Hiwai]->isChecked() ||
                             checks_[XMailer]->isChecked() || checks_[KeyWord]->isChecked();
  if (!any_criterion) return refuse(kDirectMailNoCriterion);
  const std::optional<std::string> keyword_file =
      CheckedSettingText(keyword_file_->text(), Text(kDirectMailKeywordField), this);
  if (!keyword_file) return;
  if (checks_[KeyWord]->isChecked() && keyword_file->empty()) return refuse(kDirectMailNoKeywordFile);
  if (checks_[KeyWord]->isChecked() && checks_[KeyWordRegExp]->isChecked()) {
    if (const QString bad = BadKeywordPattern(*keyword_file); !bad.isEmpty()) {
      QMessageBox::warning(this, QStringLiteral("Lanternpost"), bad);
      return;
    }
  }
  const std::string absolute_box = AbsolutePath(box);
  std::vector<ProfileEntry> entries;
  for (int i = 0; i < SwitchCount; ++i) {
    entries.push_back({"Spam", kSwitches[i].key, checks_[i]->isChecked() ? "1" : "0"});
  }
  entries.push_back({"Spam", "Box", absolute_box});
  entries.push_back({"Spam", "KeyWordFile", *keyword_file});
  if (!profile_.WriteStrings(entries)) {
    QMessageBox::warning(this, QStringLiteral("Lanternpost"), Text(kCannotSave) + FromSjis(profile_.LastError()));
    return;
  }
  QDialog::accept();
}

}  // namespace lp
