#include "store/mail_import_source.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <tuple>

#include "platform/file_system.h"
#include "platform/job_progress.h"
#include "platform/sjis_path.h"
#include "store/mail_import_messages.h"
#include "store/mail_import_read_state.h"
#include "store/mail_import_reader.h"
#include "store/mail_import_tree.h"

namespace lp {
namespace fs = std::filesystem;
namespace {

// Deeper trees are not walked (the stack stays bounded); what lies below is
// named as a problem.
constexpr int kMaxDepth = 32;

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

bool IsDirectoryIn(const SourceTree& tree, const fs::path& path) {
  return tree.LookAt(path.string()).kind == SourceEntryKind::Directory;
}

bool IsMaildir(const SourceTree& tree, const fs::path& dir) {
  return IsDirectoryIn(tree, dir / "cur") && IsDirectoryIn(tree, dir / "new");
}

std::string TreeRootOf(const ImportFolder& folder) {
  return folder.tree_root.empty() ? SourceTree(folder.native_path).real_root() : folder.tree_root;
}

struct NamedEntry {
  std::string name;
  SourceEntry entry;
};

// The entries of a directory in the order they are walked: by name, and
// links after everything else, so that a directory and a link to it are
// walked under the directory's own name. Nullopt when it cannot be listed.
std::optional<std::vector<NamedEntry>> ListEntries(const SourceTree& tree, const fs::path& dir, int& error_number) {
  std::vector<NamedEntry> entries;
  std::error_code error;
  fs::directory_iterator it(dir, error);
  for (; !error && it != fs::directory_iterator(); it.increment(error)) {
    std::string name = it->path().filename().string();
    entries.push_back(NamedEntry{std::move(name), tree.LookAt(it->path().string())});
  }
  if (error) {
    error_number = error.value();
    return std::nullopt;
  }
  std::sort(entries.begin(), entries.end(), [](const NamedEntry& a, const NamedEntry& b) {
    return std::tie(a.entry.is_link, a.name) < std::tie(b.entry.is_link, b.name);
  });
  return entries;
}

class SourceWalker {
 public:
  SourceWalker(std::optional<MailSourceFormat> format, SourceTree& tree, OptionalProgress& progress,
               MailSourceScan& scan)
      : format_(format), tree_(tree), progress_(progress), scan_(scan) {}

  void Add(const fs::path& path, MailSourceFormat format, std::vector<std::string> names) {
    if (format_ && *format_ != format) return;
    scan_.folders.push_back(ImportFolder{path.string(), format, std::move(names), tree_.real_root()});
  }

  void LeaveOut(const fs::path& path, std::string reason) {
    scan_.problems.push_back(ImportProblem{path.string(), 0, std::move(reason)});
  }

  // `names`: the names of this directory's children; `own_names`: the
  // name its own messages (Maildir, MH) go under.
  void Walk(const fs::path& dir, const std::vector<std::string>& names, const std::vector<std::string>& own_names,
            int depth) {
    if (scan_.cancelled || progress_.CancelRequested()) {
      scan_.cancelled = true;
      return;
    }
    if (depth > kMaxDepth) {
      LeaveOut(dir, mail_import_messages::kTooDeep);
      return;
    }
    progress_.SetStatusText(FromNativePath(dir.string()));
    int error_number = 0;
    const std::optional<std::vector<NamedEntry>> listed = ListEntries(tree_, dir, error_number);
    if (!listed) {
      LeaveOut(dir, SourceFileFailure(mail_import_messages::kCannotList, error_number));
      return;
    }
    const std::vector<NamedEntry>& entries = *listed;

    const bool maildir = IsMaildir(tree_, dir);
    bool mh = false;
    if (maildir) {
      Add(dir, MailSourceFormat::Maildir, own_names);
    } else if (std::any_of(entries.begin(), entries.end(), [](const NamedEntry& entry) {
                 return (entry.entry.kind == SourceEntryKind::RegularFile && IsAllDigits(entry.name)) ||
                        entry.name == ".mh_sequences" || entry.name == kSylpheedMarkFile ||
                        entry.name == kClawsMarkFile;
               })) {
      mh = true;
      Add(dir, MailSourceFormat::Mh, own_names);
    }

    for (const auto& [name, entry] : entries) {
      const fs::path path = dir / name;
      if (maildir && (name == "cur" || name == "new" || name == "tmp")) continue;
      if (entry.kind == SourceEntryKind::LeftOut) {
        // A numbered file of an MH folder is named when its messages are read.
        if (!(mh && IsAllDigits(name))) LeaveOut(path, entry.reason);
        continue;
      }
      if (entry.kind == SourceEntryKind::Directory) {
        WalkDirectory(path, name, names, maildir, depth);
        continue;
      }
      if (name.starts_with(".") || IsAllDigits(name) || IsKnownNonMailFile(name)) continue;
      if (maildir) continue;
      std::error_code size_error;
      const bool empty_thunderbird_folder = fs::file_size(path, size_error) == 0 && !size_error &&
                                            tree_.LookAt((dir / (name + ".msf")).string()).kind ==
                                                SourceEntryKind::RegularFile;
      std::string reason;
      const std::optional<bool> mbox = empty_thunderbird_folder ? true : LooksLikeMbox(path.string(), &reason);
      if (!mbox) {
        LeaveOut(path, reason);
      } else if (*mbox) {
        Add(path, MailSourceFormat::Mbox, Plus(names, MboxFolderName(name)));
      }
    }
  }

