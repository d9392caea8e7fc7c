#include "codec/spool_analyser.h"

#include <algorithm>
#include <ctime>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "codec/ascii_case.h"
#include "codec/attachment_files.h"
#include "codec/byte_forms.h"
#include "codec/buffered_file_writer.h"
#include "codec/content_ids.h"
#include "codec/date_header.h"
#include "codec/encoded_words.h"
#include "codec/header_unfolding.h"
#include "codec/japanese_text.h"
#include "codec/mime_encoding.h"
#include "codec/mime_part_header.h"
#include "codec/spool_line_reader.h"
#include "codec/codec_messages.h"
#include "codec/utf8_stream.h"
#include "platform/job_progress.h"
#include "platform/sjis_path.h"

namespace lp {
namespace {

// Text offsets are 32-bit in the index file.
constexpr std::uint64_t kMaxTextOffset = std::numeric_limits<std::uint32_t>::max();
// UTF-7 text decoded from Base64 waits for its line break up to this size.
constexpr std::size_t kMaxUtf7Pending = 16 * 1024;
// Bound against hostile mail: Content-ID entries of one analysis.
constexpr std::size_t kMaxContentIds = 65536;
// Longest attachment name quoted in a note.
constexpr std::size_t kMaxShownNameBytes = 200;
// Progress is reported and the cancel polled once per this many lines:
// often enough to answer a cancel at once, rare enough to cost nothing.
constexpr int kProgressLineInterval = 256;
constexpr int kMaxProgressKiB = std::numeric_limits<int>::max();

int KiB(std::uint64_t bytes) {
  return static_cast<int>(std::min<std::uint64_t>(bytes / 1024, static_cast<std::uint64_t>(kMaxProgressKiB)));
}

std::vector<std::string_view> MessageHeaderFieldNames() {
  return {"To",         "Subject",  "From", "Cc", "Date", "Content-Type", "Content-Transfer-Encoding",
          "Message-Id", "Reply-To", "Content-Disposition"};
}

// A line of unknown code brought to Shift_JIS: raw UTF-8 (headers written
// by newer systems without encoded words, bodies without a charset) is
// recognised by its well-formedness; a line well formed only as Shift_JIS
// stays as it is; anything else gets the text layer's JIS / EUC-JP guess.
// Encoded words are decoded afterwards: they come out in Shift_JIS
// already, and a second guess over them could take Shift_JIS for EUC-JP.
std::string DecodeLine(std::string_view line) {
  std::string converted;
  if (IsPlain7Bit(line)) {
    converted = std::string(line);
  } else if (IsMultibyteUtf8(line)) {
    converted = Utf8ToSjis(line);
  } else if (line.find('\x1B') == std::string_view::npos && IsWellFormedShiftJis(line) &&
             !IsWellFormedEucJp(line)) {
    converted = std::string(line);
  } else {
    converted = ConvertToSjis(line);
  }
  if (converted.find("=?") == std::string::npos) return converted;
  return DecodeEncodedWords(converted);
}

// A body line in the charset its part declares. JIS is taken by its escape
// sequences (also when only half-width katakana switch in); a declared
// EUC-JP settles the lines whose bytes would also be Shift_JIS.
std::string ConvertTextLine(std::string_view line, TextCharset charset) {
  if (charset == TextCharset::Jis) {
    std::string out(line);
    if (line.find('\x1B') != std::string_view::npos) JisToSjis(line, out);
    return out.find("=?") == std::string::npos ? out : DecodeEncodedWords(out);
  }
  if (charset == TextCharset::EucJp) {
    const JapaneseCode code = DetectJapaneseCode(line);
    if (code == JapaneseCode::Euc || code == JapaneseCode::EucOrSjis) {
      std::string out;
      EucToSjis(line, out);
      return out;
    }
  }
  return DecodeLine(line);
}

// A header value as the record keeps it: the blanks after the ":" go.
std::string RecordFieldText(std::string_view value) { return std::string(WithoutLeadingBlanks(value)); }

// The fields the mail list shows on one line. A TAB in them, left by a fold
// or written by the sender, reads as a blank (as folding white space means
// one); dropping it would glue the words on both sides together.
std::string ListFieldText(std::string_view value) {
  std::string text = RecordFieldText(value);
  std::replace(text.begin(), text.end(), '\t', ' ');
  return RecordFieldText(text);
}

bool EndsInSoftBreak(std::string_view line) { return !line.empty() && line.back() == '='; }

// The name a note shows for an attachment name that could not be used:
// no directory part, no control character, not overly long.
std::string ShownName(std::string_view name) {
  std::string shown = FileNameOf(name);
  if (shown.size() > kMaxShownNameBytes) {
    std::size_t cut = kMaxShownNameBytes;
    if (IsLeadByteAt(shown, cut - 1) == 1) --cut;
    shown.resize(cut);
  }
  for (char& c : shown) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) c = '_';
  }
  return shown;
}

