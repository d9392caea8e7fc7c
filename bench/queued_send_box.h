#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "config/profile.h"
#include "platform/command_observer.h"
#include "tests/support/recording_user_interface.h"
#include "store/mailbox_document.h"
#include "store/open_box_registry.h"
#include "tests/support/temp_directory.h"

// A data directory whose send box "send.lp" holds `count` unsent mails with
// the same text, for the send-run benchmarks. `fill` sets each record's
// fields (its index given).

namespace lp::bench {

struct QueuedSendBox {
  QueuedSendBox(int count, const std::string& text, const std::function<void(CMail&, int)>& fill) {
    testing::WriteFileBytes(dir.File("send.lp"), "");
    opened = box.Open("send.lp").ok;
    for (int i = 0; i < count && opened; ++i) {
      auto record = std::make_unique<CMail>();
      record->status = kStatusUnsent;
      record->date = i;
      fill(*record, i);
      box.Add(std::move(record));
      opened = box.StoreTextOfLast(text);
    }
    opened = opened && box.Save().ok;
  }

  testing::TempDirectory dir{true};  // the working directory while it lives
  Profile profile{dir.File("lpost.conf")};
  RecordingUserInterface ui;
  NullCommandObserver commands;
  OpenBoxRegistry registry{profile, ui, commands};
  CLPOSTDoc box{profile, ui, commands};
  bool opened = false;
};

}  // namespace lp::bench
