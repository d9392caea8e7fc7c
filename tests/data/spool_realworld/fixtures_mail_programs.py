"""Messages as common mail programs and web mailers format them."""

import urllib.parse

from fixture_tools import *  # noqa: F401,F403 (encoders and framing)


def thunderbird_iso2022jp_attachment():
    body = """山田様

いつもお世話になっております。田中です。

先日お話しした申込表を添付いたします。
ご確認のほど、よろしくお願いいたします。

--
田中 花子 <hanako.tanaka@example.co.jp>"""
    data = attachment_bytes(1, b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 1234)
    write_expected("thunderbird_iso2022jp_attachment-1.xls", data)
    name_jis = "申込表.xls".encode("iso2022_jp")
    filename_star = "ISO-2022-JP''" + "".join("%%%02X" % b for b in name_jis)
    boundary = "------------090708030702070502010906"
    lines = received("hanako.tanaka@example.co.jp", "smtp.example.co.jp", 21,
                     "Tue,  8 Dec 2026 10:15:42 +0900 (JST)") + [
        "Message-ID: <4F8A2C3D.5060708@example.co.jp>",
        "Date: Tue, 08 Dec 2026 10:15:40 +0900",
        "From: " + ew("田中 花子", "ISO-2022-JP") + " <hanako.tanaka@example.co.jp>",
        "User-Agent: Thunderbird 2.0.0.24 (Windows/20100228)",
        "MIME-Version: 1.0",
        "To: " + ew("山田 太郎", "ISO-2022-JP") + " <yamada@example.ne.jp>",
        "Subject: " + ew("申込表の送付について", "ISO-2022-JP"),
        "Content-Type: multipart/mixed;",
        ' boundary="%s"' % boundary,
        "",
        "This is a multi-part message in MIME format.",
        "--" + boundary,
        "Content-Type: text/plain; charset=ISO-2022-JP",
        "Content-Transfer-Encoding: 7bit",
        "",
    ] + [jis(l) for l in body.split("\n")] + [
        "",
        "",
        "--" + boundary,
        "Content-Type: application/vnd.ms-excel;",
        ' name="%s"' % ew("申込表.xls", "ISO-2022-JP"),
        "Content-Transfer-Encoding: base64",
        "Content-Disposition: attachment;",
        " filename*=" + filename_star,
        "",
    ] + b64_lines(data) + [
        "--" + boundary + "--",
        "",
    ]
    write_spool("thunderbird_iso2022jp_attachment.txt", pop3(lines, octets(lines)))


def outlook_utf8_base64_multipart_alternative():
    plain = """山田さん

お疲れさまです。佐藤です。

来週の定例会議（12月15日（火）14:00〜15:00）の議題をお送りします。
１．第３四半期の進捗報告
２．新システム導入スケジュールの確認
３．その他

資料は前日までに共有フォルダに格納しておきます。
ご不明点があればお知らせください。

佐藤
"""
    html = """<html xmlns:v="urn:schemas-microsoft-com:vml" xmlns:o="urn:schemas-microsoft-com:office:office" xmlns:w="urn:schemas-microsoft-com:office:word" xmlns:m="http://schemas.microsoft.com/office/2004/12/omml" xmlns="http://www.w3.org/TR/REC-html40">
<head>
<meta http-equiv="Content-Type" content="text/html; charset=utf-8">
<meta name="Generator" content="Microsoft Word 15 (filtered medium)">
<style><!--
p.MsoNormal, li.MsoNormal, div.MsoNormal
	{margin:0mm;
	font-size:10.5pt;
	font-family:"游ゴシック",sans-serif;}
--></style>
</head>
<body lang="JA" link="#0563C1" vlink="#954F72" style="word-wrap:break-word;text-justify-trim:punctuation">
<div class="WordSection1">
<p class="MsoNormal">山田さん<o:p></o:p></p>
<p class="MsoNormal"><o:p>&nbsp;</o:p></p>
<p class="MsoNormal">お疲れさまです。佐藤です。<o:p></o:p></p>
<p class="MsoNormal">来週の定例会議（12月15日（火）14:00〜15:00）の議題をお送りします。<o:p></o:p></p>
</div>
</body>
</html>
"""
    plain_b = crlf_text(plain)
    html_b = crlf_text(html)
    assert b64_splits_character(plain_b)
    boundary = "_000_TYWPR01MB1234567D8E9F0A1B2C3D4E5F6A7B8C9D0TYWPR01MB1234jpnp_"
    subject1 = ew("【要確認】来週の定例会議の", "utf-8")
    subject2 = ew("議題について", "utf-8")
    lines = received("misaki.sato@example.co.jp",
                     "JPN01-TYC-obe.outbound.protection.outlook.com", 44,
                     "Tue,  8 Dec 2026 10:23:47 +0900 (JST)") + [
        "From: " + ew("佐藤 美咲", "iso-2022-jp") + " <misaki.sato@example.co.jp>",
        'To: "yamada@example.ne.jp" <yamada@example.ne.jp>',
        "CC: " + ew("高橋 健一", "utf-8") + " <kenichi.takahashi@example.co.jp>",
        "Subject: " + subject1,
        " " + subject2,
        "Thread-Topic: " + subject1,
        " " + subject2,
        "Thread-Index: AdtJZ2pQk1xYw3vTRb6mN8uH4sLfVg==",
        "Date: Tue, 8 Dec 2026 01:23:45 +0000",
        "Message-ID:",
        " <TYWPR01MB1234567D8E9F0A1B2C3D4E5F6A7B8C9D0@TYWPR01MB1234.jpnprd01.prod.outlook.com>",
        "Accept-Language: ja-JP, en-US",
        "Content-Language: ja-JP",
        "X-MS-Has-Attach:",
        "X-MS-TNEF-Correlator:",
        "Content-Type: multipart/alternative;",
        '\tboundary="%s"' % boundary,
        "MIME-Version: 1.0",
        "",
        "--" + boundary,
        'Content-Type: text/plain; charset="utf-8"',
        "Content-Transfer-Encoding: base64",
        "",
    ] + b64_lines(plain_b) + [
        "",
        "--" + boundary,
        'Content-Type: text/html; charset="utf-8"',
        "Content-Transfer-Encoding: base64",
        "",
    ] + b64_lines(html_b) + [
        "",
        "--" + boundary + "--",
    ]
    write_spool("outlook_utf8_base64_multipart_alternative.txt", pop3(lines, octets(lines)))


