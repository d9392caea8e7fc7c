#include "ui/mail_printer.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>
#include <QTextOption>
#include <memory>

namespace lp {
namespace {

// One mail laid out for the page's text area.
std::unique_ptr<QTextDocument> LaidOut(const PrintedMail& mail, const QFont& font, QPaintDevice& device,
                                       const QSizeF& area) {
  auto document = std::make_unique<QTextDocument>();
  document->documentLayout()->setPaintDevice(&device);
  document->setDefaultFont(font);
  QTextOption option = document->defaultTextOption();
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  document->setDefaultTextOption(option);
  document->setDocumentMargin(0);
  document->setPlainText(mail.text);
  document->setPageSize(area);
  return document;
}

}  // namespace

bool PrintMails(QPrinter& printer, const std::vector<PrintedMail>& mails, const QFont& font) {
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution()).translated(
      -printer.pageLayout().paintRectPixels(printer.resolution()).topLeft());

  QFont small = font;
  small.setPointSizeF(font.pointSizeF() > 0 ? font.pointSizeF() * 0.85 : 9);
  const QFontMetricsF small_metrics(small, &printer);
  const qreal band = small_metrics.height() * 2;  // the header's and the foot's height
  const QRectF text_area(page.left(), page.top() + band, page.width(), page.height() - 2 * band);

  std::vector<std::unique_ptr<QTextDocument>> documents;
  int total_pages = 0;
  for (const PrintedMail& mail : mails) {
    documents.push_back(LaidOut(mail, font, printer, text_area.size()));
    total_pages += documents.back()->pageCount();
  }

  int page_number = 0;
  for (std::size_t m = 0; m < mails.size(); ++m) {
    QTextDocument& document = *documents[m];
    for (int p = 0; p < document.pageCount(); ++p) {
      if (page_number > 0) printer.newPage();
      ++page_number;
      painter.setFont(small);
      const QRectF header(page.left(), page.top(), page.width(), small_metrics.height());
      painter.drawText(header, Qt::AlignLeft | Qt::AlignVCenter,
                       small_metrics.elidedText(mails[m].subject, Qt::ElideRight, page.width()));
      painter.drawLine(QPointF(page.left(), header.bottom() + small_metrics.height() / 4),
                       QPointF(page.right(), header.bottom() + small_metrics.height() / 4));
      const QRectF foot(page.left(), page.bottom() - small_metrics.height(), page.width(), small_metrics.height());
      painter.drawText(foot, Qt::AlignHCenter | Qt::AlignVCenter,
                       QStringLiteral("%1 / %2").arg(page_number).arg(total_pages));

      painter.save();
      painter.translate(text_area.left(), text_area.top() - p * text_area.height());
      const QRectF shown(0, p * text_area.height(), text_area.width(), text_area.height());
      painter.setClipRect(shown);
      QAbstractTextDocumentLayout::PaintContext context;
      context.clip = shown;
      context.palette.setColor(QPalette::Text, Qt::black);
      document.documentLayout()->draw(&painter, context);
      painter.restore();
    }
  }
  return painter.end();
}

}  // namespace lp