enum class BoundaryLine { None, Delimiter, Close };

// How a part's content ends: the line break before a delimiter line belongs
// to the delimiter (RFC 2046 5.1.1), the one before the end of the message
// to the content.
enum class PartEnd { AtBoundary, AtMessageEnd };

// "--boundary" or "--boundary--", transport padding (blanks) allowed.
BoundaryLine MatchBoundary(std::string_view line, std::string_view boundary) {
  if (boundary.empty() || !line.starts_with(boundary)) return BoundaryLine::None;
  std::string_view rest = line.substr(boundary.size());
  BoundaryLine kind = BoundaryLine::Delimiter;
  if (rest.starts_with("--")) {
    kind = BoundaryLine::Close;
    rest.remove_prefix(2);
  }
  return rest.find_first_not_of(" \t") == std::string_view::npos ? kind : BoundaryLine::None;
}

class SpoolAnalysis {
 public:
  SpoolAnalysis(CLPOSTDoc& box, MessageIdObserver* observer, Progress* progress)
      : box_(box), observer_(observer), progress_(progress) {}
  int Run(std::string_view spool_path);
  // Why a write failed; set when Run returned kAnalyseWriteFailed.
  [[nodiscard]] const std::optional<std::string>& write_failure() const { return write_failure_; }
  [[nodiscard]] int dropped_attachments() const { return dropped_attachments_; }

 private:
  enum class Phase { Header, Body };

  void HandleLine(SpoolLine& line);
  void HandleHeaderLine(const SpoolLine& line, bool terminator);
  void StartMessage(std::string_view first_line);
  void EndHeader();
  void FlushHeaderField();
  void HandleBodyLine(SpoolLine& line, bool terminator);
  void EndMessage();
  void ResetMessage();
  void CheckWrites();
  void NoteWriteFailure(const std::string& path, const std::string& reason);
  void ReportProgress(const SpoolLineReader& reader);
  [[nodiscard]] int RollBack();

  bool HandleBoundary(std::string_view line);
  void BeginPart();
  void ClosePart();
  void EndPartHeader();
  void ResetFormat();

  void OpenAttachment(const std::optional<std::string>& name);
  void CloseAttachment(PartEnd end);
  void WriteAttachmentLine(std::string_view bytes, bool line_ends);
  void AttachmentContent(const SpoolLine& line);
  void TextContent(const SpoolLine& line);
  void Utf7Content(std::string_view utf7, bool flush_all);
  void FinishText();
  void DecodeBase64Piece(const SpoolLine& line, std::string& out);

  void WriteText(std::string_view bytes);
  CMail* Record() { return box_.RecordAt(record_index_); }

  CLPOSTDoc& box_;
  MessageIdObserver* observer_;
  OptionalProgress progress_;
  bool cancelled_ = false;
  BufferedFileWriter text_;
  std::optional<AttachmentNamer> namer_;
  int first_new_index_ = 0;
  std::uint64_t text_length_before_ = 0;
  bool box_modified_before_ = false;
  std::vector<int> records_with_cid_;
  std::vector<std::string> created_files_;
  std::optional<std::string> write_failure_;  // the message naming the file
  int dropped_attachments_ = 0;
  bool stop_ = false;

