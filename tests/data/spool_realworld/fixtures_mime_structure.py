"""Messages that show MIME structure: nesting, Content-IDs, attachment names, spool framing."""

import base64
import os

from fixture_tools import *  # noqa: F401,F403 (encoders and framing)


def pop3_dot_stuffed_uuencode():
    body = """山田さん

.NET 版のサンプルを uuencode で送ります。
手順は次のとおりです。
.\\setup.bat を実行する
...以上です。
.
"""
    size = 45 * 20 + 14  # the last uuencoded line then starts with "."
    rng_seed = 5
    while True:
        data = attachment_bytes(rng_seed, b"\x1F\x00-lh5-", size)
        uu = uu_lines("sample.lzh", data)
        if not any("=?" in l for l in uu) and sum(l.startswith(".") for l in uu) >= 1:
            break
        rng_seed += 100
    write_expected("pop3_dot_stuffed_uuencode-1.lzh", data)
    boundary = "=_MultiPart_Boundary_20261208_1720"
    lines = received("kimura@example.net", "smtp.example.net", 66,
                     "Tue,  8 Dec 2026 17:20:09 +0900 (JST)") + [
        "From: " + ew("木村 修", "ISO-2022-JP") + " <kimura@example.net>",
        "To: yamada@example.ne.jp",
        "Subject: " + ew("サンプル送付", "ISO-2022-JP"),
        "Date: Tue, 08 Dec 2026 17:20:05 +0900",
        "Message-Id: <200612081720.AA00123@example.net>",
        "X-Mailer: AL-Mail32 Version 1.13",
        "MIME-Version: 1.0",
        'Content-Type: multipart/mixed; boundary="%s"' % boundary,
        "",
        "--" + boundary,
        "Content-Type: text/plain; charset=ISO-2022-JP",
        "",
    ] + [jis(l) for l in body.split("\n")[:-1]] + [
        "",
        "--" + boundary,
        'Content-Type: application/octet-stream; name="sample.lzh"',
        "Content-Transfer-Encoding: x-uuencode",
        "",
    ] + uu + [
        "",
        "--" + boundary + "--",
    ]
    write_spool("pop3_dot_stuffed_uuencode.txt", pop3(lines, octets(lines)))


