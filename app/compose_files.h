#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/compose_form.h"
#include "config/profile.h"
#include "platform/user_interface.h"

// The compose window's file commands on a form: apply a template, save the
// form as a template, read a text file to insert at the caret. Paths are
// Shift_JIS; failures are shown through the user interface and leave the
// form and the files as they were.

namespace lp {

// Applies the template file at `path`: with [System] Template on, asks
// first ("題名と本文を <file name>のファイル名と内容にします"). Sets the
// subject, the fields the template names and the body. False when the user
// declines or the file cannot be read ("ファイルが開けません").
bool ApplyTemplateFile(const Profile& profile, UserInterface& ui, std::string_view path, ComposeForm& form);

// Writes the form as a template file, replacing `path` whole only once the
// new content is on the disk. False after "ファイルが開けません" when it
// cannot be written.
bool SaveTemplateFile(UserInterface& ui, std::string_view path, const ComposeForm& form);

// The text of the file at `path` as it is inserted at the caret; nullopt
// after "ファイルが見つかりません" when it cannot be read.
[[nodiscard]] std::optional<std::string> ReadFileForInsertion(UserInterface& ui, std::string_view path);

}  // namespace lp
