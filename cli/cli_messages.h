#pragma once

// Texts of the command line's own messages (those of the store, the codec
// and the network come from their subsystems in Shift_JIS).

namespace lp::cli_messages {

// printf formats; the first %s is the data directory.
inline constexpr char kDataDirectoryBusy[] =
    "lanternpost-cli: the data directory %s is in use by %s; gave up after %d seconds\n";
inline constexpr char kDataDirectoryBusyHolderUnknown[] = "another program";
inline constexpr char kDataDirectoryLockFailed[] = "lanternpost-cli: cannot lock the data directory %s: %s\n";
inline constexpr char kDataDirectoryUnusable[] = "lanternpost-cli: cannot use the data directory: %s\n";
// The command's name.
inline constexpr char kHandedOverToDesktop[] =
    "lanternpost-cli: %s handed over to the running Lanternpost desktop application\n";

}  // namespace lp::cli_messages