def nested_multipart_related_cid():
    plain = "山田さん\n\n新しいロゴ案を本文に貼り付けました。\n仕様書も添付します。\n\n佐々木\n"
    html = """<html><head><meta http-equiv="Content-Type" content="text/html; charset=iso-2022-jp"></head>
<body>
<p class="MsoNormal">山田さん</p>
<p class="MsoNormal">新しいロゴ案を本文に貼り付けました。</p>
<p class="MsoNormal"><img width="120" height="40" id="Picture_x0020_1" src="cid:image001.png@01DD6A2B.3C4D5E60" alt="ロゴ案"></p>
<p class="MsoNormal">仕様書も添付します。</p>
</body></html>
"""
    png = attachment_bytes(6, b"\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR", 700)
    pdf = attachment_bytes(7, b"%PDF-1.7\n%\xE2\xE3\xCF\xD3\n", 1100)
    write_expected("nested_multipart_related_cid-1.png", png)
    write_expected("nested_multipart_related_cid-2.pdf", pdf)
    mixed = "_005_OS3PR01MB6543210A1B2C3D4E5F6A7B8C9D0EOS3PR01MB6543jpnp_"
    related = "_004_OS3PR01MB6543210A1B2C3D4E5F6A7B8C9D0EOS3PR01MB6543jpnp_"
    alternative = "_000_OS3PR01MB6543210A1B2C3D4E5F6A7B8C9D0EOS3PR01MB6543jpnp_"
    lines = received("takeshi.sasaki@example.co.jp",
                     "JPN01-OS0-obe.outbound.protection.outlook.com", 45,
                     "Tue,  8 Dec 2026 14:40:31 +0900 (JST)") + [
        "From: " + ew("佐々木 剛", "iso-2022-jp") + " <takeshi.sasaki@example.co.jp>",
        "To: " + ew("山田 太郎", "iso-2022-jp") + " <yamada@example.ne.jp>",
        "Subject: " + ew("ロゴ案と仕様書", "iso-2022-jp"),
        "Thread-Topic: " + ew("ロゴ案と仕様書", "iso-2022-jp"),
        "Thread-Index: AdtJ8w2mK3pLq4vR5sT6uV7wX8yZ9A==",
        "Date: Tue, 8 Dec 2026 05:40:29 +0000",
        "Message-ID: <OS3PR01MB6543210A1B2C3D4E5F6A7B8C9D0E@OS3PR01MB6543.jpnprd01.prod.outlook.com>",
        "Accept-Language: ja-JP, en-US",
        "Content-Language: ja-JP",
        "X-MS-Has-Attach: yes",
        "X-MS-TNEF-Correlator:",
        "Content-Type: multipart/mixed;",
        '\tboundary="%s"' % mixed,
        "MIME-Version: 1.0",
        "",
        "--" + mixed,
        "Content-Type: multipart/related;",
        '\tboundary="%s";' % related,
        '\ttype="multipart/alternative"',
        "",
        "--" + related,
        "Content-Type: multipart/alternative;",
        '\tboundary="%s"' % alternative,
        "",
        "--" + alternative,
        'Content-Type: text/plain; charset="iso-2022-jp"',
        "Content-Transfer-Encoding: 7bit",
        "",
    ] + [jis(l) for l in plain.split("\n")[:-1]] + [
        "",
        "--" + alternative,
        'Content-Type: text/html; charset="iso-2022-jp"',
        "Content-Transfer-Encoding: 7bit",
        "",
    ] + [jis(l) for l in html.split("\n")[:-1]] + [
        "",
        "--" + alternative + "--",
        "",
        "--" + related,
        'Content-Type: image/png; name="image001.png"',
        "Content-Description: image001.png",
        'Content-Disposition: inline; filename="image001.png"; size=700;',
        '\tcreation-date="Tue, 08 Dec 2026 05:40:28 GMT";',
        '\tmodification-date="Tue, 08 Dec 2026 05:40:28 GMT"',
        "Content-ID: <image001.png@01DD6A2B.3C4D5E60>",
        "Content-Transfer-Encoding: base64",
        "",
    ] + b64_lines(png) + [
        "",
        "--" + related + "--",
        "",
        "--" + mixed,
        'Content-Type: application/pdf; name="%s"' % ew("仕様書.pdf", "iso-2022-jp"),
        'Content-Description: %s' % ew("仕様書.pdf", "iso-2022-jp"),
        'Content-Disposition: attachment; filename="%s"; size=1100;' % ew("仕様書.pdf", "iso-2022-jp"),
        '\tcreation-date="Tue, 08 Dec 2026 05:39:50 GMT";',
        '\tmodification-date="Tue, 08 Dec 2026 05:39:50 GMT"',
        "Content-Transfer-Encoding: base64",
        "",
    ] + b64_lines(pdf) + [
        "",
        "--" + mixed + "--",
    ]
    write_spool("nested_multipart_related_cid.txt", pop3(lines, octets(lines)))


