#include "ui/mailbox_view.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QShortcut>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>

#include "store/mail_status.h"
#include "ui/list_colours.h"
#include "ui/mail_editor.h"
#include "ui/mail_filter_bar.h"
#include "ui/mail_filter_proxy.h"
#include "ui/mail_list_delegate.h"
#include "ui/mail_list_model.h"
#include "ui/sjis_qt.h"
#include "ui/stored_font.h"
#include "ui/ui_messages.h"

namespace lp {

namespace {

// [List] keys of the columns with a stored width, with their defaults in
// average characters.
struct ColumnWidthKey {
  int column;
  const char* key;
  int default_chars;
  // At least as wide as this text in the bold font of unread rows, so
  // that a proportional font's narrow average does not clip the column.
  const char* sample_utf8;
};
constexpr ColumnWidthKey kColumnWidthKeys[] = {
    {MailListModel::StatusColumn, "StatusWidth", 4, ""},
    {MailListModel::LabelColumn, "LabelWidth", 6, ""},
    {MailListModel::NameColumn, "NameWidth", 12, "名前名前名前名前"},
    {MailListModel::DateColumn, "DateWidth", 16, "0000/00/00 00:00:00"},
};

}  // namespace

MailboxView::MailboxView(BoxHandle box, Profile& profile, QWidget* parent)
    : QWidget(parent),
      handle_(std::move(box)),
      box_(*handle_),
      profile_(profile),
      split_(profile.GetInt("View", "SplPos", 1)),
      model_(new MailListModel(box_, this)),
      proxy_(new MailFilterProxy(box_, *model_, this)),
      delegate_(new MailListDelegate(this)),
      filter_bar_(new MailFilterBar(this)),
      list_(new QTreeView),
      busy_notice_(new QLabel(QString::fromUtf8(ui_text::kBoxBusyNotice))) {
  list_->setObjectName(QStringLiteral("mailList"));
  list_->setModel(proxy_);
  list_->setItemDelegate(delegate_);
  list_->setUniformRowHeights(true);
  list_->setRootIsDecorated(false);
  list_->setAllColumnsShowFocus(true);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  // Mails drag onto a box of the mail manager: moved, or copied with Ctrl.
  list_->setDragEnabled(true);
  list_->setDragDropMode(QAbstractItemView::DragOnly);
  list_->setDefaultDropAction(Qt::MoveAction);
  list_->header()->setStretchLastSection(true);
  delegate_->SetColours(ResolveListColours(profile_, palette()));
  model_->SetSummaryMode(profile_.GetInt("System", "ListMail", 0) == 1);
  ApplyListFont();
  ApplyColumnWidths();
  // Only a width the user dragged is stored: the widths above are set first.
  connect(list_->header(), &QHeaderView::sectionResized, this,
          [this](int column, int, int width) {
            if (!applying_widths_) StoreColumnWidth(column, width);
          });

  filter_bar_->hide();
  list_->installEventFilter(this);
  auto* find_shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F), this);
  find_shortcut->setContext(Qt::WidgetWithChildrenShortcut);
  connect(find_shortcut, &QShortcut::activated, this, [this] { ShowFilterBar(); });
  connect(filter_bar_, &MailFilterBar::filterEdited, this, [this](const MailFilter& wanted) {
    proxy_->SetFilter(wanted);
    if (proxy_->IsWorking()) filter_bar_->ShowWorking();
  });
  connect(filter_bar_, &MailFilterBar::closeRequested, this, &MailboxView::ClearFilter);
  connect(proxy_, &MailFilterProxy::filterAboutToApply, this, [this] { applying_filter_ = true; });
  connect(proxy_, &MailFilterProxy::filterApplied, this, &MailboxView::OnFilterApplied);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  // The bar sits above the list, whatever the split.
  auto* list_pane = new QWidget;
  auto* list_layout = new QVBoxLayout(list_pane);
  list_layout->setContentsMargins(0, 0, 0, 0);
  list_layout->setSpacing(0);
  list_layout->addWidget(filter_bar_);
  busy_notice_->setObjectName(QStringLiteral("busyNotice"));
  busy_notice_->setWordWrap(true);
  list_layout->addWidget(busy_notice_);
  list_layout->addWidget(list_);
  box_.AddObserver(*this);
  BusyChanged(box_, box_.IsBusy());
  if (split_ == 0) {
    layout->addWidget(list_pane);
  } else {
    splitter_ = new QSplitter(split_ == 2 ? Qt::Horizontal : Qt::Vertical, this);
    // The preview reads with the read window's editor: its font ("EFont"),
    // wrapping ([System] Wrap), word selection and links.
    auto* editor = new MailEditor(EditorMode::Read);
    editor->ApplyFontSettings(profile_, "EFont");
    editor->SetWrapAtWindowEdge(profile_.GetInt("System", "Wrap", 1) != 0);
    editor->SetOpenUrlsOnDoubleClick(profile_.GetInt("System", "Url", 0) != 0);
    preview_ = editor;
    preview_->setObjectName(QStringLiteral("preview"));
    splitter_->addWidget(list_pane);
    splitter_->addWidget(preview_);
    layout->addWidget(splitter_);
  }

  preview_timer_.setSingleShot(true);
  preview_timer_.setInterval(kPreviewDelayMs);
  connect(&preview_timer_, &QTimer::timeout, this, &MailboxView::ShowCaretMail);
  connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this, &MailboxView::OnCurrentChanged);
}

