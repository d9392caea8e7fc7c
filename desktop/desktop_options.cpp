#include "desktop/desktop_options.h"

namespace lp {
namespace {

const DesktopOption kOptions[] = {
    {"data-dir", "DIR", "Data directory (default: $LANTERNPOST_HOME, else $XDG_DATA_HOME/lanternpost).",
     "データディレクトリ（既定は $LANTERNPOST_HOME、なければ $XDG_DATA_HOME/lanternpost）。"},
    {"screenshot", "FILE", "Save a picture of the main window to FILE and end.",
     "メインウィンドウの画像をファイル FILE に保存して終わります。"},
    {"screenshot-command", "ID",
     "With --screenshot: run the numbered command ID first and take the window it opens.",
     "--screenshot と共に: 先に番号 ID のコマンドを実行し、それが開いたウィンドウを保存します。"},
    {"dark", "", "With --screenshot: use a dark palette.", "--screenshot と共に: 暗い配色を使います。"},
};

const DesktopRequest kRequests[] = {
    {"/R", "receive the new mail of the current account", "現在のアカウントの新着メールを受信します"},
    {"/S", "send the unsent mail of the send box", "送信箱の未送信のメールを送信します"},
    {"/J", "send and receive", "送受信します"},
    {"/A", "patrol: send, then receive every account marked for the patrol",
     "巡回: 送信してから、巡回の対象のアカウントをすべて受信します"},
    {"mailto:URL", "open a new mail to the address of the URL (with its subject and body)",
     "URL のアドレス宛ての新しいメールを開きます（件名と本文も URL から取ります）"},
};

}  // namespace

std::span<const DesktopOption> DesktopOptions() { return kOptions; }
std::span<const DesktopRequest> DesktopRequests() { return kRequests; }

}  // namespace lp