def newsletter_content_id_before_type():
    html = """<html>
<body>
<p><img src="cid:logo_202612@mail.example-shop.jp" alt="EXAMPLE SHOP"></p>
<p>いつもご利用ありがとうございます。</p>
<p>年末セールを開催中です。<img src="cid:banner_202612@mail.example-shop.jp"></p>
<p><img src="cid:logo_202612@mail.example-shop.jp" width="60"></p>
</body>
</html>
"""
    logo = attachment_bytes(8, b"GIF89a", 400)
    banner = attachment_bytes(9, b"\xFF\xD8\xFF\xE0\x00\x10JFIF", 800)
    write_expected("newsletter_content_id_before_type-1.gif", logo)
    write_expected("newsletter_content_id_before_type-2.jpg", banner)
    boundary = "----=_Part_98765_4321.1796700000000"
    lines = received("news@mail.example-shop.jp", "mta12.mail.example-shop.jp", 120,
                     "Tue,  8 Dec 2026 07:00:05 +0900 (JST)") + [
        "Date: Tue, 8 Dec 2026 07:00:00 +0900 (JST)",
        "From: " + ew("EXAMPLE SHOP", "ISO-2022-JP") + " <news@mail.example-shop.jp>",
        "To: yamada@example.ne.jp",
        "Message-ID: <98765.4321.1796700000000.JavaMail.mailer@mta12>",
        "Subject: " + ew("【EXAMPLE SHOP】年末セールのお知らせ", "ISO-2022-JP"),
        "MIME-Version: 1.0",
        "Content-Type: multipart/related; ",
        '\tboundary="%s"' % boundary,
        "List-Unsubscribe: <mailto:unsubscribe@mail.example-shop.jp>",
        "",
        "--" + boundary,
        "Content-Type: text/html; charset=UTF-8",
        "Content-Transfer-Encoding: quoted-printable",
        "",
    ] + qp_lines(crlf_text(html), split_checked=False) + [
        "--" + boundary,
        "Content-ID: <logo_202612@mail.example-shop.jp>",
        "Content-Type: image/gif",
        "Content-Transfer-Encoding: base64",
        'Content-Disposition: inline; filename="logo.gif"',
        "",
    ] + b64_lines(logo) + [
        "--" + boundary,
        "Content-ID: <banner_202612@mail.example-shop.jp>",
        'Content-Type: image/jpeg; name="banner.jpg"',
        "Content-Transfer-Encoding: base64",
        "",
    ] + b64_lines(banner) + [
        "--" + boundary + "--",
    ]
    write_spool("newsletter_content_id_before_type.txt", pop3(lines, octets(lines)))


def mailing_list_folded_subject():
    body = """各位

来週の勉強会のテーマと担当者が決まりましたのでお知らせします。
詳細は添付の予定表をご覧ください。

-- 
森 直樹"""
    subject_words = [ew("来週の勉強会のテーマと", "ISO-2022-JP"),
                     ew("担当者について（日程調整", "ISO-2022-JP"),
                     ew("のお願い）", "ISO-2022-JP")]
    lines = received("study-ml-admin@ml.example.jp", "ml.example.jp", 31,
                     "Tue,  8 Dec 2026 21:15:22 +0900 (JST)") + [
        "Date: Tue, 8 Dec 2026 21:15:20 +0900",
        "From: " + ew("森 直樹", "ISO-2022-JP") + " <naoki.mori@example.jp>",
        "Reply-To: study-ml@ml.example.jp",
        "Subject: [study-ml:00123] " + subject_words[0],
        "\t" + subject_words[1],
        " " + subject_words[2],
        "To: study-ml@ml.example.jp,",
        "\t" + ew("山田 太郎", "ISO-2022-JP") + " <yamada@example.ne.jp>",
        "Cc: " + ew("事務局", "ISO-2022-JP") + " <office@example.jp>,",
        " hayashi@example.jp",
        "Message-Id: <20261208121520.2F3E4D5C@example.jp>",
        "X-ML-Name: study-ml",
        "X-Mail-Count: 00123",
        "X-MLServer: fml [fml 4.0.3 release (20011202/4.0.3)]; post only (only members can post)",
        "X-ML-Info: If you have a question, send e-mail with the body",
        '\t"# help" (without quotes) to the address study-ml-ctl@ml.example.jp;',
        "\thelp=<mailto:study-ml-ctl@ml.example.jp?body=help>",
        "Mime-Version: 1.0",
        "Content-Type: text/plain; charset=ISO-2022-JP",
        "Content-Transfer-Encoding: 7bit",
        "Precedence: bulk",
        "Lines: 7",
        "List-Software: fml [fml 4.0.3 release (20011202/4.0.3)]",
        "List-Post: <mailto:study-ml@ml.example.jp>",
        "",
    ] + [jis(l) for l in body.split("\n")]
    write_spool("mailing_list_folded_subject.txt", pop3(lines, octets(lines)))