def gmail_utf8_qp_html():
    plain = """山田さん

先日は素敵な写真をたくさん送っていただき、本当にありがとうございました！家族みんなで見て、旅行の思い出話で盛り上がりました。

特に富士山の朝焼けの写真は、額に入れてリビングに飾ることにしました。

また近いうちにお会いできるのを楽しみにしています。

伊藤さくら
"""
    html = ('<div dir="ltr"><div>山田さん</div><div><br></div><div>先日は素敵な写真をたくさん送っていただき、'
            '本当にありがとうございました！家族みんなで見て、旅行の思い出話で盛り上がりました。</div><div><br></div>'
            '<div>特に富士山の朝焼けの写真は、額に入れてリビングに飾ることにしました。</div><div><br></div>'
            '<div>また近いうちにお会いできるのを楽しみにしています。</div><div><br></div><div>伊藤さくら</div></div>\n')
    boundary = "000000000000a1b2c3d4e5f60718"
    lines = received("sakura.ito.1990@gmail.com", "mail-pl1-f171.google.com", 71,
                     "Tue,  8 Dec 2026 19:02:13 +0900 (JST)") + [
        "Received: by mail-pl1-f171.google.com with SMTP id d9443c01a7336-2a0b1c2d3e4so123456b3a.1",
        "        for <yamada@example.ne.jp>; Tue, 08 Dec 2026 02:02:12 -0800 (PST)",
        "DKIM-Signature: v=1; a=rsa-sha256; c=relaxed/relaxed;",
        "        d=gmail.com; s=20230601; t=1796734932; x=1797339732; darn=example.ne.jp;",
        "        h=to:subject:message-id:date:from:mime-version:from:to:cc:subject",
        "         :date:message-id:reply-to;",
        "        bh=q1vV2c3Xk4m5N6b7V8c9X0z1A2s3D4f5G6h7J8k9L0Q=;",
        "        b=Yx7Wq2Ep9Rt4Uy6Io8Pa1Sd3Fg5Hj7Kl9Zx2Cv4Bn6Mq8Wr0Et2Yu4Io6Pa8Sd0Fg",
        "MIME-Version: 1.0",
        "From: " + ew("伊藤さくら", "UTF-8") + " <sakura.ito.1990@gmail.com>",
        "Date: Tue, 8 Dec 2026 19:02:11 +0900",
        "Message-ID: <CAKx7pQ3mVb2Nw9yT4rG8hJ1sLd6Fz0cXe5Ua7Wq3Ro9Pk2Mn8g@mail.gmail.com>",
        "Subject: " + ew("写真ありがとうございました！", "UTF-8"),
        "To: " + ew("山田太郎", "UTF-8") + " <yamada@example.ne.jp>",
        'Content-Type: multipart/alternative; boundary="%s"' % boundary,
        "",
        "--" + boundary,
        'Content-Type: text/plain; charset="UTF-8"',
        "Content-Transfer-Encoding: quoted-printable",
        "",
    ] + qp_lines(crlf_text(plain)) + [
        "--" + boundary,
        'Content-Type: text/html; charset="UTF-8"',
        "Content-Transfer-Encoding: quoted-printable",
        "",
    ] + qp_lines(crlf_text(html)) + [
        "--" + boundary + "--",
    ]
    write_spool("gmail_utf8_qp_html.txt", pop3(lines, octets(lines)))


