#include "codec/html_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/code_page.h"

// HTML written in UTF-8 here and handed over in Shift_JIS, as the mail
// store holds it; the text comes back the same way.

namespace lp {
namespace {

std::string Text(const std::string& html_utf8) { return Cp932ToUtf8(HtmlToText(Utf8ToCp932(html_utf8))); }

struct Case {
  const char* name;
  std::string html;
  std::string text;
};

TEST(HtmlToText, ReadsAsABrowserShowsIt) {
  const std::vector<Case> cases = {
      {"paragraphs", "<p>一つ目</p>\n<p>二つ目</p>", "一つ目\r\n\r\n二つ目"},
      {"headings and divisions", "<h1>お知らせ</h1><div>一行</div><div>二行</div>本文",
       "お知らせ\r\n\r\n一行\r\n二行\r\n本文"},
      {"line breaks", "a<br>b<br/><br>c", "a\r\nb\r\n\r\nc"},
      {"blanks collapse", "  Hello \t\n  world  ", "Hello world"},
      {"a line break between Japanese vanishes", "これは\n日本語です。\nThen\nEnglish", "これは日本語です。 Then English"},
      {"many empty paragraphs make one empty line", "<p>a</p><p>&nbsp;</p><p></p><br><br><br><p>b</p>",
       "a\r\n\r\nb"},
      {"bulleted list", "<ul><li>りんご</li><li>みかん</li></ul>後", "・りんご\r\n・みかん\r\n\r\n後"},
      {"numbered list", "<ol start=\"3\"><li>a<li>b</ol>", "3. a\r\n4. b"},
      {"nested list", "<ul><li>a<ul><li>b</li></ul></li><li>c</li></ul>", "・a\r\n  ・b\r\n・c"},
      {"link with its address", "<a href=\"https://example.jp/x?a=1&amp;b=2\">詳しくはこちら</a>",
       "詳しくはこちら <https://example.jp/x?a=1&b=2>"},
      {"link that shows its address", "<a href=\"https://example.jp/\"> https://example.jp/ </a>",
       "https://example.jp/"},
      {"mail link", "<a href=\"mailto:info@example.jp\">お問い合わせ</a>", "お問い合わせ <info@example.jp>"},
      {"links within the page and scripts", "<a href=\"#top\">上へ</a> <a href=\"javascript:go()\">実行</a>",
       "上へ 実行"},
      {"head, script and style", "<html><head><title>T</title><style>p{color:red}</style></head>"
                                 "<body><script>alert('<p>x</p>')</script><p>本文</p></body></html>",
       "本文"},
      {"a body without the head's end tag", "<html><head><meta charset=utf-8><body>本文", "本文"},
      {"comments", "a<!-- <p>hidden</p> -->b<!--[if mso]>x<![endif]-->c<!DOCTYPE html>", "abc"},
      {"hidden elements", "<div style=\"display: none\">プレヘッダ<div>inner</div></div><p hidden>h</p><p>見える</p>",
       "見える"},
      {"quotes", "<p>返事です</p><blockquote><p>元の文</p><p>二段落</p></blockquote><p>以上</p>",
       "返事です\r\n\r\n> 元の文\r\n>\r\n> 二段落\r\n\r\n以上"},
      {"preformatted", "<pre>\n  a  b\n c</pre>x", "  a  b\r\n c\r\n\r\nx"},
      {"table rows", "<table><tr><td>名前</td><td>山田</td></tr><tr><th>日付</th><td>12/8</td></tr></table>",
       "名前 山田\r\n日付 12/8"},
      {"images", "<img src=\"cid:logo\" alt=\"ロゴ\">ようこそ<img src=\"spacer.gif\" alt=\"\">",
       "[ロゴ]ようこそ"},
      {"rule", "a<hr>b", "a\r\n\r\n--------------------\r\n\r\nb"},
      {"named references", "&lt;b&gt; &amp; &quot;x&quot; &copy; &yen;100 &hellip;", "<b> & \"x\" (C) ￥100 …"},
      {"numeric references", "&#x3042;&#12354;&#150;&#8203;x", "ああ-x"},
      {"non-breaking spaces stay", "a&nbsp;&nbsp;b", "a  b"},
      {"unknown references stay", "&unknown; AT&T &#xZZ; &amp", "&unknown; AT&T &#xZZ; &"},
      {"bad code points", "&#0;&#xD800;&#99999999999;", "???"},
      {"a lone less-than sign", "a < b and <p unterminated", "a < b and"},
      {"a quoted greater-than sign", "<a title=\"x>y\" href=\"http://e.jp\">t</a>", "t <http://e.jp>"},
      {"trail bytes like ASCII", "<p>ソース表示とアドレス</p>", "ソース表示とアドレス"},
      {"nothing", " \r\n <br> ", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Text(c.html), c.text) << c.name;
}

TEST(HtmlToText, DeepNestingAndLongInputStayLinear) {
  std::string html;
  for (int i = 0; i < 20000; ++i) html += "<div style=display:none><ul><li>";
  html += "end";
  EXPECT_EQ(HtmlToText(html), "");
  std::string lists;
  for (int i = 0; i < 20000; ++i) lists += "<ul><li>";
  lists += "x";
  // Indentation stops growing after eight levels.
  EXPECT_EQ(HtmlToText(lists), std::string(14, ' ') + "\x81\x45x");
}

}  // namespace
}  // namespace lp