def scanner_pdf_without_name():
    body = "スキャンしたデータを送信します。\n\nデバイス名：MFP-3F-EAST\n"
    data = attachment_bytes(10, b"%PDF-1.4\n", 1300)
    write_expected("scanner_pdf_without_name-1.bin", data)
    boundary = "MFP_BOUNDARY_20261208103015"
    lines = received("mfp-3f-east@example.co.jp", "mfp-3f-east.example.co.jp", 203,
                     "Tue,  8 Dec 2026 10:30:17 +0900 (JST)") + [
        "From: mfp-3f-east@example.co.jp",
        "To: yamada@example.ne.jp",
        "Subject: Scanned from MFP-3F-EAST",
        "Date: Tue, 08 Dec 2026 10:30:15 +0900",
        "Message-ID: <20261208103015.0001@mfp-3f-east.example.co.jp>",
        "MIME-Version: 1.0",
        'Content-Type: multipart/mixed; boundary="%s"' % boundary,
        "",
        "--" + boundary,
        "Content-Type: text/plain; charset=ISO-2022-JP",
        "Content-Transfer-Encoding: 7bit",
        "",
    ] + [jis(l) for l in body.split("\n")[:-1]] + [
        "",
        "--" + boundary,
        "Content-Type: application/pdf",
        "Content-Transfer-Encoding: base64",
        "Content-Disposition: attachment",
        "",
    ] + b64_lines(data) + [
        "",
        "--" + boundary + "--",
    ]
    write_spool("scanner_pdf_without_name.txt", pop3(lines, octets(lines)))


def windows_path_in_attachment_name():
    body = "山田さん\n\n報告書と議事メモを送ります。\n\n木下\n"
    doc = attachment_bytes(11, b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 600)
    txt = crlf_text("議事メモ\n・次回までに見積を作成\n")
    write_expected("windows_path_in_attachment_name-1.doc", doc)
    write_expected("windows_path_in_attachment_name-2.txt", txt)
    boundary = "----=_NextPart_000_0012_01DD6A2B.4E5F6A70"
    lines = received("kinoshita@example.co.jp", "pc-kinoshita.example.co.jp", 150,
                     "Tue,  8 Dec 2026 16:45:12 +0900 (JST)") + [
        "Message-ID: <001201dd6a2b$4e5f6a70$0a00a8c0@PCKINOSHITA>",
        "From: " + ew("木下 亮", "iso-2022-jp") + " <kinoshita@example.co.jp>",
        "To: <yamada@example.ne.jp>",
        "Subject: " + ew("報告書", "iso-2022-jp"),
        "Date: Tue, 8 Dec 2026 16:45:10 +0900",
        "MIME-Version: 1.0",
        "Content-Type: multipart/mixed;",
        '\tboundary="%s"' % boundary,
        "X-Priority: 3",
        "X-MSMail-Priority: Normal",
        "X-Mailer: Microsoft Outlook Express 6.00.2900.5931",
        "X-MimeOLE: Produced By Microsoft MimeOLE V6.00.2900.6157",
        "",
        "This is a multi-part message in MIME format.",
        "",
        "--" + boundary,
        "Content-Type: text/plain;",
        '\tcharset="iso-2022-jp"',
        "Content-Transfer-Encoding: 7bit",
        "",
    ] + [jis(l) for l in body.split("\n")[:-1]] + [
        "",
        "--" + boundary,
        "Content-Type: application/msword;",
        '\tname="%s"' % ew("C:\\Users\\kinoshita\\Documents\\報告書.doc", "iso-2022-jp"),
        "Content-Transfer-Encoding: base64",
        "Content-Disposition: attachment;",
        '\tfilename="%s"' % ew("C:\\Users\\kinoshita\\Documents\\報告書.doc", "iso-2022-jp"),
        "",
    ] + b64_lines(doc) + [
        "",
        "--" + boundary,
        "Content-Type: text/plain;",
        '\tname="%s"' % ew("/home/kinoshita/議事メモ.txt", "iso-2022-jp"),
        "Content-Transfer-Encoding: base64",
        "Content-Disposition: attachment;",
        '\tfilename="%s"' % ew("/home/kinoshita/議事メモ.txt", "iso-2022-jp"),
        "",
    ] + b64_lines(txt) + [
        "",
        "--" + boundary + "--",
        "",
    ]
    write_spool("windows_path_in_attachment_name.txt", pop3(lines, octets(lines)))


