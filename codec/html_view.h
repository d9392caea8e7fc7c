#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "config/profile.h"
#include "platform/file_opener.h"
#include "platform/question_guard.h"
#include "platform/user_interface.h"
#include "store/mailbox_document.h"

// The browser view of a mail: the page "lpost.html" in the attachment
// directory, written from a stored mail (or from the text a read window
// shows), with the warnings about HTML mail, scripts and IFRAME tags.

namespace lp {

namespace html_view_messages {
// "ファイルに書き込めません"
inline constexpr char kCannotWrite[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xC9\x8F\x91\x82\xAB\x8D\x9E\x82\xDF\x82\xDC\x82\xB9\x82\xF1";
// "HTMLメールです。HTMLメールにはウイルスを含むなど有害なものが含まれる可能性が
// あります。それでもブラウザで開きますか？"
inline constexpr char kHtmlMailQuestion[] =
    "HTML\x83\x81\x81\x5B\x83\x8B\x82\xC5\x82\xB7\x81\x42HTML\x83\x81\x81\x5B\x83\x8B\x82\xC9\x82\xCD"
    "\x83\x45\x83\x43\x83\x8B\x83\x58\x82\xF0\x8A\xDC\x82\xDE\x82\xC8\x82\xC7\x97\x4C\x8A\x51\x82\xC8"
    "\x82\xE0\x82\xCC\x82\xAA\x8A\xDC\x82\xDC\x82\xEA\x82\xE9\x89\xC2\x94\x5C\x90\xAB\x82\xAA\x82\xA0"
    "\x82\xE8\x82\xDC\x82\xB7\x81\x42\x82\xBB\x82\xEA\x82\xC5\x82\xE0\x83\x75\x83\x89\x83\x45\x83\x55"
    "\x82\xC5\x8A\x4A\x82\xAB\x82\xDC\x82\xB7\x82\xA9\x81\x48";
// "このHTMLにはスクリプトが含まれています。スクリプトにはウイルスなどの有害な
// ものがある場合があります。それでも開きますか？"
inline constexpr char kScriptQuestion[] =
    "\x82\xB1\x82\xCCHTML\x82\xC9\x82\xCD\x83\x58\x83\x4E\x83\x8A\x83\x76\x83\x67\x82\xAA\x8A\xDC\x82"
    "\xDC\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB7\x81\x42\x83\x58\x83\x4E\x83\x8A\x83\x76\x83\x67\x82"
    "\xC9\x82\xCD\x83\x45\x83\x43\x83\x8B\x83\x58\x82\xC8\x82\xC7\x82\xCC\x97\x4C\x8A\x51\x82\xC8\x82"
    "\xE0\x82\xCC\x82\xAA\x82\xA0\x82\xE9\x8F\xEA\x8D\x87\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB7\x81"
    "\x42\x82\xBB\x82\xEA\x82\xC5\x82\xE0\x8A\x4A\x82\xAB\x82\xDC\x82\xB7\x82\xA9\x81\x48";
// "このHTMLには自動的なファイル実行タグ（IFRAME）が含まれています。IFRAMEは
// ウイルスなど有害なものに利用されますので現在の設定では開けません"
inline constexpr char kIframeRefused[] =
    "\x82\xB1\x82\xCCHTML\x82\xC9\x82\xCD\x8E\xA9\x93\xAE\x93\x49\x82\xC8\x83\x74\x83\x40\x83\x43\x83"
    "\x8B\x8E\xC0\x8D\x73\x83\x5E\x83\x4F\x81\x69IFRAME\x81\x6A\x82\xAA\x8A\xDC\x82\xDC\x82\xEA\x82\xC4"
    "\x82\xA2\x82\xDC\x82\xB7\x81\x42IFRAME\x82\xCD\x83\x45\x83\x43\x83\x8B\x83\x58\x82\xC8\x82\xC7\x97"
    "\x4C\x8A\x51\x82\xC8\x82\xE0\x82\xCC\x82\xC9\x97\x98\x97\x70\x82\xB3\x82\xEA\x82\xDC\x82\xB7\x82"
    "\xCC\x82\xC5\x8C\xBB\x8D\xDD\x82\xCC\x90\xDD\x92\xE8\x82\xC5\x82\xCD\x8A\x4A\x82\xAF\x82\xDC\x82"
    "\xB9\x82\xF1";
}  // namespace html_view_messages

inline constexpr char kHtmlViewFileName[] = "lpost.html";

// "lpost.html" in the attachment directory: [System] AttachDir (default
// "Attach"), a relative directory taken against the current directory.
[[nodiscard]] std::string HtmlViewPath(const Profile& profile);

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
// and never after `guard` is gone or a newer page was written. Messages go
// to box.ui().
void WriteHtmlView(CLPOSTDoc& box, int index, QuestionGuard& guard, HtmlViewDecided decided);

// The mail's display text holds "<HTML>", "</HTML>", "<IFRAME" and
// "</IFRAME>" (ASCII case ignored); the receive side sets such mail aside.
[[nodiscard]] bool HasHtmlIframe(CLPOSTDoc& box, int index);

// The page for the text a read window shows: its own HTML when it holds an
// HTML element (with the warnings), else every shown line in a PRE block
// titled `subject`. Decided as WriteHtmlView.
void WriteHtmlViewOfText(Profile& profile, UserInterface& ui, std::string_view shown_text, std::string_view subject,
                         QuestionGuard& guard, HtmlViewDecided decided);

// The browse command on a mail: writes the page; once it may be opened,
// the mail (found again by its serial: the list may have changed
// meanwhile) becomes read when it was unread (the box is marked modified
// and its unread mark updated; the caller refreshes its views) and the page
// goes to `opener`. `guard` belongs to the caller and must not outlive
// `box` or `opener`.
void ShowMailInBrowser(CLPOSTDoc& box, int index, FileOpener& opener, QuestionGuard& guard,
                       HtmlViewShown shown = {});

// The browse command of a read window, on the text it shows.
void ShowTextInBrowser(Profile& profile, UserInterface& ui, std::string_view shown_text, std::string_view subject,
                       FileOpener& opener, QuestionGuard& guard, HtmlViewShown shown = {});

}  // namespace lp
