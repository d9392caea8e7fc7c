"""Messages whose headers and part boundaries are easy to read wrongly:
fields folded at a blank, display names in quotes, text files attached
without a transfer encoding."""

from fixture_tools import *  # noqa: F401,F403 (encoders and framing)


def security_notice_folded_ascii_headers():
    # A notice folded by its mail server at the blanks of long fields: the
    # blank at each fold is part of the value.
    body = """Hello,

The password of your account was reset while two-factor
authentication is turned on. If this was not you, contact us.

Example Account Security"""
    lines = received("bounce-1234@accounts.example.com", "mail-out.accounts.example.com", 77,
                     "Tue,  8 Dec 2026 02:14:09 +0000") + [
        "Date: Tue, 08 Dec 2026 02:14:08 +0000",
        "From: Example Account Security",
        " <no-reply@accounts.example.com>",
        "To: yamada@example.ne.jp,",
        " yamada.taro@example.co.jp,",
        "\tt-yamada@example.jp",
        "Subject: Your password was reset when",
        " two-factor authentication was on",
        "Message-ID: <0100018c4f2e7a1b-security-notice@accounts.example.com>",
        "MIME-Version: 1.0",
        "Content-Type: text/plain; charset=us-ascii",
        "Content-Transfer-Encoding: 7bit",
        "",
    ] + body.split("\n")
    write_spool("security_notice_folded_ascii_headers.txt", pop3(lines, octets(lines)))


def webmail_quoted_display_names():
    # Web mailers put the encoded word of a display name inside quotes;
    # names with "," or a quote of their own must be quoted.
    body = "山田さん\n\n請求書の件、承知しました。\n\n佐藤"
    lines = received("misaki.sato@webmail.example.jp", "web12.webmail.example.jp", 45,
                     "Tue,  8 Dec 2026 14:02:11 +0900 (JST)") + [
        "Date: Tue, 8 Dec 2026 14:02:10 +0900",
        'From: "%s" <misaki.sato@webmail.example.jp>' % ew("佐藤 美咲", "ISO-2022-JP"),
        'To: "Taro \\"T.Y.\\" Yamada" <yamada@example.ne.jp>, "Suzuki, Hanako"',
        " <hanako.suzuki@example.co.jp>",
        'Cc: "%s" <keiri@example.co.jp>, "C:\\\\share" <share@example.co.jp>' % ew("経理部", "UTF-8"),
        "Subject: " + ew("Re: 請求書の件", "ISO-2022-JP"),
        "Message-ID: <20261208140210.5A6B7C8D@web12.webmail.example.jp>",
        "MIME-Version: 1.0",
        "Content-Type: text/plain; charset=ISO-2022-JP",
        "Content-Transfer-Encoding: 7bit",
        "",
    ] + [jis(l) for l in body.split("\n")]
    write_spool("webmail_quoted_display_names.txt", pop3(lines, octets(lines)))


def text_files_attached_7bit_and_8bit():
    # Text files go out as they are: a memo in ISO-2022-JP that ends in a
    # line break, and a Shift_JIS CSV file that does not.
    memo = "".join(jis(l) + "\r\n" for l in ["会議メモ", "", "・予算は承認済み", "・次回は１月"]).encode("ascii")
    write_expected("text_files_attached_7bit_and_8bit-1.txt", memo)
    csv = "品番,品名,数量\r\nA-100,ボルト,250\r\nB-200,ナット,300".encode("cp932")
    write_expected("text_files_attached_7bit_and_8bit-2.csv", csv)
    boundary = "------------A1B2C3D4E5F6A7B8C9D0E1F2"
    lines = received("ito@example.co.jp", "smtp.example.co.jp", 52,
                     "Tue,  8 Dec 2026 11:30:02 +0900 (JST)") + [
        "Content-Type: multipart/mixed; boundary=\"%s\"" % boundary,
        "Message-ID: <5b6c7d8e-2222-4222-8222-abcdef987654@example.co.jp>",
        "Date: Tue, 8 Dec 2026 11:30:00 +0900",
        "MIME-Version: 1.0",
        "User-Agent: Mozilla Thunderbird",
        "To: " + YAMADA_TO_UTF8,
        "From: " + ew("伊藤 誠", "UTF-8") + " <ito@example.co.jp>",
        "Subject: " + ew("会議メモと在庫表", "UTF-8"),
        "",
        "This is a multi-part message in MIME format.",
        "--" + boundary,
        "Content-Type: text/plain; charset=ISO-2022-JP",
        "Content-Transfer-Encoding: 7bit",
        "",
        jis("メモと在庫表を送ります。"),
        "",
        "--" + boundary,
        "Content-Type: text/plain; charset=ISO-2022-JP; name=\"memo.txt\"",
        "Content-Disposition: attachment; filename=\"memo.txt\"",
        "Content-Transfer-Encoding: 7bit",
        "",
    ] + memo.decode("ascii").split("\r\n") + [
        # the memo's last line break, then the delimiter's own
        "--" + boundary,
        "Content-Type: text/csv; charset=Shift_JIS; name=\"stock.csv\"",
        "Content-Disposition: attachment; filename=\"stock.csv\"",
        "Content-Transfer-Encoding: 8bit",
        "",
    ] + csv.split(b"\r\n") + [
        "--" + boundary + "--",
        "",
    ]
    text_lines = [l if isinstance(l, str) else l.decode("cp932") for l in lines]
    write_spool("text_files_attached_7bit_and_8bit.txt", pop3(lines, octets(text_lines)))


def write_all():
    security_notice_folded_ascii_headers()
    webmail_quoted_display_names()
    text_files_attached_7bit_and_8bit()