def malicious_attachment_names():
    body = "Please check the attached invoice.\n"
    conf = b"[System]\r\nAttachDir=/tmp\r\n"
    dots = attachment_bytes(12, b"MZ\x90\x00", 300)
    ctrl = attachment_bytes(13, b"MZ\x90\x00", 200)
    write_expected("malicious_attachment_names-1.conf", conf)
    write_expected("malicious_attachment_names-2.bin", dots)
    write_expected("malicious_attachment_names-3.bin", ctrl)
    boundary = "b1_8f3e2d1c0b9a8f7e6d5c4b3a29180706"
    lines = received("billing@invoice-example.test", "203-0-113-9.example.test", 9,
                     "Tue,  8 Dec 2026 03:03:03 +0900 (JST)") + [
        "Date: Mon, 7 Dec 2026 18:03:01 +0000",
        "To: yamada@example.ne.jp",
        "From: Billing <billing@invoice-example.test>",
        "Subject: Invoice 2026-12",
        "Message-ID: <b1_8f3e2d1c0b9a8f7e6d5c4b3a29180706@invoice-example.test>",
        "X-Mailer: PHPMailer 6.9.1 (https://github.com/PHPMailer/PHPMailer)",
        "MIME-Version: 1.0",
        "Content-Type: multipart/mixed;",
        ' boundary="%s"' % boundary,
        "Content-Transfer-Encoding: 8bit",
        "",
        "This is a multi-part message in MIME format.",
        "--" + boundary,
        "Content-Type: text/plain; charset=us-ascii",
        "",
    ] + body.split("\n")[:-1] + [
        "",
        "--" + boundary,
        'Content-Type: application/octet-stream; name="../lpost.conf"',
        "Content-Transfer-Encoding: base64",
        'Content-Disposition: attachment; filename="../lpost.conf"',
        "",
    ] + b64_lines(conf) + [
        "",
        "--" + boundary,
        'Content-Type: application/octet-stream; name=".."',
        "Content-Transfer-Encoding: base64",
        'Content-Disposition: attachment; filename=".."',
        "",
    ] + b64_lines(dots) + [
        "",
        "--" + boundary,
        'Content-Type: application/octet-stream; name="=?UTF-8?Q?invoice=07=1B.exe?="',
        "Content-Transfer-Encoding: base64",
        "",
    ] + b64_lines(ctrl) + [
        "",
        "--" + boundary + "--",
        "",
    ]
    write_spool("malicious_attachment_names.txt", pop3(lines, octets(lines)))


def truncated_by_server_size_limit():
    # The Gmail mail with its attachment, cut off by a relay in the middle of
    # the Base64 lines (no closing delimiter), then the POP3 terminator.
    with open(os.path.join(HERE, "gmail_attachment_long_utf8_name.txt"), "rb") as f:
        lines = f.read().split(b"\r\n")
    first_data = next(i for i, l in enumerate(lines) if l.startswith(b"UEsDBB"))
    cut = lines[:first_data + 10]
    with open(os.path.join(HERE, "truncated_by_server_size_limit.txt"), "wb") as f:
        f.write(b"\r\n".join(cut + [b"."]) + b"\r\n")


def java_app_base64_single_long_line():
    # Some application mailers write each Base64 body as one line without
    # breaks, far longer than a spool line.
    text = ("本日の業務日報を送信します。\n" + "作業内容：顧客データの移行作業、テスト環境の構築、議事録の作成。\n" * 80
            + "以上\n")
    data = attachment_bytes(22, b"PK\x03\x04", 9000)
    write_expected("java_app_base64_single_long_line-1.zip", data)
    boundary = "----=_Part_0_1234567890.1796710000000"
    text_line = base64.b64encode(crlf_text(text)).decode("ascii")
    data_line = base64.b64encode(data).decode("ascii")
    assert len(text_line) > 4095 * 2 and len(data_line) > 4095 * 2
    lines = received("report@app.example.co.jp", "app.example.co.jp", 170,
                     "Tue,  8 Dec 2026 18:30:02 +0900 (JST)") + [
        "Date: Tue, 8 Dec 2026 18:30:00 +0900 (JST)",
        "From: report@app.example.co.jp",
        "To: yamada@example.ne.jp",
        "Message-ID: <1234567890.0.1796710000000.JavaMail.app@app.example.co.jp>",
        "Subject: " + ew("業務日報", "UTF-8"),
        "MIME-Version: 1.0",
        "Content-Type: multipart/mixed; ",
        '\tboundary="%s"' % boundary,
        "",
        "--" + boundary,
        "Content-Type: text/plain; charset=UTF-8",
        "Content-Transfer-Encoding: base64",
        "",
        text_line,
        "--" + boundary,
        'Content-Type: application/zip; name=logs.zip',
        "Content-Transfer-Encoding: base64",
        'Content-Disposition: attachment; filename=logs.zip',
        "",
        data_line,
        "--" + boundary + "--",
    ]
    write_spool("java_app_base64_single_long_line.txt", pop3(lines, octets(lines)))