def apple_mail_rfc2231_filename():
    body = """山田様

お世話になっております。鈴木です。

ご依頼いただいた件のお見積書を添付にてお送りいたします。有効期限は2026年12月末日となっております。

何卒よろしくお願い申し上げます。

鈴木 一郎
"""
    name = "御見積書_No.2026-1208.pdf"
    data = attachment_bytes(2, b"%PDF-1.3\n%\xC4\xE5\xF2\xE5\xEB\xA7\xF3\xA0\xD0\xC4\xC6\n", 2000)
    write_expected("apple_mail_rfc2231_filename-1.pdf", data)
    boundary = "Apple-Mail=_2B7E4F1A-9C3D-4E5F-8A6B-7C8D9E0F1A2B"
    lines = received("ichiro.suzuki@icloud.com", "st43p00im-ztfb10061701.me.com", 17,
                     "Tue,  8 Dec 2026 08:30:14 +0900 (JST)") + [
        "From: " + ew("鈴木 一郎", "utf-8") + " <ichiro.suzuki@icloud.com>",
        "Content-Type: multipart/mixed;",
        '\tboundary="%s"' % boundary,
        "Mime-Version: 1.0 (Mac OS X Mail 16.0 \\(3774.600.62\\))",
        "Subject: " + ew("お見積書をお送りします", "utf-8"),
        "Date: Tue, 8 Dec 2026 08:30:12 +0900",
        "Message-Id: <3C5D7E9F-1A2B-4C3D-8E9F-0A1B2C3D4E5F@icloud.com>",
        "To: " + ew("山田 太郎", "utf-8") + " <yamada@example.ne.jp>",
        "X-Mailer: Apple Mail (2.3774.600.62)",
        "",
        "",
        "--" + boundary,
        "Content-Transfer-Encoding: quoted-printable",
        "Content-Type: text/plain;",
        "\tcharset=utf-8",
        "",
    ] + qp_lines(crlf_text(body)) + [
        "--" + boundary,
        "Content-Disposition: attachment;",
        "\tfilename*=utf-8''" + urllib.parse.quote(name, safe="._-"),
        "Content-Type: application/pdf;",
        "\tx-unix-mode=0644;",
        '\tname="%s"' % ew(name, "utf-8"),
        "Content-Transfer-Encoding: base64",
        "",
    ] + b64_lines(data) + [
        "--" + boundary + "--",
        "",
    ]
    write_spool("apple_mail_rfc2231_filename.txt", pop3(lines, octets(lines)))


def mutt_rfc2231_filename_only():
    body = """山田さん

昨日の打ち合わせの議事録を添付します。
次回は12月15日（火）の予定です。

渡辺
"""
    name = "議事録（12月8日）.pdf"
    data = attachment_bytes(3, b"%PDF-1.5\n%\xB5\xB5\xB5\xB5\n", 900)
    write_expected("mutt_rfc2231_filename_only-1.pdf", data)
    boundary = "k3xV9mQ2pL7rT4wZ"
    lines = received("kenji@example.org", "mail.example.org", 88,
                     "Tue,  8 Dec 2026 11:45:05 +0900 (JST)") + [
        "Date: Tue, 8 Dec 2026 11:45:03 +0900",
        "From: Kenji Watanabe <kenji@example.org>",
        "To: yamada@example.ne.jp",
        "Subject: " + ew("議事録の送付", "utf-8"),
        "Message-ID: <20261208024503.GA12345@example.org>",
        "MIME-Version: 1.0",
        'Content-Type: multipart/mixed; boundary="%s"' % boundary,
        "Content-Disposition: inline",
        "User-Agent: Mutt/2.2.9 (2022-11-12)",
        "",
        "",
        "--" + boundary,
        "Content-Type: text/plain; charset=utf-8",
        "Content-Disposition: inline",
        "Content-Transfer-Encoding: quoted-printable",
        "",
    ] + qp_lines(crlf_text(body), split_checked=False) + [
        "--" + boundary,
        "Content-Type: application/pdf",
        "Content-Disposition: attachment;",
        " filename*=utf-8''" + urllib.parse.quote(name, safe="._-"),
        "Content-Transfer-Encoding: base64",
        "",
    ] + b64_lines(data) + [
        "",
        "--" + boundary + "--",
    ]
    write_spool("mutt_rfc2231_filename_only.txt", pop3(lines, octets(lines)))