 private:
  void WalkDirectory(const fs::path& path, const std::string& name, const std::vector<std::string>& names,
                     bool in_maildir, int depth) {
    if (name.starts_with(".")) {
      // KMail keeps the subfolders of "X" in ".X.directory".
      if (EndsWith(name, ".directory") && name.size() > 11) {
        if (!tree_.FirstVisit(path.string())) return;
        const std::vector<std::string> child = Plus(names, name.substr(1, name.size() - 11));
        Walk(path, child, child, depth + 1);
      } else if (in_maildir && name.size() > 1 && IsMaildir(tree_, path) && tree_.FirstVisit(path.string())) {
        // Maildir++: ".Lists.Work" is the folder Work below Lists.
        std::vector<std::string> child = names;
        for (std::string& part : SplitDots(name.substr(1))) child.push_back(std::move(part));
        Add(path, MailSourceFormat::Maildir, child);
      }
      return;
    }
    if (!tree_.FirstVisit(path.string())) return;
    // Thunderbird keeps the subfolders of the mbox "X" in "X.sbd".
    const std::string folder = EndsWith(name, ".sbd") && name.size() > 4 ? name.substr(0, name.size() - 4) : name;
    const std::vector<std::string> child = Plus(names, folder);
    Walk(path, child, child, depth + 1);
  }

