#pragma once

// Texts of the address book windows, UTF-8 (the widgets take them as QString).

namespace lp::address_book_text {

inline constexpr char kTitle[] = "アドレスブック";
inline constexpr char kAllCategories[] = "全カテゴリ";
inline constexpr char kNameHeader[] = "氏名";
inline constexpr char kAddressHeader[] = "メールアドレス";
inline constexpr char kCategoryLabel[] = "カテゴリ(&C):";

}  // namespace lp::address_book_text
