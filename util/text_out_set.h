#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/mail_record.h"

// Text-export settings ("CTextOutSet"): which mails (state and label), where
// to (output file, appending or not), which header lines, which boxes; and
// the settings list file that keeps named settings, entry 0 being the
// setting used last ("前回の設定"). Strings are Shift_JIS.

namespace lp {

class CTextOutSet {
 public:
  // Fields in the order of the file.
  std::string name;
  bool read = true;
  bool unread = true;
  bool replied = true;
  bool sent = true;
  bool unsent = true;
  int label = 0;  // 0 every label, else only mails of this label
  std::string output_file;
  bool all_headers = false;
  bool all_boxes = false;
  bool append = false;

  // The state filter and the label filter.
  [[nodiscard]] bool Passes(const CMail& mail) const;

  bool operator==(const CTextOutSet&) const = default;
};

// The settings list and its file: the object archive of the settings, class
// "CTextOutSet" with schema 3; each entry is the word 100, the name, the five
// state flags and the label as 16-bit words, the output file, and the
// all-headers, all-boxes and append flags as 16-bit words.
class CTextOutSetArray {
 public:
  // Reads the list. A missing file, or one without entries, gives the one
  // entry "前回の設定". A file that exists but cannot be read gives the
  // same list and the reason (Shift_JIS, for the caller to show); the next
  // Save keeps that file aside (its name with ".bad" appended) instead of
  // writing over it.
  [[nodiscard]] std::optional<std::string> Load(std::string_view path);
  // Writes the whole list, replacing the file atomically; false when it
  // could not be written (the message in `error`).
  [[nodiscard]] bool Save(std::string_view path, std::string* error = nullptr);

  [[nodiscard]] std::vector<CTextOutSet>& entries() { return entries_; }
  [[nodiscard]] const std::vector<CTextOutSet>& entries() const { return entries_; }
  // The entry of this name, or nullptr.
  [[nodiscard]] const CTextOutSet* Find(std::string_view name) const;
  [[nodiscard]] CTextOutSet* Find(std::string_view name);

  // Serialised form of the list, as Save writes it.
  [[nodiscard]] std::string Serialize() const;

 private:
  std::vector<CTextOutSet> entries_;
  bool keep_unreadable_file_ = false;
};

}  // namespace lp
