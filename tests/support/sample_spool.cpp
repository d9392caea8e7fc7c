#include "tests/support/sample_spool.h"

#include "codec/japanese_text.h"
#include "codec/mime_encoding.h"
#include "platform/file_system.h"

namespace lp::testing {
namespace {

const std::string& JapaneseSentence() {
  static const std::string sentence = Utf8ToSjis("会議の資料をお送りします。ご確認ください。");
  return sentence;
}
// The same in UTF-8, quoted-printable with a soft break in the middle of a character.
const std::string kQpLine1 =
    "=E4=BC=9A=E8=AD=B0=E3=81=AE=E8=B3=87=E6=96=99=E3=82=92=E3=81=8A=E9=80=81=E3=82=8A=E3=81=97=E3=81=BE=E3=";
const std::string kQpLine2 = "=81=99=E3=80=82 meeting at 10:00 in room A";

std::string Jis(const std::string& sjis) {
  std::string out;
  SjisToJis(sjis, out);
  return out;
}

std::string CommonHeader(int n) {
  return "+OK message follows\r\n"
         "Received: from mail.example.jp by pop.example.jp; Tue, 8 Dec 2026 13:38:03 +0900\r\n"
         "Message-ID: <" +
         std::to_string(n) +
         "@example.jp>\r\n"
         "Date: Tue, 8 Dec 2026 13:38:03 +0900\r\n"
         "From: =?ISO-2022-JP?B?GyRCOzNFRBsoQg==?= <yamada@example.jp>\r\n"
         "To: taro@example.jp\r\n"
         "Subject: =?UTF-8?B?5Lya6K2w44Gu6LOH5paZ?= " +
         std::to_string(n) +
         "\r\n"
         "MIME-Version: 1.0\r\n";
}

// One message of a mix like a real inbox: plain ISO-2022-JP text, multipart
// with a Base64 attachment, UTF-8 quoted-printable.
std::string Message(int n, const std::string& attachment_lines) {
  std::string m = CommonHeader(n);
  switch (n % 10) {
    case 0:
    case 1:
    case 2: {
      m += "Content-Type: multipart/mixed; boundary=\"----=_Part_" + std::to_string(n) + "\"\r\n\r\n";
      const std::string delimiter = "------=_Part_" + std::to_string(n);
      m += delimiter + "\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\nContent-Transfer-Encoding: 7bit\r\n\r\n";
      const std::string line = Jis(JapaneseSentence()) + "\r\n";
      for (int i = 0; i < 20; ++i) m += line;
      m += delimiter +
           "\r\nContent-Type: application/pdf; name=\"report.pdf\"\r\nContent-Transfer-Encoding: base64\r\n"
           "Content-Disposition: attachment; filename=\"report.pdf\"\r\n\r\n";
      m += attachment_lines;
      m += delimiter + "--\r\n";
      break;
    }
    case 3:
    case 4:
    case 5: {
      m += "Content-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n";
      for (int i = 0; i < 40; ++i) m += kQpLine1 + "\r\n" + kQpLine2 + "\r\n";
      break;
    }
    default: {
      m += "Content-Type: text/plain; charset=ISO-2022-JP\r\nContent-Transfer-Encoding: 7bit\r\n\r\n";
      const std::string line = Jis(JapaneseSentence() + JapaneseSentence()) + "\r\n";
      for (int i = 0; i < 80; ++i) m += line;
      break;
    }
  }
  return m + ".\r\n";
}

// Writes the spool in pieces, so the generator holds no spool in memory.
}  // namespace

std::uint64_t WriteSampleSpool(const std::string& path, int messages) {
  std::string attachment;
  std::string group(57, '\0');
  for (int line = 0; line < 200; ++line) {  // about 11 KB of data, 15 KB of Base64
    for (std::size_t i = 0; i < group.size(); ++i) group[i] = static_cast<char>((line * 131 + i * 17) & 0xFF);
    attachment += Base64EncodeBlock(group) + "\r\n";
  }
  File file;
  if (!file.Open(path, File::Mode::Write)) return 0;
  std::uint64_t bytes = 0;
  std::string block;
  for (int n = 0; n < messages; ++n) {
    block += Message(n, attachment);
    if (block.size() > (1 << 20) || n + 1 == messages) {
      if (!file.Write(block)) return 0;
      bytes += block.size();
      block.clear();
    }
  }
  return bytes;
}

}  // namespace lp::testing