def k9_rfc2231_continued_filename():
    body = "山田様\n\n来年度の予算書（案）をお送りします。\nご確認をお願いいたします。\n\n小林\n"
    name = "令和8年度予算書（案）_営業部担当分.xlsx"
    data = attachment_bytes(4, b"PK\x03\x04\x14\x00\x06\x00\x08\x00", 1500)
    write_expected("k9_rfc2231_continued_filename-1.xlsx", data)
    encoded = name.encode("utf-8")
    pieces = [encoded[0:27], encoded[27:51], encoded[51:]]
    boundary = "----2YQ8N6W0Z3J7K5R1V4X9M2B8C6"
    lines = received("yuki.kobayashi@example.co.jp", "mail.example.co.jp", 35,
                     "Tue,  8 Dec 2026 13:10:02 +0900 (JST)") + [
        "MIME-Version: 1.0",
        "Content-Type: multipart/mixed;",
        " boundary=" + boundary,
        "Content-Transfer-Encoding: 7bit",
        "Subject: " + ew("予算書（案）", "UTF-8"),
        "From: " + ew("小林 由紀", "UTF-8") + " <yuki.kobayashi@example.co.jp>",
        "Date: Tue, 08 Dec 2026 13:10:00 +0900",
        "To: " + YAMADA_TO_UTF8,
        "Message-ID: <0f1e2d3c-4b5a-6978-8a9b-0c1d2e3f4a5b@example.co.jp>",
        "User-Agent: K-9 Mail for Android",
        "",
        "--" + boundary,
        "Content-Type: text/plain; charset=UTF-8",
        "Content-Transfer-Encoding: base64",
        "",
    ] + b64_lines(crlf_text(body)) + [
        "",
        "--" + boundary,
        "Content-Type: application/vnd.openxmlformats-officedocument.spreadsheetml.sheet",
        "Content-Transfer-Encoding: base64",
        "Content-Disposition: attachment;",
        " filename*0*=UTF-8''" + urllib.parse.quote(pieces[0], safe="") + ";",
        " filename*1*=" + urllib.parse.quote(pieces[1], safe="") + ";",
        " filename*2*=" + urllib.parse.quote(pieces[2], safe="") + ";",
        " size=1500",
        "",
    ] + b64_lines(data) + [
        "",
        "--" + boundary + "--",
    ]
    write_spool("k9_rfc2231_continued_filename.txt", pop3(lines, octets(lines)))


def yahoo_japan_iso2022jp_plain():
    body = """山田太郎様

こんにちは。高橋です。
来月の同窓会の件でご連絡しました。

日時：１月１０日（土）１８時から
場所：新宿駅西口の居酒屋「和楽」
会費：５，０００円

出欠を１２月２０日までにお知らせください。

高橋 真由"""
    lines = [
        "X-Apparently-To: yamada@example.ne.jp via 182.22.12.76; Tue, 08 Dec 2026 16:20:35 +0900",
        "Return-Path: <mayu_takahashi@yahoo.co.jp>",
        "Received: from web101234.mail.kks.yahoo.co.jp (web101234.mail.kks.yahoo.co.jp [182.22.16.121])",
        "\tby mx.example.ne.jp with SMTP; Tue, 08 Dec 2026 16:20:35 +0900",
        "X-YMail-OSG: Bm3dNqQVM1kQ7r2jV4wX8yZ0aB1cD2eF3gH4iJ5kL6mN7oP8qR9sT0uV1wX2yZ3",
        "X-Mailer: YahooMailWebService/0.8.203.597",
        "Message-ID: <1796716834.56789.YahooMailNeo@web101234.mail.kks.yahoo.co.jp>",
        "Date: Tue, 8 Dec 2026 16:20:34 +0900 (JST)",
        "From: " + ew("高橋 真由", "ISO-2022-JP") + " <mayu_takahashi@yahoo.co.jp>",
        "Reply-To: " + ew("高橋 真由", "ISO-2022-JP") + " <mayu_takahashi@yahoo.co.jp>",
        'To: "yamada@example.ne.jp" <yamada@example.ne.jp>',
        "Subject: " + ew("同窓会のお知らせ", "ISO-2022-JP"),
        "MIME-Version: 1.0",
        "Content-Type: text/plain; charset=iso-2022-jp",
        "Content-Transfer-Encoding: 7bit",
        "",
    ] + [jis(l) for l in body.split("\n")]
    write_spool("yahoo_japan_iso2022jp_plain.txt", pop3(lines, octets(lines)))


