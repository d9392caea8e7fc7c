#include "codec/encoded_words.h"

#include <gtest/gtest.h>

#include <string>

namespace lp {
namespace {

struct Case {
  const char* name;
  std::string input;
  std::string expected;
};

// Shift_JIS texts the cases expect.
const std::string kTsu = "\x82\xC2";                                   // つ
const std::string kNihongo = "\x93\xFA\x96\x7B\x8C\xEA";               // 日本語
const std::string kSubjectJa = kNihongo + "\x82\xCC\x8C\x8F\x96\xBC";  // 日本語の件名
const std::string kMeeting = "\x89\xEF\x8B\x63\x82\xCC\x8C\x8F";       // 会議の件
const std::string kImportant = "\x81\x79\x8F\x64\x97\x76\x81\x7A";     // 【重要】
const std::string kWeekly =
    "\x8F\x54\x8E\x9F\x83\x7E\x81\x5B\x83\x65\x83\x42\x83\x93\x83\x4F";  // 週次ミーティング
const std::string kYamada = "\x8E\x52\x93\x63\x91\xBE\x98\x59";          // 山田太郎
const std::string kSan = "\x82\xB3\x82\xF1";                             // さん

TEST(DecodeEncodedWords, HeadersOfCommonMailPrograms) {
  const Case cases[] = {
      {"utf-8 base64, upper-case charset",
       "Subject: =?UTF-8?B?5pel5pys6Kqe44Gu5Lu25ZCN?=", "Subject: " + kSubjectJa},
      {"iso-2022-jp base64", "Subject: =?ISO-2022-JP?B?GyRCJEQbKEI=?=", "Subject: " + kTsu},
      {"prefix in lower case", "Subject: =?iso-2022-jp?b?GyRCJEQbKEI=?=", "Subject: " + kTsu},
      {"jis words folded with CR LF and blank",
       "Subject: =?iso-2022-jp?B?GyRCIVo9RU1XIVsbKEI=?=\r\n "
       "=?iso-2022-jp?B?GyRCPTU8ISVfITwlRiUjJXMlMBsoQg==?=",
       "Subject: " + kImportant + kWeekly},
      {"jis words folded with CR LF and TAB",
       "Subject: "
       "=?iso-2022-jp?B?GyRCIVo9RU1XIVsbKEI=?=\r\n\t=?iso-2022-jp?B?GyRCPTU8ISVfITwlRiUjJXMlMBsoQg==?=",
       "Subject: " + kImportant + kWeekly},
      {"words joined by the caller's unfolding",
       "Subject: =?iso-2022-jp?B?GyRCIVo9RU1XIVsbKEI=?= =?iso-2022-jp?B?GyRCPTU8ISVfITwlRiUjJXMlMBsoQg==?=",
       "Subject: " + kImportant + kWeekly},
      {"q form with underscores",
       "Subject: =?UTF-8?Q?Re:_=E4=BC=9A=E8=AD=B0=E3=81=AE=E4=BB=B6?=", "Subject: Re: " + kMeeting},
      {"q underscore is a space", "=?utf-8?Q?hello_world?=", "hello world"},
      {"q escaped underscore stays", "=?utf-8?Q?a=5Fb?=", "a_b"},
      {"display name before an address", "From: =?UTF-8?B?5bGx55Sw5aSq6YOO?= <taro@example.jp>",
       "From: " + kYamada + " <taro@example.jp>"},
      {"jis and utf-8 words in one header",
       "To: =?ISO-2022-JP?B?GyRCOzNFREJATzobKEI=?= =?UTF-8?B?44GV44KT?=", "To: " + kYamada + kSan},
      {"utf-7", "=?Unicode-1-1-UTF-7?Q?+ZeVnLIqe-?=", kNihongo},
      {"utf-7 upper case", "=?UNICODE-1-1-UTF-7?Q?+ZeVnLIqe-?=", kNihongo},
      {"euc-jp", "=?EUC-JP?B?xvzL3Ljs?=", kNihongo},
      {"shift_jis", "=?Shift_JIS?B?k/qWe4zq?=", kNihongo},
      {"charset with language", "=?UTF-8*ja?B?44Gk?=", kTsu},
      {"half-width katakana only", "=?ISO-2022-JP?B?GyhJMRsoQg==?=", "\xB1"},
      {"us-ascii", "=?US-ASCII?Q?plain_text?=", "plain text"},
      {"word touching text", "Re:=?UTF-8?B?44Gk?=", "Re:" + kTsu},
      {"mailing-list tag", "[ml:0042] =?UTF-8?B?44Gk?= (fwd)", "[ml:0042] " + kTsu + " (fwd)"},
      {"text between words stays", "=?UTF-8?B?44Gk?= - =?UTF-8?B?44Gk?=", kTsu + " - " + kTsu},
      {"utf-8 character split between words", "=?UTF-8?B?5pel5g==?= =?UTF-8?B?nKw=?=", kNihongo.substr(0, 4)},
      {"jis escape split from its characters",
       "=?ISO-2022-JP?B?GyRCRnw=?=\r\n =?ISO-2022-JP?B?S1wbKEI=?=", kNihongo.substr(0, 4)},
      {"charset change between adjacent words",
       "=?UTF-8?B?44Gk?= =?ISO-2022-JP?B?GyRCJEQbKEI=?= =?UTF-8?B?44Gk?=", kTsu + kTsu + kTsu},
      {"fold inside a base64 word", "=?UTF-8?B?44Gk\r\n 44Gk?=", kTsu + kTsu},
      {"trailing blanks of q text", "=?UTF-8?Q?abc  ?=", "abc"},
      {"decoded line break cannot forge a header line",
       "Subject: =?UTF-8?Q?hi=0D=0AX-Spam:_no?=", "Subject: hi  X-Spam: no"},
      {"decoded NUL does not cut the line", "=?UTF-8?Q?a=00b?= c", "a b c"},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeEncodedWords(c.input), c.expected) << c.name;
}

TEST(DecodeEncodedWords, MalformedWordsStayAsTheyAre) {
  const Case cases[] = {
      {"plain header", "Subject: hello", "Subject: hello"},
      {"empty", "", ""},
      {"lone opener", "Subject: price =? unknown", "Subject: price =? unknown"},
      {"opener at the end", "Subject: =?", "Subject: =?"},
      {"prefix only", "=?UTF-8?B?", "=?UTF-8?B?"},
      {"missing end", "=?UTF-8?B?44Gk", "=?UTF-8?B?44Gk"},
      {"missing end after a good word", "=?UTF-8?B?44Gk?= and =?UTF-8?B?44Gk", kTsu + " and =?UTF-8?B?44Gk"},
      {"two-letter encoding", "=?UTF-8?BB?44Gk?=", "=?UTF-8?BB?44Gk?="},
      {"empty charset", "=??B?44Gk?=", "=??B?44Gk?="},
      {"blank in charset", "=?UTF 8?B?44Gk?=", "=?UTF 8?B?44Gk?="},
      {"stray opener before a word", "=?=?UTF-8?B?44Gk?=", "=?" + kTsu},
      {"word that lost its end keeps the next word",
       "=?UTF-8?B?44Gk =?UTF-8?B?44Gk?=", "=?UTF-8?B?44Gk " + kTsu},
      {"blank between an undecoded and a decoded word stays",
       "=?UTF-8?BB?x?= =?UTF-8?B?44Gk?=", "=?UTF-8?BB?x?= " + kTsu},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeEncodedWords(c.input), c.expected) << c.name;
}

TEST(DecodeEncodedWords, WordsBeyondTheLimitStayUndecoded) {
  const std::string prefix = "=?UTF-8?Q?";
  const std::string fitting(kMaxEncodedWordBytes - prefix.size() - 2, 'a');
  EXPECT_EQ(DecodeEncodedWords(prefix + fitting + "?="), fitting);

  const std::string too_long = prefix + fitting + "a?=";
  EXPECT_EQ(DecodeEncodedWords(too_long), too_long);

  // A following word is still decoded, and its blank to the long word stays.
  const std::string huge = "=?UTF-8?B?" + std::string(100000, 'A') + "?=";
  EXPECT_EQ(DecodeEncodedWords("Subject: " + huge + " =?UTF-8?B?44Gk?="), "Subject: " + huge + " " + kTsu);
}

TEST(EncodeHeaderValue, EncodesValuesWithDoubleByteCharacters) {
  const Case cases[] = {
      {"ascii", "Meeting on Monday", "Meeting on Monday"},
      {"empty", "", ""},
      {"half-width katakana alone", "\xB1\xB2\xB3", "\xB1\xB2\xB3"},
      {"one kana", kTsu, "=?ISO-2022-JP?B?GyRCJEQbKEI=?="},
      {"ascii and kanji as one word", "Re: \x8A\xBF\x8E\x9A",
       "=?ISO-2022-JP?B?UmU6IBskQjRBO3obKEI=?="},  // Re: 漢字
  };
  for (const Case& c : cases) EXPECT_EQ(EncodeHeaderValue(c.input), c.expected) << c.name;
}

TEST(EncodeHeaderValue, LongValueIsOneWordThatDecodesBack) {
  std::string value = "Re: ";
  for (int i = 0; i < 200; ++i) value += kNihongo;
  const std::string encoded = EncodeHeaderValue(value);
  EXPECT_EQ(encoded.find("?= =?"), std::string::npos);
  EXPECT_EQ(encoded.find('\n'), std::string::npos);
  EXPECT_EQ(DecodeEncodedWords(encoded), value);
}

}  // namespace
}  // namespace lp