def html_newsletter_base64_cid_across_lines():
    # The decoded HTML is padded so that "cid:" straddles two Base64 lines.
    head = '<html><body><p>\u3053\u3093\u306b\u3061\u306f\u3002</p><p><img src="'
    pad = 57 * 2 - 2 - len(head.encode("utf-8"))
    html = head[:-len('<p><img src="')] + "x" * pad + '<p><img src="cid:part1.A1B2C3D4@example.jp" alt="logo"></p>\r\n<p>\u3054\u6848\u5185\u3067\u3059\u3002</p></body></html>\r\n'
    data = html.encode("utf-8")
    at = data.index(b"cid:")
    assert at % 57 not in (0,) and (at + 4) // 57 != at // 57, at
    logo = attachment_bytes(20, b"\x89PNG\r\n\x1a\n", 300)
    write_expected("html_newsletter_base64_cid_across_lines-1.png", logo)
    boundary = "=_b64related_20261208"
    lines = received("info@example.jp", "mta.example.jp", 33,
                     "Tue,  8 Dec 2026 08:00:02 +0900 (JST)") + [
        "Date: Tue, 8 Dec 2026 08:00:00 +0900",
        "From: info@example.jp",
        "To: yamada@example.ne.jp",
        "Subject: " + ew("ご案内", "UTF-8"),
        "Message-ID: <related.20261208080000@example.jp>",
        "MIME-Version: 1.0",
        'Content-Type: multipart/related; boundary="%s"; type="text/html"' % boundary,
        "",
        "--" + boundary,
        "Content-Type: text/html; charset=UTF-8",
        "Content-Transfer-Encoding: base64",
        "",
    ] + b64_lines(data) + [
        "--" + boundary,
        "Content-Type: image/png",
        "Content-Transfer-Encoding: base64",
        "Content-ID: <part1.A1B2C3D4@example.jp>",
        'Content-Disposition: inline; filename="logo.png"',
        "",
    ] + b64_lines(logo) + [
        "--" + boundary + "--",
    ]
    write_spool("html_newsletter_base64_cid_across_lines.txt", pop3(lines, octets(lines)))


def outlook_express_raw_jis_filename():
    body = "山田様\n\nソフトの一覧表を送ります。\n\n松本\n"
    data = attachment_bytes(15, b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 800)
    write_expected("outlook_express_raw_jis_filename-1.xls", data)
    raw_name = jis("ソフト一覧表.xls")
    boundary = "----=_NextPart_000_0007_01DD6A30.12345670"
    lines = received("matsumoto@example.ne.jp", "pc01.example.ne.jp", 181,
                     "Tue,  8 Dec 2026 09:40:05 +0900 (JST)") + [
        "Message-ID: <000701dd6a30$12345670$6400a8c0@matsumoto>",
        'From: "' + ew("松本 誠", "iso-2022-jp") + '" <matsumoto@example.ne.jp>',
        'To: "' + ew("山田 太郎", "iso-2022-jp") + '" <yamada@example.ne.jp>',
        "Subject: " + ew("ソフト一覧表", "iso-2022-jp"),
        "Date: Tue, 8 Dec 2026 09:40:00 +0900",
        "MIME-Version: 1.0",
        "Content-Type: multipart/mixed;",
        '\tboundary="%s"' % boundary,
        "X-Priority: 3",
        "X-MSMail-Priority: Normal",
        "X-Mailer: Microsoft Outlook Express 6.00.2900.5931",
        "",
        "This is a multi-part message in MIME format.",
        "",
        "--" + boundary,
        "Content-Type: text/plain;",
        '\tcharset="iso-2022-jp"',
        "Content-Transfer-Encoding: 7bit",
        "",
    ] + [jis(l) for l in body.split("\n")[:-1]] + [
        "",
        "--" + boundary,
        "Content-Type: application/vnd.ms-excel;",
        '\tname="%s"' % raw_name,
        "Content-Transfer-Encoding: base64",
        "Content-Disposition: attachment;",
        '\tfilename="%s"' % raw_name,
        "",
    ] + b64_lines(data) + [
        "",
        "--" + boundary + "--",
        "",
    ]
    write_spool("outlook_express_raw_jis_filename.txt", pop3(lines, octets(lines)))


