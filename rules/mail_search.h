#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codec/japanese_search.h"
#include "config/profile.h"
#include "platform/user_interface.h"
#include "rules/regex_matcher.h"
#include "store/box_walk.h"
#include "store/mail_record.h"
#include "store/mailbox_document.h"
#include "store/text_block_reader.h"

// Searching mail by a text in a chosen field, restricted to a status and a
// label, with the folding flags or as a regular expression: one box forward
// or backward from a mail, or every box of the box list in turn. The body is
// the mail's whole stored text, so a match anywhere in it is found, however
// long the mail.

namespace lp {

enum class SearchField { All = 0, To = 1, From = 2, Subject = 3, Body = 4 };

// The search condition, profile section "Find".
struct SearchCondition {
  std::string text;                     // String
  SearchField field = SearchField::All;  // NFind
  bool fold_case = true;                // Oomoji
  bool fold_width = false;              // Zenhan
  bool fold_kana = true;                // Hira
  bool fold_small = false;              // Youon
  bool regex = false;                   // RegExp
  bool from_current = false;            // Current
  bool backward = false;                // Back
  int status = -1;                      // Status: -1 any, else 0-4
  int label = 0;                        // Label: 0 any, 1 none, n label n-1

  [[nodiscard]] static SearchCondition Load(const Profile& profile);
  // Writes every key in one replacement of the file; false when it failed.
  bool Save(Profile& profile) const;
  // The bit set of FindJapaneseText.
  [[nodiscard]] unsigned FoldFlags() const;
};

// Whether a mail matches. NotSearched: a regular expression reached one of
// its limits (effort, memory, time) on the mail, so no answer is known; it
// is never taken for a mail that does not match.
enum class MailMatch { No, Yes, NotSearched };

// A condition prepared for many mails: the text folded once, or the
// pattern compiled once.
class MailMatcher {
 public:
  explicit MailMatcher(const SearchCondition& condition);

  // False when the regular expression does not compile; error() then holds
  // the message to show (Shift_JIS).
  [[nodiscard]] bool ok() const { return error_.empty(); }
  [[nodiscard]] const std::string& error() const { return error_; }

  // Whether the body (the stored text) takes part.
  [[nodiscard]] bool SearchesBody() const;
  // The status and label filters.
  [[nodiscard]] bool PassesFilters(const CMail& mail) const;
  // Filters and the header fields; `body_needed` is set when the answer
  // depends on the body (the result is then No, or NotSearched when a
  // header field was not searched).
  [[nodiscard]] MailMatch HeaderMatches(const CMail& mail, bool* body_needed) const;
  [[nodiscard]] MailMatch TextMatches(std::string_view sjis_text) const;
  // False only when no part of `sjis_text` can match (a quick pass).
  [[nodiscard]] bool MayOccur(std::string_view sjis_text) const;

 private:
  SearchCondition condition_;
  JapaneseSearcher searcher_;
  std::unique_ptr<RegexMatcher> regex_;
  std::string error_;
};

// The bodies of one box's mails for a search: the text file is read a
// large window at a time, and a window in which the text cannot occur at
// all is passed over without searching each body in it.
class SearchedTexts {
 public:
  [[nodiscard]] bool Open(std::string_view text_path) { return reader_.Open(text_path); }
  // Whether the body of `mail` matches. A body that cannot be read gives
  // No and its message in `error` (when given).
  [[nodiscard]] MailMatch BodyMatches(const CMail& mail, const MailMatcher& matcher, std::string* error);

 private:
  TextBlockReader reader_;
  std::uint64_t checked_window_ = 0;
  bool window_may_match_ = true;
};

// Whether mail `index` of `box` matches. A body that cannot be read gives
// No; its message goes to `error` (when given) instead of the user.
[[nodiscard]] MailMatch MailMatches(CLPOSTDoc& box, int index, const MailMatcher& matcher,
                                    std::string* error = nullptr);
// The same for a record whose body comes from `texts` (its box's bodies).
[[nodiscard]] MailMatch MailMatches(const CMail& mail, SearchedTexts& texts, const MailMatcher& matcher,
                                    std::string* error = nullptr);

// "正規表現の照合が制限に達したため、検索できなかったメールが %d通あります": told
// once at the end of a search that passed over mails it could not search.
[[nodiscard]] std::string NotSearchedMessage(int mails);

enum class SearchDirection { Forward, Backward };

// SearchBox's answers besides an index.
inline constexpr int kSearchNotFound = -1;
inline constexpr int kSearchCancelled = -2;  // "中止", or ended after a message

// Searches `box` from `start` (tested first) toward its end or its start,
// with a progress window; the index of the first match, kSearchNotFound or
// kSearchCancelled. Messages (a text file that does not open, a pattern
// that does not compile, the first body that cannot be read, the mails
// passed over as not searched) go to `ui`; "not found" is for the caller
// to show.
[[nodiscard]] int SearchBox(CLPOSTDoc& box, int start, SearchDirection direction, const SearchCondition& condition,
                            UserInterface& ui);

// The first mail a box search starts at: the current mail with `Current`,
// else the last (backward) or the first (forward) mail.
[[nodiscard]] int SearchStartIndex(const CLPOSTDoc& box, const SearchCondition& condition);

// The position of the all-box search: an index into the box list and a
// position in that box's records as the walk saw them.
struct BoxSearchPosition {
  std::size_t box = 0;
  int mail = 0;
};

enum class BoxSearchOutcome { Found, NotFound, Cancelled, Failed };

struct BoxSearchResult {
  BoxSearchOutcome outcome = BoxSearchOutcome::NotFound;
  // Found: the match; otherwise box is the end of the list (or where the
  // walk stopped) and mail 0.
  BoxSearchPosition position;
  // Found: the box's index path and the mail as the walk saw it (with its
  // serial when the box was open), for RowOfWalkedMail.
  std::string path;
  CMail mail;
  std::string message;  // Failed: what to show (Shift_JIS)
  // The mails passed over as not searched (MailMatch::NotSearched), in the
  // order the walk met them.
  std::vector<BoxSearchPosition> not_searched;
};

// Told of each match; returns true to go on searching after it, false to
// stop there (the match becomes the result).
using BoxMatchHandler = std::function<bool(const BoxSearchPosition& match, const CMail& mail)>;

// Walks the boxes (store/box_walk.h) from `start` (the start mail applies
// to the start box only): boxes whose "FindBox" setting is 0 are passed
// over. Without a handler the first match ends the walk. Runs on any
// thread. A body that cannot be read counts as no match; a mail not
// searched goes to the result's `not_searched`.
[[nodiscard]] BoxSearchResult SearchAllBoxes(const BoxWalkSources& boxes, BoxSearchPosition start,
                                             const SearchCondition& condition, const Profile& profile,
                                             SkippableProgress* progress, const BoxMatchHandler& on_match = {});

}  // namespace lp
