// Fuzz target for the import of another program's mail: any bytes as an
// mbox file, imported twice into the same folder of boxes. The first run
// stores what it reports; the second adds nothing (every message is
// found again, whatever its header holds) and reads the same messages as
// unreadable.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "config/profile.h"
#include "platform/command_observer.h"
#include "store/mail_import.h"
#include "store/mailbox_document.h"
#include "tests/fuzz/fuzz_workplace.h"
#include "tests/support/recording_user_interface.h"

namespace {

// Names the broken promise before stopping, so that a crash says which.
void Check(bool condition, const char* promise) {
  if (condition) return;
  std::fprintf(stderr, "mail_import_fuzz: %s\n", promise);
  std::abort();
}

// The attachment directory is set by absolute path: the analysis would
// otherwise put it below the working directory.
const lp::fuzz::Workplace& ImportWorkplace() {
  static const lp::fuzz::Workplace workplace;
  static const bool configured =
      lp::Profile(workplace.Path("lpost.conf")).WriteString("System", "AttachDir", workplace.Path("Attach"));
  if (!configured) std::abort();
  return workplace;
}

int RecordsOf(lp::Profile& profile, const std::string& box_path) {
  lp::RecordingUserInterface ui;
  lp::NullCommandObserver commands;
  lp::CLPOSTDoc box(profile, ui, commands);
  Check(box.Open(box_path).ok, "the box written opens");
  return box.Count();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const lp::fuzz::Workplace& workplace = ImportWorkplace();
  workplace.Remove("Attach");
  workplace.Remove("Imported.lp");
  if (!workplace.WriteFile("Inbox", std::string_view(reinterpret_cast<const char*>(data), size))) return 0;

  lp::Profile profile(workplace.Path("lpost.conf"));
  lp::RecordingUserInterface ui;
  lp::MailImportRequest request;
  request.native_source = workplace.Path("Inbox");
  request.destination = workplace.Path("Imported.lp");
  request.work_spool = workplace.Path("import.$$$");

  const lp::MailImportReport first = lp::ImportMail(request, profile, ui, nullptr);
  if (first.boxes.empty()) return 0;  // not an mbox
  Check(first.failure.empty(), "a first import into a new box does not fail");
  Check(first.boxes.size() == 1, "one mbox fills one box");
  const int stored = RecordsOf(profile, first.boxes[0].box_path);
  Check(stored == first.imported, "the box holds what the report counts");

  const lp::MailImportReport second = lp::ImportMail(request, profile, ui, nullptr);
  Check(second.failure.empty() && second.boxes.size() == 1, "the second import runs as the first");
  Check(second.imported == 0, "an mbox imported twice adds nothing the second time");
  Check(second.unreadable == first.unreadable, "the same messages are unreadable both times");
  Check(RecordsOf(profile, second.boxes[0].box_path) == stored, "the box holds what it held");
  return 0;
}
