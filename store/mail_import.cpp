#include "store/mail_import.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "codec/mime_part_header.h"
#include "codec/spool_analyser.h"
#include "net/hex_digest.h"
#include "platform/command_observer.h"
#include "platform/job_progress.h"
#include "platform/file_system.h"
#include "platform/sjis_path.h"
#include "store/mail_import_keys.h"
#include "store/mail_import_messages.h"
#include "store/mail_import_names.h"
#include "store/mail_import_read_state.h"
#include "store/mail_import_reader.h"
#include "store/mail_import_spool.h"

namespace lp {
namespace {

// A piece of the import ends after this many bytes or messages: large
// enough that saving the growing index stays cheap, small enough that a
// cancel or a crash costs little.
constexpr std::uint64_t kPieceBytes = 64ULL * 1024 * 1024;
constexpr int kPieceMessages = 20000;
// A header longer than this is decided on what was read of it.
constexpr std::size_t kMaxHeaderBytes = 1024 * 1024;
constexpr int kProgressUnitsPerFolder = 1000;

std::string Sjis(const std::string& native_path) { return FromNativePath(native_path); }

// The first line of a message must be a header field ("Name: value").
bool IsHeaderFieldLine(std::string_view line) {
  const std::size_t colon = line.find(':');
  if (colon == 0 || colon == std::string_view::npos) return false;
  for (std::size_t i = 0; i < colon; ++i) {
    const auto c = static_cast<unsigned char>(line[i]);
    if (c <= 0x20 || c >= 0x7F) return false;
  }
  return true;
}

class Sha256 {
 public:
  Sha256() : context_(EVP_MD_CTX_new()) { EVP_DigestInit_ex(context_.get(), EVP_sha256(), nullptr); }
  void Update(std::string_view bytes) { EVP_DigestUpdate(context_.get(), bytes.data(), bytes.size()); }
  std::string HexDigest() {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(context_.get(), digest, &length);
    return LowerHex(digest, length);
  }

 private:
  struct Free {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
  };
  std::unique_ptr<EVP_MD_CTX, Free> context_;
};

enum class CopyOutcome { Copied, Duplicate, Deleted, Unreadable };

struct CopyResult {
  CopyOutcome outcome = CopyOutcome::Copied;
  bool read = false;
  std::string reason;
};

// Writes the current message of `reader` to the spool in the form of a
// POP3 message (status line, dot-stuffed lines, "." line) unless the box
// has it already.
class MessageCopier {
 public:
  MessageCopier(FolderMessageReader& reader, ImportSpool& spool, ImportKeys& keys)
      : reader_(reader), spool_(spool), keys_(keys) {}

  CopyResult Copy() {
    CopyResult result;
    const std::uint64_t start = spool_.Position();
    fields_.Clear();
    header_.clear();
    bool header_ended = false;
    bool any_line = false;
    SpoolLine line;
    while (header_.size() < kMaxHeaderBytes && reader_.NextLine(line)) {
      if (!any_line) {
        any_line = true;
        if (!IsHeaderFieldLine(line.text)) return Unreadable(mail_import_messages::kNotMail);
      }
      if (line.starts_line && !line.continues && line.text.empty()) {
        header_ended = true;
        break;
      }
      fields_.AddLine(line.text);
      AppendLine(header_, line);
    }
    if (!any_line) {
      return Unreadable(reader_.failure().empty() ? std::string(mail_import_messages::kEmptyMessage)
                                                  : reader_.failure());
    }

    const std::optional<std::string_view> mozilla_status = fields_.Last("X-Mozilla-Status");
    if (IsExpungedByMozilla(mozilla_status)) {
      result.outcome = CopyOutcome::Deleted;
      return result;
    }
    const AnalysedIdentity identity = IdentityOfHeader(fields_.Last("Message-Id"), fields_.Last("Date"));
    const bool by_identity = !identity.message_id.empty() && identity.date.has_value();
    if (by_identity && !keys_.InsertIdentity(identity.message_id, *identity.date)) {
      result.outcome = CopyOutcome::Duplicate;
      return result;
    }

    std::uint64_t digest_at = 0;
    spool_.Write(kImportStatusLine);
    if (!by_identity) {
      digest_at = spool_.Position() + kImportDigestPrefix.size();
      spool_.Write(kImportDigestPrefix);
      spool_.Write(std::string(kImportDigestHexLength, '0'));
    }
    spool_.Write("\r\n");
    Sha256 digest;
    Emit(header_, digest, !by_identity);
    if (header_ended) Emit("\r\n", digest, !by_identity);
    std::string body_line;
    while (reader_.NextLine(line)) {
      body_line.clear();
      AppendLine(body_line, line);
      Emit(body_line, digest, !by_identity);
    }
    if (!reader_.failure().empty()) {
      spool_.CutBackTo(start);
      return Unreadable(reader_.failure());
    }
    spool_.Write(".\r\n");

    if (!by_identity) {
      const std::string hex = digest.HexDigest();
      if (!keys_.InsertDigest(hex)) {
        spool_.CutBackTo(start);
        result.outcome = CopyOutcome::Duplicate;
        return result;
      }
      spool_.Patch(digest_at, hex);
    }
    SourceReadState state = reader_.read_state();
    if (state == SourceReadState::Unknown) state = HeaderReadState(mozilla_status, fields_.Last("Status"));
    result.read = state == SourceReadState::Read;
    return result;
  }

