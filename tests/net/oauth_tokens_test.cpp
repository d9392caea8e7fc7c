#include <sys/stat.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "config/oauth_providers.h"
#include "config/oauth_token_store.h"
#include "net/json_object.h"
#include "net/oauth_access_tokens.h"
#include "net/oauth_messages.h"
#include "net/sasl_oauth.h"
#include "platform/file_system.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;

TEST(JsonObjectTest, KeepsMembersAndRefusesWhatIsNotOneObject) {
  const std::optional<JsonObject> object =
      ParseJsonObject(R"( {"a":"x\"y\u00e9\ud83d\ude00","n":-12.5e3,"t":true,"z":null,"o":{"p":[1,{"q":2}]}} )");
  ASSERT_TRUE(object);
  EXPECT_EQ(JsonString(*object, "a"), "x\"y\xC3\xA9\xF0\x9F\x98\x80");
  EXPECT_EQ(object->at("n").kind, JsonMember::Kind::Number);
  EXPECT_EQ(object->at("n").text, "-12.5e3");
  EXPECT_EQ(object->at("t").kind, JsonMember::Kind::Boolean);
  EXPECT_EQ(object->at("o").kind, JsonMember::Kind::Nested);
  EXPECT_FALSE(JsonString(*object, "n"));
  const std::vector<std::string> bad_texts = {"", "[]", "{", "{\"a\":}", "{\"a\":1,}", "{\"a\":1} x", "{\"a\":\"\n\"}",
                                "{\"a\":\"\\ud800\"}", "{\"a\":tru}", std::string(40, '[') + std::string(40, ']'),
                                "{\"a\":" + std::string(20, '[') + std::string(20, ']') + "}",
                                "{\"a\":\"" + std::string(kMaxJsonText, 'x') + "\"}"};
  for (const std::string& bad : bad_texts) {
    SCOPED_TRACE(bad.substr(0, 40));
    EXPECT_FALSE(ParseJsonObject(bad));
  }
}

TEST(SaslOAuthTest, FailureStatusOnlyFromAWellFormedChallenge) {
  // {"status":"invalid_token","schemes":"bearer","scope":"https://mail.google.com/"}
  EXPECT_EQ(OAuthFailureStatus(
                "eyJzdGF0dXMiOiJpbnZhbGlkX3Rva2VuIiwic2NoZW1lcyI6ImJlYXJlciIsInNjb3BlIjoiaHR0cHM6Ly9tYWlsLmdvb2dsZS5jb20vIn0="),
            "invalid_token");
  EXPECT_EQ(OAuthFailureStatus("eyJzdGF0dXMiOiI0MDEifQ=="), "401");  // {"status":"401"}
  EXPECT_EQ(OAuthFailureStatus("eyJzdGF0dXMiOjQwMX0="), "");         // {"status":401}: not a string
  EXPECT_EQ(OAuthFailureStatus("e30="), "");                         // {}
  EXPECT_EQ(OAuthFailureStatus("not base64!"), "");
  EXPECT_EQ(OAuthFailureStatus("eyJzdGF0dXMiOiJcdTAwMDEifQ=="), "");  // a control character
}

TEST(SaslOAuthTest, MechanismFromTheServersList) {
  OAuthMechanism chosen{};
  ASSERT_TRUE(ChooseOAuthMechanism(true, "PLAIN oauthbearer XOAUTH2", chosen));
  EXPECT_EQ(chosen, OAuthMechanism::OAuthBearer);
  ASSERT_TRUE(ChooseOAuthMechanism(true, "PLAIN XOAUTH2", chosen));
  EXPECT_EQ(chosen, OAuthMechanism::XOAuth2);
  ASSERT_TRUE(ChooseOAuthMechanism(false, "", chosen));
  EXPECT_EQ(chosen, OAuthMechanism::XOAuth2);
  EXPECT_FALSE(ChooseOAuthMechanism(true, "PLAIN LOGIN XOAUTH", chosen));
}

FormPostAnswer Answer(int status, std::string body) { return {true, status, std::move(body), {}}; }

struct ReplyCase {
  const char* name;
  FormPostAnswer answer;
  TokenReply::Outcome outcome;
  OAuthTokens tokens;  // when Ok
};

