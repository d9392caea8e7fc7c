#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "config/profile.h"

// The auto-sort rule table ("自動振り分け"): an ordered list of rules, each
// moving, forwarding or answering a mail whose header field contains a text.
// It lives in the settings file between uses; callers load it, change it and
// save it back. All strings are Shift_JIS.

namespace lp {

// Field a rule tests.
inline constexpr int kRuleFieldTo = 0;
inline constexpr int kRuleFieldFrom = 1;
inline constexpr int kRuleFieldSubject = 2;  // any other value tests an empty text

struct CDivMenu {
  int cond1 = kRuleFieldTo;  // the field tested
  std::string cond2;         // the text searched for in it
  std::string mail_box;      // full index path of the destination box; empty = no move
  std::string foward;        // address to forward to; empty = none
  std::string reply;         // path of the reply's text file; empty = none

  bool operator==(const CDivMenu&) const = default;
};

class CDivMenuArray {
 public:
  static constexpr std::size_t kMaxRules = 1000;
  static constexpr char kSection[] = "DivMenu";

  // Replaces the table with the profile's. A count outside 0 to 1000 is
  // brought into that range.
  void Load(const Profile& profile);
  // Writes the count and every rule in one replacement of the file. Keys of
  // rules beyond the count stay in the profile as they were. False when the
  // file could not be written (the profile's LastError says why).
  bool Save(Profile& profile) const;

  [[nodiscard]] std::size_t Count() const { return rules_.size(); }
  // The rule at `index`; nullptr when out of range.
  [[nodiscard]] const CDivMenu* At(std::size_t index) const;

  // Appends at the end; false when the table is full.
  bool Add(CDivMenu rule);
  // Removes the rule at `index`; later rules move up.
  bool Delete(std::size_t index);
  // Exchanges two rules (moving one up or down the list).
  bool Swap(std::size_t a, std::size_t b);
  bool Replace(std::size_t index, CDivMenu rule);

  // Every rule whose destination is `old_path` (byte for byte) gets
  // `new_path`. Returns the number of rules changed.
  std::size_t RenameDestination(std::string_view old_path, std::string_view new_path);
  // Deletes every rule whose destination is `path` (byte for byte).
  // Returns the number of rules deleted.
  std::size_t RemoveDestination(std::string_view path);

 private:
  std::vector<CDivMenu> rules_;  // never more than kMaxRules
};

// The rule's line in the rule list, e.g. "From: が abc のとき 仕事 へ移動する ".
[[nodiscard]] std::string RuleText(const CDivMenu& rule);

// Profile key of one field of rule `index`: `field` followed by the index
// in "%02d" ("Cond100" for Cond1 of rule 0, "Cond1100" for rule 100).
[[nodiscard]] std::string RuleKey(std::string_view field, std::size_t index);

}  // namespace lp
