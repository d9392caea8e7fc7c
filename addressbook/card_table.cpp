#include "addressbook/card_table.h"

#include <algorithm>
#include <atomic>
#include <utility>

#include "addressbook/addressbook_messages.h"
#include "codec/japanese_text.h"
#include "platform/atomic_file.h"
#include "platform/file_system.h"

namespace lp {

namespace {

// Revisions are unique across every table, so that a table given another
// one's cards never matches a cache made for its own.
std::uint64_t NextRevision() {
  static std::atomic<std::uint64_t> last{0};
  return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

}  // namespace
namespace {

// Calls `visit` with each line of `text` without its line end (LF, or CR LF
// as a text-mode read gives it). A last line without line end counts too.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    visit(line);
    pos = next;
  }
}

std::string_view WithoutLineEnd(std::string_view line) {
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

}  // namespace

std::optional<std::string> ReadCardFileText(std::string_view sjis_path, std::string* error) {
  if (!IsRegularFile(sjis_path)) {
    if (error) *error = "not a regular file";
    return std::nullopt;
  }
  const std::optional<std::uint64_t> size = FileSize(sjis_path);
  if (size && *size > kMaxCardFileBytes) {
    if (error) *error = "file too large";
    return std::nullopt;
  }
  return ReadWholeFile(sjis_path, error);
}

void TCard::Reset(std::string_view header_line, bool header_less) {
  revision_ = NextRevision();
  header_ = ParseCsvLine(WithoutLineEnd(header_line)).fields;
  header_less_ = header_less;
  cards_.clear();
  broken_lines_ = 0;
  filter_.reset();
  RebuildView();
}

void TCard::Parse(std::string_view text, bool header_less, std::string_view empty_header) {
  revision_ = NextRevision();
  Reset(empty_header, header_less);
  bool first = true;
  ForEachLine(text, [&](std::string_view line) {
    ParsedCsvLine parsed = ParseCsvLine(line);
    if (!parsed.complete) ++broken_lines_;
    if (first) {
      first = false;
      header_.clear();
      if (!header_less) {
        header_ = std::move(parsed.fields);
        return;
      }
      for (std::size_t i = 0; i < parsed.fields.size(); ++i) {
        header_.push_back({kItemColumnName + std::to_string(i + 1), true});
      }
    }
    FitToColumns(parsed.fields);
    cards_.push_back(std::move(parsed.fields));
  });
  if (!first && !header_less && cards_.empty()) AddCard();
  RebuildView();
}

std::string TCard::Format(CardScope scope) const {
  std::string text;
  if (!header_less_) text += FormatCsvLine(header_) + "\r\n";
  ForEachCard(scope, [&text](const Card& card) { text += FormatCsvLine(card) + "\r\n"; });
  return text;
}

void TCard::ForEachCard(CardScope scope, const std::function<void(const Card&)>& visit) const {
  if (scope == CardScope::AllCards) {
    std::for_each(cards_.begin(), cards_.end(), visit);
  } else {
    for (std::size_t index : view_) visit(cards_[index]);
  }
}

CardFileStatus TCard::Load(std::string_view sjis_path, bool header_less, std::string_view empty_header,
                           std::string* error) {
  Reset(empty_header, header_less);
  if (!PathExists(sjis_path)) return CardFileStatus::Missing;
  std::optional<std::string> text = ReadCardFileText(sjis_path, error);
  if (!text) return CardFileStatus::Unreadable;
  Parse(*text, header_less, empty_header);
  return CardFileStatus::Read;
}

bool TCard::Save(std::string_view sjis_path, CardScope scope, std::string* error) const {
  return ReplaceFileAtomically(sjis_path, Format(scope), error);
}

const std::string& TCard::Field(std::size_t card, std::size_t column) const {
  static const std::string kEmpty;
  if (card >= cards_.size() || column >= cards_[card].size()) return kEmpty;
  return cards_[card][column].text;
}

std::size_t TCard::AddCard(std::vector<std::string> texts) {
  revision_ = NextRevision();
  Card card;
  for (std::string& text : texts) card.push_back({std::move(text), false});
  FitToColumns(card);
  // A new card writes each field as its column's header does.
  for (std::size_t i = 0; i < card.size(); ++i) card[i].quoted = header_[i].quoted;
  cards_.push_back(std::move(card));
  if (PassesFilter(cards_.back())) view_.push_back(cards_.size() - 1);
  return cards_.size() - 1;
}

bool TCard::RemoveViewCard(std::size_t view_position) {
  revision_ = NextRevision();
  if (view_position >= view_.size()) return false;
  cards_.erase(cards_.begin() + static_cast<std::ptrdiff_t>(view_[view_position]));
  RebuildView();
  return true;
}

bool TCard::SwapViewCards(std::size_t a, std::size_t b) {
  revision_ = NextRevision();
  if (a >= view_.size() || b >= view_.size()) return false;
  std::swap(cards_[view_[a]], cards_[view_[b]]);
  return true;
}

bool TCard::SetField(std::size_t card, std::size_t column, std::string text) {
  revision_ = NextRevision();
  if (card >= cards_.size() || column >= cards_[card].size()) return false;
  cards_[card][column].text = std::move(text);
  return true;
}

void TCard::SetFilter(std::size_t column, std::string value) {
  filter_ = Filter{column, std::move(value)};
  RebuildView();
}

void TCard::ClearFilter() {
  filter_.reset();
  RebuildView();
}

std::size_t TCard::ReplaceColumnValue(std::size_t column, std::string_view old_value,
                                      std::string_view new_value) {
  revision_ = NextRevision();
  std::size_t changed = 0;
  for (Card& card : cards_) {
    if (column < card.size() && card[column].text == old_value) {
      card[column].text = new_value;
      ++changed;
    }
  }
  RebuildView();
  return changed;
}

void TCard::SortCards(std::size_t column, bool ascending) {
  revision_ = NextRevision();
  std::stable_sort(cards_.begin(), cards_.end(), [column, ascending](const Card& a, const Card& b) {
    const std::string_view left = column < a.size() ? std::string_view(a[column].text) : std::string_view();
    const std::string_view right = column < b.size() ? std::string_view(b[column].text) : std::string_view();
    const int order = CompareJapaneseText(left, right, FoldAll);
    return ascending ? order < 0 : order > 0;
  });
  RebuildView();
}

void TCard::FitToColumns(Card& card) const {
  const std::size_t old_size = card.size();
  card.resize(header_.size());
  for (std::size_t i = old_size; i < card.size(); ++i) card[i].quoted = header_[i].quoted;
}

bool TCard::PassesFilter(const Card& card) const {
  if (!filter_) return true;
  const std::string_view value = filter_->column < card.size() ? std::string_view(card[filter_->column].text)
                                                               : std::string_view();
  return value == filter_->value;
}

void TCard::RebuildView() {
  view_.clear();
  for (std::size_t i = 0; i < cards_.size(); ++i) {
    if (PassesFilter(cards_[i])) view_.push_back(i);
  }
}

}  // namespace lp