def postfix_bounce_multipart_report():
    returned_body = "鈴木様\n\nお見積のご依頼です。\n"
    boundary = "1A2B3C4D5E.1796702405/mx01.example.ne.jp"
    notification = """This is the mail system at host mx01.example.ne.jp.

I'm sorry to have to inform you that your message could not
be delivered to one or more recipients. It's attached below.

For further assistance, please send mail to postmaster.

If you do so, please include this problem report. You can
delete your own text from the attached returned message.

                   The mail system

<nobody@example.invalid>: Host or domain name not found. Name service error
    for name=example.invalid type=MX: Host not found, try again"""
    status = """Reporting-MTA: dns; mx01.example.ne.jp
X-Postfix-Queue-ID: 1A2B3C4D5E
X-Postfix-Sender: rfc822; yamada@example.ne.jp
Arrival-Date: Tue,  8 Dec 2026 10:59:58 +0900 (JST)

Final-Recipient: rfc822; nobody@example.invalid
Original-Recipient: rfc822;nobody@example.invalid
Action: failed
Status: 5.4.4
Diagnostic-Code: X-Postfix; Host or domain name not found. Name service error
    for name=example.invalid type=MX: Host not found, try again"""
    lines = [
        "Return-Path: <>",
        "Delivered-To: yamada@example.ne.jp",
        "Received: by mx01.example.ne.jp (Postfix)",
        "\tid 1A2B3C4D5E; Tue,  8 Dec 2026 11:00:05 +0900 (JST)",
        "Date: Tue,  8 Dec 2026 11:00:05 +0900 (JST)",
        "From: MAILER-DAEMON@mx01.example.ne.jp (Mail Delivery System)",
        "Subject: Undelivered Mail Returned to Sender",
        "To: yamada@example.ne.jp",
        "Auto-Submitted: auto-replied",
        "MIME-Version: 1.0",
        "Content-Type: multipart/report; report-type=delivery-status;",
        '\tboundary="%s"' % boundary,
        "Content-Transfer-Encoding: 8bit",
        "Message-Id: <20261208020005.1A2B3C4D5E@mx01.example.ne.jp>",
        "",
        "This is a MIME-encapsulated message.",
        "",
        "--" + boundary,
        "Content-Description: Notification",
        "Content-Type: text/plain; charset=us-ascii",
        "",
    ] + notification.split("\n") + [
        "",
        "--" + boundary,
        "Content-Description: Delivery report",
        "Content-Type: message/delivery-status",
        "",
    ] + status.split("\n") + [
        "",
        "--" + boundary,
        "Content-Description: Undelivered Message",
        "Content-Type: message/rfc822",
        "",
        "Return-Path: <yamada@example.ne.jp>",
        "Received: from pc01 (pc01.example.ne.jp [192.0.2.200])",
        "\tby mx01.example.ne.jp (Postfix) with ESMTPSA id 1A2B3C4D5E",
        "\tfor <nobody@example.invalid>; Tue,  8 Dec 2026 10:59:58 +0900 (JST)",
        "Message-ID: <20261208105955.0042@example.ne.jp>",
        "Date: Tue, 8 Dec 2026 10:59:55 +0900",
        "From: " + ew("山田 太郎", "ISO-2022-JP") + " <yamada@example.ne.jp>",
        "To: nobody@example.invalid",
        "Subject: " + ew("お見積のご依頼", "ISO-2022-JP"),
        "MIME-Version: 1.0",
        'Content-Type: text/plain; charset="iso-2022-jp"',
        "",
    ] + [jis(l) for l in returned_body.split("\n")[:-1]] + [
        "",
        "--" + boundary + "--",
    ]
    write_spool("postfix_bounce_multipart_report.txt", pop3(lines, octets(lines)))


