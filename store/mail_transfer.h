#pragma once

#include <span>
#include <string>
#include <string_view>

#include "platform/user_interface.h"
#include "store/mail_record.h"
#include "store/mailbox_document.h"
#include "store/open_box_registry.h"
#include "store/write_steps.h"

// Moving and copying mail between boxes and taking over mail from other box
// files. Texts always reach the destination's text file first, are flushed
// to the disk, and only then does an index that points at them get written
// (atomically): a crash leaves unreferenced bytes at worst. A move removes
// its records from the source only after the destination index is on disk,
// so a crash can duplicate a mail but never lose one.

namespace lp {

struct TransferOptions {
  Progress* progress = nullptr;  // advanced per mail when given
  WriteStepHook steps;
  // When the destination is open here, the copies join its document (its
  // views hear of the new rows) instead of a copy loaded from the disk, so
  // no other box is saved or loaded again.
  OpenBoxRegistry* registry = nullptr;
};

// Copies the text of each record (records of `source`, in order) to the end
// of the box at `destination` and appends copies of the records to its
// index, which is written once for the whole batch. Returns how many of the
// records, from the first on, were copied: a file error stops the copy
// there (its text is shown). Writes "Read" = 1 for the destination when a
// copied record is unread, and updates the source's unread mark. A
// destination open in `options.registry` takes the copies into its open
// document (refused while a job holds it busy); one that is open without
// the registry being given would later save over the copies.
std::size_t CopyRecordsTo(CLPOSTDoc& source, std::span<const CMail* const> records,
                          std::string_view destination, const TransferOptions& options = {});
// One record; the auto-sort rules use this.
bool CopyRecordTo(CLPOSTDoc& source, const CMail& record, std::string_view destination);

// Moves the selected records (ascending indexes) to the box at
// `destination`: the records are copied (into the destination's open
// document when it is open), then the copied records leave this box, whose
// views hear of each removed row, and the box is saved. Attachment files stay. Returns the number of mails moved. Moving
// into the box itself does nothing.
std::size_t MoveTo(CLPOSTDoc& box, std::span<const int> selection, std::string_view destination,
                   OpenBoxRegistry& registry, const TransferOptions& options = {});

// Appends the texts of `records` (pointing into `source_text_path`) and
// copies of the records to this box, then flushes the text and saves the
// index, so that the giver may drop them afterwards. False when a file
// cannot be opened (nothing changes) or a seek fails (shown).
bool AppendFrom(CLPOSTDoc& box, std::span<const CMail* const> records, std::string_view source_text_path,
                const WriteStepHook& steps = {});

// Takes over the mails of another box file, skipping each one this box
// already holds (same date and byte-equal To, From, Subject, Cc, Bcc,
// Message-Id and Attachments). Marks the box modified; false with a message
// when a file cannot be opened.
bool ImportBoxFile(CLPOSTDoc& box, std::string_view index_path);
// Asks for the box file ("取り込むメールボックス") and imports it; false when
// the user cancelled or the import failed.
bool ImportBoxFileCommand(CLPOSTDoc& box);
// Imports every "*.lp" file of the folder into the box, searching entries
// named "*.lp" that are directories the same way. Returns the number of box
// files imported.
int ImportBoxFolder(CLPOSTDoc& box, std::string_view folder);

}  // namespace lp
