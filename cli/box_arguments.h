#pragma once

#include <memory>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "platform/command_observer.h"
#include "store/mailbox_document.h"
#include "store/open_box_registry.h"

// Helpers shared by the commands that work on one box.

namespace lp {

// An open box with the services it was opened with, held in the registry
// of this process as a mailbox window would hold it.
struct OpenedBox {
  OpenedBox(Profile& profile, UserInterface& ui) : registry(profile, ui, commands) {}
  NullCommandObserver commands;
  OpenBoxRegistry registry;
  BoxHandle doc;
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

// Closes the box as its last window would: compaction when wanted, then a
// save when changed. Shows the reason and returns false when it fails.
[[nodiscard]] bool CloseBoxForCommand(CommandContext& context, OpenedBox& box);

// Parses a non-negative decimal number; nullopt for anything else.
[[nodiscard]] std::optional<long> ParseNonNegative(const std::string& text);

}  // namespace lp