  // The message being read.
  Phase phase_ = Phase::Header;
  std::unique_ptr<CMail> pending_;
  int record_index_ = -1;
  bool pop3_ = false;
  HeaderFieldCollector message_fields_{MessageHeaderFieldNames()};
  std::string header_field_;  // raw lines of the header field being read
  bool has_cid_ = false;
  std::string cid_tail_;
  int attachments_ = 0;

  // Its body.
  bool multipart_ = false;
  std::string boundary_;
  std::vector<std::string> enclosing_;
  bool in_part_header_ = false;
  HeaderFieldCollector part_fields_{PartHeaderFieldNames()};
  TransferEncoding encoding_ = TransferEncoding::None;
  TextCharset charset_ = TextCharset::Other;
  BufferedFileWriter attachment_;
  bool attachment_line_break_pending_ = false;
  bool discard_part_ = false;  // no file could take the part: its bytes go nowhere
  int uuencode_state_ = 0;     // 0 before "begin", 1 decoding, 2 done
  Utf8StreamToSjis utf8_;
  std::string utf7_pending_;
  std::string base64_carry_;
  std::string scratch_;
  std::string converted_;
};

int SpoolAnalysis::Run(std::string_view spool_path) {
  SpoolLineReader reader;
  if (!reader.Open(spool_path)) return 0;
  if (box_.TextFilePath().empty() || !text_.OpenAppend(box_.TextFilePath())) return kAnalyseTextFileFailed;
  box_.content_ids().clear();
  first_new_index_ = box_.Count();
  text_length_before_ = text_.Position();
  box_modified_before_ = box_.IsModified();
  progress_.SetRange(0, KiB(FileSize(spool_path).value_or(0)));

  SpoolLine line;
  int lines_to_report = kProgressLineInterval;
  while (!stop_ && reader.ReadSpoolLine(line)) {
    HandleLine(line);
    CheckWrites();
    if (--lines_to_report == 0) {
      lines_to_report = kProgressLineInterval;
      ReportProgress(reader);
    }
  }
  // A spool cut off inside a body still gives a whole block.
  if (!write_failure_ && !cancelled_ && phase_ == Phase::Body && record_index_ >= 0) EndMessage();
  CloseAttachment(PartEnd::AtMessageEnd);
  if (!text_.Close()) NoteWriteFailure(box_.TextFilePath(), text_.ErrorText());
  if (write_failure_ || cancelled_) return RollBack();

  for (const int index : records_with_cid_) {
    if (index < box_.Count()) ResolveContentIds(box_, index);
  }
  return box_.Count() - first_new_index_;
}

void SpoolAnalysis::HandleLine(SpoolLine& line) {
  // The terminator test comes before the dot-stuffing is removed.
  const bool terminator = line.starts_line && line.text == ".";
  if (!terminator && line.starts_line && pop3_) RemoveDotStuffing(line.text);
  if (phase_ == Phase::Header) {
    HandleHeaderLine(line, terminator);
  } else {
    HandleBodyLine(line, terminator);
  }
}

void SpoolAnalysis::HandleHeaderLine(const SpoolLine& line, bool terminator) {
  if (!pending_) {
    // Blank lines and stray terminators between messages start nothing.
    if (line.text.empty() || terminator) return;
    StartMessage(line.text);
    if (stop_) return;
  }
  // A "." ends a header that had no blank line (a message without body) as
  // well as the message, so the next message is not read as its header.
  if (line.text.empty() || terminator) {
    EndHeader();
    if (terminator) EndMessage();
    return;
  }
  message_fields_.AddLine(line.text);
  // A folded field is decoded as a whole, so that a character split between
  // encoded words on two lines survives in the stored header too.
  if (!IsHeaderContinuation(line.text) || header_field_.empty() ||
      header_field_.size() + line.text.size() > HeaderFieldCollector::kMaxValueBytes) {
    FlushHeaderField();
  } else {
    header_field_ += "\r\n";
  }
  header_field_ += line.text;
}

void SpoolAnalysis::FlushHeaderField() {
  if (header_field_.empty()) return;
  WriteText(DecodeLine(header_field_));
  WriteText("\r\n");
  header_field_.clear();
}