def iphone_utf8_base64_single_part():
    body = """了解です！
19時に渋谷のハチ公前で待ち合わせにしましょう。
少し遅れるかもしれないので、着いたらLINEします。

iPhoneから送信"""
    data = crlf_text(body)
    assert b64_splits_character(data)
    lines = received("ryo.shimizu@icloud.com", "st43p00im-zteg10063501.me.com", 18,
                     "Tue,  8 Dec 2026 18:01:44 +0900 (JST)") + [
        "Content-Type: text/plain;",
        "\tcharset=utf-8",
        "Content-Transfer-Encoding: base64",
        "From: " + ew("清水 涼", "utf-8") + " <ryo.shimizu@icloud.com>",
        "Mime-Version: 1.0 (1.0)",
        "Date: Tue, 8 Dec 2026 18:01:40 +0900",
        "Subject: " + ew("Re: 今夜の待ち合わせ", "utf-8"),
        "Message-Id: <6A7B8C9D-0E1F-4A2B-9C3D-4E5F6A7B8C9D@icloud.com>",
        "References: <20261208170000.ABCD@example.ne.jp>",
        "In-Reply-To: <20261208170000.ABCD@example.ne.jp>",
        "To: " + ew("山田 太郎", "utf-8") + " <yamada@example.ne.jp>",
        "X-Mailer: iPhone Mail (22B91)",
        "",
    ] + b64_lines(data)
    write_spool("iphone_utf8_base64_single_part.txt", pop3(lines, octets(lines)))


def thunderbird_utf8_8bit_format_flowed():
    body = """山田さん

漢字の多い文章でも正しく表示されるか確認しています。
東京都千代田区霞が関の会議室で、来週月曜日に打ち合わせがあります。
資料の準備をお願いします。

山本"""
    lines = received("aya.yamamoto@example.com", "smtp.example.com", 19,
                     "Tue,  8 Dec 2026 20:30:02 +0900 (JST)") + [
        "Message-ID: <8c1d9e2f-3a4b-5c6d-7e8f-9a0b1c2d3e4f@example.com>",
        "Date: Tue, 8 Dec 2026 20:30:00 +0900",
        "MIME-Version: 1.0",
        "User-Agent: Mozilla Thunderbird",
        "Content-Language: ja",
        "To: " + YAMADA_TO_UTF8,
        "From: " + ew("山本 彩", "UTF-8") + " <aya.yamamoto@example.com>",
        "Subject: " + ew("来週の打ち合わせ", "UTF-8"),
        "Content-Type: text/plain; charset=UTF-8; format=flowed",
        "Content-Transfer-Encoding: 8bit",
        "",
    ] + [l.encode("utf-8") for l in body.split("\n")]
    write_spool("thunderbird_utf8_8bit_format_flowed.txt", pop3(lines, octets(lines)))


def outlook_iso2022jp_quoted_printable():
    plain = """山田様

いつもお世話になっております。株式会社サンプルの井上でございます。先日ご依頼いただきました資料につきまして、本日発送いたしましたのでご連絡いたします。

今後ともよろしくお願い申し上げます。

井上"""
    html = '<html><body><p>山田様</p><p>株式会社サンプルの井上でございます。先日ご依頼いただきました資料につきまして、本日発送いたしましたのでご連絡いたします。</p></body></html>'
    plain_raw = b"\r\n".join(jis(l).encode("ascii") for l in plain.split("\n")) + b"\r\n"
    html_raw = jis(html).encode("ascii") + b"\r\n"
    boundary = "_000_TY2PR01MB4321ABCDEF0123456789ABCDEF01TY2PR01MB4321jpnp_"
    lines = received("inoue@sample.example.co.jp",
                     "JPN01-TY2-obe.outbound.protection.outlook.com", 46,
                     "Tue,  8 Dec 2026 13:30:11 +0900 (JST)") + [
        "From: " + ew("井上 裕子", "iso-2022-jp") + " <inoue@sample.example.co.jp>",
        "To: " + ew("山田 太郎", "iso-2022-jp") + " <yamada@example.ne.jp>",
        "Subject: " + ew("資料発送のご連絡", "iso-2022-jp"),
        "Thread-Topic: " + ew("資料発送のご連絡", "iso-2022-jp"),
        "Date: Tue, 8 Dec 2026 04:30:09 +0000",
        "Message-ID: <TY2PR01MB4321ABCDEF0123456789ABCDEF01@TY2PR01MB4321.jpnprd01.prod.outlook.com>",
        "Content-Language: ja-JP",
        "Content-Type: multipart/alternative;",
        '\tboundary="%s"' % boundary,
        "MIME-Version: 1.0",
        "",
        "--" + boundary,
        'Content-Type: text/plain; charset="iso-2022-jp"',
        "Content-Transfer-Encoding: quoted-printable",
        "",
    ] + qp_of_bytes(plain_raw) + [
        "--" + boundary,
        'Content-Type: text/html; charset="iso-2022-jp"',
        "Content-Transfer-Encoding: quoted-printable",
        "",
    ] + qp_of_bytes(html_raw) + [
        "--" + boundary + "--",
    ]
    write_spool("outlook_iso2022jp_quoted_printable.txt", pop3(lines, octets(lines)))


