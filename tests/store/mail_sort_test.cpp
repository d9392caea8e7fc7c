#include "store/mail_sort.h"

#include <cstddef>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/recording_user_interface.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

// ---- A straightforward reading of the sort, to hold the fast one against ----

bool RefIsLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool RefIsTrail(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// The characters of a Shift_JIS string, each as its bytes.
std::vector<std::string> RefCharacters(const std::string& s) {
  std::vector<std::string> chars;
  for (std::size_t i = 0; i < s.size();) {
    const bool pair = RefIsLead(static_cast<unsigned char>(s[i])) && i + 1 < s.size() &&
                      RefIsTrail(static_cast<unsigned char>(s[i + 1]));
    chars.push_back(s.substr(i, pair ? 2 : 1));
    i += pair ? 2 : 1;
  }
  return chars;
}

std::string RefUpper(const std::string& s) {
  std::string out;
  for (std::string c : RefCharacters(s)) {
    if (c.size() == 1 && c[0] >= 'a' && c[0] <= 'z') c[0] = static_cast<char>(c[0] - 'a' + 'A');
    out += c;
  }
  return out;
}

int RefCharValue(const std::string& c) {
  if (c.size() == 2) return static_cast<unsigned char>(c[0]) * 256 + static_cast<unsigned char>(c[1]);
  return static_cast<unsigned char>(c[0]);
}

int RefCompareText(const std::string& a, const std::string& b) {
  const auto ca = RefCharacters(RefUpper(a));
  const auto cb = RefCharacters(RefUpper(b));
  for (std::size_t i = 0; i < ca.size() && i < cb.size(); ++i) {
    const int d = RefCharValue(ca[i]) - RefCharValue(cb[i]);
    if (d != 0) return d;
  }
  return static_cast<int>(ca.size()) - static_cast<int>(cb.size());
}

int RefDates(const CMail& a, const CMail& b) { return a.date < b.date ? -1 : (a.date > b.date ? 1 : 0); }

std::pair<std::string, std::string> RefThreadParts(const std::string& subject) {
  const std::string upper = RefUpper(subject);
  if (upper.rfind("RE", 0) == 0 && upper.find(':') != std::string::npos) {
    const std::size_t colon = upper.rfind(':');
    const std::string rest = upper.substr(colon + 1);
    const std::size_t p = RefCharacters(upper.substr(0, colon)).size();
    std::string prefix;
    const auto rest_chars = RefCharacters(rest);
    for (std::size_t i = 0; i < p && i < rest_chars.size(); ++i) prefix += rest_chars[i];
    return {rest, prefix};
  }
  return {upper, ""};
}

int RefCompare(const CMail& a, const CMail& b, int key) {
  int c = 0;
  switch (key) {
    case 0: return RefDates(a, b);
    case 1: c = RefCompareText(a.from, b.from); break;
    case 2: c = RefCompareText(a.subject, b.subject); break;
    case 3: c = RefCompareText(a.to, b.to); break;
    case 4: c = a.label - b.label; break;
    case 5: c = a.status - b.status; break;
    case 6: {
      const auto [sa, pa] = RefThreadParts(a.subject);
      const auto [sb, pb] = RefThreadParts(b.subject);
      c = RefCompareText(sa, sb);
      return c != 0 ? c : RefCompareText(pa, pb);
    }
  }
  return c != 0 ? c : RefDates(a, b);
}

// Heap sort as the textbook gives it, 1-based, with the sifted element held
// aside while larger children move up.
void RefHeapSort(std::vector<CMail>& ra, int key) {
  const std::size_t n = ra.size();
  if (n < 2) return;
  auto at = [&](std::size_t i) -> CMail& { return ra[i - 1]; };
  auto sift = [&](std::size_t i, std::size_t last, CMail held) {
    std::size_t j = 2 * i;
    while (j <= last) {
      if (j < last && RefCompare(at(j), at(j + 1), key) < 0) ++j;
      if (RefCompare(held, at(j), key) < 0) {
        at(i) = at(j);
        i = j;
        j = 2 * i;
      } else {
        break;
      }
    }
    at(i) = std::move(held);
  };
  for (std::size_t i = n / 2; i >= 1; --i) sift(i, n, at(i));
  for (std::size_t last = n; last >= 2; --last) {
    CMail held = at(last);
    at(last) = at(1);
    sift(1, last - 1, std::move(held));
  }
}

// ---- Fixture ----

class MailSortTest : public ::testing::Test {
 protected:
  void Fill(const std::vector<CMail>& mails) {
    for (const CMail& mail : mails) box_.Add(std::make_unique<CMail>(mail));
  }
  std::vector<std::string> Ids() const {
    std::vector<std::string> ids;
    for (int i = 0; i < box_.Count(); ++i) ids.push_back(box_.RecordAt(i)->message_id);
    return ids;
  }

  testing::TempDirectory dir_;
  Profile profile_{dir_.File("lpost.conf")};
  RecordingUserInterface ui_;
  NullCommandObserver commands_;
  CLPOSTDoc box_{profile_, ui_, commands_};
};

CMail Subject(std::string id, std::string subject) {
  CMail mail;
  mail.message_id = std::move(id);
  mail.subject = std::move(subject);
  return mail;
}

TEST_F(MailSortTest, ThreadKeyPutsReplyWithBlankFirstThenThePlainSubject) {
  // abc and Re:abc compare as ABC; the empty prefix of abc comes first.
  // RE: abc compares " ABC" (the blank after the colon) and sorts first.
  const std::vector<std::vector<CMail>> starts = {
      {Subject("plain", "abc"), Subject("re", "Re:abc"), Subject("blank", "RE: abc")},
      {Subject("re", "Re:abc"), Subject("blank", "RE: abc"), Subject("plain", "abc")},
      {Subject("blank", "RE: abc"), Subject("plain", "abc"), Subject("re", "Re:abc")},
      {Subject("re", "Re:abc"), Subject("plain", "abc"), Subject("blank", "RE: abc")},
  };
  for (const auto& start : starts) {
    CLPOSTDoc box(profile_, ui_, commands_);
    for (const CMail& mail : start) box.Add(std::make_unique<CMail>(mail));
    ASSERT_TRUE(Sort(box, 6));
    std::vector<std::string> ids;
    for (int i = 0; i < box.Count(); ++i) ids.push_back(box.RecordAt(i)->message_id);
    EXPECT_EQ(ids, (std::vector<std::string>{"blank", "plain", "re"})) << start[0].message_id;
  }
}

TEST(MailSortCompare, ThreadKeyIgnoresDatesAndUsesTheTextAfterTheLastColon) {
  struct Case {
    std::string a, b;
    int sign;
  };
  const std::vector<Case> cases = {
      {"abc", "Re:abc", -1},          // same text, empty prefix first
      {"RE: abc", "abc", -1},         // " ABC" < "ABC"
      {"Re:Re:abc", "Re:abc", 1},     // both "ABC"; prefixes "ABC" (p = 5) and "AB" (p = 2)
      {"ABC", "abc", 0},              // case is ignored
      {"Report: x", "x", -1},         // begins with RE: " X" against "X"
      {"Fwd: abc", "abc", 1},         // no RE: compared whole
      {"re", "RE", 0},                // no colon: compared whole
  };
  for (const auto& c : cases) {
    CMail a = Subject("a", c.a);
    CMail b = Subject("b", c.b);
    a.date = 100;
    b.date = 5;
    const int result = CompareMails(a, b, SortKey::Thread);
    EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " / " << c.b;
  }
}

TEST(MailSortCompare, TextComparisonFoldsAsciiCaseAndCountsDoubleByteAsOneUnit) {
  struct Case {
    std::string a, b;
    int sign;
  };
  const std::vector<Case> cases = {
      {"abc", "ABC", 0},
      {"abc", "abd", -1},
      {"ab", "abc", -1},
      {"", "", 0},
      {"[", "a", 1},  // upper case first: "A" (0x41) < "[" (0x5B)
      // Half-width katakana (one byte 0xB1) before any double-byte character.
      {"\xB1", "\x83\x41", -1},
      // Trail bytes are not letters: ツ (83 63) and ウ (83 45) differ.
      {"\x83\x63", "\x83\x43", 1},
      // Full-width letters keep their case.
      {"\x82\x81", "\x82\x60", 1},  // ａ / Ａ
  };
  for (const auto& c : cases) {
    const int result = CompareSortText(c.a, c.b);
    EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " / " << c.b;
  }
}

TEST_F(MailSortTest, TiesOnTheKeyFallBackToTheDate) {
  struct Case {
    int key;
    void (*set)(CMail&);
  };
  const std::vector<Case> cases = {
      {1, [](CMail& m) { m.from = "Same"; }},
      {2, [](CMail& m) { m.subject = "same"; }},
      {3, [](CMail& m) { m.to = "SAME"; }},
      {4, [](CMail& m) { m.label = 3; }},
      {5, [](CMail& m) { m.status = kStatusUnread; }},
  };
  for (const auto& c : cases) {
    CLPOSTDoc box(profile_, ui_, commands_);
    for (int date : {30, 10, 20}) {
      auto mail = std::make_unique<CMail>();
      c.set(*mail);
      mail->date = date;
      box.Add(std::move(mail));
    }
    ASSERT_TRUE(Sort(box, c.key));
    EXPECT_EQ(box.RecordAt(0)->date, 10) << c.key;
    EXPECT_EQ(box.RecordAt(1)->date, 20) << c.key;
    EXPECT_EQ(box.RecordAt(2)->date, 30) << c.key;
  }
}

TEST_F(MailSortTest, EveryKeyGivesTheOrderOfTheLiteralHeapSort) {
  // Few distinct values, so that ties (where an unstable sort shows its
  // order) are everywhere.
  std::mt19937 random(1234);
  const std::vector<std::string> texts = {
      "abc", "ABC", "Abd", "", "\x83\x41", "\xB1", "a\x83\x63", "A\x83\x43", "re:abc", "RE: abc",
      "Re:Re:abc", "RE:x:abc", "re", "Re:\x83\x41", "\x82\x60" "bc",
      // Texts alike in their first units and apart only further on.
      "abcdefghij", "ABCDEFGHIK", "abcdefgh", "abcd\x83\x41xyz", "ABCD\x83\x41XYZ0", "abcd"};
  auto pick = [&](const std::vector<std::string>& from) { return from[random() % from.size()]; };
  std::vector<CMail> mails;
  for (int i = 0; i < 3000; ++i) {
    CMail mail;
    mail.message_id = std::to_string(i);
    mail.from = pick(texts);
    mail.to = pick(texts);
    mail.subject = pick(texts);
    mail.date = static_cast<std::int32_t>(random() % 4) - 2;
    mail.label = static_cast<int>(random() % 3);
    mail.status = static_cast<int>(random() % 5);
    mails.push_back(std::move(mail));
  }
  for (int key = 0; key < kSortKeyCount; ++key) {
    CLPOSTDoc box(profile_, ui_, commands_);
    for (const CMail& mail : mails) box.Add(std::make_unique<CMail>(mail));
    ASSERT_TRUE(Sort(box, key));
    std::vector<CMail> expected = mails;
    RefHeapSort(expected, key);
    for (int i = 0; i < box.Count(); ++i) {
      ASSERT_EQ(box.RecordAt(i)->message_id, expected[static_cast<std::size_t>(i)].message_id)
          << "key " << key << " row " << i;
    }
  }
}

TEST_F(MailSortTest, SortMarksModifiedKeepsTheCaretRowAndTheCommandMail) {
  Fill({Subject("2", "b"), Subject("1", "a"), Subject("3", "c")});
  box_.set_current_index(1);
  box_.set_command_mail(box_.RecordAt(0)->serial);
  box_.SetModified(false);
  ASSERT_TRUE(Sort(box_, 2));
  EXPECT_TRUE(box_.IsModified());
  EXPECT_EQ(Ids(), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(box_.current_index(), 1);
  // The mail a window was opened on is still that mail, at its new place.
  EXPECT_EQ(box_.CommandMailIndex(), 1);
}

TEST_F(MailSortTest, UnknownKeyChangesNothing) {
  Fill({Subject("2", "b"), Subject("1", "a")});
  box_.SetModified(false);
  for (int key : {-1, 7, 100}) {
    EXPECT_FALSE(Sort(box_, key)) << key;
    EXPECT_FALSE(box_.IsModified());
    EXPECT_EQ(Ids(), (std::vector<std::string>{"2", "1"}));
  }
}

TEST_F(MailSortTest, EmptyAndSingleBoxesSort) {
  EXPECT_TRUE(Sort(box_, 0));
  EXPECT_EQ(box_.Count(), 0);
  Fill({Subject("only", "x")});
  EXPECT_TRUE(Sort(box_, 6));
  EXPECT_EQ(Ids(), (std::vector<std::string>{"only"}));
}

}  // namespace
}  // namespace lp
