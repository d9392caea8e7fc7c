#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "config/profile.h"

// The signature table: display names and files of up to 1000 signatures
// and the directory that holds the files, stored in [Signe] as Dir,
// SetCount, Name01 ... and File01 .... Signatures are numbered from 1, as
// an account's Signe refers to them (0 is "no signature").

namespace lp {

struct Signature {
  std::string name;  // NameNN, default "署名N"
  std::string file;  // FileNN, default "signeN.txt"
};

class CSigneMenuArray {
 public:
  static constexpr std::size_t kMaxSignatures = 1000;
  static constexpr std::size_t kMaxTextBytes = 1 << 20;

  // Reads the table. Dir defaults to "" when "signe1.txt" can be opened in
  // the current directory, else to "Signe"; SetCount defaults to 5 and is
  // kept within 0..1000.
  void Load(const Profile& profile);
  // Writes Dir, SetCount and every name and file in one replacement of the
  // file; false when it could not be written.
  [[nodiscard]] bool Save(Profile& profile) const;

  [[nodiscard]] std::size_t Count() const { return entries_.size(); }
  // `number` from 1 to Count().
  [[nodiscard]] const Signature& At(std::size_t number) const { return entries_.at(number - 1); }
  [[nodiscard]] const std::string& Directory() const { return directory_; }
  void SetDirectory(std::string directory) { directory_ = std::move(directory); }
  // False when the table is full.
  bool Append(Signature signature);

  // Path of signature `number`'s file: Dir, a separator (unless Dir is
  // empty or ends in one) and the file name. Empty for a number outside
  // the table.
  [[nodiscard]] std::string FilePath(std::size_t number) const;
  // The text of signature `number`: its file line by line, each line's
  // line break replaced by CR LF (the last line gets one too). Empty when
  // the number is 0 or outside the table or the file cannot be read. Only
  // the first kMaxTextBytes of a file are read.
  [[nodiscard]] std::string Text(std::size_t number) const;

 private:
  std::string directory_;
  std::vector<Signature> entries_;
};

// A signature file's content as signature text (see CSigneMenuArray::Text).
[[nodiscard]] std::string SignatureTextFromFileBytes(std::string_view bytes);

}  // namespace lp