MailboxView::~MailboxView() {
  box_.RemoveObserver(*this);
  // The model stops observing the box before anyone may release the box.
  list_->setModel(nullptr);
  delete proxy_;
  delete model_;
}

void MailboxView::ApplyListFont() {
  // Until the user chose a list font the desktop's font stands: the
  // Windows faces of the defaults do not exist here.
  if (HasStoredFont(profile_, "Font")) list_->setFont(FontFromSettings(profile_, "Font", {"", 0}));
}

void MailboxView::ApplyColumnWidths() {
  const int char_width = list_->fontMetrics().averageCharWidth();
  QFont bold = list_->font();
  bold.setBold(true);
  const QFontMetrics bold_metrics(bold);
  for (const ColumnWidthKey& column : kColumnWidthKeys) {
    int fallback = qMax(char_width * column.default_chars,
                        bold_metrics.horizontalAdvance(QString::fromUtf8(column.sample_utf8)) + 12);
    // The status column holds two icons whatever the font.
    if (column.column == MailListModel::StatusColumn) fallback = qMax(fallback, 42);
    if (column.column == MailListModel::LabelColumn) {
      for (const MailListModel::LabelStyle& label : model_->labels()) {
        fallback = qMax(fallback, bold_metrics.horizontalAdvance(label.name) + 12);
      }
    }
    const int width = profile_.GetInt("List", column.key, fallback);
    list_->setColumnWidth(column.column, width > 0 ? width : fallback);
  }
}

void MailboxView::SetLabels(const std::array<MailListModel::LabelStyle, 11>& labels) {
  model_->SetLabels(labels);
  applying_widths_ = true;
  ApplyColumnWidths();
  applying_widths_ = false;
}

void MailboxView::StoreColumnWidth(int column, int width) {
  for (const ColumnWidthKey& key : kColumnWidthKeys) {
    if (key.column == column && width > 0) (void)profile_.WriteInt("List", key.key, width);
  }
}

int MailboxView::SelectionCount() const {
  // Asked whenever the event loop goes idle: count from the selection's
  // ranges (whole rows, never overlapping) rather than listing every
  // selected row of a select-all over a large box.
  int rows = 0;
  for (const QItemSelectionRange& range : list_->selectionModel()->selection()) rows += range.height();
  return rows;
}

int MailboxView::BoxRowOf(const QModelIndex& list_index) const {
  const QModelIndex source = proxy_->mapToSource(list_index);
  return source.isValid() ? source.row() : -1;
}

QModelIndex MailboxView::ListIndexOfRow(int row, int column) const {
  return proxy_->mapFromSource(model_->index(row, column));
}