TEST(TokenReplyTest, ReadsGoodAnswersAndRefusesHostileOnes) {
  const std::vector<ReplyCase> cases = {
      {"new refresh token", Answer(200, R"({"access_token":"a1","token_type":"Bearer","expires_in":3599,"refresh_token":"r2"})"),
       TokenReply::Outcome::Ok, {"a1", "r2", 1000 + 3599}},
      {"refresh token kept", Answer(200, R"({"access_token":"a1","token_type":"bearer","expires_in":"60"})"),
       TokenReply::Outcome::Ok, {"a1", "r1", 1060}},
      {"no lifetime", Answer(200, R"({"access_token":"a1"})"), TokenReply::Outcome::Ok, {"a1", "r1", 0}},
      {"revoked", Answer(400, R"({"error":"invalid_grant","error_description":"Token has been expired or revoked."})"),
       TokenReply::Outcome::SignInNeeded, {}},
      {"client refused", Answer(401, R"({"error":"invalid_client"})"), TokenReply::Outcome::Failed, {}},
      {"html error page", Answer(502, "<html>bad gateway</html>"), TokenReply::Outcome::Failed, {}},
      {"token of the wrong type", Answer(200, R"({"access_token":42})"), TokenReply::Outcome::Failed, {}},
      {"token with a line break", Answer(200, R"({"access_token":"a\r\nQUIT"})"), TokenReply::Outcome::Failed, {}},
      {"not a bearer token", Answer(200, R"({"access_token":"a1","token_type":"mac"})"), TokenReply::Outcome::Failed, {}},
      {"refresh of the wrong type", Answer(200, R"({"access_token":"a1","refresh_token":["r"]})"),
       TokenReply::Outcome::Failed, {}},
      {"negative lifetime", Answer(200, R"({"access_token":"a1","expires_in":-5})"), TokenReply::Outcome::Failed, {}},
      {"lifetime not a number", Answer(200, R"({"access_token":"a1","expires_in":true})"), TokenReply::Outcome::Failed, {}},
      {"huge", Answer(200, R"({"access_token":")" + std::string(100000, 'a') + "\"}"), TokenReply::Outcome::Failed, {}},
      {"unreachable", FormPostAnswer{false, 0, {}, "the token endpoint redirects (HTTP 302)"},
       TokenReply::Outcome::Failed, {}},
  };
  for (const ReplyCase& c : cases) {
    SCOPED_TRACE(c.name);
    const TokenReply reply = ReadTokenReply(c.answer, "r1", 1000);
    EXPECT_EQ(reply.outcome, c.outcome) << reply.detail;
    if (c.outcome == TokenReply::Outcome::Ok) {
      EXPECT_EQ(reply.tokens, c.tokens);
    }
  }
}

// Answers each POST from a script and remembers what was sent.
class ScriptedPoster : public FormPoster {
 public:
  void PostForm(const std::string& url, const std::string& form, Done done) override {
    urls.push_back(url);
    forms.push_back(form);
    ASSERT_FALSE(answers.empty());
    FormPostAnswer answer = answers.front();
    answers.pop_front();
    done(std::move(answer));
  }
  std::deque<FormPostAnswer> answers;
  std::vector<std::string> urls;
  std::vector<std::string> forms;
};

class AccessTokensTest : public ::testing::Test {
 protected:
  AccessTokensTest() {
    provider_.id = "example";
    provider_.token_url = "https://login.example.jp/token";
    provider_.client_id = "client 1";
  }
  AccessTokenResult Get() {
    std::optional<AccessTokenResult> result;
    tokens_.Get(provider_, "example:alice", [&](AccessTokenResult r) { result = std::move(r); });
    EXPECT_TRUE(result);
    return result.value_or(AccessTokenResult{});
  }

  testing::TempDirectory dir_{true};
  FileTokenStore store_{"oauth-tokens"};
  ScriptedPoster poster_;
  std::int64_t now_ = 100000;
  AccessTokens tokens_{store_, poster_, [this] { return now_; }};
  OAuthProvider provider_;
};

TEST_F(AccessTokensTest, FreshTokenIsUsedAndAnExpiringOneRefreshed) {
  ASSERT_TRUE(store_.Save("example:alice", {"a1", "r/1+", now_ + 3600}));
  AccessTokenResult fresh = Get();
  EXPECT_TRUE(fresh.ok);
  EXPECT_EQ(fresh.access_token, "a1");
  EXPECT_THAT(poster_.forms, IsEmpty());

  now_ += 3600 - 60;  // within the margin: refreshed before it runs out
  poster_.answers.push_back(Answer(200, R"({"access_token":"a2","expires_in":3600})"));
  const AccessTokenResult renewed = Get();
  EXPECT_TRUE(renewed.ok);
  EXPECT_EQ(renewed.access_token, "a2");
  ASSERT_EQ(poster_.forms.size(), 1u);
  EXPECT_EQ(poster_.urls[0], "https://login.example.jp/token");
  EXPECT_EQ(poster_.forms[0], "grant_type=refresh_token&refresh_token=r%2F1%2B&client_id=client%201");
  EXPECT_EQ(store_.Load("example:alice"), (OAuthTokens{"a2", "r/1+", now_ + 3600}));

  // A token the server refused is dropped; the refresh token stays.
  tokens_.Discard("example:alice");
  poster_.answers.push_back(Answer(200, R"({"access_token":"a3"})"));
  EXPECT_EQ(Get().access_token, "a3");
}