 private:
  CopyResult Unreadable(std::string reason) {
    CopyResult result;
    result.outcome = CopyOutcome::Unreadable;
    result.reason = std::move(reason);
    return result;
  }

  // A line as the spool holds it: a line beginning with "." gets a second
  // one (the analysis takes it off again), every line ends in CR LF.
  static void AppendLine(std::string& out, const SpoolLine& line) {
    if (line.starts_line && line.text.starts_with('.')) out += '.';
    out += line.text;
    if (!line.continues) out += "\r\n";
  }

  void Emit(std::string_view bytes, Sha256& digest, bool digesting) {
    spool_.Write(bytes);
    if (digesting) digest.Update(bytes);
  }

  FolderMessageReader& reader_;
  ImportSpool& spool_;
  ImportKeys& keys_;
  HeaderFieldCollector fields_{{"Message-Id", "Date", "Status", "X-Mozilla-Status"}};
  std::string header_;
};

class FolderImport {
 public:
  FolderImport(const MailImportRequest& request, Profile& profile, UserInterface& ui, OptionalProgress& progress,
               MailImportReport& report)
      : request_(request), profile_(profile), ui_(ui), progress_(progress), report_(report) {}

  // False when the whole import must stop (a box could not be written, or
  // a cancel).
  bool Run(const ImportFolder& folder, const std::string& box_path, int folder_index) {
    folder_index_ = folder_index;
    std::string failure;
    std::unique_ptr<FolderMessageReader> reader = OpenFolderMessages(folder, failure);
    if (!reader) {
      report_.problems.push_back(ImportProblem{folder.native_path, 0, failure});
      return true;
    }
    progress_.SetStatusText(ProgressText(folder));

    const std::string folder_path = DirectoryOf(box_path);
    if ((!folder_path.empty() && !MakeDirectories(folder_path)) || !CreateEmptyFileIfMissing(box_path)) {
      report_.failure = FormatFailure(box_path, mail_import_messages::kCannotCreateFolder);
      return false;
    }
    box_ = std::make_unique<CLPOSTDoc>(profile_, ui_, commands_);
    if (const IndexFileResult opened = box_->Open(box_path); !opened.ok) {
      report_.failure = opened.message;
      return false;
    }
    keys_ = ImportKeys();
    keys_.AddBox(*box_);
    if (!spool_.Open(request_.work_spool)) {
      report_.failure = FormatFailure(request_.work_spool, spool_.ErrorText());
      return false;
    }

    ImportedBox imported{folder.native_path, box_->PathName()};
    MessageCopier copier(*reader, spool_, keys_);
    bool ok = true;
    while (reader->NextMessage()) {
      if (progress_.CancelRequested()) {
        report_.cancelled = true;
        ok = false;
        break;
      }
      const CopyResult copy = copier.Copy();
      switch (copy.outcome) {
        case CopyOutcome::Copied:
          piece_read_.push_back(copy.read);
          break;
        case CopyOutcome::Duplicate: ++imported.already_there; break;
        case CopyOutcome::Deleted: ++imported.deleted; break;
        case CopyOutcome::Unreadable:
          report_.problems.push_back(ImportProblem{reader->MessageName(), 1, copy.reason});
          ++report_.unreadable;
          break;
      }
      if (spool_.Position() >= kPieceBytes || static_cast<int>(piece_read_.size()) >= kPieceMessages) {
        if (!StorePiece(imported)) return Finish(imported, false);
      }
      ReportProgress(*reader);
    }
    if (!reader->failure().empty()) {
      report_.problems.push_back(ImportProblem{folder.native_path, 0, reader->failure()});
    }
    if (!StorePiece(imported)) ok = false;
    return Finish(imported, ok);
  }

