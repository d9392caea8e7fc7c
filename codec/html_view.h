#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "codec/codec_messages.h"
#include "config/profile.h"
#include "platform/file_opener.h"
#include "platform/question_guard.h"
#include "platform/user_interface.h"
#include "store/mailbox_document.h"

// The browser view of a mail: the page "lpost.html" in the attachment
// directory, written from a stored mail (or from the text a read window
// shows), with the warnings about HTML mail, scripts and IFRAME tags.

namespace lp {

inline constexpr char kHtmlViewFileName[] = "lpost.html";

// "lpost.html" in the attachment directory: [System] AttachDir (default
// "Attach"), a relative directory taken against the current directory.
[[nodiscard]] std::string HtmlViewPath(const Profile& profile);

// Whoever waits for the answers about a browser page: the window that
// asked, and the page itself. Every page is the same file, so the
// application keeps one page guard for all its windows, and writing a page
// withdraws the questions about the page it replaces.
struct HtmlViewQuestions {
  QuestionGuard& window;
  QuestionGuard& page;
};

// Told once whether the page may be opened.
using HtmlViewDecided = std::function<void(bool may_open)>;
// Told once whether the page went to the browser.
using HtmlViewShown = std::function<void(bool opened)>;

// Writes the page for record `index` of `box` and then decides whether it
// may be opened: not when it could not be written, when the text file could
// not be read, or when the user declined a warning or the IFRAME rule
// refused (the page then stays written). The warnings are asked without
// blocking (box.ui().AskLater); `decided` is called at once when nothing
// needs asking or the UI answers at once, else when the last answer comes,
// and never after either guard is gone or a newer page was written. Messages go
// to box.ui().
void WriteHtmlView(CLPOSTDoc& box, int index, HtmlViewQuestions questions, HtmlViewDecided decided);

// The mail's display text holds "<HTML>", "</HTML>", "<IFRAME" and
// "</IFRAME>" (ASCII case ignored); the receive side sets such mail aside.
[[nodiscard]] bool HasHtmlIframe(CLPOSTDoc& box, int index);

// The page for the text a read window shows: its own HTML when it holds an
// HTML element (with the warnings), else every shown line in a PRE block
// titled `subject`. Decided as WriteHtmlView.
void WriteHtmlViewOfText(Profile& profile, UserInterface& ui, std::string_view shown_text, std::string_view subject,
                         HtmlViewQuestions questions, HtmlViewDecided decided);

// The browse command on a mail: writes the page; once it may be opened,
// the mail (found again by its serial: the list may have changed
// meanwhile) becomes read when it was unread (the box is marked modified
// and its unread mark updated; the caller refreshes its views) and the page
// goes to `opener`. The window guard belongs to the caller and must not outlive
// `box` or `opener`.
void ShowMailInBrowser(CLPOSTDoc& box, int index, FileOpener& opener, HtmlViewQuestions questions,
                       HtmlViewShown shown = {});

// The browse command of a read window, on the text it shows.
void ShowTextInBrowser(Profile& profile, UserInterface& ui, std::string_view shown_text, std::string_view subject,
                       FileOpener& opener, HtmlViewQuestions questions, HtmlViewShown shown = {});

}  // namespace lp
