#include "ui/mail_list_model.h"

#include <QMimeData>
#include <set>

#include "app/list_summary.h"
#include "codec/address_display.h"
#include "codec/date_header.h"
#include "ui/dragged_mails.h"
#include "ui/list_colours.h"
#include "ui/serial_rows.h"
#include "ui/sjis_qt.h"
#include "ui/ui_messages.h"

namespace lp {

MailListModel::MailListModel(CLPOSTDoc& box, QObject* parent) : QAbstractTableModel(parent), box_(box) {
  box_.AddObserver(*this);
}

MailListModel::~MailListModel() { box_.RemoveObserver(*this); }

int MailListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : box_.Count(); }

int MailListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

MailListModel::RowTexts& MailListModel::TextsOf(const CMail& mail) const {
  auto found = cache_.find(mail.serial);
  if (found != cache_.end()) return *found;
  RowTexts texts;
  // A received mail shows its sender, an outgoing one its recipient.
  const std::string& field = mail.IsOutgoing() ? mail.to : mail.from;
  std::optional<std::string> name = name_lookup_ ? name_lookup_(field) : std::nullopt;
  texts.name = FromSjis(name ? *name : AddressFieldForDisplay(field));
  texts.date = QString::fromStdString(FormatListDate(mail.date));
  texts.subject = FromSjis(mail.subject);
  return *cache_.insert(mail.serial, std::move(texts));
}

QString MailListModel::SummaryOf(int row, const CMail& mail) const {
  // A job rewrites the text file and the records' places in it meanwhile.
  if (box_.IsBusy()) return {};
  RowTexts& texts = TextsOf(mail);
  // A text that cannot be read gives no summary; the preview says why.
  if (!texts.summary) texts.summary = FromSjis(ListSummaryOf(box_.DisplayText(row, HeaderMode::None, 0).text));
  return *texts.summary;
}

void MailListModel::SetLabels(std::array<LabelStyle, 11> labels) {
  labels_ = std::move(labels);
  if (rowCount() > 0) emit dataChanged(index(0, LabelColumn), index(rowCount() - 1, LabelColumn));
}

void MailListModel::SetNameLookup(NameLookup lookup) {
  name_lookup_ = std::move(lookup);
  cache_.clear();
  if (rowCount() > 0) emit dataChanged(index(0, NameColumn), index(rowCount() - 1, NameColumn));
}

void MailListModel::SetSummaryMode(bool on) {
  if (on == summary_mode_) return;
  // Row heights change with the mode: views lay out again.
  beginResetModel();
  summary_mode_ = on;
  endResetModel();
}

QVariant MailListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.parent().isValid()) return {};
  const CMail* mail = box_.RecordAt(index.row());
  if (mail == nullptr) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
      switch (index.column()) {
        case LabelColumn:
          return mail->label > 0 && mail->label <= kMaxLabel ? labels_[static_cast<std::size_t>(mail->label)].name
                                                             : QString();
        case NameColumn:
          return TextsOf(*mail).name;
        case DateColumn:
          return TextsOf(*mail).date;
        case SubjectColumn:
          return TextsOf(*mail).subject;
        default:
          return {};
      }
    case Qt::ForegroundRole:
      // Unread rows take the unread colour in the delegate.
      if (index.column() == LabelColumn && mail->label > 0 && mail->label <= kMaxLabel) {
        const QColor color = labels_[static_cast<std::size_t>(mail->label)].color;
        if (color.isValid()) return color;
      }
      return {};
    case StatusRole:
      return mail->status;
    case AttachmentRole:
      return !mail->attachments.empty();
    case LabelRole:
      return mail->label;
    case SerialRole:
      return QVariant::fromValue<quint64>(mail->serial);
    case SummaryRole:
      return summary_mode_ ? SummaryOf(index.row(), *mail) : QString();
    default:
      return {};
  }
}