void SpoolAnalysis::StartMessage(std::string_view first_line) {
  if (text_.Position() >= kMaxTextOffset) {
    NoteWriteFailure(box_.TextFilePath(), spool_messages::kTextFileFull);
    return;
  }
  pending_ = std::make_unique<CMail>();
  pending_->status = kStatusUnread;
  pending_->text_start = static_cast<std::uint32_t>(text_.Position());
  pop3_ = first_line.starts_with("+OK");
}

void SpoolAnalysis::EndHeader() {
  FlushHeaderField();
  CMail& mail = *pending_;
  auto decoded = [&](std::string_view name) {
    const std::optional<std::string_view> value = message_fields_.Last(name);
    return value ? DecodeLine(*value) : std::string();
  };
  mail.to = ListFieldText(decoded("To"));
  mail.from = ListFieldText(decoded("From"));
  mail.cc = ListFieldText(decoded("Cc"));
  mail.subject = ListFieldText(decoded("Subject"));
  const std::optional<std::string_view> date = message_fields_.Last("Date");
  AnalysedIdentity identity = IdentityOfHeader(message_fields_.Last("Message-Id"), date);
  if (date) mail.date = identity.date.value_or(static_cast<std::int32_t>(std::time(nullptr)));
  mail.message_id = std::move(identity.message_id);
  if (!RecordFieldText(decoded("Reply-To")).empty()) mail.flags |= kFlagHasReplyTo;

  box_.Add(std::move(pending_));
  record_index_ = box_.Count() - 1;
  if (observer_ != nullptr && !mail.message_id.empty()) observer_->OnMessageIdAnalysed(mail.message_id);
  WriteText("\r\n");
  phase_ = Phase::Body;

  const PartDescription body = DescribePart(message_fields_.fields());
  if (!body.boundary.empty()) {
    multipart_ = true;
    boundary_ = body.boundary;
    return;  // the preamble is plain text
  }
  encoding_ = body.encoding;
  charset_ = body.charset;
  // A single body of a non-text type is a file, never mail text.
  if (!body.text_type) OpenAttachment(body.file_name);
}

void SpoolAnalysis::HandleBodyLine(SpoolLine& line, bool terminator) {
  if (terminator) {
    EndMessage();
    return;
  }
  if (multipart_) {
    if (in_part_header_) {
      if (line.text.empty()) {
        EndPartHeader();
      } else {
        part_fields_.AddLine(line.text);
      }
      return;
    }
    if (line.starts_line && line.text.starts_with("--") && HandleBoundary(line.text)) return;
  }
  if (attachment_.IsOpen() || discard_part_) {
    AttachmentContent(line);
  } else {
    TextContent(line);
  }
}

void SpoolAnalysis::EndMessage() {
  FinishText();
  CloseAttachment(PartEnd::AtMessageEnd);
  // The block's last line ends in CR LF before the terminator, so that
  // nothing of a decoded body falls into the five bytes a reader drops.
  if (!text_.AtLineStart()) WriteText("\r\n");
  WriteText(".\r\n");
  if (CMail* mail = Record()) {
    if (text_.Position() > kMaxTextOffset) {
      // Offsets beyond 32 bits could not be found again. Stopping here
      // would keep the mails before and let the caller delete the spool
      // with the rest: fail the whole analysis instead, the spool stays.
      NoteWriteFailure(box_.TextFilePath(), spool_messages::kTextFileFull);
    } else {
      mail->text_end = static_cast<std::uint32_t>(text_.Position());
      if (has_cid_) records_with_cid_.push_back(record_index_);
    }
  }
  ResetMessage();
}

void SpoolAnalysis::ResetMessage() {
  phase_ = Phase::Header;
  pending_.reset();
  record_index_ = -1;
  pop3_ = false;
  message_fields_.Clear();
  header_field_.clear();
  has_cid_ = false;
  cid_tail_.clear();
  attachments_ = 0;
  multipart_ = false;
  boundary_.clear();
  enclosing_.clear();
  in_part_header_ = false;
  part_fields_.Clear();
  ResetFormat();
}

void SpoolAnalysis::CheckWrites() {
  if (text_.Failed()) NoteWriteFailure(box_.TextFilePath(), text_.ErrorText());
  if (attachment_.Failed()) NoteWriteFailure(attachment_.Path(), attachment_.ErrorText());
}

