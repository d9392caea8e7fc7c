#include "store/mail_import_source.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "store/mail_import_messages.h"
#include "store/mail_import_read_state.h"
#include "store/mail_import_reader.h"

namespace lp {
namespace fs = std::filesystem;
namespace {

// Deeper trees are not followed (a link loop, a hostile tree).
constexpr int kMaxDepth = 32;

bool IsDirectoryEntry(const fs::path& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

bool IsRegular(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

bool IsMaildir(const fs::path& dir) { return IsDirectoryEntry(dir / "cur") && IsDirectoryEntry(dir / "new"); }

bool IsAllDigits(std::string_view name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// Files beside Thunderbird's mbox files that are never mail.
bool IsKnownNonMailFile(std::string_view name) {
  return EndsWith(name, ".msf") || EndsWith(name, ".dat") || EndsWith(name, ".json") ||
         EndsWith(name, ".html") || EndsWith(name, ".sqlite") || EndsWith(name, ".mozlz4");
}

std::vector<std::string> Plus(std::vector<std::string> names, const std::string& name) {
  names.push_back(name);
  return names;
}

std::vector<std::string> SplitDots(std::string_view text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t dot = text.find('.', start);
    if (dot == std::string_view::npos) dot = text.size();
    if (dot > start) parts.emplace_back(text.substr(start, dot - start));
    start = dot + 1;
  }
  return parts;
}

std::string MboxFolderName(const std::string& file_name) {
  for (std::string_view ext : {".mbox", ".mbx"}) {
    if (EndsWith(file_name, ext) && file_name.size() > ext.size()) return file_name.substr(0, file_name.size() - ext.size());
  }
  return file_name;
}

class SourceWalker {
 public:
  SourceWalker(std::optional<MailSourceFormat> format, MailSourceScan& scan) : format_(format), scan_(scan) {}

  void Add(const fs::path& path, MailSourceFormat format, std::vector<std::string> names) {
    if (format_ && *format_ != format) return;
    scan_.folders.push_back(ImportFolder{path.string(), format, std::move(names)});
  }

  // `names`: the names of this directory's children; `own_names`: the
  // name its own messages (Maildir, MH) go under.
  void Walk(const fs::path& dir, const std::vector<std::string>& names, const std::vector<std::string>& own_names,
            int depth) {
    if (depth > kMaxDepth) return;
    std::vector<std::pair<std::string, bool>> entries;  // name, is a directory
    std::error_code error;
    fs::directory_iterator it(dir, error);
    if (error) {
      scan_.problems.push_back(ImportProblem{dir.string(), 0, mail_import_messages::kCannotList});
      return;
    }
    for (; it != fs::directory_iterator(); it.increment(error)) {
      if (error) break;
      const std::string name = it->path().filename().string();
      entries.emplace_back(name, IsDirectoryEntry(it->path()));
    }
    std::sort(entries.begin(), entries.end());

    const bool maildir = IsMaildir(dir);
    if (maildir) {
      Add(dir, MailSourceFormat::Maildir, own_names);
    } else if (std::any_of(entries.begin(), entries.end(), [](const auto& entry) {
                 return (!entry.second && IsAllDigits(entry.first)) || entry.first == ".mh_sequences" ||
                        entry.first == kSylpheedMarkFile || entry.first == kClawsMarkFile;
               })) {
      Add(dir, MailSourceFormat::Mh, own_names);
    }

    for (const auto& [name, is_directory] : entries) {
      const fs::path path = dir / name;
      if (is_directory) {
        if (maildir && (name == "cur" || name == "new" || name == "tmp")) continue;
        if (name.starts_with(".")) {
          // KMail keeps the subfolders of "X" in ".X.directory".
          if (EndsWith(name, ".directory") && name.size() > 11) {
            const std::vector<std::string> child = Plus(names, name.substr(1, name.size() - 11));
            Walk(path, child, child, depth + 1);
          } else if (maildir && IsMaildir(path) && name.size() > 1) {
            // Maildir++: ".Lists.Work" is the folder Work below Lists.
            std::vector<std::string> child = names;
            for (std::string& part : SplitDots(name.substr(1))) child.push_back(std::move(part));
            Add(path, MailSourceFormat::Maildir, child);
          }
          continue;
        }
        // Thunderbird keeps the subfolders of the mbox "X" in "X.sbd".
        const std::string folder = EndsWith(name, ".sbd") && name.size() > 4 ? name.substr(0, name.size() - 4) : name;
        const std::vector<std::string> child = Plus(names, folder);
        Walk(path, child, child, depth + 1);
        continue;
      }
      if (name.starts_with(".") || IsAllDigits(name) || IsKnownNonMailFile(name)) continue;
      if (maildir) continue;
      std::error_code size_error;
      const bool empty_thunderbird_folder = fs::file_size(path, size_error) == 0 && !size_error &&
                                            fs::exists(dir / (name + ".msf"), size_error);
      if (empty_thunderbird_folder || LooksLikeMbox(path.string())) {
        Add(path, MailSourceFormat::Mbox, Plus(names, MboxFolderName(name)));
      }
    }
  }

 private:
  std::optional<MailSourceFormat> format_;
  MailSourceScan& scan_;
};

}  // namespace

std::optional<MailSourceFormat> ParseMailSourceFormat(std::string_view name) {
  if (name == "mbox") return MailSourceFormat::Mbox;
  if (name == "maildir") return MailSourceFormat::Maildir;
  if (name == "mh") return MailSourceFormat::Mh;
  return std::nullopt;
}

bool LooksLikeMbox(const std::string& native_path) {
  std::ifstream in(native_path, std::ios::binary);
  char head[5] = {};
  return in.read(head, sizeof head) && std::string_view(head, sizeof head) == "From ";
}

MailSourceScan ScanMailSource(const std::string& native_root, std::optional<MailSourceFormat> format) {
  MailSourceScan scan;
  const fs::path root = fs::path(native_root).lexically_normal();
  fs::path named = root;
  if (!named.has_filename()) named = named.parent_path();
  const std::string root_name = named.filename().string();
  if (IsRegular(root)) {
    if ((!format || *format == MailSourceFormat::Mbox) && LooksLikeMbox(root.string())) {
      scan.folders.push_back(ImportFolder{root.string(), MailSourceFormat::Mbox, {MboxFolderName(root_name)}});
    } else {
      scan.problems.push_back(ImportProblem{root.string(), 0, mail_import_messages::kNotMail});
    }
    return scan;
  }
  if (!IsDirectoryEntry(root)) {
    scan.problems.push_back(ImportProblem{root.string(), 0, mail_import_messages::kCannotOpen});
    return scan;
  }
  SourceWalker walker(format, scan);
  walker.Walk(root, {}, {root_name}, 0);
  if (scan.folders.empty() && scan.problems.empty()) {
    scan.problems.push_back(ImportProblem{root.string(), 0, mail_import_messages::kNoMailFound});
  }
  return scan;
}

std::optional<std::vector<MessageFile>> ListMessageFiles(const ImportFolder& folder) {
  std::vector<MessageFile> files;
  std::error_code error;
  if (folder.format == MailSourceFormat::Maildir) {
    for (const char* sub : {"new", "cur"}) {
      std::vector<MessageFile> part;
      fs::directory_iterator it(fs::path(folder.native_path) / sub, error);
      if (error) return std::nullopt;
      for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error) return std::nullopt;
        const std::string name = it->path().filename().string();
        if (name.starts_with(".") || !IsRegular(it->path())) continue;
        part.push_back(MessageFile{it->path().string(), MaildirReadState(name, sub == std::string_view("new"))});
      }
      std::sort(part.begin(), part.end(),
                [](const MessageFile& a, const MessageFile& b) { return a.native_path < b.native_path; });
      files.insert(files.end(), part.begin(), part.end());
    }
    return files;
  }
  if (folder.format != MailSourceFormat::Mh) return files;
  std::vector<std::pair<long long, std::string>> numbered;
  fs::directory_iterator it(folder.native_path, error);
  if (error) return std::nullopt;
  for (; it != fs::directory_iterator(); it.increment(error)) {
    if (error) return std::nullopt;
    const std::string name = it->path().filename().string();
    if (!IsAllDigits(name) || name.size() > 15 || !IsRegular(it->path())) continue;
    numbered.emplace_back(std::stoll(name), it->path().string());
  }
  std::sort(numbered.begin(), numbered.end());
  const MhReadStates states = ReadMhReadStates(folder.native_path);
  for (auto& [number, path] : numbered) files.push_back(MessageFile{std::move(path), states.StateOf(number)});
  return files;
}

std::optional<int> CountFolderMessages(const ImportFolder& folder) {
  if (folder.format != MailSourceFormat::Mbox) {
    const std::optional<std::vector<MessageFile>> files = ListMessageFiles(folder);
    if (!files) return std::nullopt;
    return static_cast<int>(files->size());
  }
  MboxSeparatorCounter counter;
  return counter.Count(folder.native_path);
}

std::uint64_t FolderBytes(const ImportFolder& folder) {
  std::error_code error;
  if (folder.format == MailSourceFormat::Mbox) {
    const std::uintmax_t size = fs::file_size(folder.native_path, error);
    return error ? 0 : static_cast<std::uint64_t>(size);
  }
  std::uint64_t total = 0;
  if (const std::optional<std::vector<MessageFile>> files = ListMessageFiles(folder)) {
    for (const MessageFile& file : *files) {
      const std::uintmax_t size = fs::file_size(file.native_path, error);
      if (!error) total += size;
    }
  }
  return total;
}

}  // namespace lp