  std::optional<MailSourceFormat> format_;
  SourceTree& tree_;
  OptionalProgress& progress_;
  MailSourceScan& scan_;
};

// The message files of one directory of a Maildir ("new" or "cur"), by name.
std::optional<std::vector<MessageFile>> MaildirFiles(const SourceTree& tree, const fs::path& dir, bool in_new) {
  int error_number = 0;
  const std::optional<std::vector<NamedEntry>> entries = ListEntries(tree, dir, error_number);
  if (!entries) return std::nullopt;
  std::vector<MessageFile> files;
  for (const auto& [name, entry] : *entries) {
    if (name.starts_with(".") || entry.kind == SourceEntryKind::Directory) continue;
    files.push_back(MessageFile{(dir / name).string(), MaildirReadState(name, in_new), entry.reason});
  }
  std::sort(files.begin(), files.end(),
            [](const MessageFile& a, const MessageFile& b) { return a.native_path < b.native_path; });
  return files;
}

// MH numbers of any length in their order: fewer digits (leading zeros
// aside) first, then by the digits.
std::string_view Significant(std::string_view digits) {
  const std::size_t first = digits.find_first_not_of('0');
  return first == std::string_view::npos ? std::string_view() : digits.substr(first);
}

bool NumberBefore(std::string_view a, std::string_view b) {
  const std::string_view x = Significant(a);
  const std::string_view y = Significant(b);
  if (x.size() != y.size()) return x.size() < y.size();
  if (x != y) return x < y;
  return a < b;
}

}  // namespace

std::optional<MailSourceFormat> ParseMailSourceFormat(std::string_view name) {
  if (name == "mbox") return MailSourceFormat::Mbox;
  if (name == "maildir") return MailSourceFormat::Maildir;
  if (name == "mh") return MailSourceFormat::Mh;
  return std::nullopt;
}

std::string SourceFileFailure(const char* what, int error_number) {
  return std::string(what) + ": " + SystemErrorText(error_number);
}

std::optional<bool> LooksLikeMbox(const std::string& native_path, std::string* reason) {
  File file;
  if (!file.OpenNative(native_path, File::Mode::ReadRegular)) {
    const int error_number = errno;
    if (reason) {
      *reason = error_number == EINVAL ? std::string(mail_import_messages::kNotRegularFile)
                                       : SourceFileFailure(mail_import_messages::kCannotOpen, error_number);
    }
    return std::nullopt;
  }
  char head[5] = {};
  const std::int64_t got = file.ReadFull(head, sizeof head);
  if (got < 0) {
    if (reason) *reason = SourceFileFailure(mail_import_messages::kCannotRead, errno);
    return std::nullopt;
  }
  return got == sizeof head && std::string_view(head, sizeof head) == "From ";
}

MailSourceScan ScanMailSource(const std::string& native_root, std::optional<MailSourceFormat> format,
                              Progress* progress) {
  MailSourceScan scan;
  OptionalProgress shown(progress);
  const fs::path root = fs::path(native_root).lexically_normal();
  fs::path named = root;
  if (!named.has_filename()) named = named.parent_path();
  const std::string root_name = named.filename().string();
  SourceTree tree(root.string());
  // The root is what the user named: a link there is followed wherever it leads.
  SourceTree own_root(tree.real_root());
  const SourceEntry entry = own_root.LookAt(tree.real_root());
  if (entry.kind == SourceEntryKind::LeftOut) {
    scan.problems.push_back(ImportProblem{root.string(), 0, entry.reason});
    return scan;
  }
  if (entry.kind == SourceEntryKind::RegularFile) {
    std::string reason;
    const std::optional<bool> mbox = LooksLikeMbox(root.string(), &reason);
    if (mbox && *mbox && (!format || *format == MailSourceFormat::Mbox)) {
      scan.folders.push_back(
          ImportFolder{root.string(), MailSourceFormat::Mbox, {MboxFolderName(root_name)}, tree.real_root()});
    } else {
      scan.problems.push_back(ImportProblem{root.string(), 0, mbox ? mail_import_messages::kNotMail : reason});
    }
    return scan;
  }
  SourceWalker walker(format, tree, shown, scan);
  (void)tree.FirstVisit(root.string());
  walker.Walk(root, {}, {root_name}, 0);
  if (scan.folders.empty() && scan.problems.empty() && !scan.cancelled) {
    scan.problems.push_back(ImportProblem{root.string(), 0, mail_import_messages::kNoMailFound});
  }
  return scan;
}

std::optional<std::vector<MessageFile>> ListMessageFiles(const ImportFolder& folder) {
  const SourceTree tree(TreeRootOf(folder));
  std::vector<MessageFile> files;
  if (folder.format == MailSourceFormat::Maildir) {
    for (const char* sub : {"new", "cur"}) {
      const fs::path dir = fs::path(folder.native_path) / sub;
      const SourceEntry entry = tree.LookAt(dir.string());
      if (entry.kind == SourceEntryKind::LeftOut) {
        // The whole directory stands for its messages in the report.
        files.push_back(MessageFile{dir.string(), SourceReadState::Unknown, entry.reason});
        continue;
      }
      std::optional<std::vector<MessageFile>> part = MaildirFiles(tree, dir, sub == std::string_view("new"));
      if (!part) return std::nullopt;
      files.insert(files.end(), part->begin(), part->end());
    }
    return files;
  }
  if (folder.format != MailSourceFormat::Mh) return files;
  int error_number = 0;
  const std::optional<std::vector<NamedEntry>> entries = ListEntries(tree, folder.native_path, error_number);
  if (!entries) return std::nullopt;
  std::vector<const NamedEntry*> numbered;
  for (const NamedEntry& entry : *entries) {
    if (IsAllDigits(entry.name) && entry.entry.kind != SourceEntryKind::Directory) numbered.push_back(&entry);
  }
  std::sort(numbered.begin(), numbered.end(),
            [](const NamedEntry* a, const NamedEntry* b) { return NumberBefore(a->name, b->name); });
  const MhReadStates states = ReadMhReadStates(folder.native_path);
  for (const NamedEntry* entry : numbered) {
    // The marks files of Sylpheed and Claws Mail hold 32-bit numbers: a
    // longer one is never listed there.
    const std::string_view digits = Significant(entry->name);
    const long long number = digits.size() <= 18 ? std::stoll(entry->name) : -1;
    files.push_back(MessageFile{(fs::path(folder.native_path) / entry->name).string(), states.StateOf(number),
                                entry->entry.reason});
  }
  return files;
}

std::optional<int> CountFolderMessages(const ImportFolder& folder, Progress* progress) {
  if (folder.format != MailSourceFormat::Mbox) {
    const std::optional<std::vector<MessageFile>> files = ListMessageFiles(folder);
    if (!files) return std::nullopt;
    return static_cast<int>(files->size());
  }
  MboxSeparatorCounter counter;
  return counter.Count(folder.native_path, progress);
}

MailSourceOverview LookAtMailSource(const std::string& native_root, Progress* progress) {
  MailSourceOverview overview;
  overview.scan = ScanMailSource(native_root, std::nullopt, progress);
  OptionalProgress shown(progress);
  for (const ImportFolder& folder : overview.scan.folders) {
    if (overview.scan.cancelled) break;
    shown.SetStatusText(FromNativePath(folder.native_path));
    overview.counts.push_back(CountFolderMessages(folder, progress));
    if (shown.CancelRequested()) overview.scan.cancelled = true;
  }
  if (overview.scan.cancelled) overview.counts.clear();
  return overview;
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
      if (!file.problem.empty()) continue;
      const std::uintmax_t size = fs::file_size(file.native_path, error);
      if (!error) total += size;
    }
  }
  return total;
}

}  // namespace lp
