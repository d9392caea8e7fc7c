#include "ui/mail_import_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/sjis_path.h"
#include "store/box_list.h"
#include "store/mail_import_names.h"
#include "ui/mail_source_scan_run.h"
#include "ui/sjis_qt.h"
#include "ui/ui_messages.h"

namespace lp {
namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

QString FormatName(MailSourceFormat format) {
  switch (format) {
    case MailSourceFormat::Mbox: return QStringLiteral("mbox");
    case MailSourceFormat::Maildir: return QStringLiteral("Maildir");
    case MailSourceFormat::Mh: return QStringLiteral("MH");
  }
  return {};
}

QString FolderText(const ImportFolder& folder) {
  QStringList names;
  for (const std::string& name : folder.names) names << QString::fromUtf8(name);
  return names.join(QStringLiteral(" / "));
}

// A path below the data directory as the user knows it: relative.
QString RelativeText(const std::string& data_directory, const std::string& sjis_path) {
  std::string path = sjis_path;
  const std::string prefix = data_directory + kPathSeparator;
  if (path.starts_with(prefix)) path.erase(0, prefix.size());
  return FromSjis(path);
}

}  // namespace

MailImportDialog::MailImportDialog(std::string data_directory, QWidget* parent)
    : QDialog(parent), data_directory_(std::move(data_directory)) {
  setWindowTitle(Text(ui_text::kImportTitle));

  source_ = new QLineEdit(this);
  auto* choose_folder = new QPushButton(Text(ui_text::kImportChooseFolder), this);
  auto* choose_file = new QPushButton(Text(ui_text::kImportChooseFile), this);
  scan_button_ = new QPushButton(Text(ui_text::kImportScan), this);
  stop_scan_ = new QPushButton(Text(ui_text::kImportStopScan), this);
  stop_scan_->hide();
  auto* source_label = new QLabel(Text(ui_text::kImportSource), this);
  source_label->setBuddy(source_);

  destination_ = new QComboBox(this);
  destination_->setEditable(true);
  destination_->addItem(Text(ui_text::kImportTop), QString());
  for (const std::string& path : BuildBoxList(data_directory_)) {
    if (!IsFolderPath(path)) continue;
    std::string folder = path;
    folder.pop_back();
    const QString relative = RelativeText(data_directory_, folder);
    destination_->addItem(relative, relative);
  }
  auto* destination_label = new QLabel(Text(ui_text::kImportDestination), this);
  destination_label->setBuddy(destination_);

  folders_ = new QTreeWidget(this);
  folders_->setRootIsDecorated(false);
  folders_->setHeaderLabels({Text(ui_text::kImportColumnFolder), Text(ui_text::kImportColumnFormat),
                             Text(ui_text::kImportColumnCount), Text(ui_text::kImportColumnBox)});
  folders_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  summary_ = new QLabel(this);

  auto* buttons = new QDialogButtonBox(this);
  start_ = buttons->addButton(Text(ui_text::kImportStart), QDialogButtonBox::AcceptRole);
  buttons->addButton(Text(ui_text::kCancel), QDialogButtonBox::RejectRole);
  start_->setEnabled(false);

  auto* grid = new QGridLayout;
  grid->addWidget(source_label, 0, 0);
  grid->addWidget(source_, 0, 1);
  grid->addWidget(choose_folder, 0, 2);
  grid->addWidget(choose_file, 0, 3);
  grid->addWidget(scan_button_, 0, 4);
  grid->addWidget(stop_scan_, 0, 5);
  grid->addWidget(destination_label, 1, 0);
  grid->addWidget(destination_, 1, 1, 1, 5);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(folders_, 1);
  layout->addWidget(summary_);
  layout->addWidget(buttons);
  resize(760, 420);

  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(scan_button_, &QPushButton::clicked, this, &MailImportDialog::Scan);
  connect(stop_scan_, &QPushButton::clicked, this, &MailImportDialog::StopScan);
  connect(source_, &QLineEdit::returnPressed, this, &MailImportDialog::Scan);
  connect(destination_, &QComboBox::currentTextChanged, this, [this] { ShowPlan(); });
  connect(choose_folder, &QPushButton::clicked, this, [this] {
    const QString dir = QFileDialog::getExistingDirectory(this, Text(ui_text::kImportTitle), source_->text());
    if (!dir.isEmpty()) SetSource(dir);
  });
  connect(choose_file, &QPushButton::clicked, this, [this] {
    const QString file = QFileDialog::getOpenFileName(this, Text(ui_text::kImportTitle), source_->text());
    if (!file.isEmpty()) SetSource(file);
  });
}