int MailboxView::CaretRow() const { return BoxRowOf(list_->currentIndex()); }

void MailboxView::SetCaret(int row) {
  if (row == -2) row = model_->rowCount() - 1;
  if (row < 0 || row >= model_->rowCount()) return;
  if (!ListIndexOfRow(row).isValid()) ClearFilter();
  const QModelIndex index = ListIndexOfRow(row);
  list_->selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  list_->scrollTo(index);
}

int MailboxView::FirstPaneSize() const {
  if (splitter_ == nullptr) return 0;
  const QList<int> sizes = splitter_->sizes();
  return sizes.isEmpty() ? 0 : sizes.front();
}

void MailboxView::SetFirstPaneSize(int size) {
  if (splitter_ == nullptr || size <= 0) return;
  const int total = split_ == 2 ? splitter_->width() : splitter_->height();
  splitter_->setSizes({size, qMax(total - size, 1)});
}

void MailboxView::ShowFilterBar(const QString& typed) {
  if (filter_bar_->isHidden()) {
    const CMail* mail = box_.RecordAt(CaretRow());
    serial_before_filter_ = mail != nullptr ? mail->serial : 0;
    serial_picked_ = 0;
    filter_bar_->show();
  }
  filter_bar_->Activate(typed);
}

void MailboxView::ClearFilter() {
  // The mail the user chose while filtered, else the one before the filter.
  const CMail* caret = box_.RecordAt(CaretRow());
  quint64 serial = serial_picked_ != 0 ? serial_picked_ : serial_before_filter_;
  if (serial == 0 && caret != nullptr) serial = caret->serial;
  filter_bar_->Reset();
  filter_bar_->hide();
  proxy_->SetFilter({});
  serial_before_filter_ = 0;
  serial_picked_ = 0;
  list_->setFocus();
  const int row = serial != 0 ? box_.IndexOfSerial(serial) : -1;
  const QModelIndex index = ListIndexOfRow(row);
  if (!index.isValid()) return;
  if (list_->currentIndex() != index) {
    list_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  list_->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void MailboxView::OnFilterApplied() {
  applying_filter_ = false;
  filter_bar_->ShowCount(proxy_->rowCount(), model_->rowCount());
  // The caret's mail stays in view when it matches; no other mail is
  // chosen for the user (it would be shown, and so read).
  if (list_->currentIndex().isValid()) list_->scrollTo(list_->currentIndex());
}

bool MailboxView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->text() == QStringLiteral("/") && (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == 0) {
      ShowFilterBar();
      return true;
    }
    if (key->key() == Qt::Key_Escape && filter_bar_->isVisible()) {
      ClearFilter();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void MailboxView::OnCurrentChanged() {
  const int row = CaretRow();
  box_.set_current_index(row);
  if (!applying_filter_ && filter_bar_->isVisible()) {
    const CMail* mail = box_.RecordAt(row);
    serial_picked_ = mail != nullptr ? mail->serial : 0;
  }
  emit caretMoved(row, box_.Count());
  preview_timer_.start();
}

void MailboxView::ShowCaretMail() {
  const int row = CaretRow();
  // With [View] PreRead the mail the caret rests on is read: after the
  // pause, so that holding an arrow key does not read every mail passed.
  if (row >= 0 && profile_.GetInt("View", "PreRead", 0) != 0) (void)MarkReadOnReading(box_, row);
  if (preview_ == nullptr) return;
  if (row < 0) {
    preview_->clear();
    return;
  }
  // A text that cannot be read shows why in its place. Outgoing mail is
  // stored without a header: all of it is shown.
  const CMail* mail = box_.RecordAt(row);
  if (mail == nullptr) return;
  const MailText read = box_.ReadableText(row, ShownHeaderMode(*mail), 0);
  preview_->setPlainText(FromSjis(read.ok() ? read.text : read.error));
}

void MailboxView::BusyChanged(const CLPOSTDoc& /*box*/, bool busy) {
  busy_notice_->setVisible(busy);
  list_->setEnabled(!busy);
}

}  // namespace lp