TEST_F(AccessTokensTest, RevokedGrantAsksForANewSignInAndForgetsIt) {
  ASSERT_TRUE(store_.Save("example:alice", {"", "r1", 0}));
  poster_.answers.push_back(Answer(400, R"({"error":"invalid_grant"})"));
  const AccessTokenResult result = Get();
  EXPECT_FALSE(result.ok);
  EXPECT_TRUE(result.sign_in_needed);
  EXPECT_EQ(result.message, oauth_text::kSignInNeeded);
  EXPECT_FALSE(store_.Load("example:alice"));

  // Nothing stored: a sign-in, without asking the server.
  EXPECT_TRUE(Get().sign_in_needed);
  EXPECT_EQ(poster_.forms.size(), 1u);
}

TEST_F(AccessTokensTest, BrokenAnswerKeepsTheStoredTokens) {
  ASSERT_TRUE(store_.Save("example:alice", {"", "r1", 0}));
  poster_.answers.push_back(Answer(200, R"({"access_token":["a"]})"));
  const AccessTokenResult result = Get();
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(result.sign_in_needed);
  EXPECT_THAT(result.message, HasSubstr(oauth_text::kTokenReplyInvalid));
  EXPECT_EQ(store_.Load("example:alice"), (OAuthTokens{"", "r1", 0}));
}

TEST(FileTokenStoreTest, PrivateFileKeysKeptApartAndUnreadableFileNeverOverwritten) {
  testing::TempDirectory dir(true);
  FileTokenStore store("oauth-tokens");
  ASSERT_TRUE(store.Save("google:a@example.jp", {"a", "r", 5}));
  ASSERT_TRUE(store.Save("microsoft:b@example.jp", {"b", "s", 6}));
  ASSERT_TRUE(store.Save("google:a@example.jp", {"a2", "r2", 7}));
  EXPECT_EQ(store.Load("google:a@example.jp"), (OAuthTokens{"a2", "r2", 7}));
  EXPECT_EQ(store.Load("microsoft:b@example.jp"), (OAuthTokens{"b", "s", 6}));
  struct stat st {};
  ASSERT_EQ(::stat("oauth-tokens", &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_TRUE(store.Remove("google:a@example.jp"));
  EXPECT_FALSE(store.Load("google:a@example.jp"));
  EXPECT_FALSE(store.Save("x", {"a\nb", "r", 0}));


  // What cannot be read is never replaced.
  ASSERT_TRUE(MakeDirectory("blocked"));
  FileTokenStore blocked("blocked");
  EXPECT_FALSE(blocked.Save("google:a@example.jp", {"a", "r", 5}));
  EXPECT_TRUE(IsDirectory("blocked"));
}

TEST(OAuthProvidersTest, ShippedEntriesWithTheDataDirectorysClientSettings) {
  testing::TempDirectory dir(true);
  const std::string shipped = std::string(LP_SOURCE_DIR) + "/data/oauth-providers.ini";
  testing::WriteFileBytes(dir.File("oauth-providers.ini"),
                          "[google]\r\nClientId=123.apps.example\r\nClientSecret=s3\r\n"
                          "[Providers]\r\nIds=local\r\n[local]\r\nTokenUrl=http://127.0.0.1:1/token\r\nUserName=user\r\n");
  const std::vector<OAuthProvider> providers = LoadOAuthProviders({shipped, "oauth-providers.ini", "missing.ini"});
  ASSERT_EQ(providers.size(), 4u);
  const std::optional<OAuthProvider> google = FindOAuthProvider(providers, "google");
  ASSERT_TRUE(google);
  EXPECT_EQ(google->authorization_url, "https://accounts.google.com/o/oauth2/v2/auth");
  EXPECT_EQ(google->token_url, "https://oauth2.googleapis.com/token");
  EXPECT_EQ(google->scope, "https://mail.google.com/");
  EXPECT_EQ(google->client_id, "123.apps.example");
  EXPECT_EQ(google->client_secret, "s3");
  const std::optional<OAuthProvider> work = FindOAuthProvider(providers, "microsoft-work");
  ASSERT_TRUE(work);
  EXPECT_EQ(work->token_url, "https://login.microsoftonline.com/organizations/oauth2/v2.0/token");
  EXPECT_TRUE(work->client_id.empty());  // the program ships none

  CSetMenu account;
  account.adr = "taro@example.jp";
  account.user_id = "taro";
  EXPECT_EQ(OAuthTokenKey(*google, account), "google:taro@example.jp");
  EXPECT_EQ(OAuthUserName(*FindOAuthProvider(providers, "local"), account), "taro");
}

}  // namespace
}  // namespace lp
