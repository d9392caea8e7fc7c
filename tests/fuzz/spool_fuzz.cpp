// Fuzz target: any bytes as a spool for AnalyseSpool, and as input to the
// decoders it uses. Every record made must point at a text block and show.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "codec/encoded_words.h"
#include "codec/mime_encoding.h"
#include "codec/mime_parameters.h"
#include "codec/spool_analyser.h"
#include "codec/utf8_stream.h"
#include "platform/file_system.h"
#include "tests/support/recording_user_interface.h"
#include "tests/fuzz/fuzz_workplace.h"

namespace {

// The attachment directory is set by absolute path: the analysis would
// otherwise put it below the working directory.
const lp::fuzz::Workplace& SpoolWorkplace() {
  static const lp::fuzz::Workplace workplace;
  static const bool configured =
      lp::Profile(workplace.Path("lpost.conf")).WriteString("System", "AttachDir", workplace.Path("Attach"));
  if (!configured) std::abort();
  return workplace;
}

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
  const lp::fuzz::Workplace& workplace = SpoolWorkplace();
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  FuzzDecoders(bytes);

  workplace.Remove("Attach");
  workplace.Remove("box.mb");
  if (!workplace.WriteFile("inbox.log", bytes) || !workplace.WriteFile("box.lp", "")) return 0;
  lp::Profile profile(workplace.Path("lpost.conf"));
  lp::RecordingUserInterface ui;
  lp::NullCommandObserver commands;
  lp::CLPOSTDoc box(profile, ui, commands);
  if (!box.Open(workplace.Path("box.lp")).ok) return 0;
  const int count = lp::AnalyseSpool(box, workplace.Path("inbox.log"));
  if (count < 0 || count != box.Count()) std::abort();
  for (int i = 0; i < box.Count(); ++i) {
    const lp::CMail* mail = box.RecordAt(i);
    if (mail->text_end <= mail->text_start) std::abort();
    (void)box.DisplayText(i, lp::HeaderMode::All, 0).text;
  }
  return 0;
}