void SpoolAnalysis::ReportProgress(const SpoolLineReader& reader) {
  progress_.SetPosition(KiB(reader.BytesConsumed()));
  if (progress_.CancelRequested()) {
    cancelled_ = true;
    stop_ = true;
  }
}

void SpoolAnalysis::NoteWriteFailure(const std::string& path, const std::string& reason) {
  stop_ = true;
  if (!write_failure_) write_failure_ = spool_messages::WriteFailedMessage(path, reason);
}

int SpoolAnalysis::RollBack() {
  // The spool stays for the next analysis, so nothing of this one may stay:
  // mails kept now would arrive twice, files kept would be orphans.
  while (box_.Count() > first_new_index_) (void)box_.RemoveAt(box_.Count() - 1);
  box_.SetModified(box_modified_before_);
  box_.content_ids().clear();
  File text;
  if (text.Open(box_.TextFilePath(), File::Mode::ReadWrite)) (void)text.Truncate(text_length_before_);
  for (const std::string& path : created_files_) (void)RemoveFile(path);
  return write_failure_ ? kAnalyseWriteFailed : kAnalyseCancelled;
}

bool SpoolAnalysis::HandleBoundary(std::string_view line) {
  // The current boundary, then the enclosing ones: a container whose
  // closing delimiter is missing ends where its parent goes on.
  std::size_t levels_up = 0;
  BoundaryLine kind = MatchBoundary(line, boundary_);
  while (kind == BoundaryLine::None && levels_up < enclosing_.size()) {
    ++levels_up;
    kind = MatchBoundary(line, enclosing_[enclosing_.size() - levels_up]);
  }
  if (kind == BoundaryLine::None) return false;
  for (std::size_t i = 0; i < levels_up; ++i) {
    boundary_ = std::move(enclosing_.back());
    enclosing_.pop_back();
  }
  if (kind == BoundaryLine::Delimiter) {
    BeginPart();
  } else {
    ClosePart();
  }
  return true;
}

void SpoolAnalysis::BeginPart() {
  FinishText();
  CloseAttachment(PartEnd::AtBoundary);
  ResetFormat();
  in_part_header_ = true;
  part_fields_.Clear();
}

void SpoolAnalysis::ClosePart() {
  FinishText();
  CloseAttachment(PartEnd::AtBoundary);
  ResetFormat();
  if (!enclosing_.empty()) {
    boundary_ = std::move(enclosing_.back());
    enclosing_.pop_back();
  }
}

void SpoolAnalysis::ResetFormat() {
  encoding_ = TransferEncoding::None;
  charset_ = TextCharset::Other;
  uuencode_state_ = 0;
  discard_part_ = false;
  base64_carry_.clear();
}

void SpoolAnalysis::EndPartHeader() {
  in_part_header_ = false;
  const PartDescription part = DescribePart(part_fields_.fields());
  part_fields_.Clear();
  encoding_ = part.encoding;
  charset_ = part.charset;
  uuencode_state_ = 0;
  if (!part.boundary.empty()) {
    // Deeper containers than the bound are read as the text of this part.
    if (enclosing_.size() < kMaxMultipartDepth) {
      enclosing_.push_back(std::move(boundary_));
      boundary_ = part.boundary;
    }
  } else if (part.is_attachment) {
    OpenAttachment(part.file_name);
  }
  if (!part.content_id.empty() && box_.content_ids().size() < kMaxContentIds) {
    box_.content_ids().push_back({part.content_id, attachment_.IsOpen() ? attachment_.Path() : std::string()});
  }
}

