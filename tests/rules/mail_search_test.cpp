#include "rules/mail_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "codec/japanese_text.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "rules/rules_messages.h"
#include "rules/search_history.h"
#include "store/box_list.h"
#include "store/store_messages.h"
#include "tests/store/mailbox_test_boxes.h"

namespace lp {
namespace {

using testing::WriteFileBytes;

std::string Sjis(const char* utf8) { return Utf8ToCp932(utf8); }

struct Mail {
  std::string to = "to@example.jp";
  std::string from = "from@example.jp";
  std::string subject = "subject";
  std::string text = "body\r\n";
  int status = kStatusRead;
  int label = 0;
};

SearchCondition Condition(std::string text, SearchField field = SearchField::All) {
  SearchCondition c;
  c.text = std::move(text);
  c.field = field;
  c.fold_case = false;
  c.fold_kana = false;
  return c;
}

// A progress whose cancel and "次へ" come after a given number of polls.
class ScriptedSearchProgress : public SkippableProgress {
 public:
  void SetRange(int, int) override {}
  void SetPosition(int) override {}
  void SetStatusText(std::string_view text) override { boxes_shown.emplace_back(text); }
  bool CancelRequested() override { return cancel_after_ >= 0 && ++cancel_polls_ > cancel_after_; }
  bool SkipRequested() override {
    if (skip_pending_) {
      skip_pending_ = false;
      return true;
    }
    return false;
  }
  void CancelAfter(int polls) { cancel_after_ = polls; }
  void PressSkip() { skip_pending_ = true; }

  std::vector<std::string> boxes_shown;