 private:
  bool Finish(ImportedBox& imported, bool ok) {
    (void)spool_.Close();
    (void)RemoveFile(request_.work_spool);
    box_->UpdateUnreadMark();
    report_.imported += imported.imported;
    report_.boxes.push_back(std::move(imported));
    box_.reset();
    return ok;
  }

  // Analyses the spool written since the last piece into the box, gives
  // the new records their read state, and puts text and index on the disk.
  bool StorePiece(ImportedBox& imported) {
    const int messages = static_cast<int>(piece_read_.size());
    if (!spool_.Close()) {
      report_.failure = FormatFailure(request_.work_spool, spool_.ErrorText());
      return false;
    }
    if (messages > 0) {
      const int first = box_->Count();
      NoteWriteStep(request_.steps, "analyse import spool");
      const SpoolAnalysisResult analysis = AnalyseSpoolWithProgress(*box_, request_.work_spool, nullptr);
      if (analysis.count < 0) {
        report_.failure = analysis.message.empty() ? FormatFailure(box_->PathName(), mail_import_messages::kBoxFailed)
                                                   : analysis.message;
        return false;
      }
      imported.dropped_attachments += analysis.dropped_attachments;
      // Each message of the spool begins with its status line, so each
      // gives exactly one record, in order.
      if (box_->Count() - first == messages) {
        for (int i = 0; i < messages; ++i) {
          if (piece_read_[static_cast<std::size_t>(i)]) box_->RecordAt(first + i)->status = kStatusRead;
        }
        box_->NoteRecordsChanged(first, box_->Count() - 1);
      }
      NoteWriteStep(request_.steps, "flush box text");
      if (!SyncFileToDisk(box_->TextFilePath())) {
        report_.failure = FormatFailure(box_->TextFilePath(), LastSystemErrorText());
        DropRecordsFrom(first);
        return false;
      }
      NoteWriteStep(request_.steps, "save box index");
      if (const IndexFileResult saved = box_->Save(); !saved.ok) {
        report_.failure = saved.message;
        DropRecordsFrom(first);
        return false;
      }
      imported.imported += box_->Count() - first;
    }
    piece_read_.clear();
    if (!spool_.Restart()) {
      report_.failure = FormatFailure(request_.work_spool, spool_.ErrorText());
      return false;
    }
    return true;
  }

  void DropRecordsFrom(int first) {
    for (int i = box_->Count(); i-- > first;) (void)box_->RemoveAt(i);
  }

  void ReportProgress(const FolderMessageReader& reader) {
    const std::uint64_t total = std::max<std::uint64_t>(reader.TotalBytes(), 1);
    const std::uint64_t done = std::min(reader.BytesRead(), total);
    progress_.SetPosition(folder_index_ * kProgressUnitsPerFolder +
                          static_cast<int>(done * kProgressUnitsPerFolder / total));
  }

  static std::string ProgressText(const ImportFolder& folder) {
    char text[1024];
    std::snprintf(text, sizeof text, mail_import_messages::kProgressFormat, Sjis(folder.native_path).c_str());
    return text;
  }

  static std::string FormatFailure(const std::string& path, const std::string& reason) {
    return reason + ":" + path;
  }

