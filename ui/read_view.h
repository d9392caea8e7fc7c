#pragma once

#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "config/profile.h"
#include "platform/file_opener.h"
#include "platform/user_interface.h"
#include "store/held_mail.h"
#include "store/open_box_registry.h"
#include "ui/mail_editor.h"

class QToolBar;

// The read window: one stored mail in the read-only mail editor, with its
// attachments one click away (open one, choose among several, save them
// all into a folder), web and "mailto:" links, "シフトJIS化" and quoted
// copy. The mail's text, subject and attachment list are taken when the
// window opens; later changes of the box do not move it to another mail.

namespace lp {

// What the read window asks of its surroundings; tests give their own.
struct ReadViewServices {
  FileOpener* opener = nullptr;   // attachments
  UserInterface* ui = nullptr;    // messages
  // The attachment to open among several (an index into the list), or
  // nullopt when the user cancels. Empty: a dialog.
  std::function<std::optional<int>(const QStringList& names)> choose_attachment;
  // The folder for "save all", or an empty string when the user cancels.
  // Empty: a folder dialog.
  std::function<QString()> choose_folder;
  // A web address to open.
  std::function<void(const QString& address)> open_address;
};

class ReadView final : public QWidget {
  Q_OBJECT

 public:
  // Shows record `index` of the held box; the settings give the font
  // ("EFont"), wrapping ([System] Wrap, [View] Turn), double-click opening
  // ([System] Url) and the quote mark ([System] ReplyMark).
  ReadView(BoxHandle box, int index, Profile& profile, ReadViewServices services, QWidget* parent = nullptr);

  [[nodiscard]] MailEditor& editor() { return *editor_; }
  [[nodiscard]] CLPOSTDoc& box() { return *mail_.box(); }
  // The mail shown, by its identity (no serial when the index named no mail).
  [[nodiscard]] const HeldMail& mail() const { return mail_; }
  [[nodiscard]] const QString& title() const { return title_; }
  [[nodiscard]] const std::vector<std::string>& attachments() const { return attachments_; }
  [[nodiscard]] bool HasAttachments() const { return !attachments_.empty(); }
  // A long text reaches the editor in parts after the window opened.
  [[nodiscard]] bool FullyLoaded() const { return pending_text_.isEmpty(); }
  // Puts the rest of a long text into the editor now.
  void LoadWholeText();
  // The characters shown at once, and in each later part (whole lines).
  static constexpr qsizetype kFirstPartChars = 128 * 1024;

  // "添付ファイルを開く": the one attachment, or the one chosen among several.
  void OpenAttachment();
  // Copies every attachment into a chosen folder (never replacing a file).
  void SaveAllAttachments();
  // "シフトJIS化": the selected lines decoded again.
  void RedecodeSelection();
  // "引用符付きコピー": the selection, each line quoted, to the clipboard.
  void CopyQuoted();
  // The font dialog, starting from the editor's font.
  void ChooseFont();
  // Shows the mail's source as stored (the HTML of an HTML mail) instead
  // of its readable text, or the readable text again.
  void ShowSource(bool source);
  [[nodiscard]] bool ShowingSource() const { return showing_source_; }
  // The text the browser view builds its page from (Shift_JIS): the
  // mail's source, whichever form the window shows; while the source is
  // shown, as the editor holds it (a re-decoded selection included).
  [[nodiscard]] std::string BrowserText();

 signals:
  // A command for the main window (keys of the key table, Enter/Escape
  // closing the window, "mailto:" links, reply and forward).
  void commandRequested(int command);

 private:
  void OpenLink(const QString& address);
  void ShowText(QString text);
  void ShowNextPart();
  void FinishLoading();
  QToolBar* BuildToolBar();

  HeldMail mail_;
  Profile& profile_;
  ReadViewServices services_;
  MailEditor* editor_;
  QString title_;
  std::vector<std::string> attachments_;
  bool showing_source_ = false;
  QString pending_text_;  // the text not yet in the editor, from pending_offset_
  qsizetype pending_offset_ = 0;
  QTimer loader_;
};

// The file and address opening of a reading view (also the preview's): a
// "mailto:" link is stored as [System] mailto and handed to the main window
// as command 32949; a web address goes to `open_address`.
void OpenMailLink(const QString& address, Profile& profile, const std::function<void(int)>& post_command,
                  const std::function<void(const QString&)>& open_address);

}  // namespace lp
