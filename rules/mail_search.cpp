#include "rules/mail_search.h"

#include <array>
#include <cstdio>
#include <utility>

#include "codec/japanese_text.h"
#include "platform/code_page.h"
#include "platform/job_progress.h"
#include "platform/sjis_char.h"
#include "rules/rules_messages.h"
#include "store/box_list.h"
#include "store/store_messages.h"

namespace lp {
namespace {

constexpr char kSectionFind[] = "Find";
constexpr char kSectionFindBox[] = "FindBox";

bool Flag(const Profile& profile, const char* key, int default_value) {
  return profile.GetInt(kSectionFind, key, default_value) != 0;
}

// A pattern is named as it was given; a long one (a pattern too large to
// compile may run to any size) only by its start, with the engine's reason.
std::string BadPatternMessage(const std::string& pattern, const std::string& reason) {
  constexpr std::size_t kShownPatternBytes = 80;
  if (pattern.size() <= kShownPatternBytes) return std::string(kBadKeywordPattern) + pattern;
  std::size_t cut = 0;
  while (cut < pattern.size()) {
    const std::size_t next = cut + (IsSjisLeadByte(static_cast<unsigned char>(pattern[cut])) ? 2 : 1);
    if (next > kShownPatternBytes) break;
    cut = next;
  }
  return std::string(kBadKeywordPattern) + pattern.substr(0, cut) + "... (" + reason + ")";
}

// The first body that could not be read in a search is kept to be shown
// once, not once per mail.
void KeepFirst(std::string& kept, std::string error) {
  if (kept.empty()) kept = std::move(error);
}

}  // namespace

SearchCondition SearchCondition::Load(const Profile& profile) {
  SearchCondition c;
  c.text = profile.GetString(kSectionFind, "String", "");
  const int field = profile.GetInt(kSectionFind, "NFind", 0);
  c.field = field >= 0 && field <= 4 ? static_cast<SearchField>(field) : SearchField::All;
  c.fold_case = Flag(profile, "Oomoji", 1);
  c.fold_width = Flag(profile, "Zenhan", 0);
  c.fold_kana = Flag(profile, "Hira", 1);
  c.fold_small = Flag(profile, "Youon", 0);
  c.regex = Flag(profile, "RegExp", 0);
  c.from_current = Flag(profile, "Current", 0);
  c.backward = Flag(profile, "Back", 0);
  c.status = profile.GetInt(kSectionFind, "Status", -1);
  c.label = profile.GetInt(kSectionFind, "Label", 0);
  return c;
}

bool SearchCondition::Save(Profile& profile) const {
  const auto number = [](int value) { return std::to_string(value); };
  const std::array<std::pair<const char*, std::string>, 10> values = {{
      {"Zenhan", number(fold_width)},
      {"Oomoji", number(fold_case)},
      {"Current", number(from_current)},
      {"RegExp", number(regex)},
      {"Back", number(backward)},
      {"Hira", number(fold_kana)},
      {"NFind", number(static_cast<int>(field))},
      {"String", text},
      {"Label", number(label)},
      {"Status", number(status)},
  }};
  std::vector<ProfileEntry> entries;
  for (const auto& [key, value] : values) entries.push_back(ProfileEntry{kSectionFind, key, value});
  return profile.WriteStrings(entries);
}

unsigned SearchCondition::FoldFlags() const {
  return (fold_width ? IgnoreWidth : 0u) | (fold_case ? IgnoreCase : 0u) | (fold_kana ? IgnoreKana : 0u) |
         (fold_small ? IgnoreSmallAndVoiced : 0u);
}

MailMatcher::MailMatcher(const SearchCondition& condition)
    : condition_(condition), searcher_(condition.regex ? std::string_view() : condition.text, condition.FoldFlags()) {
  if (condition.regex && !condition.text.empty()) {
    regex_ = std::make_unique<RegexMatcher>(condition.text,
                                            condition.fold_case ? RegexCase::Ignore : RegexCase::Sensitive);
    if (!regex_->ok()) error_ = BadPatternMessage(condition.text, regex_->error());
  }
}

bool MailMatcher::SearchesBody() const {
  return !condition_.text.empty() && (condition_.field == SearchField::All || condition_.field == SearchField::Body);
}

bool MailMatcher::PassesFilters(const CMail& mail) const {
  if (condition_.label != 0 && mail.label != condition_.label - 1) return false;
  if (condition_.status != -1 && mail.status != condition_.status) return false;
  return true;
}

MailMatch MailMatcher::TextMatches(std::string_view sjis_text) const {
  if (!regex_) return searcher_.Contains(sjis_text) ? MailMatch::Yes : MailMatch::No;
  switch (regex_->Test(sjis_text)) {
    case RegexResult::Matched: return MailMatch::Yes;
    case RegexResult::NoMatch:
    case RegexResult::BadPattern: return MailMatch::No;
    case RegexResult::LimitExceeded: break;
  }
  return MailMatch::NotSearched;
}

bool MailMatcher::MayOccur(std::string_view sjis_text) const {
  return regex_ != nullptr || searcher_.MayOccur(sjis_text);
}

MailMatch MailMatcher::HeaderMatches(const CMail& mail, bool* body_needed) const {
  *body_needed = false;
  if (!PassesFilters(mail)) return MailMatch::No;
  if (condition_.text.empty()) return MailMatch::Yes;
  MailMatch headers = MailMatch::No;
  switch (condition_.field) {
    case SearchField::To: return TextMatches(mail.to);
    case SearchField::From: return TextMatches(mail.from);
    case SearchField::Subject: return TextMatches(mail.subject);
    case SearchField::Body: break;
    case SearchField::All:
      for (const std::string* field : {&mail.to, &mail.from, &mail.subject}) {
        const MailMatch match = TextMatches(*field);
        if (match == MailMatch::Yes) return match;
        if (match == MailMatch::NotSearched) headers = match;
      }
      break;
  }
  *body_needed = true;
  return headers;
}

namespace {

// The answer of a mail from its header fields' and its body's: a match in
// either is a match; otherwise a part not searched leaves it unknown.
MailMatch WithBody(MailMatch headers, MailMatch body) {
  if (body == MailMatch::Yes) return body;
  return headers == MailMatch::NotSearched ? headers : body;
}

}  // namespace

MailMatch MailMatches(CLPOSTDoc& box, int index, const MailMatcher& matcher, std::string* error) {
  const CMail* mail = box.RecordAt(index);
  if (mail == nullptr) return MailMatch::No;
  bool body_needed = false;
  const MailMatch headers = matcher.HeaderMatches(*mail, &body_needed);
  if (!body_needed) return headers;
  MailText body = box.ReadText(mail->text_start, mail->text_end);
  if (!body.ok()) {
    if (error != nullptr) *error = std::move(body.error);
    return WithBody(headers, MailMatch::No);
  }
  return WithBody(headers, matcher.TextMatches(body.text));
}

MailMatch SearchedTexts::BodyMatches(const CMail& mail, const MailMatcher& matcher, std::string* error) {
  std::string_view body;
  MailText read = reader_.Read(mail.text_start, mail.text_end, &body);
  if (!read.ok()) {
    if (error != nullptr) *error = std::move(read.error);
    return MailMatch::No;
  }
  if (reader_.window_number() != checked_window_) {
    checked_window_ = reader_.window_number();
    window_may_match_ = matcher.MayOccur(reader_.window());
  }
  return window_may_match_ ? matcher.TextMatches(body) : MailMatch::No;
}

MailMatch MailMatches(const CMail& mail, SearchedTexts& texts, const MailMatcher& matcher, std::string* error) {
  bool body_needed = false;
  const MailMatch headers = matcher.HeaderMatches(mail, &body_needed);
  if (!body_needed) return headers;
  return WithBody(headers, texts.BodyMatches(mail, matcher, error));
}

std::string NotSearchedMessage(int mails) {
  char text[256];
  std::snprintf(text, sizeof text, kRegexNotSearchedFormat, mails);
  return text;
}

int SearchStartIndex(const CLPOSTDoc& box, const SearchCondition& condition) {
  if (condition.from_current && box.current_index() >= 0 && box.current_index() < box.Count()) {
    return box.current_index();
  }
  return condition.backward ? box.Count() - 1 : 0;
}

int SearchBox(CLPOSTDoc& box, int start, SearchDirection direction, const SearchCondition& condition,
              UserInterface& ui) {
  const MailMatcher matcher(condition);
  if (!matcher.ok()) {
    ui.ShowMessage(matcher.error());
    return kSearchCancelled;
  }
  SearchedTexts texts;
  if (matcher.SearchesBody() && !texts.Open(box.TextFilePath())) {
    ui.ShowMessage(store_messages::kTextFileOpenFailed);
    return kSearchCancelled;
  }
  const std::unique_ptr<Progress> progress = ui.BeginProgress(kSearchCaption);
  if (progress) {
    progress->SetStatusText(BoxNameOf(box.PathName()));
    progress->SetRange(0, box.Count());
  }
  const int step = direction == SearchDirection::Forward ? 1 : -1;
  std::string read_error;
  int not_searched = 0;
  int found = kSearchNotFound;
  for (int i = start; i >= 0 && i < box.Count(); i += step) {
    if (progress) {
      progress->SetPosition(i);
      if (progress->CancelRequested()) {
        found = kSearchCancelled;
        break;
      }
    }
    std::string error;
    const MailMatch match = MailMatches(*box.RecordAt(i), texts, matcher, &error);
    if (match == MailMatch::Yes) {
      found = i;
      break;
    }
    if (match == MailMatch::NotSearched) ++not_searched;
    if (!error.empty()) KeepFirst(read_error, std::move(error));
  }
  if (!read_error.empty()) ui.ShowMessage(read_error);
  if (not_searched > 0) ui.ShowMessage(NotSearchedMessage(not_searched));
  return found;
}

BoxSearchResult SearchAllBoxes(const BoxWalkSources& boxes, BoxSearchPosition start,
                               const SearchCondition& condition, const Profile& profile, SkippableProgress* progress,
                               const BoxMatchHandler& on_match) {
  BoxSearchResult result;
  const MailMatcher matcher(condition);
  if (!matcher.ok()) {
    result.outcome = BoxSearchOutcome::Failed;
    result.message = matcher.error();
    result.position = start;
    return result;
  }
  OptionalProgress shown(progress);
  bool matched_any = false;
  bool cancelled = false;
  const auto wanted = [&profile](const std::string& path) { return profile.GetInt(kSectionFindBox, path, 1) != 0; };
  const WalkResult walk = WalkBoxes(boxes, start.box, progress, wanted, [&](const WalkedBox& box) {
    SearchedTexts texts;
    // A box whose text file does not open is searched in its header fields.
    if (matcher.SearchesBody()) (void)texts.Open(box.text_path);
    shown.SetStatusText(BoxNameOf(box.path));
    const int count = static_cast<int>(box.records.size());
    shown.SetRange(0, count);
    const int first = box.index == start.box ? std::max(start.mail, 0) : 0;
    for (int mail = first; mail < count; ++mail) {
      // Polled every few mails: a mail costs microseconds.
      if ((mail & 63) == 0) {
        if (shown.CancelRequested()) {
          cancelled = true;
          return false;
        }
        if (progress != nullptr && progress->SkipRequested()) break;
        shown.SetPosition(mail);
      }
      const CMail& record = *box.records[static_cast<std::size_t>(mail)];
      const MailMatch match = MailMatches(record, texts, matcher);
      if (match == MailMatch::NotSearched) result.not_searched.push_back({box.index, mail});
      if (match != MailMatch::Yes) continue;
      const BoxSearchPosition found{box.index, mail};
      matched_any = true;
      if (!on_match || !on_match(found, record)) {
        result.outcome = BoxSearchOutcome::Found;
        result.position = found;
        result.path = box.path;
        result.mail = record;
        return false;
      }
    }
    return true;
  });
  if (walk.end == WalkEnd::Cancelled || cancelled) {
    result.outcome = BoxSearchOutcome::Cancelled;
    result.position = BoxSearchPosition{walk.box, 0};
    return result;
  }
  if (walk.end == WalkEnd::Stopped) return result;
  result.outcome = matched_any ? BoxSearchOutcome::Found : BoxSearchOutcome::NotFound;
  result.position = BoxSearchPosition{boxes.box_list().size(), 0};
  return result;
}

}  // namespace lp