def thunderbird_forward_as_attachment():
    inner_body = "各位\n\n忘年会の案内です。\n"
    inner = [
        "Message-ID: <a1b2c3d4-0000-4000-8000-123456789abc@example.co.jp>",
        "Date: Mon, 7 Dec 2026 17:00:00 +0900",
        "From: " + ew("総務部", "ISO-2022-JP") + " <soumu@example.co.jp>",
        "To: all@example.co.jp",
        "Subject: " + ew("忘年会のご案内", "ISO-2022-JP"),
        "MIME-Version: 1.0",
        "Content-Type: text/plain; charset=ISO-2022-JP",
        "Content-Transfer-Encoding: 7bit",
        "",
    ] + [jis(l) for l in inner_body.split("\n")[:-1]]
    data = ("\r\n".join(inner) + "\r\n").encode("ascii")
    write_expected("thunderbird_forward_as_attachment-1.eml", data)
    body = "山田さん\n\n総務部からの案内を転送します。\n\n前田\n"
    boundary = "------------3kP9xQ2vR7mL4tZ8wN6bY1cF"
    name = "忘年会のご案内.eml"
    lines = received("maeda@example.co.jp", "smtp.example.co.jp", 23,
                     "Tue,  8 Dec 2026 09:00:04 +0900 (JST)") + [
        "Content-Type: multipart/mixed; boundary=\"%s\"" % boundary,
        "Message-ID: <d4c3b2a1-1111-4111-8111-abcdef012345@example.co.jp>",
        "Date: Tue, 8 Dec 2026 09:00:00 +0900",
        "MIME-Version: 1.0",
        "User-Agent: Mozilla Thunderbird",
        "Content-Language: ja",
        "To: " + YAMADA_TO_UTF8,
        "From: " + ew("前田 聡", "UTF-8") + " <maeda@example.co.jp>",
        "Subject: " + ew("Fwd: 忘年会のご案内", "UTF-8"),
        "",
        "This is a multi-part message in MIME format.",
        "--" + boundary,
        "Content-Type: text/plain; charset=UTF-8; format=flowed",
        "Content-Transfer-Encoding: 8bit",
        "",
    ] + [l.encode("utf-8") for l in body.split("\n")[:-1]] + [
        "",
        "--" + boundary,
        "Content-Type: message/rfc822; charset=UTF-8;",
        ' name="%s"' % ew(name, "UTF-8"),
        "Content-Disposition: attachment;",
        " filename*=UTF-8''" + urllib.parse.quote(name, safe="._-"),
        "",
    ] + inner + [
        # The attached message ends in its own line break; the one before
        # the delimiter belongs to the delimiter.
        "",
        "--" + boundary + "--",
        "",
    ]
    write_spool("thunderbird_forward_as_attachment.txt", pop3(lines, octets([l if isinstance(l, str) else l.decode("utf-8") for l in lines])))


