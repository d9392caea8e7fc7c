#include "app/reply_subject.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/code_page.h"

namespace lp {
namespace {

std::string Sjis(std::string_view utf8) { return Utf8ToCp932(utf8); }

struct SubjectCase {
  std::string subject;
  std::string reply;
};

TEST(MakeReplySubject, NumbersTheReplies) {
  const std::vector<SubjectCase> cases = {
      {"hello", "Re:hello"},
      {"Re: hello", "Re[2]: hello"},
      {"RE: hello", "Re[2]: hello"},
      {"Re[2]: hello", "Re[3]: hello"},
      {"re[41]:x", "Re[42]:x"},
      {"RE^4:x", "Re^5:x"},
      {"Re3: x", "Re4: x"},
      {"Re9:x", "Re10:x"},
      // A counter without digits counts as 0.
      {"Re[x]: y", "Re[1]: y"},
      {"Re^x:z", "Re^1:z"},
      // The closing mark too early or missing leaves the subject alone.
      {"Re[]: y", "Re[]: y"},
      {"Re[2] no colon", "Re[2] no colon"},
      {"Re^4 x", "Re^4 x"},
      {"Re^:z", "Re^:z"},
      {"Re3 x", "Re3 x"},
      {"Reply", "Reply"},
      {"Re", "Re:Re"},
      {"ab", "Re:ab"},
      {"", "Re:"},
      // A huge counter stays within bounds.
      {"Re[99999999999999999999]: x", "Re[1000000000]: x"},
      {Sjis("会議"), "Re:" + Sjis("会議")},
      {"Re: " + Sjis("会議の件"), "Re[2]: " + Sjis("会議の件")},
      // "ー" is 0x81 0x5B: its trail byte is "[", never an opening mark. "‐"
      // (0x81 0x5D) ends in "]" and never closes one.
      {"Re[2" + Sjis("‐") + ":]: x", "Re[3]: x"},
  };
  for (const SubjectCase& c : cases) {
    EXPECT_EQ(MakeReplySubject(c.subject, ListTag::Keep), c.reply) << c.subject;
  }
}

TEST(MakeReplySubject, DropsAMailingListTagWhenAsked) {
  struct Case {
    std::string subject;
    ListTag tag;
    std::string reply;
  };
  const std::vector<Case> cases = {
      // The blank after the tag stays, so the rest does not start with Re.
      {"[ml:123] Re: x", ListTag::Drop, "Re: Re: x"},
      {"[ml:123]Re: x", ListTag::Drop, "Re[2]: x"},
      {"[ml:123] Re: x", ListTag::Keep, "Re:[ml:123] Re: x"},
      {"[no end", ListTag::Drop, "Re:[no end"},
      {"[ml]", ListTag::Drop, "Re:"},
      // A "]" that is the trail byte of "‐" does not end the tag.
      {"[a" + Sjis("‐") + "b]topic", ListTag::Drop, "Re:topic"},
  };
  for (const Case& c : cases) EXPECT_EQ(MakeReplySubject(c.subject, c.tag), c.reply) << c.subject;
}

}  // namespace
}  // namespace lp
