#pragma once

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "store/mail_record.h"
#include "store/open_box_registry.h"

// A mail named by its identity: the box it lives in, held open, and its
// serial there. Rows move with every sort, deletion, move and receive, so a
// window that keeps a mail while the event loop runs keeps it this way and
// turns it into a row only at the moment it needs one. Serials are never
// given twice in a box, so a mail that left the box is never mistaken for
// another.

namespace lp {

class HeldMail {
 public:
  HeldMail() = default;
  HeldMail(BoxHandle box, std::uint64_t serial) : box_(std::move(box)), serial_(serial) {}
  // The mail at `row` of `box` now; the box alone when the row names none.
  [[nodiscard]] static HeldMail AtRow(BoxHandle box, int row);

  [[nodiscard]] const BoxHandle& box() const { return box_; }
  // 0 when no mail is held.
  [[nodiscard]] std::uint64_t serial() const { return serial_; }
  // Its row now; -1 when the box no longer holds it or none is held.
  [[nodiscard]] int Row() const;
  // Its record now; nullptr when the box no longer holds it.
  [[nodiscard]] CMail* Record() const;

 private:
  BoxHandle box_;
  std::uint64_t serial_ = 0;
};

// Mails of one box named by their serials for a command that asks the user
// before it acts: while the question is open the event loop runs (a send
// run may move mails out of the box, a receive add some), so the rows are
// looked up again once it is answered.
class HeldMails {
 public:
  // The mails at `rows` now (rows that name no mail are left out).
  HeldMails(const CLPOSTDoc& box, std::span<const int> rows);
  // The rows of those mails the box still holds, ascending.
  [[nodiscard]] std::vector<int> Rows(const CLPOSTDoc& box) const;

 private:
  std::vector<std::uint64_t> serials_;
};

}  // namespace lp
