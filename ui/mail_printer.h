#pragma once

#include <QFont>
#include <QString>
#include <vector>

class QPrinter;

// Printing of mails as the read window shows them: each mail starts on a
// page of its own, its text wrapped to the page width (at any character
// where a line has no space, as Japanese text needs), every page headed by
// the mail's subject and footed by its number in the whole print, "n / m".

namespace lp {

struct PrintedMail {
  QString subject;
  QString text;  // lines end in "\n"
};

// Prints `mails` on `printer` (a real printer or a PDF file) in `font`.
// False when the printer could not be started.
bool PrintMails(QPrinter& printer, const std::vector<PrintedMail>& mails, const QFont& font);

}  // namespace lp