void MailImportDialog::SetSource(const QString& native_path) {
  source_->setText(native_path);
  Scan();
}

void MailImportDialog::SetDestination(const QString& folder) { destination_->setEditText(folder); }

MailImportDialog::~MailImportDialog() = default;

bool MailImportDialog::scanning() const { return scan_run_ && scan_run_->running(); }

void MailImportDialog::Scan() {
  scan_run_.reset();
  scan_ = MailSourceScan();
  folders_->clear();
  start_->setEnabled(false);
  scan_button_->hide();
  stop_scan_->show();
  summary_->setText(Text(ui_text::kImportScanning).arg(source_->text()));
  scan_run_ = std::make_unique<MailSourceScanRun>(source_->text().toStdString());
  connect(scan_run_.get(), &MailSourceScanRun::StatusChanged, this,
          [this](const QString& path) { summary_->setText(Text(ui_text::kImportScanning).arg(path)); });
  connect(scan_run_.get(), &MailSourceScanRun::Finished, this, &MailImportDialog::ShowScan);
  scan_run_->Start();
}

void MailImportDialog::StopScan() {
  if (scan_run_) scan_run_->Cancel();
}

void MailImportDialog::ShowScan() {
  const MailSourceOverview& overview = scan_run_->overview();
  stop_scan_->hide();
  scan_button_->show();
  if (overview.scan.cancelled) {
    summary_->setText(Text(ui_text::kImportScanCancelled));
    emit ScanFinished();
    return;
  }
  scan_ = overview.scan;
  long long total = 0;
  for (std::size_t i = 0; i < scan_.folders.size(); ++i) {
    const ImportFolder& folder = scan_.folders[i];
    const std::optional<int> count = i < overview.counts.size() ? overview.counts[i] : std::nullopt;
    if (count) total += *count;
    auto* item = new QTreeWidgetItem(folders_, {FolderText(folder), FormatName(folder.format),
                                                count ? QString::number(*count) : Text(ui_text::kImportUnreadable),
                                                QString()});
    item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
  }
  for (const ImportProblem& problem : scan_.problems) {
    new QTreeWidgetItem(folders_, {QString::fromStdString(problem.native_path), QString(),
                                   Text(ui_text::kImportUnreadable), FromSjis(problem.reason)});
  }
  summary_->setText(Text(ui_text::kImportFoundFormat)
                        .arg(scan_.folders.size())
                        .arg(QLocale(QLocale::Japanese).toString(total)));
  start_->setEnabled(!scan_.folders.empty());
  ShowPlan();
  emit ScanFinished();
}

void MailImportDialog::keyPressEvent(QKeyEvent* event) {
  // Enter in a field (the source's looks again, see returnPressed) never
  // presses the default button: only the start button starts an import.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

std::string MailImportDialog::DestinationPath() const {
  const QString text = destination_->currentText();
  if (text == Text(ui_text::kImportTop)) return {};
  return FolderPathFromUtf8(text.toStdString());
}

std::vector<std::string> MailImportDialog::PlannedBoxPaths() const {
  std::vector<std::string> paths;
  for (const std::string& path : PlanBoxPaths(scan_.folders, DestinationPath())) {
    paths.push_back(JoinPath(data_directory_, path));
  }
  return paths;
}

void MailImportDialog::ShowPlan() {
  const std::vector<std::string> paths = PlannedBoxPaths();
  for (std::size_t i = 0; i < paths.size() && static_cast<int>(i) < folders_->topLevelItemCount(); ++i) {
    folders_->topLevelItem(static_cast<int>(i))->setText(3, RelativeText(data_directory_, paths[i]));
  }
}

MailImportRequest MailImportDialog::Request() const {
  MailImportRequest request;
  request.native_source = source_->text().toStdString();
  request.destination = DestinationPath();
  return request;
}

}  // namespace lp
