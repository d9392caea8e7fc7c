#include "net/password_refusal.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace lp {

bool RefusesPasswordLogins(std::string_view reply) {
  static constexpr std::string_view kPhrases[] = {
      "basic authentication is disabled",
      "web login required",
      "log in via your web browser",
  };
  std::string lower(reply);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return std::any_of(std::begin(kPhrases), std::end(kPhrases),
                     [&](std::string_view phrase) { return lower.find(phrase) != std::string::npos; });
}

}  // namespace lp
