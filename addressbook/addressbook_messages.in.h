#pragma once

// Texts of the address book. Written in UTF-8; the build turns them into
// Shift_JIS (see the top-level CMakeLists.txt).

namespace lp {

// The header line of a new address book.
inline constexpr char kNewAddressBookHeader[] =
    "\"氏名\",\"メールアドレス\",\"郵便番号\",\"住所\",\"電話番号\",\"メモ\",\"カテゴリ\"\n";

// The name of the first column of a card table without a header line.
inline constexpr char kItemColumnName[] = "項目";

}  // namespace lp