void SpoolAnalysis::OpenAttachment(const std::optional<std::string>& name) {
  CMail* mail = Record();
  if (mail == nullptr) {
    discard_part_ = true;
    return;
  }
  if (attachments_ >= kMaxAttachmentsPerMessage) {
    // A mail of thousands of parts would flood the attachment directory:
    // the parts past the limit are not saved, and the text says so.
    discard_part_ = true;
    WriteText(spool_messages::AttachmentDroppedNote(name && !name->empty() ? ShownName(*name)
                                                                            : std::string(kFallbackAttachmentName),
                                                    kMaxAttachmentsPerMessage));
    ++dropped_attachments_;
    return;
  }
  if (!namer_) namer_.emplace(AttachmentDirectory(box_.profile()));
  const std::string requested = name.value_or(std::string());
  std::optional<std::string> usable = requested.empty() ? std::nullopt : SafeAttachmentName(requested);
  // The spool's own name is never given to a saved part.
  if (usable && EqualsIgnoringAsciiCase(*usable, "inbox.log")) usable = std::string(kFallbackAttachmentName);

  File file;
  std::string path;
  if (usable) path = namer_->CreateNewFile(*usable, file);
  if (!path.empty()) {
    WriteText(spool_messages::AttachmentSavedNote(FileNameOf(path)));
  } else {
    WriteText(spool_messages::AttachmentRenamedNote(usable ? *usable : ShownName(requested)));
    path = namer_->CreateNewFile(kFallbackAttachmentName, file);
  }
  if (path.empty()) {
    discard_part_ = true;
    return;
  }
  attachment_.Adopt(std::move(file), 0);
  attachment_line_break_pending_ = false;
  created_files_.push_back(path);
  ++attachments_;
  if (!mail->attachments.empty()) mail->attachments += '\n';
  mail->attachments += path;
}

void SpoolAnalysis::CloseAttachment(PartEnd end) {
  if (!attachment_.IsOpen()) return;
  if (end == PartEnd::AtMessageEnd && attachment_line_break_pending_) attachment_.Write("\r\n");
  attachment_line_break_pending_ = false;
  const std::string path = attachment_.Path();
  if (!attachment_.Close()) NoteWriteFailure(path, attachment_.ErrorText());
}

void SpoolAnalysis::WriteAttachmentLine(std::string_view bytes, bool line_ends) {
  // A line's break is written when the next line comes: the last one may
  // belong to a delimiter.
  if (attachment_line_break_pending_) attachment_.Write("\r\n");
  attachment_.Write(bytes);
  attachment_line_break_pending_ = line_ends;
}

void SpoolAnalysis::DecodeBase64Piece(const SpoolLine& line, std::string& out) {
  std::string_view text = line.text;
  std::string joined;
  if (!base64_carry_.empty()) {
    joined = base64_carry_ + line.text;
    base64_carry_.clear();
    text = joined;
  }
  // A piece of a long line may end inside a group of four characters; the
  // rest of the group comes with the next piece.
  if (line.continues) {
    const std::size_t keep = text.size() % 4;
    base64_carry_.assign(text.substr(text.size() - keep));
    text.remove_suffix(keep);
  }
  Base64DecodeAppend(text, out);
}

void SpoolAnalysis::AttachmentContent(const SpoolLine& line) {
  if (discard_part_ || !attachment_.IsOpen()) return;
  switch (encoding_) {
    case TransferEncoding::Base64:
      attachment_.AppendWith([&](std::string& out) { DecodeBase64Piece(line, out); });
      return;
    case TransferEncoding::QuotedPrintable:
      WriteAttachmentLine(QuotedPrintableDecode(line.text), !EndsInSoftBreak(line.text));
      return;
    case TransferEncoding::Uuencode:
      if (uuencode_state_ == 0) {
        if (FindIgnoringAsciiCase(line.text, "begin") != std::string::npos) uuencode_state_ = 1;
      } else if (uuencode_state_ == 1) {
        if (!attachment_.Flush()) return;
        const int decoded = UudecodeLineToFile(line.text, attachment_.file());
        if (decoded == kUudecodeWriteFailed) attachment_.Fail();
        if (decoded == kUudecodeEndLine) uuencode_state_ = 2;
      }
      return;
    case TransferEncoding::None:
      // A long line cut into pieces is one line of the file.
      WriteAttachmentLine(line.text, !line.continues);
      return;
  }
}

