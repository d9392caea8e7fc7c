#include "config/patrol_state.h"

#include <memory>

namespace lp {

std::optional<std::size_t> FirstPatrolTarget(const CSetMenuArray& table) {
  for (std::size_t i = 0; i < table.Count(); ++i) {
    if (table.At(i).round) return i;
  }
  return std::nullopt;
}

std::optional<std::size_t> NextPatrolTarget(const CSetMenuArray& table, std::size_t index) {
  for (std::size_t i = index + 1; i < table.Count(); ++i) {
    if (table.At(i).round) return i;
  }
  return std::nullopt;
}

bool IsLastPatrolTarget(const CSetMenuArray& table, std::size_t index) {
  return !NextPatrolTarget(table, index).has_value();
}

PatrolStart PatrolState::BeginPatrol(CSetMenuArray& table, UserInterface& ui) {
  if (busy_) return PatrolStart::Ignored;
  std::optional<std::size_t> first = FirstPatrolTarget(table);
  if (!first) {
    ui.ShowMessage(kNoPatrolTargetMessage);
    return PatrolStart::NoTarget;
  }
  busy_ = true;
  patrol_active_ = true;
  saved_index_ = table.CurrentIndex();
  patrol_received_total_ = 0;
  patrol_created_total_ = 0;
  table.SetCurrentIndex(*first);
  return PatrolStart::Started;
}

ReceiveEnd PatrolState::FinishReceive(CSetMenuArray& table, int received, int created) {
  if (!patrol_active_) {
    received_count_ = received;
    created_count_ = created;
    return ReceiveEnd::Single;
  }
  patrol_received_total_ += received;
  patrol_created_total_ += created;
  if (!IsLastPatrolTarget(table, table.CurrentIndex())) return ReceiveEnd::NextTarget;
  EndPatrol(table);
  return ReceiveEnd::PatrolEnded;
}

bool PatrolState::AdvancePatrol(CSetMenuArray& table) {
  std::optional<std::size_t> next = NextPatrolTarget(table, table.CurrentIndex());
  if (!next) {
    EndPatrol(table);
    return false;
  }
  table.SetCurrentIndex(*next);
  return true;
}

void PatrolState::EndPatrol(CSetMenuArray& table) {
  // A table shortened during the patrol keeps whatever account is current.
  table.SetCurrentIndex(saved_index_);
  patrol_active_ = false;
  busy_ = false;
  received_count_ = patrol_received_total_;
  created_count_ = patrol_created_total_;
}

ConnectResult PatrolState::Connect(const CSetMenu& current, UserInterface& ui) {
  if (current.ras_name.empty()) {
    ui.ShowMessage(kNoDialUpEntryMessage);
    return ConnectResult::NoEntry;
  }
  return ConnectResult::NoService;
}

bool PatrolState::ConnectsBeforeSend(const CSetMenu& current) const {
  return current.auto_con && !(current.pop_before && busy_);
}

bool PatrolState::HangsUpAfterReceive(const CSetMenuArray& table, bool send_follows) const {
  const CSetMenu& current = table.Current();
  if (!current.auto_dis) return false;
  if (current.pop_before && send_follows) return false;
  return !patrol_active_ || IsLastPatrolTarget(table, table.CurrentIndex());
}

bool PatrolState::HangsUpAfterSend(const CSetMenu& current) const {
  return current.pop_before && !patrol_active_ && current.auto_dis && busy_;
}

}  // namespace lp
