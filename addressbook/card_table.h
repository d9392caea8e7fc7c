#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "addressbook/csv_line.h"

// A table of cards read from and written to a CSV file, one card per line
// ending in CR LF. It does not know what its columns mean. The first line
// names the columns unless the table is header-less: then the first card
// fixes the number of columns, which are named "項目1", "項目2" ... Every
// card is cut or padded to the number of columns. A filter (a column and a
// value it must equal) selects the filtered view; without a filter the view
// holds every card. Texts are Shift_JIS.

namespace lp {

enum class CardScope { AllCards, FilteredView };

enum class CardFileStatus {
  Read,        // the file was read (possibly with broken lines, see below)
  Missing,     // there is no such file
  Unreadable,  // the file exists but could not be read; the table is empty
};

// Larger files are refused rather than read into memory.
inline constexpr std::uint64_t kMaxCardFileBytes = 256ull << 20;

// The whole content of a regular file of at most kMaxCardFileBytes, or
// nullopt with the reason in `error`. A pipe or directory is never read.
[[nodiscard]] std::optional<std::string> ReadCardFileText(std::string_view sjis_path, std::string* error = nullptr);

class TCard {
 public:

  // Starts a table whose columns come from `header_line` (a CSV line, a
  // trailing CR LF or LF is ignored), with no cards.
  void Reset(std::string_view header_line, bool header_less);

  // Reads the whole text of a CSV file. Text without any line gives the
  // columns of `empty_header` and no cards; a header with no card line gives
  // one card with every field empty.
  void Parse(std::string_view text, bool header_less, std::string_view empty_header);
  // The file as Save writes it.
  [[nodiscard]] std::string Format(CardScope scope) const;

  [[nodiscard]] CardFileStatus Load(std::string_view sjis_path, bool header_less,
                                    std::string_view empty_header, std::string* error = nullptr);
  // Replaces the file atomically; false (file untouched) on failure.
  [[nodiscard]] bool Save(std::string_view sjis_path, CardScope scope, std::string* error = nullptr) const;

  [[nodiscard]] bool HeaderLess() const { return header_less_; }
  [[nodiscard]] const Card& Header() const { return header_; }
  [[nodiscard]] std::size_t ColumnCount() const { return header_.size(); }
  // Number of lines whose quoted field had no closing quote at the last Parse.
  [[nodiscard]] std::size_t BrokenLineCount() const { return broken_lines_; }

  [[nodiscard]] const std::vector<Card>& Cards() const { return cards_; }
  // Calls `visit` with every card of the scope, in order.
  void ForEachCard(CardScope scope, const std::function<void(const Card&)>& visit) const;
  // A new number with every change of the cards (not of the filter), never
  // shared with another table unless it is a copy: a cache of the contents
  // is stale when it was made at another revision.
  [[nodiscard]] std::uint64_t Revision() const { return revision_; }
  [[nodiscard]] std::size_t ViewSize() const { return view_.size(); }
  // Index in Cards() of the card at a filtered-view position.
  [[nodiscard]] std::size_t CardOfView(std::size_t view_position) const { return view_.at(view_position); }
  [[nodiscard]] const Card& ViewCard(std::size_t view_position) const { return cards_.at(view_.at(view_position)); }

  // Text of a field, empty for a column the card does not have.
  [[nodiscard]] const std::string& Field(std::size_t card, std::size_t column) const;

  // Appends a card cut or padded to the columns; new fields take the quoted
  // flag of their column's header. Returns its index in Cards().
  std::size_t AddCard(std::vector<std::string> texts = {});
  // False when the position is outside the filtered view.
  bool RemoveViewCard(std::size_t view_position);
  // Swaps two cards of the filtered view in the table.
  bool SwapViewCards(std::size_t a, std::size_t b);
  // Keeps the field's quoted flag. False for a card or column out of range.
  bool SetField(std::size_t card, std::size_t column, std::string text);

  void SetFilter(std::size_t column, std::string value);
  void ClearFilter();
  [[nodiscard]] bool HasFilter() const { return filter_.has_value(); }

  // Every field of `column` equal to `old_value` becomes `new_value`;
  // returns how many changed. The filtered view is rebuilt.
  std::size_t ReplaceColumnValue(std::size_t column, std::string_view old_value, std::string_view new_value);

  // Stable sort of all cards by one column, compared as Japanese text with
  // every folding flag.
  void SortCards(std::size_t column, bool ascending);

 private:
  struct Filter {
    std::size_t column;
    std::string value;
  };

  void FitToColumns(Card& card) const;
  [[nodiscard]] bool PassesFilter(const Card& card) const;
  void RebuildView();

  Card header_;
  bool header_less_ = false;
  std::vector<Card> cards_;
  std::vector<std::size_t> view_;
  std::optional<Filter> filter_;
  std::size_t broken_lines_ = 0;
  std::uint64_t revision_ = 0;
};

}  // namespace lp
