#include "ui/dragged_mails.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QIODevice>

namespace lp {

void EncodeDraggedMails(const DraggedMails& mails, QMimeData& data) {
  QByteArray bytes;
  QDataStream out(&bytes, QIODevice::WriteOnly);
  out << QCoreApplication::applicationPid() << QByteArray::fromStdString(mails.source)
      << QList<quint64>(mails.serials.begin(), mails.serials.end());
  data.setData(QString::fromLatin1(kMailListMimeType), bytes);
}

std::optional<DraggedMails> DecodeDraggedMails(const QMimeData& data) {
  QDataStream in(data.data(QString::fromLatin1(kMailListMimeType)));
  qint64 pid = 0;
  QByteArray source;
  QList<quint64> serials;
  in >> pid >> source >> serials;
  if (in.status() != QDataStream::Ok || pid != QCoreApplication::applicationPid()) return std::nullopt;
  return DraggedMails{source.toStdString(), std::vector<quint64>(serials.begin(), serials.end())};
}

}  // namespace lp
