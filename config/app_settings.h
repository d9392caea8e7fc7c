#pragma once

#include <array>
#include <string>

#include "config/config_messages.h"
#include "config/profile.h"

// The settings the application object keeps in memory, loaded from
// "lpost.conf" at start, and the boxes and directories they name. All
// strings are Shift_JIS; relative paths resolve against the data directory,
// which is the working directory.

namespace lp {

// Path of "lpost.conf" in the current directory. An older "lpost.ini" there
// is renamed to "lpost.conf" unless that file already exists (then the
// ini file stays and the conf file is used).
[[nodiscard]] std::string LocateSettingsFile();

// One entry of the label table; entry 0 is "no label" and never stored.
struct Label {
  std::string name;
  int color = 0;  // blue * 65536 + green * 256 + red
};

inline constexpr int kLabelCount = 10;

// The colours of labels 1 to 10 until the user sets them: ten distinct hues
// of middle lightness, each readable on a light and on a dark background.
inline constexpr std::array<int, kLabelCount> kDefaultLabelColours = {
    0x3636E0,  // red
    0x006AD0,  // orange
    0x008AA0,  // olive
    0x3A9A2E,  // green
    0x8A9500,  // teal
    0xE07A3A,  // blue
    0xE86A78,  // indigo
    0xC850B0,  // purple
    0x8C40D8,  // pink
    0x4070A8,  // brown
};

class AppSettings {
 public:
  // [System] box files.
  std::string default_file;    // DefaultFile: the inbox
  std::string send_file;       // SendFile: mail waiting to be sent
  std::string send_done_file;  // SendDoneFile: the sent box
  std::string trash_file;      // TrashFile
  std::string draft_file;      // DraftFile
  // [System] directories and the text-export settings file.
  std::string upload_dir;         // UploadDir
  std::string attach_dir;         // AttachDir
  std::string template_dir;       // TemplateDir
  std::string text_out_set_name;  // TextOutSetName
  // [System] flags.
  bool auto_indent = true;      // AutoIndent
  bool diamond_cursor = false;  // DiamondCursor
  bool ime = false;             // Ime
  bool draft = true;            // Draft: use the draft box
  bool smail_done = false;      // SmailDone: keep sent mail in the sent box
  bool trash = true;            // Trash: deleted mail goes to the trash box
  // Index 0 is "no label"; 1 to 10 come from [Label] ColorNN and [Mail] LabelN.
  std::array<Label, kLabelCount + 1> labels{};
  // [Settings] ShowCmd and [Settings2] ShowCmd2 as the windows leave them;
  // written back only when they differ from their values at start.
  int show_cmd = 1;
  int show_cmd2 = 1;

  // Reads every field. The inbox and send box are created empty right
  // away when they cannot be opened for reading.
  void Load(const Profile& profile);

  // Creates the sent, trash and draft boxes when their flags are on and
  // the upload, attachment and template directories; failures are
  // ignored. Runs at start and after the settings dialog's OK, from the
  // fields in memory (the profile is not read).
  void CreateBoxesAndDirectories(const Profile& profile) const;

  // There is no older settings location on this platform: only marks the
  // transfer as done ([System] IniTransfer=1).
  void RunOneTimeTransfer(Profile& profile) const;

  // At exit: labels 1 to 10, and the show states that changed since Load.
  // False when the file could not be written.
  bool WriteBack(Profile& profile) const;

 private:
  int show_cmd_at_start_ = 1;
  int show_cmd2_at_start_ = 1;
};

}  // namespace lp
