#pragma once

#include <optional>
#include <string>
#include <string_view>

// Template files of the compose window, and text files inserted into a
// body. A template is a text file whose lines "To:", "Subject:", "Cc:",
// "Bcc:" and "Attach:" (any case, anywhere in the file) set those fields and
// whose other lines make the body. All texts are Shift_JIS.

namespace lp {

// What a template sets. A field the template does not name stays nullopt
// (the form keeps it); the subject is always set.
struct MailTemplate {
  std::optional<std::string> to;
  std::string subject;
  std::optional<std::string> cc;
  std::optional<std::string> bcc;
  std::optional<std::string> attach;
  std::string body;  // every line followed by CR LF
};

// The template in `bytes`, read from the file at `path`. The subject is the
// file name without folder and extension unless a "Subject:" line says
// otherwise. Lines lose their line break and trailing blanks; header lines
// give their rest without leading blanks; empty lines before the first body
// line are dropped. Lines are never cut, however long.
[[nodiscard]] MailTemplate ParseMailTemplate(std::string_view bytes, std::string_view path);

// The fields and body of a compose form, as "Save as template" writes them.
struct TemplateFields {
  std::string to;
  std::string subject;
  std::string cc;
  std::string bcc;
  std::string attach;
  std::string body;
};

// The file content: "To:", "Subject:", "Cc:", "Bcc:" and "Attach:" lines
// for the fields that are not empty, in that order, then an empty line, the
// body and CR LF.
[[nodiscard]] std::string FormatMailTemplate(const TemplateFields& fields);

// A text file as it is inserted at the caret: its lines without their line
// breaks, joined by CR LF (no line break after the last one).
[[nodiscard]] std::string TextFileForInsertion(std::string_view bytes);

}  // namespace lp