def gmail_attachment_long_utf8_name():
    plain = "山田さん\n\n先日の打ち合わせで使った資料を共有します。\nよろしくお願いします。\n\n西村\n"
    html = '<div dir="ltr">山田さん<div><br></div><div>先日の打ち合わせで使った資料を共有します。</div><div>よろしくお願いします。</div><div><br></div><div>西村</div></div>\n'
    name = "2026年度_第3四半期_営業実績まとめ_最終版.xlsx"
    raw = name.encode("utf-8")
    words = ew_bytes(raw[:40], "UTF-8") + "  " + ew_bytes(raw[40:], "UTF-8")
    assert raw[:40].decode("utf-8")  # Gmail keeps characters whole in each word
    data = attachment_bytes(16, b"PK\x03\x04\x14\x00\x06\x00", 1700)
    write_expected("gmail_attachment_long_utf8_name-1.xlsx", data)
    outer = "0000000000004d5e6f708192a3b4"
    inner = "0000000000004d5e6f708192a3b2"
    lines = received("nishimura.kei@gmail.com", "mail-oa1-f45.google.com", 72,
                     "Tue,  8 Dec 2026 17:55:40 +0900 (JST)") + [
        "MIME-Version: 1.0",
        "From: " + ew("西村 圭", "UTF-8") + " <nishimura.kei@gmail.com>",
        "Date: Tue, 8 Dec 2026 17:55:38 +0900",
        "Message-ID: <CAJt9Wn1xQ4r7Yb2Lm5Kp8Hs3Dv6Fz0cXe9Ua4Wq2Ro7Pk1Mn5g@mail.gmail.com>",
        "Subject: " + ew("打ち合わせ資料の共有", "UTF-8"),
        "To: " + ew("山田太郎", "UTF-8") + " <yamada@example.ne.jp>",
        'Content-Type: multipart/mixed; boundary="%s"' % outer,
        "",
        "--" + outer,
        'Content-Type: multipart/alternative; boundary="%s"' % inner,
        "",
        "--" + inner,
        'Content-Type: text/plain; charset="UTF-8"',
        "Content-Transfer-Encoding: base64",
        "",
    ] + b64_lines(crlf_text(plain)) + [
        "--" + inner,
        'Content-Type: text/html; charset="UTF-8"',
        "Content-Transfer-Encoding: base64",
        "",
    ] + b64_lines(crlf_text(html)) + [
        "--" + inner + "--",
        "--" + outer,
        "Content-Type: application/vnd.openxmlformats-officedocument.spreadsheetml.sheet; ",
        '\tname="%s"' % words,
        "Content-Disposition: attachment; ",
        '\tfilename="%s"' % words,
        "Content-Transfer-Encoding: base64",
        "Content-ID: <f_mb1x2y3z0>",
        "X-Attachment-Id: f_mb1x2y3z0",
        "",
    ] + b64_lines(data) + [
        "--" + outer + "--",
    ]
    write_spool("gmail_attachment_long_utf8_name.txt", pop3(lines, octets(lines)))


def iphone_photos_same_name():
    photo1 = attachment_bytes(17, b"\xFF\xD8\xFF\xE1\x00\x18Exif\x00\x00", 900)
    photo2 = attachment_bytes(18, b"\xFF\xD8\xFF\xE1\x00\x18Exif\x00\x00", 700)
    write_expected("iphone_photos_same_name-1.jpeg", photo1)
    write_expected("iphone_photos_same_name-2.jpeg", photo2)
    boundary = "Apple-Mail-7C2E1F4A-3B5D-4E6F-8A9B-0C1D2E3F4A5B"

    def photo_part(data, url):
        return [
            "--" + boundary,
            "Content-Type: image/jpeg;",
            "\tname=image.jpeg;",
            "\tx-apple-part-url=" + url,
            "Content-Disposition: inline;",
            "\tfilename=image.jpeg",
            "Content-Transfer-Encoding: base64",
            "",
        ] + b64_lines(data)

    def text_part(text):
        return [
            "--" + boundary,
            "Content-Type: text/plain;",
            "\tcharset=utf-8",
            "Content-Transfer-Encoding: base64",
            "",
        ] + b64_lines(crlf_text(text))

    lines = received("ryo.shimizu@icloud.com", "st43p00im-zteg10063501.me.com", 18,
                     "Tue,  8 Dec 2026 21:02:11 +0900 (JST)") + [
        "Content-Type: multipart/mixed; boundary=" + boundary,
        "Content-Transfer-Encoding: 7bit",
        "From: " + ew("清水 涼", "utf-8") + " <ryo.shimizu@icloud.com>",
        "Mime-Version: 1.0 (1.0)",
        "Date: Tue, 8 Dec 2026 21:02:08 +0900",
        "Subject: " + ew("旅行の写真", "utf-8"),
        "Message-Id: <0B1C2D3E-4F50-4617-8293-A4B5C6D7E8F9@icloud.com>",
        "To: " + ew("山田 太郎", "utf-8") + " <yamada@example.ne.jp>",
        "X-Mailer: iPhone Mail (15E148)",
        "",
    ] + text_part("山田さん\n\n旅行の写真を送ります。\n") + photo_part(
        photo1, "4D5E6F70-8192-4A3B-9C5D-E7F8091A2B3C") + text_part("\n\n") + photo_part(
        photo2, "5E6F7081-92A3-4B4C-8D6E-F8091A2B3C4D") + text_part("\n\niPhoneから送信") + [
        "--" + boundary + "--",
    ]
    write_spool("iphone_photos_same_name.txt", pop3(lines, octets(lines)))


