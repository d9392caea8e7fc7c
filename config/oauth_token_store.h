#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Where the tokens of OAuth 2.0 sign-ins are kept, by a key naming the
// provider and the user (OAuthTokenKey).

namespace lp {

struct OAuthTokens {
  std::string access_token;
  std::string refresh_token;
  std::int64_t expires_at = 0;  // seconds since the epoch; 0: unknown

  bool operator==(const OAuthTokens&) const = default;
};

class OAuthTokenStore {
 public:
  virtual ~OAuthTokenStore() = default;
  [[nodiscard]] virtual std::optional<OAuthTokens> Load(std::string_view key) = 0;
  // False (with the reason in ErrorText) when the tokens could not be kept.
  [[nodiscard]] virtual bool Save(std::string_view key, const OAuthTokens& tokens) = 0;
  [[nodiscard]] virtual bool Remove(std::string_view key) = 0;
  [[nodiscard]] virtual std::string ErrorText() const { return {}; }
};

// The tokens in one file of the data directory, readable by its owner
// only: a line per key, "key TAB refresh TAB access TAB expiry". The file
// is replaced as a whole; a file that cannot be read is never overwritten.
class FileTokenStore final : public OAuthTokenStore {
 public:
  static constexpr char kFileName[] = "oauth-tokens";

  explicit FileTokenStore(std::string sjis_path) : path_(std::move(sjis_path)) {}

  [[nodiscard]] std::optional<OAuthTokens> Load(std::string_view key) override;
  [[nodiscard]] bool Save(std::string_view key, const OAuthTokens& tokens) override;
  [[nodiscard]] bool Remove(std::string_view key) override;
  [[nodiscard]] std::string ErrorText() const override { return error_; }

 private:
  bool Rewrite(std::string_view key, const OAuthTokens* tokens);

  std::string path_;
  std::string error_;
};

}  // namespace lp
