// Fuzz target: any bytes as a mailbox index ("*.lp") with, after the marker
// kTextFileMarker, the bytes of its text file ("*.mb"). A box that does not
// load stays as it was; one that loads shows every mail, saves, and loads
// back from its own file with every field unchanged.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "platform/command_observer.h"
#include "tests/support/recording_user_interface.h"
#include "store/mailbox_document.h"
#include "tests/fuzz/fuzz_workplace.h"

namespace {

constexpr std::string_view kTextFileMarker = "\n--lp.mb--\n";

bool SameRecord(const lp::CMail& a, const lp::CMail& b) {
  return a.to == b.to && a.from == b.from && a.subject == b.subject && a.date == b.date && a.cc == b.cc &&
         a.bcc == b.bcc && a.message_id == b.message_id && a.attachments == b.attachments &&
         a.status == b.status && a.signature == b.signature && a.flags == b.flags && a.label == b.label &&
         a.text_start == b.text_start && a.text_end == b.text_end;
}

// Everything a box needs besides its files.
struct BoxContext {
  explicit BoxContext(const lp::fuzz::Workplace& workplace) : profile(workplace.Path("lpost.conf")) {}
  lp::Profile profile;
  lp::RecordingUserInterface ui;
  lp::NullCommandObserver commands;
};

// A box of one mail, saved once: the document a failed load must leave alone.
const std::string& GoodIndexPath(const lp::fuzz::Workplace& workplace) {
  static const std::string path = [&workplace] {
    BoxContext context(workplace);
    lp::CLPOSTDoc box(context.profile, context.ui, context.commands);
    auto mail = std::make_unique<lp::CMail>();
    mail->subject = "kept";
    box.Add(std::move(mail));
    const std::string good = workplace.Path("good.lp");
    if (!box.Save(good).ok) std::abort();
    return good;
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const lp::fuzz::Workplace workplace;
  const std::string& good_path = GoodIndexPath(workplace);
  std::string_view index(reinterpret_cast<const char*>(data), size);
  std::string_view text;
  if (const std::size_t marker = index.find(kTextFileMarker); marker != std::string_view::npos) {
    text = index.substr(marker + kTextFileMarker.size());
    index = index.substr(0, marker);
  }
  if (!workplace.WriteFile("box.lp", index) || !workplace.WriteFile("box.mb", text)) return 0;

  BoxContext context(workplace);
  lp::CLPOSTDoc box(context.profile, context.ui, context.commands);
  if (!box.Open(good_path).ok) std::abort();
  const lp::IndexFileResult loaded = box.Open(workplace.Path("box.lp"));
  if (!loaded.ok) {
    if (loaded.message.empty() || box.Count() != 1 || box.PathName() != good_path) std::abort();
    return 0;
  }
  for (int i = 0; i < box.Count(); ++i) {
    (void)box.DisplayText(i, lp::HeaderMode::All, 0).text;
    (void)box.DisplayText(i, lp::HeaderMode::FromSetting, 3).text;
  }

  if (!box.Save(workplace.Path("saved.lp")).ok) return 0;
  lp::CLPOSTDoc reloaded(context.profile, context.ui, context.commands);
  if (!reloaded.Open(workplace.Path("saved.lp")).ok || reloaded.Count() != box.Count()) std::abort();
  for (int i = 0; i < box.Count(); ++i) {
    if (!SameRecord(*box.RecordAt(i), *reloaded.RecordAt(i))) std::abort();
  }
  return 0;
}
