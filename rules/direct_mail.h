#pragma once

#include <cstddef>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "config/profile.h"
#include "rules/regex_matcher.h"
#include "rules/rules_messages.h"
#include "store/mailbox_document.h"
#include "store/open_box_registry.h"
#include "store/write_steps.h"

// The direct-mail filter ("ダイレクトメール排除"): decides whether a mail is
// unsolicited advertising by the criteria the user switched on, and moves
// such mails into the box the user chose. Settings live in the profile
// section "Spam" and are read afresh for every mail.

namespace lp {

// The filter's settings, profile section "Spam".
struct DirectMailSettings {
  bool divide = false;          // Divide: filter newly received mail
  std::string box;              // Box: full path of the box that takes direct mail
  bool x_mailer = false;        // XMailer: criterion 1
  bool english = false;         // English: criterion 2
  bool hiwai = false;           // Hiwai: criterion 3
  bool keyword = false;         // KeyWord: criterion 4
  std::string keyword_file;     // KeyWordFile
  bool keyword_regexp = false;  // KeyWordRegExp
  bool to_check = false;        // ToCheck: criterion 5
  bool virus_check = true;      // VirusCheck: criterion 6

  [[nodiscard]] static DirectMailSettings Load(const Profile& profile);
};

// Which criterion found a mail to be direct mail.
enum class DirectMailReason { None, XMailer, English, Phrase, Keyword, NotAddressedToUser, HtmlVirus };

// One run of the filter over mails. It reads the settings for each mail,
// keeps the compiled keyword patterns and tells the user about a keyword
// file that cannot be opened, or a pattern that does not compile, once.
class DirectMailFilter {
 public:
  // `account_addresses`: the address (Adr) of every connection account.
  explicit DirectMailFilter(std::vector<std::string> account_addresses);

  [[nodiscard]] DirectMailReason Check(CLPOSTDoc& box, int index);
  [[nodiscard]] bool IsDirectMail(CLPOSTDoc& box, int index) { return Check(box, index) != DirectMailReason::None; }

 private:
  class MailView;
  bool KeywordFires(const DirectMailSettings& settings, MailView& mail, UserInterface& ui);
  const RegexMatcher& Pattern(const std::string& line);

  std::vector<std::string> addresses_;
  // Compiled keyword lines; no more than kMaxCachedPatterns are kept.
  std::unordered_map<std::string, std::unique_ptr<RegexMatcher>> patterns_;
  std::unique_ptr<RegexMatcher> uncached_;
  std::set<std::string> reported_;  // keyword files and patterns already reported
};

// One mail, with the settings read afresh.
[[nodiscard]] bool IsDirectMail(CLPOSTDoc& box, int index, std::span<const std::string> account_addresses);

// Moves every listed mail that is direct mail into the "Box" of the
// settings (list order; copies first, the box loses them afterwards,
// highest index first). Returns the number of mails moved. Nothing happens
// when no box is set or it is the box itself.
std::size_t RemoveDirectMail(CLPOSTDoc& box, std::span<const int> mails,
                             std::span<const std::string> account_addresses, OpenBoxRegistry* registry,
                             const WriteStepHook& steps = {});

// The mailbox view's command "選択メール中からDM排除": without a box set it
// says so; otherwise it asks and, on OK, filters the mails selected when it
// asked (the current one when none is given), wherever they stand now.
std::size_t RemoveDirectMailCommand(CLPOSTDoc& box, std::span<const int> selection,
                                    std::span<const std::string> account_addresses, OpenBoxRegistry* registry);

}  // namespace lp
