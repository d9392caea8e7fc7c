#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/box_arguments.h"
#include "cli/commands.h"
#include "cli/terminal_text.h"
#include "cli/tsv_field.h"
#include "codec/address_display.h"
#include "codec/date_header.h"
#include "codec/japanese_text.h"
#include "platform/code_page.h"
#include "rules/mail_search.h"
#include "rules/rules_messages.h"
#include "store/box_list.h"
#include "store/store_messages.h"

namespace lp {
namespace {

constexpr int kExitNothingMatched = 1;
constexpr int kExitError = 2;
// Some mails could not be searched (a regular expression reached a limit on
// them): whatever matched was printed, but the answer is incomplete.
constexpr int kExitNotSearched = 3;
constexpr char kUsage[] =
    "usage: search [BOX|--all] TEXT [--regex] [--fold width,case,kana,small|all] "
    "[--field subject|from|to|body|all] [--status N] [--label N]";

std::optional<unsigned> ParseFold(const std::string& list) {
  unsigned flags = 0;
  std::istringstream names(list);
  std::string name;
  while (std::getline(names, name, ',')) {
    if (name == "width") {
      flags |= IgnoreWidth;
    } else if (name == "case") {
      flags |= IgnoreCase;
    } else if (name == "kana") {
      flags |= IgnoreKana;
    } else if (name == "small") {
      flags |= IgnoreSmallAndVoiced;
    } else if (name == "all") {
      flags |= IgnoreWidth | IgnoreCase | IgnoreKana | IgnoreSmallAndVoiced;
    } else {
      return std::nullopt;
    }
  }
  return flags;
}

std::optional<SearchField> ParseField(const std::string& name) {
  if (name == "all") return SearchField::All;
  if (name == "to") return SearchField::To;
  if (name == "from") return SearchField::From;
  if (name == "subject") return SearchField::Subject;
  if (name == "body") return SearchField::Body;
  return std::nullopt;
}

// The condition of the command line; nullopt after showing what is wrong.
std::optional<SearchCondition> ParseCondition(CommandContext& context, const std::string& text_utf8) {
  const CliArguments& args = context.args;
  SearchCondition condition;
  condition.text = Utf8ToCp932(text_utf8);
  condition.regex = args.Has("regex");
  const std::optional<unsigned> flags = ParseFold(args.Value("fold").value_or(""));
  const std::optional<SearchField> field = ParseField(args.Value("field").value_or("all"));
  const std::optional<long> status = args.Has("status") ? ParseNonNegative(*args.Value("status")) : -1;
  const std::optional<long> label = args.Has("label") ? ParseNonNegative(*args.Value("label")) : -1;
  if (!flags || !field || !status || *status > kStatusSent || !label || *label > kMaxLabel) {
    context.ui.ShowMessage(kUsage);
    return std::nullopt;
  }
  condition.fold_width = (*flags & IgnoreWidth) != 0;
  condition.fold_case = (*flags & IgnoreCase) != 0;
  condition.fold_kana = (*flags & IgnoreKana) != 0;
  condition.fold_small = (*flags & IgnoreSmallAndVoiced) != 0;
  condition.field = *field;
  condition.status = static_cast<int>(*status);
  // --label N asks for the mails of label N (0: none); the condition counts
  // "any" as 0 and label n as n + 1.
  condition.label = static_cast<int>(*label) + 1;
  return condition;
}

// The box's path as the command line names boxes: relative to the data
// directory.
std::string BoxName(const CommandContext& context, const std::string& path) {
  const std::string& root = context.app.data_directory();
  if (path.size() > root.size() && path.compare(0, root.size(), root) == 0 && path[root.size()] == '/') {
    return path.substr(root.size() + 1);
  }
  return path;
}

void PrintMatch(const std::string& box_name, int index, const CMail& mail) {
  std::printf("%s\t%d\t%s\t%s\t%s\n", TerminalSafeFromSjis(box_name, LineBreaks::AsBlank).c_str(), index,
              FormatListDate(mail.date).c_str(), TsvFieldUtf8(AddressFieldForDisplay(mail.from)).c_str(),
              TsvFieldUtf8(mail.subject).c_str());
}

// One message line per mail that was not searched, then the count.
void ReportNotSearched(CommandContext& context, const std::vector<std::pair<std::string, int>>& mails) {
  for (const auto& [box_name, index] : mails) {
    context.ui.ShowMessage(std::string(kNotSearchedMail) + box_name + " " + std::to_string(index));
  }
  if (!mails.empty()) context.ui.ShowMessage(NotSearchedMessage(static_cast<int>(mails.size())));
}

int Finish(int matches, std::size_t not_searched) {
  if (std::fflush(stdout) != 0) return kExitError;
  if (not_searched > 0) return kExitNotSearched;
  return matches > 0 ? 0 : kExitNothingMatched;
}

int SearchOneBox(CommandContext& context, const std::string& box_utf8, const SearchCondition& condition) {
  auto box = OpenBoxForCommand(context, box_utf8);
  if (!box) return kExitError;
  const MailMatcher matcher(condition);
  if (!matcher.ok()) {
    context.ui.ShowMessage(matcher.error());
    return kExitError;
  }
  CLPOSTDoc& doc = *box->doc;
  SearchedTexts texts;
  if (matcher.SearchesBody() && !texts.Open(doc.TextFilePath())) {
    context.ui.ShowMessage(std::string(store_messages::kTextFileOpenFailed) + ":" + doc.TextFilePath());
    return kExitError;
  }
  const std::string name = BoxName(context, doc.PathName());
  int matches = 0;
  std::vector<std::pair<std::string, int>> not_searched;
  std::string first_error;
  for (int i = 0; i < doc.Count(); ++i) {
    std::string error;
    const MailMatch match = MailMatches(*doc.RecordAt(i), texts, matcher, &error);
    if (match == MailMatch::Yes) {
      PrintMatch(name, i, *doc.RecordAt(i));
      ++matches;
    } else if (match == MailMatch::NotSearched) {
      not_searched.emplace_back(name, i);
    }
    if (!error.empty() && first_error.empty()) first_error = std::move(error);
  }
  if (!first_error.empty()) context.ui.ShowMessage(first_error);
  std::fflush(stdout);
  ReportNotSearched(context, not_searched);
  return Finish(matches, not_searched.size());
}

int SearchEveryBox(CommandContext& context, const SearchCondition& condition) {
  const BoxWalkSources boxes = BoxWalkSources::Plan(BuildBoxList(context.app.data_directory()), nullptr);
  const std::vector<std::string>& list = boxes.box_list();
  int matches = 0;
  const BoxSearchResult result = SearchAllBoxes(
      boxes, {}, condition, context.app.profile(), nullptr, [&](const BoxSearchPosition& match, const CMail& mail) {
        PrintMatch(BoxName(context, list[match.box]), match.mail, mail);
        ++matches;
        return true;
      });
  if (result.outcome == BoxSearchOutcome::Failed) {
    context.ui.ShowMessage(result.message);
    return kExitError;
  }
  std::vector<std::pair<std::string, int>> not_searched;
  for (const BoxSearchPosition& mail : result.not_searched) {
    not_searched.emplace_back(BoxName(context, list[mail.box]), mail.mail);
  }
  std::fflush(stdout);
  ReportNotSearched(context, not_searched);
  return Finish(matches, not_searched.size());
}

}  // namespace

int RunSearchCommand(CommandContext& context) {
  const auto& positional = context.args.positional;
  const bool all = context.args.Has("all");
  const std::size_t wanted = all ? 1 : positional.size();
  if (positional.empty() || positional.size() != wanted || positional.size() > 2) {
    context.ui.ShowMessage(kUsage);
    return kExitError;
  }
  const std::optional<SearchCondition> condition = ParseCondition(context, positional.back());
  if (!condition) return kExitError;
  if (all) return SearchEveryBox(context, *condition);
  return SearchOneBox(context, positional.size() == 2 ? positional[0] : std::string(), *condition);
}

}  // namespace lp