  const MailImportRequest& request_;
  Profile& profile_;
  UserInterface& ui_;
  OptionalProgress& progress_;
  MailImportReport& report_;
  NullCommandObserver commands_;
  std::unique_ptr<CLPOSTDoc> box_;
  ImportKeys keys_;
  ImportSpool spool_;
  std::vector<bool> piece_read_;
  int folder_index_ = 0;
};

bool IsProperPrefix(const std::vector<std::string>& prefix, const std::vector<std::string>& names) {
  return prefix.size() < names.size() && std::equal(prefix.begin(), prefix.end(), names.begin());
}

}  // namespace

std::vector<std::string> PlanBoxPaths(const std::vector<ImportFolder>& folders, std::string_view destination) {
  std::vector<std::string> paths;
  for (const ImportFolder& folder : folders) {
    std::string path(destination);
    std::vector<std::string> names = folder.names;
    if (names.empty()) names.emplace_back("_");
    const bool has_subfolders = std::any_of(folders.begin(), folders.end(), [&](const ImportFolder& other) {
      return IsProperPrefix(folder.names, other.names);
    });
    if (has_subfolders) names.push_back(names.back());
    for (const std::string& name : names) {
      path = path.empty() ? BoxNameFromFolderName(name) + ".lp" : JoinPath(path, BoxNameFromFolderName(name) + ".lp");
    }
    paths.push_back(std::move(path));
  }
  return paths;
}

MailImportReport ImportMail(const MailImportRequest& request, Profile& profile, UserInterface& ui,
                            Progress* progress) {
  return ImportMailFolders(request, ScanMailSource(request.native_source, request.format), profile, ui, progress);
}

MailImportReport ImportMailFolders(const MailImportRequest& request, const MailSourceScan& scan, Profile& profile,
                                   UserInterface& ui, Progress* progress) {
  MailImportReport report;
  report.problems = scan.problems;
  OptionalProgress shown(progress);
  shown.SetRange(0, static_cast<int>(scan.folders.size()) * kProgressUnitsPerFolder);
  const std::vector<std::string> paths = PlanBoxPaths(scan.folders, request.destination);
  for (std::size_t i = 0; i < scan.folders.size(); ++i) {
    FolderImport folder(request, profile, ui, shown, report);
    if (!folder.Run(scan.folders[i], paths[i], static_cast<int>(i))) break;
  }
  return report;
}

std::string GroupedNumber(long long value) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return value < 0 ? "-" + out : out;
}

std::vector<std::string> ReportLines(const MailImportReport& report) {
  std::vector<std::string> lines;
  char text[4096];
  for (const ImportedBox& box : report.boxes) {
    std::snprintf(text, sizeof text, mail_import_messages::kBoxLineFormat, Sjis(box.native_source).c_str(),
                  box.box_path.c_str(), GroupedNumber(box.imported).c_str(), GroupedNumber(box.already_there).c_str());
    lines.emplace_back(text);
    if (box.dropped_attachments > 0) {
      std::snprintf(text, sizeof text, mail_import_messages::kDroppedAttachmentsFormat, box.box_path.c_str(),
                    GroupedNumber(box.dropped_attachments).c_str(), kMaxAttachmentsPerMessage);
      lines.emplace_back(text);
    }
  }
  for (const ImportProblem& problem : report.problems) {
    std::snprintf(text, sizeof text, mail_import_messages::kProblemLineFormat, Sjis(problem.native_path).c_str(),
                  GroupedNumber(problem.messages).c_str(), problem.reason.c_str());
    lines.emplace_back(text);
  }
  if (!report.failure.empty()) lines.push_back(report.failure);
  if (report.cancelled) lines.emplace_back(mail_import_messages::kCancelled);
  lines.push_back(SummaryLine(report));
  return lines;
}

std::string SummaryLine(const MailImportReport& report) {
  char text[256];
  std::snprintf(text, sizeof text, mail_import_messages::kSummaryFormat, GroupedNumber(report.imported).c_str());
  std::string line = text;
  if (report.unreadable > 0) {
    std::snprintf(text, sizeof text, mail_import_messages::kUnreadableFormat, GroupedNumber(report.unreadable).c_str());
    line += text;
  }
  return line;
}

}  // namespace lp
