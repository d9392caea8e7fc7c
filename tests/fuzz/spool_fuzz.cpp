// libFuzzer target: any bytes as a spool for AnalyseSpool, and as input to
// the decoders it uses. Built with clang only; run by hand, for example
//   spool_fuzz -max_len=65536 -timeout=10 corpus/

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "codec/encoded_words.h"
#include "codec/mime_encoding.h"
#include "codec/mime_parameters.h"
#include "codec/spool_analyser.h"
#include "codec/utf8_stream.h"
#include "platform/file_system.h"
#include "platform/recording_user_interface.h"

namespace {

struct Workplace {
  Workplace() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lanternpost-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    std::filesystem::current_path(pattern);
  }
};

void FuzzDecoders(std::string_view text) {
  (void)lp::QuotedPrintableDecode(text);
  (void)lp::Base64DecodeBytes(text);
  (void)lp::DecodeEncodedWords(text);
  (void)lp::ExtractBoundary(text);
  (void)lp::ExtractParameter(text, "charset");
  (void)lp::FileNameParameter(text, "name", false);
  (void)lp::FileNameParameter(text, "filename", true);
  lp::Utf8StreamToSjis stream;
  std::string out;
  stream.Convert(text.substr(0, text.size() / 2), out);
  stream.Convert(text.substr(text.size() / 2), out);
  stream.Finish(out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Workplace workplace;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  FuzzDecoders(bytes);

  std::error_code ignored;
  std::filesystem::remove_all("Attach", ignored);
  std::filesystem::remove("box.mb", ignored);
  {
    lp::File spool;
    if (!spool.Open("inbox.log", lp::File::Mode::Write) || !spool.Write(bytes)) return 0;
  }
  if (!lp::CreateEmptyFileIfMissing("box.lp")) return 0;
  lp::Profile profile("lpost.conf");
  lp::RecordingUserInterface ui;
  lp::NullCommandObserver commands;
  lp::CLPOSTDoc box(profile, ui, commands);
  if (!box.Open("box.lp").ok) return 0;
  const int count = lp::AnalyseSpool(box, "inbox.log");
  if (count < 0 || count != box.Count()) std::abort();
  for (int i = 0; i < box.Count(); ++i) {
    const lp::CMail* mail = box.RecordAt(i);
    if (mail->text_end <= mail->text_start) std::abort();
    (void)box.DisplayText(i, lp::HeaderMode::All, 0);
  }
  return 0;
}
