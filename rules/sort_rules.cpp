#include "rules/sort_rules.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <utility>

#include "store/box_list.h"

namespace lp {
namespace {

constexpr char kCountKey[] = "DivNo";
constexpr char kCond1[] = "Cond1";
constexpr char kCond2[] = "Cond2";
constexpr char kMailBox[] = "MailBox";
constexpr char kFoward[] = "Foward";
constexpr char kReply[] = "Reply";

// " が "
constexpr char kTextGa[] = " \x82\xAA ";
// " のとき "
constexpr char kTextWhen[] = " \x82\xCC\x82\xC6\x82\xAB ";
// " へ移動する "
constexpr char kTextMove[] = " \x82\xD6\x88\xDA\x93\xAE\x82\xB7\x82\xE9 ";
// " へ転送する "
constexpr char kTextForward[] = " \x82\xD6\x93\x5D\x91\x97\x82\xB7\x82\xE9 ";
// " を返信する "
constexpr char kTextReply[] = " \x82\xF0\x95\xD4\x90\x4D\x82\xB7\x82\xE9 ";

std::string_view FieldLabel(int cond1) {
  switch (cond1) {
    case kRuleFieldTo: return "To:";
    case kRuleFieldFrom: return "From:";
    case kRuleFieldSubject: return "Sub:";
    default: return {};
  }
}

}  // namespace

std::string RuleKey(std::string_view field, std::size_t index) {
  char digits[24];
  std::snprintf(digits, sizeof digits, "%02zu", index);
  std::string key(field);
  key += digits;
  return key;
}

void CDivMenuArray::Load(const Profile& profile) {
  const int stored = profile.GetInt(kSection, kCountKey, 0);
  const std::size_t count = stored <= 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(stored), kMaxRules);
  rules_.clear();
  rules_.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    CDivMenu rule;
    rule.cond1 = profile.GetInt(kSection, RuleKey(kCond1, i), 0);
    rule.cond2 = profile.GetString(kSection, RuleKey(kCond2, i));
    rule.mail_box = profile.GetString(kSection, RuleKey(kMailBox, i));
    rule.foward = profile.GetString(kSection, RuleKey(kFoward, i));
    rule.reply = profile.GetString(kSection, RuleKey(kReply, i));
    rules_.push_back(std::move(rule));
  }
}

bool CDivMenuArray::Save(Profile& profile) const {
  // Keys and numbers live here while the entries view them; a deque never
  // moves what it holds.
  std::deque<std::string> texts;
  std::vector<ProfileEntry> entries;
  entries.reserve(1 + rules_.size() * 5);
  auto add = [&](std::string key, std::string_view value) {
    texts.push_back(std::move(key));
    entries.push_back({kSection, texts.back(), value});
  };
  texts.push_back(std::to_string(rules_.size()));
  entries.push_back({kSection, kCountKey, texts.back()});
  for (std::size_t i = 0; i < rules_.size(); ++i) {
    const CDivMenu& rule = rules_[i];
    texts.push_back(std::to_string(rule.cond1));
    const std::string_view cond1 = texts.back();
    add(RuleKey(kCond1, i), cond1);
    add(RuleKey(kCond2, i), rule.cond2);
    add(RuleKey(kMailBox, i), rule.mail_box);
    add(RuleKey(kFoward, i), rule.foward);
    add(RuleKey(kReply, i), rule.reply);
  }
  return profile.WriteStrings(entries);
}

const CDivMenu* CDivMenuArray::At(std::size_t index) const {
  return index < rules_.size() ? &rules_[index] : nullptr;
}

bool CDivMenuArray::Add(CDivMenu rule) {
  if (rules_.size() >= kMaxRules) return false;
  rules_.push_back(std::move(rule));
  return true;
}

bool CDivMenuArray::Delete(std::size_t index) {
  if (index >= rules_.size()) return false;
  rules_.erase(rules_.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

bool CDivMenuArray::Swap(std::size_t a, std::size_t b) {
  if (a >= rules_.size() || b >= rules_.size()) return false;
  std::swap(rules_[a], rules_[b]);
  return true;
}

bool CDivMenuArray::Replace(std::size_t index, CDivMenu rule) {
  if (index >= rules_.size()) return false;
  rules_[index] = std::move(rule);
  return true;
}

std::size_t CDivMenuArray::RenameDestination(std::string_view old_path, std::string_view new_path) {
  std::size_t changed = 0;
  for (CDivMenu& rule : rules_) {
    if (rule.mail_box == old_path) {
      rule.mail_box = new_path;
      ++changed;
    }
  }
  return changed;
}

std::size_t CDivMenuArray::RemoveDestination(std::string_view path) {
  return std::erase_if(rules_, [&](const CDivMenu& rule) { return rule.mail_box == path; });
}

std::string RuleText(const CDivMenu& rule) {
  std::string text(FieldLabel(rule.cond1));
  text += kTextGa;
  text += rule.cond2;
  text += kTextWhen;
  if (!rule.mail_box.empty()) {
    text += BoxNameOf(rule.mail_box);
    text += kTextMove;
  }
  if (!rule.foward.empty()) {
    text += rule.foward;
    text += kTextForward;
  }
  if (!rule.reply.empty()) {
    text += rule.reply;
    text += kTextReply;
  }
  return text;
}

}  // namespace lp
