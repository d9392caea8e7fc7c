#pragma once

#include <memory>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "platform/command_observer.h"
#include "store/mailbox_document.h"

// Helpers shared by the commands that work on one box.

namespace lp {

// An open box with the services it was opened with.
struct OpenedBox {
  NullCommandObserver commands;
  std::unique_ptr<CLPOSTDoc> doc;
};

// Opens BOX (a UTF-8 index path relative to the data directory), or the
// receive box when `box_utf8` is empty. Shows the reason and returns
// nullptr on failure.
[[nodiscard]] std::unique_ptr<OpenedBox> OpenBoxForCommand(CommandContext& context,
                                                           const std::string& box_utf8);

// A mail index given on the command line; nullopt (with a message shown)
// when it is not a number naming a record of the box.
[[nodiscard]] std::optional<int> ParseMailIndex(CommandContext& context, const std::string& text,
                                                const CLPOSTDoc& doc);

// Saves a changed box to its own path; shows the reason and returns false
// when it cannot be written.
[[nodiscard]] bool SaveBoxForCommand(CommandContext& context, CLPOSTDoc& doc);

// Parses a non-negative decimal number; nullopt for anything else.
[[nodiscard]] std::optional<long> ParseNonNegative(const std::string& text);

}  // namespace lp
