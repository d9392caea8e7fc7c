#pragma once

// Texts of the address book windows, UTF-8 (the widgets take them as QString).

namespace lp::address_book_text {

inline constexpr char kTitle[] = "アドレスブック";
inline constexpr char kAllCategories[] = "全カテゴリ";
inline constexpr char kEditCategoriesEntry[] = "カテゴリの編集...";
inline constexpr char kNoCategory[] = "未定義";
inline constexpr char kNameHeader[] = "氏名";
inline constexpr char kAddressHeader[] = "メールアドレス";
inline constexpr char kCategoryLabel[] = "カテゴリ(&C):";
inline constexpr char kSearchPlaceholder[] = "氏名・アドレス・メモで絞り込み";
inline constexpr char kPickSearchPlaceholder[] = "氏名・アドレスで絞り込み";

// The card fields of the address book dialog.
inline constexpr char kNameField[] = "氏名(&N):";
inline constexpr char kAddressField[] = "メールアドレス(&M):";
inline constexpr char kPostalCodeField[] = "郵便番号(&P):";
inline constexpr char kPostalAddressField[] = "住所(&R):";
inline constexpr char kTelephoneField[] = "電話番号(&T):";
inline constexpr char kMemoField[] = "メモ(&O):";
inline constexpr char kCardCategoryField[] = "カテゴリ(&G):";

inline constexpr char kAddButton[] = "追加(&A)";
inline constexpr char kDeleteButton[] = "削除(&D)";
inline constexpr char kUpButton[] = "▲";
inline constexpr char kDownButton[] = "▼";
inline constexpr char kSortButton[] = "整列(&S)...";
inline constexpr char kFileButton[] = "ファイル(&F)...";
inline constexpr char kLanButton[] = "LAN(&L)...";
inline constexpr char kImportButton[] = "取り込み(&I)...";
inline constexpr char kExportButton[] = "書き出し(&E)...";

inline constexpr char kAskDelete[] = " を削除しますか？";
inline constexpr char kAskAdd[] = "アドレス帳に追加しますか？";

// The address file and LAN folder choices.
inline constexpr char kAddressFileTitle[] = "ｱﾄﾞﾚｽﾌｧｲﾙ名の入力";
inline constexpr char kAddressFileFilter[] = "ﾃｷｽﾄﾌｧｲﾙ (*.TXT *.txt);;全てのﾌｧｲﾙ (*)";
inline constexpr char kAddressFileDefault[] = "*.TXT";
inline constexpr char kLanDirectoryPrompt[] = "LANメールのディレクトリを指定してください";

// The sort dialog.
inline constexpr char kSortTitle[] = "ｱﾄﾞﾚｽﾌﾞｯｸの整列";
inline constexpr char kSortColumn[] = "整列項目(&I):";
inline constexpr char kSortOrder[] = "整列基準(&K):";
inline constexpr char kAscending[] = "昇順";
inline constexpr char kDescending[] = "降順";

// The category dialog.
inline constexpr char kCategoryTitle[] = "カテゴリの編集";
inline constexpr char kCategoryAdd[] = "追加(&A)";
inline constexpr char kCategoryEdit[] = "編集(&E)";
inline constexpr char kCategoryDelete[] = "削除(&D)";
inline constexpr char kCategoryUp[] = "一つ上へ(&U)";
inline constexpr char kCategoryDown[] = "一つ下へ(&W)";
inline constexpr char kNewNamePrompt[] = "新しい名前を入力してください";
inline constexpr char kCategoryExists[] = "そのカテゴリは既にあります: ";

// Adding the sender of a mail.
inline constexpr char kAddSenderTitle[] = "ｱﾄﾞﾚｽﾌﾞｯｸに追加";
inline constexpr char kAddSenderQuestion[] = "以下の内容でｱﾄﾞﾚｽﾌﾞｯｸに追加します。よろしいですか？";

// Import and export.
inline constexpr char kImportTitle[] = "アドレスの取り込み";
inline constexpr char kImportFilter[] =
    "アドレス帳 CSV・vCard (*.csv *.CSV *.vcf *.VCF *.txt *.TXT);;全てのファイル (*)";
inline constexpr char kImportDone[] = "%1 件を追加しました。";
inline constexpr char kImportDuplicates[] = "既にあるアドレスの %1 件は追加しませんでした。";
inline constexpr char kImportLossy[] = "%1 件にShift_JISで表せない文字があり、「?」に置き換えました。";
inline constexpr char kImportEmpty[] = "アドレスが見つかりません: ";
inline constexpr char kImportNoColumns[] = "氏名またはメールアドレスの列が見つかりません: ";
inline constexpr char kCannotOpenFile[] = "ファイルが開けません：";
inline constexpr char kExportTitle[] = "アドレスの書き出し";
inline constexpr char kExportUtf8Filter[] = "CSV UTF-8 (*.csv)";
inline constexpr char kExportOwnFilter[] = "アドレスブック形式 Shift_JIS (*.csv)";
inline constexpr char kExportVCardFilter[] = "vCard (*.vcf)";
inline constexpr char kExportDone[] = "%1 件を書き出しました。";

}  // namespace lp::address_book_text
