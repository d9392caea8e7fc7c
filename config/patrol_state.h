#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "config/account_table.h"
#include "platform/user_interface.h"

// The patrol ("巡回": receiving every patrol account in turn) and the
// dial-up connection state the main frame keeps. Which accounts take part
// is their Round flag. The state holds no window and posts no command: the
// caller turns each result into the next step of its run.

namespace lp {

inline constexpr char kNoPatrolTargetMessage[] =
    "\x8F\x84\x89\xF1\x91\xCE\x8F\xDB\x82\xC6\x82\xC8\x82\xE9\x90\xDA\x91\xB1\x82\xAA"
    "\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1";  // 巡回対象となる接続がありません
inline constexpr char kNoDialUpEntryMessage[] =
    "\x90\xDA\x91\xB1\x90\xE6\x82\xAA\x90\xDD\x92\xE8\x82\xB3\x82\xEA\x82\xC4\x82\xA2"
    "\x82\xDC\x82\xB9\x82\xF1";  // 接続先が設定されていません
// 接続中です。しばらくお待ちください...
inline constexpr char kDialingStatus[] =
    "\x90\xDA\x91\xB1\x92\x86\x82\xC5\x82\xB7\x81\x42\x82\xB5\x82\xCE\x82\xE7\x82\xAD"
    "\x82\xA8\x91\xD2\x82\xBF\x82\xAD\x82\xBE\x82\xB3\x82\xA2...";

// Dial-up error that is never shown (the user cancelled).
inline constexpr int kDialUpCancelledError = 602;

// The first account, from index 0, with Round set.
[[nodiscard]] std::optional<std::size_t> FirstPatrolTarget(const CSetMenuArray& table);
// The first account after `index` with Round set.
[[nodiscard]] std::optional<std::size_t> NextPatrolTarget(const CSetMenuArray& table, std::size_t index);
// True when no account after `index` has Round set.
[[nodiscard]] bool IsLastPatrolTarget(const CSetMenuArray& table, std::size_t index);

// The platform's dial-up service. There is none on Linux: callers pass
// nullptr, and connect and disconnect then only keep the connected state
// and show their messages.
class DialUpService {
 public:
  struct DialResult {
    bool ok = false;
    int error = 0;           // the service's error number when !ok
    std::string error_text;  // its text, Shift_JIS
  };
  virtual ~DialUpService() = default;
  // Looks up the entry's dial parameters and dials synchronously; on
  // failure the half-made connection is hung up.
  virtual DialResult Dial(std::string_view entry_name) = 0;
  // Hangs up the first active connection. False when the active
  // connections cannot be listed.
  virtual bool HangUpFirstConnection() = 0;
  // True when the active connections can be listed.
  [[nodiscard]] virtual bool CanListConnections() = 0;
};

enum class PatrolStart {
  Started,   // the first target is current; send, then receive, for it
  Ignored,   // a chain or patrol is already running
  NoTarget,  // no account has Round set (the message was shown)
};

enum class ReceiveEnd {
  Single,       // not in a patrol: the run's counts are the receive's
  NextTarget,   // in a patrol with targets left: advance (AdvancePatrol)
  PatrolEnded,  // the last target was received: the old account is current again
};

enum class ConnectResult {
  AlreadyConnected,  // during a patrol, with a connection up: nothing done
  NoEntry,           // the account names no dial-up entry (message shown)
  NoService,         // no dial-up on this platform: the state stays as it was
  Connected,
  Failed,            // the error was shown unless the user cancelled
};

class PatrolState {
 public:
  // busy: a send-and-receive chain or a patrol runs; a second one is ignored.
  [[nodiscard]] bool Busy() const { return busy_; }
  void SetBusy(bool busy) { busy_ = busy; }
  [[nodiscard]] bool PatrolActive() const { return patrol_active_; }
  // The account that was current when the patrol began.
  [[nodiscard]] std::size_t PatrolStartAccount() const { return saved_index_; }
  // This program made the current dial-up connection.
  [[nodiscard]] bool Connected() const { return connected_; }

  // Counts of the last run (for a patrol: summed over its receives).
  [[nodiscard]] int ReceivedCount() const { return received_count_; }
  [[nodiscard]] int CreatedCount() const { return created_count_; }
  [[nodiscard]] int PatrolReceivedTotal() const { return patrol_received_total_; }
  [[nodiscard]] int PatrolCreatedTotal() const { return patrol_created_total_; }

  // Patrol command: makes the first target current and marks the patrol.
  PatrolStart BeginPatrol(CSetMenuArray& table, UserInterface& ui);
  // A receive ended with `received` new mails and `created` outgoing mails
  // made by rules. In a patrol the counts are added to the totals, and
  // after the last target the patrol ends.
  ReceiveEnd FinishReceive(CSetMenuArray& table, int received, int created);
  // Next-patrol command: makes the next target after the current account
  // current. When there is none (the table changed under the patrol), the
  // patrol ends and false comes back.
  bool AdvancePatrol(CSetMenuArray& table);

  // Connect command for the current account. `dial_up` may be null.
  ConnectResult Connect(const CSetMenu& current, UserInterface& ui, DialUpService* dial_up);
  // Disconnect command. Without a service (or when connections cannot be
  // listed) nothing changes.
  void Disconnect(DialUpService* dial_up);

  // When the automatic connection and hang-up apply.
  // Before a send: unless the account receives first and a chain already
  // runs (its receive has connected).
  [[nodiscard]] bool ConnectsBeforeSend(const CSetMenu& current) const;
  // After a receive of the current account; `send_follows` when a send
  // waits for this receive (receive-first send-and-receive).
  [[nodiscard]] bool HangsUpAfterReceive(const CSetMenuArray& table, bool send_follows) const;
  // After the send of a receive-first send-and-receive outside a patrol.
  [[nodiscard]] bool HangsUpAfterSend(const CSetMenu& current) const;

 private:
  void EndPatrol(CSetMenuArray& table);

  bool busy_ = false;
  bool patrol_active_ = false;
  std::size_t saved_index_ = 0;
  bool connected_ = false;
  int received_count_ = 0;
  int created_count_ = 0;
  int patrol_received_total_ = 0;
  int patrol_created_total_ = 0;
};

}  // namespace lp
