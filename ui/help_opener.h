#pragma once

#include <QString>

#include "platform/file_opener.h"
#include "platform/user_interface.h"

// The user manual (HTML) in the desktop's browser. It is found relative to
// the program, so the build tree's copy serves a program run from the build
// and the installed one serves an installed program, under any prefix.

namespace lp {

// What the user is looking at when asking for help; each has its page.
enum class HelpTopic { Contents, Keywords, MailManager, Mailbox, Reading, Compose };

// The manual's file name (with an anchor where the topic is a section).
[[nodiscard]] QString HelpPageOf(HelpTopic topic);

// The directory holding the manual's "index.html": $LANTERNPOST_MANUAL_DIR
// when set, else the build tree's "manual/html" beside the program's
// directory, else the installed "share/doc/lanternpost/manual" of the
// program's prefix. The installed place when none has it.
[[nodiscard]] QString FindManualDirectory(const QString& program_directory);

// Opens the topic's page with the desktop's browser; when the manual is
// missing, says so with its path ("ヘルプファイルがありません：%s").
bool OpenHelp(HelpTopic topic, const QString& program_directory, FileOpener& opener, UserInterface& ui);

}  // namespace lp