QVariant MailListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case StatusColumn:
      return QStringLiteral("Info");
    case LabelColumn:
      return QString::fromUtf8(ui_text::kColumnLabel);
    case NameColumn:
      return QString::fromUtf8(ui_text::kColumnName);
    case DateColumn:
      return QString::fromUtf8(ui_text::kColumnDate);
    case SubjectColumn:
      return QString::fromUtf8(ui_text::kColumnSubject);
    default:
      return {};
  }
}

Qt::ItemFlags MailListModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QAbstractTableModel::flags(index);
  if (index.isValid()) flags |= Qt::ItemIsDragEnabled;
  return flags;
}

QStringList MailListModel::mimeTypes() const { return {QString::fromLatin1(kMailListMimeType)}; }

QMimeData* MailListModel::mimeData(const QModelIndexList& indexes) const {
  DraggedMails mails{box_.PathName(), {}};
  std::set<int> rows;
  for (const QModelIndex& index : indexes) rows.insert(index.row());
  for (const int row : rows) {
    if (const CMail* mail = box_.RecordAt(row)) mails.serials.push_back(mail->serial);
  }
  auto* data = new QMimeData;
  EncodeDraggedMails(mails, *data);
  return data;
}

Qt::DropActions MailListModel::supportedDragActions() const { return Qt::MoveAction | Qt::CopyAction; }

void MailListModel::RecordsAboutToBeInserted(const CLPOSTDoc&, int first, int count) {
  beginInsertRows({}, first, first + count - 1);
}

void MailListModel::RecordsInserted(const CLPOSTDoc&, int, int) { endInsertRows(); }

void MailListModel::RecordsAboutToBeRemoved(const CLPOSTDoc&, int first, int count) {
  for (int row = first; row < first + count; ++row) {
    if (const CMail* mail = box_.RecordAt(row)) cache_.remove(mail->serial);
  }
  beginRemoveRows({}, first, first + count - 1);
}

void MailListModel::RecordsRemoved(const CLPOSTDoc&, int, int) { endRemoveRows(); }

void MailListModel::RecordsChanged(const CLPOSTDoc&, int first, int last) {
  for (int row = first; row <= last; ++row) {
    if (const CMail* mail = box_.RecordAt(row)) cache_.remove(mail->serial);
  }
  emit dataChanged(index(first, 0), index(last, ColumnCount - 1));
}

void MailListModel::RecordsAboutToBeReordered(const CLPOSTDoc&) {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  reorder_from_ = persistentIndexList();
  reorder_serials_.clear();
  reorder_serials_.reserve(static_cast<std::size_t>(reorder_from_.size()));
  for (const QModelIndex& from : reorder_from_) {
    const CMail* mail = box_.RecordAt(from.row());
    reorder_serials_.push_back(mail != nullptr ? mail->serial : 0);
  }
}

void MailListModel::RecordsReordered(const CLPOSTDoc&) {
  const std::vector<int> rows = RowsOfSerials(box_, reorder_serials_);
  QModelIndexList to;
  to.reserve(reorder_from_.size());
  for (qsizetype i = 0; i < reorder_from_.size(); ++i) {
    const int row = rows[static_cast<std::size_t>(i)];
    to.append(row < 0 ? QModelIndex() : index(row, reorder_from_[i].column()));
  }
  changePersistentIndexList(reorder_from_, to);
  reorder_from_.clear();
  reorder_serials_.clear();
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void MailListModel::AboutToReload(const CLPOSTDoc&) { beginResetModel(); }

void MailListModel::Relocated(const CLPOSTDoc&) { emit boxRelocated(); }

void MailListModel::Reloaded(const CLPOSTDoc&) {
  // Serials are given anew on a reload.
  cache_.clear();
  endResetModel();
}

std::array<MailListModel::LabelStyle, 11> LabelStylesOf(const AppSettings& settings) {
  std::array<MailListModel::LabelStyle, 11> labels;
  for (std::size_t i = 1; i < labels.size() && i < settings.labels.size(); ++i) {
    labels[i] = {FromSjis(settings.labels[i].name), ColourOfSetting(settings.labels[i].color)};
  }
  return labels;
}

}  // namespace lp
