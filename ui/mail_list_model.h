#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QString>
#include <array>
#include <functional>
#include <optional>

#include "config/app_settings.h"
#include "store/mailbox_document.h"

// The mail list of an open box: a table over the box document's records,
// never a copy of them. A row's texts are converted from Shift_JIS when the
// row is first asked for and kept by the record's serial, so a sort or an
// insertion above does not convert them again. The document's notices
// become precise row signals.

namespace lp {

class MailListModel final : public QAbstractTableModel, private MailboxObserver {
  Q_OBJECT

 public:
  enum Column { StatusColumn = 0, LabelColumn, NameColumn, DateColumn, SubjectColumn, ColumnCount };
  enum Role {
    StatusRole = Qt::UserRole + 1,  // the record's status value
    AttachmentRole,                 // bool: the mail has attachment files
    LabelRole,                      // the label number, 0 = none
    SerialRole,                     // the record's serial
    SummaryRole,                    // summary mode: the first body lines
  };

  // `labels`: names and colours of labels 1 to 10 (index 0 unused).
  struct LabelStyle {
    QString name;
    QColor color;
  };

  explicit MailListModel(CLPOSTDoc& box, QObject* parent = nullptr);
  ~MailListModel() override;

  // Rows with a label are shown again with the new names and colours.
  void SetLabels(std::array<LabelStyle, 11> labels);
  [[nodiscard]] const std::array<LabelStyle, 11>& labels() const { return labels_; }
  // The name shown for a mail's From (or To) field in place of the field,
  // when it gives one (the address book's name for the address); an empty
  // lookup shows the fields. The name column is shown again.
  using NameLookup = std::function<std::optional<std::string>(std::string_view sjis_field)>;
  void SetNameLookup(NameLookup lookup);
  // Summary mode ([System] ListMail): rows carry their first body lines.
  void SetSummaryMode(bool on);
  [[nodiscard]] bool summary_mode() const { return summary_mode_; }

  [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
  [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  // Rows drag out as their serials, to drop onto a box of the mail manager.
  [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;
  [[nodiscard]] QStringList mimeTypes() const override;
  [[nodiscard]] QMimeData* mimeData(const QModelIndexList& indexes) const override;
  [[nodiscard]] Qt::DropActions supportedDragActions() const override;

  [[nodiscard]] CLPOSTDoc& box() { return box_; }
  // Conversions done so far (the cache's size): texts are made once per row.
  [[nodiscard]] int CachedRowCount() const { return static_cast<int>(cache_.size()); }

 signals:
  // The box's files were renamed or moved: its name may have changed.
  void boxRelocated();

 private:
  struct RowTexts {
    QString name;
    QString date;
    QString subject;
    std::optional<QString> summary;  // read from the text file on first use
  };
  RowTexts& TextsOf(const CMail& mail) const;
  [[nodiscard]] QString SummaryOf(int row, const CMail& mail) const;

  void RecordsAboutToBeInserted(const CLPOSTDoc& box, int first, int count) override;
  void RecordsInserted(const CLPOSTDoc& box, int first, int count) override;
  void RecordsAboutToBeRemoved(const CLPOSTDoc& box, int first, int count) override;
  void RecordsRemoved(const CLPOSTDoc& box, int first, int count) override;
  void RecordsChanged(const CLPOSTDoc& box, int first, int last) override;
  void RecordsAboutToBeReordered(const CLPOSTDoc& box) override;
  void RecordsReordered(const CLPOSTDoc& box) override;
  void AboutToReload(const CLPOSTDoc& box) override;
  void Reloaded(const CLPOSTDoc& box) override;
  void Relocated(const CLPOSTDoc& box) override;

  CLPOSTDoc& box_;
  mutable QHash<quint64, RowTexts> cache_;
  std::array<LabelStyle, 11> labels_{};
  NameLookup name_lookup_;
  bool summary_mode_ = false;
  // Serials of the persistent indexes across a reorder.
  QModelIndexList reorder_from_;
  std::vector<quint64> reorder_serials_;
};

// The names and colours of labels 1 to 10 as the settings give them.
[[nodiscard]] std::array<MailListModel::LabelStyle, 11> LabelStylesOf(const AppSettings& settings);

}  // namespace lp