 private:
  int cancel_after_ = -1;
  int cancel_polls_ = 0;
  bool skip_pending_ = false;
};

class MailSearchTest : public testing::BoxTest {
 protected:
  std::unique_ptr<CLPOSTDoc> MakeMailBox(const std::string& name, const std::vector<Mail>& mails) {
    WriteFileBytes(Native(name), "");
    auto doc = NewDoc();
    EXPECT_TRUE(doc->Open(name).ok);
    for (const Mail& mail : mails) {
      auto record = std::make_unique<CMail>();
      record->to = mail.to;
      record->from = mail.from;
      record->subject = mail.subject;
      record->status = mail.status;
      record->label = mail.label;
      doc->Add(std::move(record));
      EXPECT_TRUE(doc->StoreTextOfLast(mail.text));
    }
    EXPECT_TRUE(doc->Save().ok);
    return doc;
  }
};

struct MatchCase {
  const char* name;
  Mail mail;
  SearchCondition condition;
  bool matches;
};

SearchCondition WithFlags(SearchCondition c, bool width, bool letter_case, bool kana, bool small) {
  c.fold_width = width;
  c.fold_case = letter_case;
  c.fold_kana = kana;
  c.fold_small = small;
  return c;
}

SearchCondition Filtered(SearchCondition c, int status, int label) {
  c.status = status;
  c.label = label;
  return c;
}

SearchCondition AsRegex(SearchCondition c) {
  c.regex = true;
  return c;
}

TEST_F(MailSearchTest, MailMatchesByFieldFlagsAndFilters) {
  const Mail japanese{"to@example.jp", Sjis("山田 <yamada@example.jp>"), Sjis("テスト送信のお知らせ"),
                      Sjis("本文です。キャンプの予定\r\n表示\r\n")};
  Mail labelled = japanese;
  labelled.label = 2;
  Mail unread = japanese;
  unread.status = kStatusUnread;
  // A word that crosses the 32000th byte of the stored text.
  Mail long_mail = japanese;
  long_mail.text = std::string(31998, 'x') + Sjis("会議室") + "\r\n";
  const std::vector<MatchCase> cases = {
      {"subject", japanese, Condition(Sjis("送信"), SearchField::Subject), true},
      {"subject field leaves the body", japanese, Condition(Sjis("本文"), SearchField::Subject), false},
      {"to field", japanese, Condition("to@", SearchField::To), true},
      {"to field leaves from", japanese, Condition("from", SearchField::To), false},
      {"from field", japanese, Condition(Sjis("山田"), SearchField::From), true},
      {"body field", japanese, Condition(Sjis("予定"), SearchField::Body), true},
      {"all fields reach the body", japanese, Condition(Sjis("予定")), true},
      {"all fields, nowhere", japanese, Condition(Sjis("会議")), false},
      {"half-width in the subject with width folding",
       japanese, WithFlags(Condition(Sjis("ﾃｽﾄ"), SearchField::Subject), true, false, false, false), true},
      {"half-width without width folding", japanese, Condition(Sjis("ﾃｽﾄ"), SearchField::Subject), false},
      {"case folding", japanese, WithFlags(Condition("YAMADA", SearchField::From), false, true, false, false), true},
      {"no case folding", japanese, Condition("YAMADA", SearchField::From), false},
      {"kana folding", japanese, WithFlags(Condition(Sjis("てすと")), false, false, true, false), true},
      {"small kana folding", japanese, WithFlags(Condition(Sjis("キヤンプ")), false, false, false, true), true},
      {"empty text matches every mail", japanese, Condition(""), true},
      {"label none selects unlabelled mail", japanese, Filtered(Condition(""), -1, 1), true},
      {"label none leaves labelled mail", labelled, Filtered(Condition(""), -1, 1), false},
      {"label n selects label n-1", labelled, Filtered(Condition(""), -1, 3), true},
      {"status unread", unread, Filtered(Condition(Sjis("送信")), kStatusUnread, 0), true},
      {"status unread leaves read mail", japanese, Filtered(Condition(Sjis("送信")), kStatusUnread, 0), false},
      {"regex on Japanese text", japanese, AsRegex(Condition(Sjis("テ.ト"))), true},
      {"regex dot takes a whole character", japanese, AsRegex(Condition(Sjis("^テ.ト送信"), SearchField::Subject)),
       true},
      {"regex backslash is no trail byte", japanese, AsRegex(Condition("\\\\", SearchField::Body)), false},
      {"regex ignores case with Oomoji",
       japanese, WithFlags(AsRegex(Condition("YAMADA@", SearchField::From)), false, true, false, false), true},
      {"regex keeps case without Oomoji", japanese, AsRegex(Condition("YAMADA@", SearchField::From)), false},
      {"plain backslash is no trail byte", japanese, Condition("\\", SearchField::Body), false},
      {"match across the 32000th byte", long_mail, Condition(Sjis("会議室"), SearchField::Body), true},
  };
  for (const MatchCase& c : cases) {
    auto box = MakeMailBox("case.lp", {c.mail});
    const MailMatcher matcher(c.condition);
    ASSERT_TRUE(matcher.ok()) << c.name;
    EXPECT_EQ(MailMatches(*box, 0, matcher), c.matches ? MailMatch::Yes : MailMatch::No) << c.name;
  }
}

TEST_F(MailSearchTest, BadPatternIsReportedAndEndsTheSearch) {
  auto box = MakeMailBox("box.lp", {Mail{}});
  SearchCondition condition = AsRegex(Condition("(unclosed"));
  EXPECT_EQ(SearchBox(*box, 0, SearchDirection::Forward, condition, ui_), kSearchCancelled);
  EXPECT_EQ(ui_.messages, std::vector<std::string>{std::string(kBadKeywordPattern) + "(unclosed"});
}

// A pattern too large to compile is named by its start and PCRE2's reason,
// not echoed whole.
TEST_F(MailSearchTest, HugeBadPatternGetsTheEnginesReasonNotAnEcho) {
  const MailMatcher matcher(AsRegex(Condition(std::string(100 * 1024, '('))));
  ASSERT_FALSE(matcher.ok());
  EXPECT_EQ(matcher.error().rfind(kBadKeywordPattern, 0), 0u);
  EXPECT_LT(matcher.error().size(), 300u);
  EXPECT_NE(matcher.error().find("nested"), std::string::npos) << matcher.error();
}

// A mail on which the pattern reached a limit is "not searched", never "no
// match": the box search goes on past it and says so once.
TEST_F(MailSearchTest, MailsARegexCouldNotSearchAreToldApartFromNoMatch) {
  Mail catastrophic;
  catastrophic.text = std::string(5000, 'a') + "\r\nb\r\n";
  Mail plain;
  plain.subject = "aab";
  auto box = MakeMailBox("box.lp", {catastrophic, Mail{}, plain});
  const MailMatcher matcher(AsRegex(Condition("(a+)+b")));
  EXPECT_EQ(MailMatches(*box, 0, matcher), MailMatch::NotSearched);
  EXPECT_EQ(MailMatches(*box, 1, matcher), MailMatch::No);
  EXPECT_EQ(MailMatches(*box, 2, matcher), MailMatch::Yes);
  EXPECT_EQ(SearchBox(*box, 0, SearchDirection::Forward, AsRegex(Condition("(a+)+b")), ui_), 2);
  EXPECT_EQ(ui_.messages, std::vector<std::string>{NotSearchedMessage(1)});
  const BoxSearchResult walked =
      SearchAllBoxes(BoxWalkSources::Plan(BuildBoxList(AbsolutePath(".")), nullptr), {}, AsRegex(Condition("(a+)+b")),
                     profile_, nullptr,
                     [](const BoxSearchPosition&, const CMail&) { return true; });
  ASSERT_EQ(walked.not_searched.size(), 1u);
  EXPECT_EQ(walked.not_searched[0].mail, 0);
}

TEST_F(MailSearchTest, SearchBoxStepsForwardAndBackwardFromTheStart) {
  std::vector<Mail> mails(5);
  mails[1].subject = "match";
  mails[3].subject = "match";
  auto box = MakeMailBox("box.lp", mails);
  const SearchCondition condition = Condition("match", SearchField::Subject);
  EXPECT_EQ(SearchBox(*box, 0, SearchDirection::Forward, condition, ui_), 1);
  // The start mail itself is tested first.
  EXPECT_EQ(SearchBox(*box, 1, SearchDirection::Forward, condition, ui_), 1);
  EXPECT_EQ(SearchBox(*box, 2, SearchDirection::Forward, condition, ui_), 3);
  EXPECT_EQ(SearchBox(*box, 4, SearchDirection::Forward, condition, ui_), kSearchNotFound);
  EXPECT_EQ(SearchBox(*box, 4, SearchDirection::Backward, condition, ui_), 3);
  EXPECT_EQ(SearchBox(*box, 0, SearchDirection::Backward, condition, ui_), kSearchNotFound);
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(ui_.progress_captions.front(), kSearchCaption);
}

TEST_F(MailSearchTest, SearchStartFollowsCurrentAndDirection) {
  auto box = MakeMailBox("box.lp", std::vector<Mail>(4));
  SearchCondition condition;
  EXPECT_EQ(SearchStartIndex(*box, condition), 0);
  condition.backward = true;
  EXPECT_EQ(SearchStartIndex(*box, condition), 3);
  box->set_current_index(2);
  condition.from_current = true;
  EXPECT_EQ(SearchStartIndex(*box, condition), 2);
}

TEST_F(MailSearchTest, CancelEndsTheBoxSearchQuietly) {
  auto box = MakeMailBox("box.lp", std::vector<Mail>(3));
  ui_.CancelProgressAfter(1);
  EXPECT_EQ(SearchBox(*box, 0, SearchDirection::Forward, Condition("nothing"), ui_), kSearchCancelled);
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(MailSearchTest, MissingTextFileEndsABodySearchWithOneMessage) {
  auto box = MakeMailBox("box.lp", std::vector<Mail>(2));
  ASSERT_TRUE(RemoveFile(box->TextFilePath()));
  EXPECT_EQ(SearchBox(*box, 0, SearchDirection::Forward, Condition("body"), ui_), kSearchCancelled);
  EXPECT_EQ(ui_.messages, std::vector<std::string>{store_messages::kTextFileOpenFailed});
  // The header fields need no text file.
  ui_.messages.clear();
  EXPECT_EQ(SearchBox(*box, 0, SearchDirection::Forward, Condition("subject", SearchField::Subject), ui_), 0);
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(MailSearchTest, OffsetsBeyondTheTextFileAreReportedOnceAsAFailedSeek) {
  auto box = MakeMailBox("box.lp", std::vector<Mail>(3));
  for (int i = 0; i < 3; ++i) box->RecordAt(i)->text_start = 1'000'000;
  EXPECT_EQ(SearchBox(*box, 0, SearchDirection::Forward, Condition("body", SearchField::Body), ui_),
            kSearchNotFound);
  EXPECT_EQ(ui_.messages, std::vector<std::string>{store_messages::kTextFileSeekFailed});
}

class AllBoxSearchTest : public MailSearchTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(MakeDirectory(Native("folder.lp")));
    Mail hit;
    hit.text = "needle\r\n";
    MakeMailBox("a.lp", {Mail{}, hit});
    MakeMailBox("folder.lp/b.lp", {hit, Mail{}, hit});
    MakeMailBox("c.lp", {hit});
    MakeMailBox("empty.lp", {});
    list_ = BuildBoxList(AbsolutePath("."));
  }

  // The box and mail of every match, walking from `start`, one walk per match.
  std::vector<std::pair<std::string, int>> Walk(BoxSearchPosition start) {
    std::vector<std::pair<std::string, int>> found;
    for (;;) {
      const BoxSearchResult result = SearchAllBoxes(Sources(), start, Condition("needle"), profile_, &progress_);
      if (result.outcome != BoxSearchOutcome::Found) {
        EXPECT_EQ(result.position.box, list_.size());
        return found;
      }
      found.emplace_back(BoxNameOf(list_[result.position.box]), result.position.mail);
      start = BoxSearchPosition{result.position.box, result.position.mail + 1};
    }
  }

  [[nodiscard]] BoxWalkSources Sources(const OpenBoxRegistry* registry = nullptr) const {
    return BoxWalkSources::Plan(list_, registry);
  }

  std::vector<std::string> list_;
  ScriptedSearchProgress progress_;
};

TEST_F(AllBoxSearchTest, WalksEveryBoxInListOrderFromThePosition) {
  // Folders come after the boxes beside them: a, c, empty, folder/b.
  const std::vector<std::pair<std::string, int>> expected = {{"a", 1}, {"c", 0}, {"b", 0}, {"b", 2}};
  EXPECT_EQ(Walk({}), expected);
  // "次のBOXを検索": from the box after the remembered one.
  const BoxSearchResult first = SearchAllBoxes(Sources(), {}, Condition("needle"), profile_, &progress_);
  const BoxSearchResult next_box =
      SearchAllBoxes(Sources(), {first.position.box + 1, 0}, Condition("needle"), profile_, &progress_);
  EXPECT_EQ(BoxNameOf(list_[next_box.position.box]), "c");
  EXPECT_EQ(next_box.position.mail, 0);
  // A walk that found nothing is over: starting at its end finds nothing at once.
  EXPECT_EQ(SearchAllBoxes(Sources(), {list_.size(), 0}, Condition("needle"), profile_, &progress_).outcome,
            BoxSearchOutcome::NotFound);
}

TEST_F(AllBoxSearchTest, BoxesLeftOutOfTheSearchArePassedOver) {
  // The key is the box's full path, as the box list holds it.
  const auto b = std::find_if(list_.begin(), list_.end(), [](const std::string& path) { return BoxNameOf(path) == "b"; });
  ASSERT_NE(b, list_.end());
  ASSERT_TRUE(profile_.WriteInt("FindBox", *b, 0));
  const std::vector<std::pair<std::string, int>> expected = {{"a", 1}, {"c", 0}};
  EXPECT_EQ(Walk({}), expected);
}

TEST_F(AllBoxSearchTest, NextLeavesTheBoxAndCancelEndsTheWalk) {
  progress_.PressSkip();
  const BoxSearchResult skipped = SearchAllBoxes(Sources(), {}, Condition("needle"), profile_, &progress_);
  EXPECT_EQ(BoxNameOf(list_[skipped.position.box]), "c");

  progress_.CancelAfter(0);
  const BoxSearchResult cancelled = SearchAllBoxes(Sources(), {}, Condition("needle"), profile_, &progress_);
  EXPECT_EQ(cancelled.outcome, BoxSearchOutcome::Cancelled);
}

TEST_F(AllBoxSearchTest, AnOpenBoxIsSearchedAsItsDocumentHoldsIt) {
  OpenBoxRegistry registry(profile_, ui_, commands_);
  const auto listed = [this](const char* name) {
    return *std::find_if(list_.begin(), list_.end(), [&](const std::string& path) { return BoxNameOf(path) == name; });
  };
  AcquiredBox a = registry.Acquire(listed("a"));
  AcquiredBox c = registry.Acquire(listed("c"));
  ASSERT_TRUE(a.box && c.box);
  // Not saved: the mail before a's match leaves, c's only mail is deleted.
  (void)a.box->RemoveAt(0);
  (void)c.box->RemoveAt(0);
  const BoxSearchResult first = SearchAllBoxes(Sources(&registry), {}, Condition("needle"), profile_, &progress_);
  ASSERT_EQ(first.outcome, BoxSearchOutcome::Found);
  EXPECT_EQ(BoxNameOf(first.path), "a");
  EXPECT_EQ(first.position.mail, 0);
  EXPECT_EQ(first.mail.serial, a.box->RecordAt(0)->serial);
  EXPECT_EQ(RowOfWalkedMail(*a.box, first.mail), 0);
  const BoxSearchResult second = SearchAllBoxes(Sources(&registry), {first.position.box, 1}, Condition("needle"),
                                                profile_, &progress_);
  EXPECT_EQ(BoxNameOf(second.path), "b");
}

TEST_F(AllBoxSearchTest, AHandlerSeesEveryMatch) {
  int matches = 0;
  const BoxSearchResult result =
      SearchAllBoxes(Sources(), {}, Condition("needle"), profile_, nullptr, [&](const BoxSearchPosition&, const CMail&) {
        ++matches;
        return true;
      });
  EXPECT_EQ(result.outcome, BoxSearchOutcome::Found);
  EXPECT_EQ(matches, 4);
}

TEST_F(MailSearchTest, ConditionKeepsItsKeys) {
  SearchCondition defaults = SearchCondition::Load(profile_);
  EXPECT_TRUE(defaults.fold_case);
  EXPECT_TRUE(defaults.fold_kana);
  EXPECT_FALSE(defaults.fold_width);
  EXPECT_EQ(defaults.status, -1);
  EXPECT_EQ(defaults.FoldFlags(), unsigned{IgnoreCase | IgnoreKana});

  SearchCondition c = Condition(Sjis("検索"), SearchField::Subject);
  c.fold_width = true;
  c.regex = true;
  c.backward = true;
  c.status = kStatusUnsent;
  c.label = 3;
  ASSERT_TRUE(c.Save(profile_));
  const SearchCondition loaded = SearchCondition::Load(profile_);
  EXPECT_EQ(loaded.text, c.text);
  EXPECT_EQ(loaded.field, SearchField::Subject);
  EXPECT_TRUE(loaded.fold_width && loaded.regex && loaded.backward);
  EXPECT_FALSE(loaded.fold_case || loaded.fold_kana || loaded.from_current);
  EXPECT_EQ(loaded.status, kStatusUnsent);
  EXPECT_EQ(loaded.label, 3);
}

TEST_F(MailSearchTest, HistoryKeepsTheLastTwentyTextsMostRecentFirst) {
  for (int i = 0; i < 25; ++i) ASSERT_TRUE(AddToSearchHistory(profile_, "text" + std::to_string(i)));
  std::vector<std::string> history = LoadSearchHistory(profile_);
  ASSERT_EQ(history.size(), 20u);
  EXPECT_EQ(history.front(), "text24");
  EXPECT_EQ(history.back(), "text5");
  // A text already listed moves to the front; an empty one is not added.
  ASSERT_TRUE(AddToSearchHistory(profile_, "text10"));
  ASSERT_TRUE(AddToSearchHistory(profile_, ""));
  history = LoadSearchHistory(profile_);
  EXPECT_EQ(history.size(), 20u);
  EXPECT_EQ(history[0], "text10");
  EXPECT_EQ(history[1], "text24");
  EXPECT_EQ(profile_.GetString("Search", "STR00"), "text10");
}

}  // namespace
}  // namespace lp