LONG_NAME = ("【社外秘】２０２６年度下期事業計画書（第３版）営業本部・マーケティング部・開発部"
             "合同会議資料・最終確認用・修正反映済み・印刷不可・持出禁止・取扱注意・関係者限り・再配布禁止.pdf")


def thunderbird_very_long_attachment_name():
    assert len(LONG_NAME.encode("utf-8")) > 255 and len(LONG_NAME.encode("cp932")) < 255
    data = attachment_bytes(19, b"%PDF-1.6\n", 1000)
    write_expected("thunderbird_very_long_attachment_name-1.pdf", data)
    chars = list(LONG_NAME)
    words = [ew("".join(chars[i:i + 20]), "UTF-8") for i in range(0, len(chars), 20)]
    raw = LONG_NAME.encode("utf-8")
    pieces = [raw[i:i + 60] for i in range(0, len(raw), 60)]
    star = []
    for k, piece in enumerate(pieces):
        prefix = "UTF-8''" if k == 0 else ""
        star.append(" filename*%d*=%s%s%s" % (k, prefix, urllib.parse.quote(piece, safe=""),
                                             ";" if k < len(pieces) - 1 else ""))
    boundary = "------------Z8y7X6w5V4u3T2s1R0q9P8o7"
    lines = received("ishii@example.co.jp", "smtp.example.co.jp", 29,
                     "Tue,  8 Dec 2026 16:00:04 +0900 (JST)") + [
        "Content-Type: multipart/mixed; boundary=\"%s\"" % boundary,
        "Message-ID: <e5f6a7b8-2222-4222-8222-0123456789ab@example.co.jp>",
        "Date: Tue, 8 Dec 2026 16:00:00 +0900",
        "MIME-Version: 1.0",
        "User-Agent: Mozilla Thunderbird",
        "To: " + YAMADA_TO_UTF8,
        "From: " + ew("石井 翔", "UTF-8") + " <ishii@example.co.jp>",
        "Subject: " + ew("会議資料", "UTF-8"),
        "",
        "This is a multi-part message in MIME format.",
        "--" + boundary,
        "Content-Type: text/plain; charset=UTF-8; format=flowed",
        "Content-Transfer-Encoding: 7bit",
        "",
        "Please find the attached file.",
        "",
        "--" + boundary,
        "Content-Type: application/pdf;",
        ' name="' + words[0],
    ] + [" " + w for w in words[1:-1]] + [
        " " + words[-1] + '"',
        "Content-Disposition: attachment;",
    ] + star + [
        "Content-Transfer-Encoding: base64",
        "",
    ] + b64_lines(data) + [
        "",
        "--" + boundary + "--",
        "",
    ]
    write_spool("thunderbird_very_long_attachment_name.txt", pop3(lines, octets(lines)))


def lan_copy_sjis_attachment():
    body = "山田さん\n\n表計算の資料です。\n...以上、よろしくお願いします。\n\n鈴木"
    data = attachment_bytes(14, b"PK\x03\x04", 500)
    write_expected("lan_copy_sjis_attachment-1.xlsx", data)
    boundary = "======Boundary=482910375610293"
    name_word = ew("集計表.xlsx", "ISO-2022-JP")
    lines = [
        "X-MAILER: Orvex Lanternpost",
        "MIME-Version: 1.0",
        "Date: Tue, 08 Dec 2026 14:05:09",
        "To: /mnt/lanmail/yamada",
        "From: " + "鈴木 一郎" + " </mnt/lanmail/suzuki>",
        "Subject: 集計表の件",
        'Content-Type: multipart/mixed; boundary="%s"' % boundary,
        "",
        "",
        "",
        "--" + boundary,
        'Content-Type: text/plain; charset="ISO-2022-JP"',
        "",
    ] + body.split("\n") + [
        "",
        "--" + boundary,
        'Content-Type: application/octet-stream; name="%s"' % name_word,
        "Content-Transfer-Encoding: base64",
        'Content-Disposition: attachment; filename="%s"' % name_word,
        "",
    ] + b64_lines(data) + [
        "",
        "--" + boundary + "--",
        "",
    ]
    write_spool("lan_copy_sjis_attachment.txt", lan(lines), encoding="cp932")
