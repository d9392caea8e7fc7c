#!/usr/bin/env python3
"""Writes the real-world spool fixtures and the attachment bytes they carry.

Run from anywhere: python3 make_fixtures.py. The output is deterministic, so
running it again leaves the checked-in files unchanged. Each message is
written the way its mail program formats it (header order, folding, boundary
style, 76-character Base64 lines, quoted-printable soft breaks that split
UTF-8 characters) and then wrapped as a POP3 server or a LAN sender leaves it
in the spool."""

import sys

sys.dont_write_bytecode = True  # keep the data directory free of caches

import fixtures_character_codes  # noqa: E402
import fixtures_header_reading  # noqa: E402
import fixtures_mail_programs  # noqa: E402
import fixtures_mime_structure  # noqa: E402


def main():
    fixtures_mail_programs.thunderbird_iso2022jp_attachment()
    fixtures_mail_programs.outlook_utf8_base64_multipart_alternative()
    fixtures_mail_programs.gmail_utf8_qp_html()
    fixtures_mail_programs.apple_mail_rfc2231_filename()
    fixtures_mail_programs.mutt_rfc2231_filename_only()
    fixtures_mail_programs.k9_rfc2231_continued_filename()
    fixtures_mail_programs.yahoo_japan_iso2022jp_plain()
    fixtures_character_codes.docomo_sjis_8bit()
    fixtures_character_codes.eucjp_legacy_unix()
    fixtures_character_codes.mixed_charset_subject()
    fixtures_mime_structure.pop3_dot_stuffed_uuencode()
    fixtures_mime_structure.nested_multipart_related_cid()
    fixtures_mime_structure.newsletter_content_id_before_type()
    fixtures_mime_structure.mailing_list_folded_subject()
    fixtures_mail_programs.iphone_utf8_base64_single_part()
    fixtures_character_codes.newsletter_utf8_qp_single_part()
    fixtures_character_codes.reservation_jis_capitalised_base64_cte()
    fixtures_mime_structure.scanner_pdf_without_name()
    fixtures_mime_structure.windows_path_in_attachment_name()
    fixtures_mime_structure.malicious_attachment_names()
    fixtures_mail_programs.lan_copy_sjis_attachment()
    fixtures_mail_programs.thunderbird_utf8_8bit_format_flowed()
    fixtures_character_codes.subject_split_inside_characters()
    fixtures_mime_structure.outlook_express_raw_jis_filename()
    fixtures_character_codes.au_jis_halfwidth_katakana()
    fixtures_mail_programs.outlook_iso2022jp_quoted_printable()
    fixtures_character_codes.unix_lf_line_endings()
    fixtures_mail_programs.thunderbird_forward_as_attachment()
    fixtures_mail_programs.gmail_attachment_long_utf8_name()
    fixtures_character_codes.shop_sjis_qp_html_single_part()
    fixtures_character_codes.eucjp_short_lines()
    fixtures_character_codes.batch_script_lowercase_header_names()
    fixtures_mime_structure.truncated_by_server_size_limit()
    fixtures_mail_programs.iphone_photos_same_name()
    fixtures_mail_programs.thunderbird_very_long_attachment_name()
    fixtures_character_codes.outlook_nec_special_characters()
    fixtures_mime_structure.postfix_bounce_multipart_report()
    fixtures_mime_structure.html_newsletter_base64_cid_across_lines()
    fixtures_character_codes.exchange_utf7_plain()
    fixtures_character_codes.raw_utf8_header_subject()
    fixtures_character_codes.old_mailer_raw_jis_header()
    fixtures_character_codes.webmail_iso2022jp_base64_text_part()
    fixtures_mime_structure.java_app_base64_single_long_line()
    fixtures_character_codes.gmail_utf8_ibm_extended_kanji()
    fixtures_character_codes.mobile_sjis_8bit_ibm_extended_kanji()
    fixtures_mime_structure.outlook_smime_signed()
    fixtures_mime_structure.bodyless_mails()
    fixtures_header_reading.write_all()


if __name__ == "__main__":
    main()
