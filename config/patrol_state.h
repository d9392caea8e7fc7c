#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "config/account_table.h"
#include "config/config_messages.h"
#include "platform/user_interface.h"

// The patrol ("巡回": receiving every patrol account in turn) and the
// dial-up connection state the main frame keeps (there is no dial-up
// service on Linux: the state is kept, no line is ever dialled). Which accounts take part
// is their Round flag. The state holds no window and posts no command: the
// caller turns each result into the next step of its run.

namespace lp {

// The first account, from index 0, with Round set.
[[nodiscard]] std::optional<std::size_t> FirstPatrolTarget(const CSetMenuArray& table);
// The first account after `index` with Round set.
[[nodiscard]] std::optional<std::size_t> NextPatrolTarget(const CSetMenuArray& table, std::size_t index);
// True when no account after `index` has Round set.
[[nodiscard]] bool IsLastPatrolTarget(const CSetMenuArray& table, std::size_t index);

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
  NoEntry,           // the account names no dial-up entry (message shown)
  NoService,         // no dial-up on this platform: the state stays as it was
};

class PatrolState {
 public:
  // busy: a send-and-receive chain or a patrol runs; a second one is ignored.
  [[nodiscard]] bool Busy() const { return busy_; }
  void SetBusy(bool busy) { busy_ = busy; }
  [[nodiscard]] bool PatrolActive() const { return patrol_active_; }
  // The account that was current when the patrol began.
  [[nodiscard]] std::size_t PatrolStartAccount() const { return saved_index_; }

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

  // Connect command for the current account. There is no dial-up service
  // on this platform: an account without an entry hears so, any other
  // keeps the state as it was.
  ConnectResult Connect(const CSetMenu& current, UserInterface& ui);
  // Disconnect command: without a dial-up service nothing changes.
  void Disconnect() {}

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
  int received_count_ = 0;
  int created_count_ = 0;
  int patrol_received_total_ = 0;
  int patrol_created_total_ = 0;
};

}  // namespace lp
