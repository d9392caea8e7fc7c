#pragma once

#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "addressbook/address_book.h"
#include "app/account_oauth.h"
#include "app/application_core.h"
#include "app/mail_controller.h"
#include "app/patrol_send_step.h"
#include "app/send_and_receive.h"
#include "config/account_table.h"
#include "config/key_table.h"
#include "net/send_pipeline.h"
#include "platform/form_post.h"
#include "store/open_box_registry.h"
#include "ui/worker_jobs.h"

// The core objects of one running desktop application: the accounts, the
// key table, the open box documents (one per box file, shared by every
// window of the box), and the same mail controller and send runs that the
// command line drives. It holds no widgets; the main window drives it by
// command and hears back through the hooks.

namespace lp {

class DesktopSession final : public CommandObserver, private SendRunObserver, private ReceiveViewObserver {
 public:
  using TransportFactory = MailController::TransportFactory;

  struct Hooks {
    std::function<void(int command)> command;  // a command for the main window
    std::function<void(std::string_view sjis_text)> status_text;
    std::function<void(CLPOSTDoc& box, int caret)> list_set;
    std::function<void()> run_state_changed;  // busy marks changed
  };

  DesktopSession(ApplicationCore& app, UserInterface& ui, TransportFactory transports);
  ~DesktopSession() override;
  DesktopSession(const DesktopSession&) = delete;
  DesktopSession& operator=(const DesktopSession&) = delete;

  void SetHooks(Hooks hooks) { hooks_ = std::move(hooks); }

  // Loads the accounts, the key table and the address book and opens the
  // receive box. False when the receive box does not load (its message was
  // shown); the rest of the program still works.
  bool Start();
  // Writes back what the program keeps in memory (key file path, boxes).
  void Exit();

  // A hold on the shared document of a box (Shift_JIS path, absolute or
  // relative to the data directory), opened on first use; empty with a
  // message shown when its index does not load.
  [[nodiscard]] BoxHandle AcquireBox(std::string_view sjis_path);
  [[nodiscard]] std::string AbsoluteBoxPath(std::string_view sjis_path) const;

  bool Receive();
  bool Send();
  // Sends the unsent mails of the box at `box_path` ("このBOXで送信").
  bool SendFrom(const std::string& box_path);
  bool SendAndReceive();
  bool Patrol();
  bool LanReceive();
  // Deletes every mail on the current account's server, after asking.
  bool DeleteAllOnServer();
  // Analyses the kept spool again into the receive box; the mails added.
  int AnalyseAgain();
  void Cancel();
  [[nodiscard]] bool Busy() const;
  // Work on an open box that no receive or send may meet (compacting it)
  // holds the session busy while it runs: no run starts meanwhile.
  void SetBoxWorkRunning(bool running);

  [[nodiscard]] ApplicationCore& app() { return app_; }
  [[nodiscard]] Profile& profile() { return app_.profile(); }
  [[nodiscard]] CSetMenuArray& accounts() { return accounts_; }
  [[nodiscard]] CKeycustArray& keys() { return keys_; }
  [[nodiscard]] AddressBook& book() { return book_; }
  // The current key file (Shift_JIS); the key dialog may change it.
  [[nodiscard]] std::string& key_file_path() { return key_file_path_; }
  [[nodiscard]] OpenBoxRegistry& registry() { return registry_; }
  [[nodiscard]] MailController& controller() { return *controller_; }
  [[nodiscard]] UserInterface& ui() { return ui_; }
  [[nodiscard]] const TransportFactory& transports() const { return transports_; }
  // The worker threads of long work (a receive's analysis among it).
  [[nodiscard]] WorkerJobs& jobs() { return *jobs_; }

  // Commands from the core for the main window.
  void OnCommand(int command_id) override;

  // Boxes whose mails changed status (read, unread, deleted, moved: every
  // change that updates a box's unread mark) reach their files this long
  // after the last such change, written on a worker; a crash or a logout
  // then does not bring read mail back as unread.
  static constexpr std::chrono::milliseconds kSaveDelay{2000};
  void SetSaveDelay(std::chrono::milliseconds delay) { save_timer_.setInterval(delay); }
  [[nodiscard]] bool SavePending() const { return save_timer_.isActive(); }
  // Writes the index of every open box with unsaved changes on a worker;
  // `written` (when given) follows once every write has ended.
  void SaveChangedBoxes(std::function<void()> written = {});

 private:
  void OnSendMarks(bool busy, bool sending) override;
  void OnSendRunEnded(const SendRunResult& result) override;
  void OnStatusText(std::string_view sjis_text) override;
  void OnMailListSet(CLPOSTDoc& box, int caret) override;
  void NotifyRunState();

  ApplicationCore& app_;
  UserInterface& ui_;
  TransportFactory transports_;
  Hooks hooks_;
  CSetMenuArray accounts_;
  CKeycustArray keys_;
  std::string key_file_path_;
  AddressBook book_;
  OpenBoxRegistry registry_;  // outlives every run and hold below
  // Token refreshes of OAuth 2.0 accounts, without a window.
  std::unique_ptr<FormPoster> token_http_ = MakeQtFormPoster();
  std::unique_ptr<AccountOAuth> oauth_;
  std::unique_ptr<WorkerJobs> jobs_ = std::make_unique<WorkerJobs>();
  std::unique_ptr<lp::SendAndReceive> send_and_receive_;
  std::unique_ptr<MailController> controller_;
  std::unique_ptr<PatrolSendStep> patrol_send_;
  BoxHandle send_box_;  // held while a send-only run goes on
  std::unique_ptr<SendPipeline> send_run_;  // goes before the box it works on
  bool send_busy_ = false;
  bool box_work_running_ = false;
  QTimer save_timer_;
};

}  // namespace lp
