#include "platform/transport_texts.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"

namespace lp::transport_texts {
namespace {

std::string Sjis(std::string_view utf8) { return Utf8ToCp932(utf8); }

TEST(TransportTexts, NameTheHostAndAddTheDetail) {
  EXPECT_EQ(HostNotFound("smtp.example.jp"), Sjis("ホストが見つかりません(smtp.example.jp)"));
  EXPECT_EQ(ConnectFailed("pop.example.jp", "Connection refused"),
            Sjis("サーバに接続できません(pop.example.jp): Connection refused"));
  EXPECT_EQ(NoResponse(), Sjis("応答がありません"));
}

// An account without a host name gets the text alone, not "()" after it.
TEST(TransportTexts, EmptyHostLeavesNoEmptyBrackets) {
  EXPECT_EQ(HostNotFound(""), Sjis("ホストが見つかりません"));
  EXPECT_EQ(TlsFailed("", "handshake failed"), Sjis("暗号化通信を開始できません: handshake failed"));
}

}  // namespace
}  // namespace lp::transport_texts