void SpoolAnalysis::TextContent(const SpoolLine& line) {
  converted_.clear();
  if (encoding_ == TransferEncoding::Base64) {
    scratch_.clear();
    DecodeBase64Piece(line, scratch_);
    if (charset_ == TextCharset::Utf8) {
      // The decoded text carries its own line breaks.
      utf8_.Convert(scratch_, converted_);
      WriteText(converted_);
    } else if (charset_ == TextCharset::Utf7) {
      Utf7Content(scratch_, false);
    } else {
      WriteText(scratch_);  // stored as sent; the display converts JIS and EUC-JP
    }
    return;
  }
  if (encoding_ == TransferEncoding::QuotedPrintable) {
    const bool soft = EndsInSoftBreak(line.text);
    const std::string decoded = QuotedPrintableDecode(line.text);
    if (charset_ == TextCharset::Utf8) {
      utf8_.Convert(decoded, converted_);
      if (!soft) utf8_.Finish(converted_);
      WriteText(converted_);
    } else {
      WriteText(decoded);
    }
    if (!soft) WriteText("\r\n");
    return;
  }
  if (charset_ == TextCharset::Utf8) {
    utf8_.Convert(line.text, converted_);
    if (!line.continues) utf8_.Finish(converted_);
    WriteText(converted_);
  } else if (charset_ == TextCharset::Utf7) {
    WriteText(Utf7ToSjis(line.text));
  } else {
    WriteText(ConvertTextLine(line.text, charset_));
  }
  WriteText("\r\n");
}

void SpoolAnalysis::Utf7Content(std::string_view utf7, bool flush_all) {
  utf7_pending_.append(utf7);
  // A shifted run never goes past a line break, so text up to the last one
  // converts on its own.
  std::size_t end = flush_all || utf7_pending_.size() > kMaxUtf7Pending ? utf7_pending_.size()
                                                                          : utf7_pending_.rfind('\n');
  if (end == std::string::npos) return;
  if (end < utf7_pending_.size()) ++end;
  WriteText(Utf7ToSjis(std::string_view(utf7_pending_).substr(0, end)));
  utf7_pending_.erase(0, end);
}

void SpoolAnalysis::FinishText() {
  converted_.clear();
  utf8_.Finish(converted_);
  WriteText(converted_);
  if (!utf7_pending_.empty()) Utf7Content({}, true);
}

void SpoolAnalysis::WriteText(std::string_view bytes) {
  if (bytes.empty()) return;
  text_.Write(bytes);
  if (has_cid_) return;
  // Remember whether the block refers to a Content-ID, across writes.
  const std::string joined = cid_tail_ + std::string(bytes.substr(0, 3));
  if (joined.find("cid:") != std::string::npos || bytes.find("cid:") != std::string_view::npos) {
    has_cid_ = true;
    return;
  }
  const std::string_view last = bytes.size() >= 3 ? bytes.substr(bytes.size() - 3) : bytes;
  cid_tail_ = (cid_tail_ + std::string(last));
  if (cid_tail_.size() > 3) cid_tail_.erase(0, cid_tail_.size() - 3);
}

}  // namespace

AnalysedIdentity IdentityOfHeader(std::optional<std::string_view> message_id_value,
                                  std::optional<std::string_view> date_value) {
  AnalysedIdentity identity;
  if (message_id_value) identity.message_id = RecordFieldText(DecodeLine(*message_id_value));
  if (date_value) {
    if (const std::optional<std::time_t> parsed = TryParseDateHeader(DecodeLine("Date:" + std::string(*date_value)))) {
      identity.date = static_cast<std::int32_t>(*parsed);
    }
  }
  return identity;
}

int AnalyseSpool(CLPOSTDoc& box, std::string_view spool_path, MessageIdObserver* message_ids) {
  SpoolAnalysisResult result = AnalyseSpoolWithProgress(box, spool_path, nullptr, message_ids);
  if (!result.message.empty()) box.ui().ShowMessage(result.message);
  return result.count;
}

SpoolAnalysisResult AnalyseSpoolWithProgress(CLPOSTDoc& box, std::string_view spool_path, Progress* progress,
                                             MessageIdObserver* message_ids) {
  SpoolAnalysis analysis(box, message_ids, progress);
  SpoolAnalysisResult result;
  result.count = analysis.Run(spool_path);
  if (analysis.write_failure()) result.message = *analysis.write_failure();
  if (result.count > 0) result.dropped_attachments = analysis.dropped_attachments();
  return result;
}

}  // namespace lp