def outlook_smime_signed():
    body = "山田様\n\n電子署名付きでお送りします。\n\n総務課 渡部\n"
    signature = attachment_bytes(23, b"\x30\x80\x06\x09\x2a\x86\x48\x86\xf7\x0d\x01\x07\x02\xa0\x80", 1800)
    write_expected("outlook_smime_signed-1.p7s", signature)
    signed = "----=_NextPart_000_0010_01DD6A31.ABCDEF00"
    alternative = "----=_NextPart_001_0011_01DD6A31.ABCDEF00"
    lines = received("watanabe@city.example.lg.jp", "mail.city.example.lg.jp", 222,
                     "Tue,  8 Dec 2026 11:20:04 +0900 (JST)") + [
        "From: " + ew("渡部 恵", "iso-2022-jp") + " <watanabe@city.example.lg.jp>",
        "To: " + ew("山田 太郎", "iso-2022-jp") + " <yamada@example.ne.jp>",
        "Subject: " + ew("電子署名付きメール", "iso-2022-jp"),
        "Date: Tue, 8 Dec 2026 11:20:00 +0900",
        "Message-ID: <001001dd6a31$abcdef00$01234567$@city.example.lg.jp>",
        "MIME-Version: 1.0",
        'Content-Type: multipart/signed; protocol="application/x-pkcs7-signature";',
        '\tmicalg=SHA1;',
        '\tboundary="%s"' % signed,
        "X-Mailer: Microsoft Outlook 16.0",
        "Content-Language: ja",
        "",
        "This is a multipart message in MIME format.",
        "",
        "--" + signed,
        "Content-Type: multipart/alternative;",
        '\tboundary="%s"' % alternative,
        "",
        "",
        "--" + alternative,
        "Content-Type: text/plain;",
        '\tcharset="iso-2022-jp"',
        "Content-Transfer-Encoding: 7bit",
        "",
    ] + [jis(l) for l in body.split("\n")[:-1]] + [
        "",
        "--" + alternative + "--",
        "",
        "--" + signed,
        "Content-Type: application/x-pkcs7-signature;",
        '\tname="smime.p7s"',
        "Content-Transfer-Encoding: base64",
        "Content-Disposition: attachment;",
        '\tfilename="smime.p7s"',
        "",
    ] + b64_lines(signature) + [
        "",
        "--" + signed + "--",
        "",
    ]
    write_spool("outlook_smime_signed.txt", pop3(lines, octets(lines)))


def bodyless_mails():
    # A subject-only memo from a phone (empty body), and a notification that
    # has no body at all, so no blank line ends its header.
    memo = received("yui-0425@docomo.ne.jp", "mfsmax.docomo.ne.jp", 13,
                    "Tue,  8 Dec 2026 23:58:02 +0900 (JST)") + [
        "Date: Tue, 08 Dec 2026 23:58:00 +0900 (JST)",
        "From: yui-0425@docomo.ne.jp",
        "To: yamada@example.ne.jp",
        "Subject: " + ew("おやすみなさい", "Shift_JIS"),
        "Message-ID: <20261208235800.F1E2D3.yui-0425@docomo.ne.jp>",
        "MIME-Version: 1.0",
        'Content-Type: text/plain; charset="Shift_JIS"',
        "Content-Transfer-Encoding: 8bit",
        "",
    ]
    write_spool("mobile_subject_only_empty_body.txt", pop3(memo, octets(memo)))
    notice = [
        "Return-Path: <monitor@example.co.jp>",
        "Date: Tue, 8 Dec 2026 03:00:00 +0900",
        "From: monitor@example.co.jp",
        "To: yamada@example.ne.jp",
        "Subject: [OK] backup finished",
        "Message-Id: <20261208030000.backup@monitor.example.co.jp>",
    ]
    write_spool("header_only_without_body.txt", pop3(notice, octets(notice)))
