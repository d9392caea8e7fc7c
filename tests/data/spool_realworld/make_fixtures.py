#!/usr/bin/env python3
"""Writes the real-world spool fixtures and the attachment bytes they carry.

Run from anywhere: python3 make_fixtures.py. The output is deterministic, so
running it again leaves the checked-in files unchanged. Each message is
written the way its mail program formats it (header order, folding, boundary
style, 76-character Base64 lines, quoted-printable soft breaks that split
UTF-8 characters) and then wrapped as a POP3 server or a LAN sender leaves it
in the spool.
"""

import base64
import binascii
import os
import random
import urllib.parse

HERE = os.path.dirname(os.path.abspath(__file__))
EXPECTED = os.path.join(HERE, "expected")


# --- encoders ---------------------------------------------------------------

def b64_lines(data):
    text = base64.b64encode(data).decode("ascii")
    return [text[i:i + 76] for i in range(0, len(text), 76)]


def qp_lines(data, split_checked=True):
    """Quoted-printable with soft breaks at 76 columns. Breaks fall between
    escapes, so a UTF-8 character is often split over two lines, as most
    encoders do."""
    out = []
    split_seen = False
    for line in data.split(b"\r\n"):
        tokens = []
        for i, b in enumerate(line):
            last = i == len(line) - 1
            if (33 <= b <= 126 and b != 61) or (b in (32, 9) and not last):
                tokens.append((chr(b), b))
            else:
                tokens.append(("=%02X" % b, b))
        cur = ""
        for j, (tok, b) in enumerate(tokens):
            if len(cur) + len(tok) > 75:
                out.append(cur + "=")
                # a continuation byte starting the next line means the break
                # fell inside a character
                if 0x80 <= b <= 0xBF:
                    split_seen = True
                cur = ""
            cur += tok
        out.append(cur)
    if split_checked:
        assert split_seen, "no UTF-8 character split by a soft break"
    return out


def b64_splits_character(data):
    for k in range(57, len(data), 57):
        if 0x80 <= data[k] <= 0xBF:
            return True
    return False


def jis(text):
    return text.encode("iso2022_jp").decode("ascii")


def ew(text, charset, letter="B"):
    if charset.lower() == "iso-2022-jp":
        raw = text.encode("iso2022_jp")
    elif charset.lower() == "shift_jis":
        raw = text.encode("cp932")
    elif charset.lower() == "euc-jp":
        raw = text.encode("euc_jp")
    else:
        raw = text.encode("utf-8")
    if letter == "B":
        payload = base64.b64encode(raw).decode("ascii")
    else:
        payload = ""
        for b in raw:
            if b == 32:
                payload += "_"
            elif 33 <= b <= 126 and chr(b) not in "=?_":
                payload += chr(b)
            else:
                payload += "=%02X" % b
    return "=?%s?%s?%s?=" % (charset, letter, payload)


def crlf_text(text):
    return text.replace("\n", "\r\n").encode("utf-8")


def uu_lines(name, data):
    lines = ["begin 644 " + name]
    for i in range(0, len(data), 45):
        lines.append(binascii.b2a_uu(data[i:i + 45], backtick=True).decode("ascii").rstrip("\n"))
    lines.append("`")
    lines.append("end")
    return lines


def attachment_bytes(seed, magic, size):
    rng = random.Random(seed)
    body = bytes(rng.randrange(256) for _ in range(size - len(magic)))
    return magic + body


# --- spool framing ----------------------------------------------------------

def pop3(lines, status):
    out = [status]
    for line in lines:
        dot = "." if isinstance(line, str) else b"."
        out.append(dot + line if line.startswith(dot) else line)
    out.append(".")
    return out


def lan(lines):
    return list(lines) + ["."]


def write_spool(name, lines, encoding="ascii"):
    parts = []
    for line in lines:
        parts.append(line.encode(encoding) if isinstance(line, str) else line)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(b"\r\n".join(parts) + b"\r\n")


def write_expected(name, data):
    os.makedirs(EXPECTED, exist_ok=True)
    with open(os.path.join(EXPECTED, name), "wb") as f:
        f.write(data)


def octets(lines):
    return "+OK %d octets" % sum(len(l) + 2 for l in lines)


YAMADA_TO_UTF8 = ew("山田 太郎", "UTF-8") + " <yamada@example.ne.jp>"
RECEIVED = [
    "Return-Path: <{sender}>",
    "Delivered-To: yamada@example.ne.jp",
    "Received: from {host} ({host} [192.0.2.{ip}])",
    "\tby mx01.example.ne.jp (Postfix) with ESMTPS id 4Dq7Vz{ip}XYZ",
    "\tfor <yamada@example.ne.jp>; {received}",
]


def received(sender, host, ip, when):
    return [l.format(sender=sender, host=host, ip=ip, received=when) for l in RECEIVED]


# --- messages ---------------------------------------------------------------

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


def docomo_sjis_8bit():
    body = """お疲れさまです。
今、駅に着きました。
改札を出たところで待っています。
ﾒｰﾙ見たら電話ください。
"""
    lines = received("hanako-0123@docomo.ne.jp", "mfsmax.docomo.ne.jp", 12,
                     "Tue,  8 Dec 2026 12:34:58 +0900 (JST)") + [
        "Date: Tue, 08 Dec 2026 12:34:56 +0900 (JST)",
        "From: hanako-0123@docomo.ne.jp",
        "To: yamada@example.ne.jp",
        "Subject: " + ew("到着しました", "Shift_JIS"),
        "Message-ID: <20261208123456.A1B2C3.hanako-0123@docomo.ne.jp>",
        "MIME-Version: 1.0",
        'Content-Type: text/plain; charset="Shift_JIS"',
        "Content-Transfer-Encoding: 8bit",
        "",
    ] + [l.encode("cp932") for l in body.split("\n")[:-1]]
    write_spool("docomo_sjis_8bit.txt", pop3(lines, "+OK"))


def eucjp_legacy_unix():
    body = """以下の内容でお問い合わせを受け付けました。

お名前：中村 健太
メール：kenta@example.net
内容：
製品カタログの送付を希望します。
郵送先は東京都千代田区丸の内一丁目です。
"""
    header_subject = "Subject: 【お問い合わせ】フォームからの送信".encode("euc_jp")
    lines = received("www@example-shop.jp", "www.example-shop.jp", 99,
                     "Tue,  8 Dec 2026 09:05:12 +0900 (JST)") + [
        "Date: Tue, 8 Dec 2026 09:05:11 +0900",
        "From: www@example-shop.jp",
        "To: yamada@example.ne.jp",
        header_subject,
        "X-Mailer: FormMail.cgi Ver1.10",
        "MIME-Version: 1.0",
        "Content-Type: text/plain; charset=EUC-JP",
        "Content-Transfer-Encoding: 8bit",
        "Message-Id: <20261208000511.C0FFEE@www.example-shop.jp>",
        "",
    ] + [l.encode("euc_jp") for l in body.split("\n")[:-1]]
    write_spool("eucjp_legacy_unix.txt", pop3(lines, "+OK 1021 octets"))


def mixed_charset_subject():
    body = "山田さん\n\n議事録の修正版です。\n\n加藤\n"
    subject = ("Subject: [dev-jp 01234] Re: " + ew("仕様変更の件", "ISO-2022-JP") + " " +
               ew("（修正版）", "UTF-8") + " " + ew("最終", "Shift_JIS"))
    lines = received("dev-jp-bounces@lists.example.org", "lists.example.org", 54,
                     "Tue,  8 Dec 2026 15:00:03 +0900 (JST)") + [
        "From: " + ew("加藤", "ISO-2022-JP") + " " + ew("恵美", "UTF-8") + " <emi.kato@example.com>",
        "To: dev-jp@lists.example.org",
        subject,
        "Date: Tue, 8 Dec 2026 06:00:00 +0000",
        "Message-ID: <87h6x2k9qz.fsf@example.com>",
        "MIME-Version: 1.0",
        "Content-Type: text/plain; charset=UTF-8",
        "Content-Transfer-Encoding: base64",
        "List-Id: <dev-jp.lists.example.org>",
        "",
    ] + b64_lines(crlf_text(body))
    write_spool("mixed_charset_subject.txt", pop3(lines, octets(lines)))


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


def newsletter_utf8_qp_single_part():
    body = """━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━
　技術者向けメールマガジン　第２５６号　２０２６年１２月８日
━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━

■今週の話題：文字コードの落とし穴と、その対処法について詳しく解説します

配信停止はこちら：https://news.example.org/unsubscribe?id=3D12345
"""
    body = body.replace("=3D", "=")
    lines = received("magazine@news.example.org", "mta.news.example.org", 140,
                     "Tue,  8 Dec 2026 06:00:10 +0900 (JST)") + [
        "Date: Mon, 07 Dec 2026 21:00:00 +0000",
        "From: " + ew("技術者向けメールマガジン", "UTF-8", "Q") + " <magazine@news.example.org>",
        "To: yamada@example.ne.jp",
        "Subject: " + ew("第256号 文字コードの落とし穴", "UTF-8", "Q"),
        "Message-ID: <mm256.20261207210000@news.example.org>",
        "MIME-Version: 1.0",
        "Content-Type: text/plain; charset=UTF-8",
        "Content-Transfer-Encoding: quoted-printable",
        "",
    ] + qp_lines(crlf_text(body))
    write_spool("newsletter_utf8_qp_single_part.txt", pop3(lines, octets(lines)))


def reservation_jis_capitalised_base64_cte():
    body = """山田 太郎 様

ご予約ありがとうございます。以下の内容で承りました。

予約番号：２０２６１２０８００４２
日時：２０２６年１２月２４日（木）１９：００
人数：２名

当日のお越しをお待ちしております。
"""
    raw = b"\r\n".join(jis(l).encode("ascii") for l in body.split("\n"))
    lines = received("noreply@reserve.example.jp", "mail.reserve.example.jp", 77,
                     "Tue,  8 Dec 2026 11:11:12 +0900 (JST)") + [
        "Date: Tue, 08 Dec 2026 11:11:11 +0900",
        "From: reserve@reserve.example.jp",
        "To: yamada@example.ne.jp",
        "Subject: " + ew("ご予約確認", "ISO-2022-JP"),
        "Message-ID: <R20261208-0042@reserve.example.jp>",
        "MIME-Version: 1.0",
        'Content-Type: text/plain; charset="ISO-2022-JP"',
        "Content-Transfer-Encoding: Base64",
        "X-Mailer: ReserveSys/3.2",
        "",
    ] + b64_lines(raw)
    write_spool("reservation_jis_capitalised_base64_cte.txt", pop3(lines, octets(lines)))


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


def ew_bytes(raw, charset):
    return "=?%s?B?%s?=" % (charset, base64.b64encode(raw).decode("ascii"))


def subject_split_inside_characters():
    # Some mobile mailers fold long headers by bytes: a UTF-8 character is
    # cut between two encoded words, and an ISO-2022-JP word leaves kanji
    # mode open for the next one.
    subject = "【重要】システムメンテナンスのお知らせ".encode("utf-8")
    name = "長谷川 さやか".encode("iso2022_jp")  # ESC $ B ... ESC ( B ' ' ESC $ B ... ESC ( B
    cut = name.index(b"\x1b(B") - 2  # inside kanji mode, after one character pair
    body = "メンテナンスは１２月１２日（土）２時から６時までです。\n"
    lines = received("sayaka.hasegawa@example.ne.jp", "mail.example.ne.jp", 61,
                     "Tue,  8 Dec 2026 22:10:03 +0900 (JST)") + [
        "Date: 8 Dec 2026 22:10:00 +0900",
        "From: " + ew_bytes(name[:cut], "ISO-2022-JP"),
        " " + ew_bytes(name[cut:], "ISO-2022-JP") + " <sayaka.hasegawa@example.ne.jp>",
        "To: yamada@example.ne.jp",
        "Subject: " + ew_bytes(subject[:20], "UTF-8"),
        " " + ew_bytes(subject[20:41], "UTF-8"),
        " " + ew_bytes(subject[41:], "UTF-8"),
        "Message-ID: <5f6e7d8c.2026.1208.2210@example.ne.jp>",
        "MIME-Version: 1.0",
        "Content-Type: text/plain; charset=UTF-8",
        "Content-Transfer-Encoding: base64",
        "",
    ] + b64_lines(crlf_text(body))
    write_spool("subject_split_inside_characters.txt", pop3(lines, octets(lines)))


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


def au_jis_halfwidth_katakana():
    # Half-width katakana sent in ISO-2022-JP with ESC ( I, as some phones did.
    body = "ｶﾗｵｹ行こうよ\nﾒﾝﾊﾞｰは５人です\n"
    lines = received("taku-0808@ezweb.ne.jp", "mx.ezweb.ne.jp", 8,
                     "Tue,  8 Dec 2026 23:45:02 +0900 (JST)") + [
        "Date: Tue, 08 Dec 2026 23:45:00 +0900 (JST)",
        "From: taku-0808@ezweb.ne.jp",
        "To: yamada@example.ne.jp",
        "Subject: " + ew_bytes("ｶﾗｵｹ".encode("iso2022_jp_ext"), "ISO-2022-JP"),
        "Message-ID: <20261208234500.1234.taku-0808@ezweb.ne.jp>",
        "MIME-Version: 1.0",
        "Content-Type: text/plain; charset=iso-2022-jp",
        "Content-Transfer-Encoding: 7bit",
        "",
    ] + [l.encode("iso2022_jp_ext") for l in body.split("\n")[:-1]]
    write_spool("au_jis_halfwidth_katakana.txt", pop3(lines, octets(lines)))


def qp_of_bytes(raw):
    return qp_lines(raw, split_checked=False)


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


def unix_lf_line_endings():
    body = "山田さん\n\n改行コードが LF だけのメールです。\n\n岡田\n"
    lines = [
        "From: " + ew("岡田 学", "ISO-2022-JP") + " <okada@example.org>",
        "To: yamada@example.ne.jp",
        "Subject: " + ew("改行の確認", "ISO-2022-JP"),
        "Date: Tue, 8 Dec 2026 12:00:00 GMT",
        "Message-Id: <20261208120000.GA4321@example.org>",
        "MIME-Version: 1.0",
        "Content-Type: text/plain; charset=ISO-2022-JP",
        "Content-Transfer-Encoding: 7bit",
        "User-Agent: Mutt/1.5.21 (2010-09-15)",
        "",
    ] + [jis(l) for l in body.split("\n")[:-1]]
    with open(os.path.join(HERE, "unix_lf_line_endings.txt"), "wb") as f:
        f.write(("\n".join(lan(lines)) + "\n").encode("ascii"))
    with open(os.path.join(HERE, "saved_eml_without_terminator.txt"), "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("ascii"))


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


def shop_sjis_qp_html_single_part():
    html = """<html><head><meta http-equiv="Content-Type" content="text/html; charset=Shift_JIS"></head>
<body>
<p>山田 太郎 様</p>
<p>このたびは当店をご利用いただき、誠にありがとうございます。ご注文の商品を本日発送いたしました。お届けまで今しばらくお待ちください。</p>
<p>ご注文番号：ABC-20261208-7788</p>
</body></html>
"""
    raw = html.replace("\n", "\r\n").encode("cp932")
    lines = received("order@shop.example.jp", "mail.shop.example.jp", 130,
                     "Tue,  8 Dec 2026 15:20:02 +0900 (JST)") + [
        "Date: Tue, 08 Dec 2026 15:20:00 +0900",
        "From: " + ew("サンプル商店", "Shift_JIS") + " <order@shop.example.jp>",
        "To: yamada@example.ne.jp",
        "Subject: " + ew("【サンプル商店】商品発送のお知らせ", "Shift_JIS"),
        "Message-ID: <ship.20261208152000.7788@shop.example.jp>",
        "MIME-Version: 1.0",
        "Content-Type: text/html; charset=Shift_JIS",
        "Content-Transfer-Encoding: quoted-printable",
        "",
    ] + qp_of_bytes(raw)
    write_spool("shop_sjis_qp_html_single_part.txt", pop3(lines, octets(lines)))


def eucjp_short_lines():
    # Short EUC-JP lines whose bytes would also pass for Shift_JIS; only the
    # declared charset tells them apart.
    body = "山田様\n\n先日の件、承知しました。\n佐藤です。\n以上です。\n"
    lines = received("sato@example.net", "mail.example.net", 97,
                     "Tue,  8 Dec 2026 19:30:02 +0900 (JST)") + [
        "Date: Tue, 8 Dec 2026 19:30:00 +0900",
        "From: " + ew("佐藤 修", "EUC-JP") + " <sato@example.net>",
        "To: yamada@example.ne.jp",
        "Subject: " + ew("承知しました", "EUC-JP"),
        "Message-Id: <20261208103000.D00D@example.net>",
        "User-Agent: Wanderlust/2.14.0 (Africa) Emacs/21.4 Mule/5.0 (SAKAKI)",
        "MIME-Version: 1.0",
        "Content-Type: text/plain; charset=EUC-JP",
        "Content-Transfer-Encoding: 8bit",
        "",
    ] + [l.encode("euc_jp") for l in body.split("\n")[:-1]]
    write_spool("eucjp_short_lines.txt", pop3(lines, octets([l if isinstance(l, str) else l.decode("euc_jp") for l in lines])))


def batch_script_lowercase_header_names():
    body = "本日の日次レポートを送付します。\n\n※このメールは自動送信です。\n"
    csv = "日付,件数,金額\r\n2026/12/07,128,1543200\r\n".encode("cp932")
    write_expected("batch_script_lowercase_header_names-1.csv", csv)
    boundary = "----_=_NextPart_batch_20261208"
    lines = received("system@example.co.jp", "batch01.example.co.jp", 210,
                     "Tue,  8 Dec 2026 06:00:03 +0900 (JST)") + [
        "from: system@example.co.jp",
        "to: yamada@example.ne.jp",
        "subject: " + ew("日次レポート", "ISO-2022-JP") + " 2026/12/08",
        "date: Tue, 08 Dec 2026 06:00:01 +0900",
        "message-id: <20261208060001.12345@batch01.example.co.jp>",
        "Mime-Version: 1.0",
        'Content-type: multipart/mixed; boundary="%s"' % boundary,
        "Content-transfer-encoding: 7bit",
        "X-Mailer: MIME::Lite 3.030",
        "",
        "This is a multi-part message in MIME format.",
        "",
        "--" + boundary,
        'Content-type: text/plain; charset="iso-2022-jp"',
        "Content-transfer-encoding: 7bit",
        "",
    ] + [jis(l) for l in body.split("\n")[:-1]] + [
        "",
        "--" + boundary,
        'Content-type: text/csv; name="daily_report_20261208.csv"',
        "Content-transfer-encoding: base64",
        'Content-disposition: attachment; filename="daily_report_20261208.csv"',
        "",
    ] + b64_lines(csv) + [
        "",
        "--" + boundary + "--",
    ]
    write_spool("batch_script_lowercase_header_names.txt", pop3(lines, octets(lines)))


def truncated_by_server_size_limit():
    # The Gmail mail with its attachment, cut off by a relay in the middle of
    # the Base64 lines (no closing delimiter), then the POP3 terminator.
    with open(os.path.join(HERE, "gmail_attachment_long_utf8_name.txt"), "rb") as f:
        lines = f.read().split(b"\r\n")
    first_data = next(i for i, l in enumerate(lines) if l.startswith(b"UEsDBB"))
    cut = lines[:first_data + 10]
    with open(os.path.join(HERE, "truncated_by_server_size_limit.txt"), "wb") as f:
        f.write(b"\r\n".join(cut + [b"."]) + b"\r\n")


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


def jis_cp932(text):
    """ISO-2022-JP as Windows mailers write it: every double-byte character
    of code page 932, NEC special characters (row 13) included, goes through
    the JIS arithmetic."""
    out = bytearray()
    kanji = False
    for ch in text:
        raw = ch.encode("cp932")
        if len(raw) == 1:
            if kanji:
                out += b"\x1b(B"
                kanji = False
            out += raw
            continue
        s1, s2 = raw
        j1 = (s1 - (0x70 if s1 < 0xA0 else 0xB0)) * 2
        if s2 < 0x9F:
            j1 -= 1
            j2 = s2 - (0x20 if s2 >= 0x80 else 0x1F)
        else:
            j2 = s2 - 0x7E
        if not kanji:
            out += b"\x1b$B"
            kanji = True
        out += bytes([j1, j2])
    if kanji:
        out += b"\x1b(B"
    return out.decode("ascii")


def outlook_nec_special_characters():
    body = """山田様

㈱サンプルの坂本です。
打ち合わせの候補日は次のとおりです。
①１２月１４日（月）１０時～
②１２月１５日（火）１５時～
会場：本社ビルⅢ期棟　３階

よろしくお願いいたします。"""
    lines = received("sakamoto@sample.example.co.jp", "mail.sample.example.co.jp", 91,
                     "Tue,  8 Dec 2026 10:05:11 +0900 (JST)") + [
        "From: " + ew_bytes(jis_cp932("坂本 大輔").encode("ascii"), "iso-2022-jp") + " <sakamoto@sample.example.co.jp>",
        "To: " + ew_bytes(jis_cp932("山田 太郎").encode("ascii"), "iso-2022-jp") + " <yamada@example.ne.jp>",
        "Subject: " + ew_bytes(jis_cp932("打ち合わせ候補日（㈱サンプル）").encode("ascii"), "iso-2022-jp"),
        "Date: Tue, 8 Dec 2026 10:05:09 +0900",
        "Message-ID: <002a01dd6a2f$8c9d0e10$a5b6c7d8$@sample.example.co.jp>",
        "MIME-Version: 1.0",
        "Content-Type: text/plain;",
        '\tcharset="iso-2022-jp"',
        "Content-Transfer-Encoding: 7bit",
        "X-Mailer: Microsoft Outlook 16.0",
        "Content-Language: ja",
        "",
    ] + [jis_cp932(l) for l in body.split("\n")]
    write_spool("outlook_nec_special_characters.txt", pop3(lines, octets(lines)))


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


def exchange_utf7_plain():
    body = "山田様\n\nUTF-7 で届いたメールです。\n以上"
    lines = received("admin@legacy.example.com", "exchange.legacy.example.com", 5,
                     "Tue,  8 Dec 2026 12:12:14 +0900 (JST)") + [
        "Date: Tue, 8 Dec 2026 12:12:12 +0900",
        "From: admin@legacy.example.com",
        "To: yamada@example.ne.jp",
        "Subject: " + "=?unicode-1-1-utf-7?Q?" + "UTF-7 +MG4w4TD8MOs-".replace(" ", "_") + "?=",
        "Message-ID: <1208121212.4711@exchange.legacy.example.com>",
        "X-Mailer: Internet Mail Service (5.5.2653.19)",
        "MIME-Version: 1.0",
        'Content-Type: text/plain; charset="unicode-1-1-utf-7"',
        "",
    ] + [l.encode("utf-7").decode("ascii") for l in body.split("\n")]
    assert "UTF-7 +MG4w4TD8MOs-".encode("ascii").decode("utf-7") == "UTF-7 のメール"
    write_spool("exchange_utf7_plain.txt", pop3(lines, octets(lines)))


def raw_utf8_header_subject():
    # Some web systems put UTF-8 text into headers without encoded words.
    body = "山田 太郎 様\n\nパスワードの再設定を受け付けました。\n"
    lines = received("no-reply@portal.example.jp", "portal.example.jp", 144,
                     "Tue,  8 Dec 2026 07:30:02 +0900 (JST)") + [
        "Date: Tue, 8 Dec 2026 07:30:00 +0900",
        "From: no-reply@portal.example.jp",
        "To: yamada@example.ne.jp",
        "Subject: 【会員サイト】パスワード再設定のお知らせ".encode("utf-8"),
        "Message-ID: <pw-reset.20261208073000@portal.example.jp>",
        "MIME-Version: 1.0",
        "Content-Type: text/plain; charset=UTF-8",
        "Content-Transfer-Encoding: 8bit",
        "",
    ] + [l.encode("utf-8") for l in body.split("\n")[:-1]]
    write_spool("raw_utf8_header_subject.txt", pop3(lines, "+OK message follows"))


def old_mailer_raw_jis_header():
    # Headers written in raw ISO-2022-JP, before encoded words were common.
    body = "山田さん\n\n例の件、了解しました。\n\n原田\n"
    lines = [
        "Return-Path: <harada@example.or.jp>",
        "Received: from pc98.example.or.jp by mail.example.ne.jp (8.9.3/3.7W)",
        "\tid KAA01234; Tue, 8 Dec 2026 10:20:31 +0900 (JST)",
        "Date: Tue, 08 Dec 2026 10:20:30 +0900",
        "From: " + jis("原田 淳") + " <harada@example.or.jp>",
        "Subject: " + jis("例の件について"),
        "To: yamada@example.ne.jp",
        "Message-Id: <199912081020.KAA01234@pc98.example.or.jp>",
        "Mime-Version: 1.0",
        "Content-Type: text/plain; charset=ISO-2022-JP",
        "X-Mailer: Winbiff [Version 2.43]",
        "",
    ] + [jis(l) for l in body.split("\n")[:-1]]
    write_spool("old_mailer_raw_jis_header.txt", pop3(lines, octets(lines)))


def webmail_iso2022jp_base64_text_part():
    body = "山田様\n\n会議室の予約表をお送りします。\n\n事務局\n"
    raw = b"\r\n".join(jis(l).encode("ascii") for l in body.split("\n"))
    data = attachment_bytes(21, b"%PDF-1.4\n", 640)
    write_expected("webmail_iso2022jp_base64_text_part-1.pdf", data)
    boundary = "=-=-=_webmail_5a6b7c8d9e0f"
    lines = received("office@example.ac.jp", "webmail.example.ac.jp", 160,
                     "Tue,  8 Dec 2026 14:50:03 +0900 (JST)") + [
        "Date: Tue, 08 Dec 2026 14:50:00 +0900",
        "From: " + ew("事務局", "ISO-2022-JP") + " <office@example.ac.jp>",
        "To: yamada@example.ne.jp",
        "Subject: " + ew("会議室予約表", "ISO-2022-JP"),
        "Message-ID: <20261208145000.5a6b7c8d@webmail.example.ac.jp>",
        "MIME-Version: 1.0",
        'Content-Type: multipart/mixed; boundary="%s"' % boundary,
        "X-Mailer: Webmail 5.2",
        "",
        "--" + boundary,
        'Content-Type: text/plain; charset="ISO-2022-JP"',
        "Content-Transfer-Encoding: base64",
        "",
    ] + b64_lines(raw) + [
        "",
        "--" + boundary,
        'Content-Type: application/pdf; name="%s"' % ew("予約表.pdf", "ISO-2022-JP"),
        "Content-Transfer-Encoding: base64",
        'Content-Disposition: attachment; filename="%s"' % ew("予約表.pdf", "ISO-2022-JP"),
        "",
    ] + b64_lines(data) + [
        "",
        "--" + boundary + "--",
    ]
    write_spool("webmail_iso2022jp_base64_text_part.txt", pop3(lines, octets(lines)))


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


def gmail_utf8_ibm_extended_kanji():
    # 髙, 﨑 and 德 exist in code page 932 only as IBM extensions (lead bytes
    # 0xFA to 0xFC), which a code guess takes for EUC-JP.
    body = "髙橋です。\n德永さんと山﨑さんにもよろしくお伝えください。\n"
    boundary = "000000000000e1f2a3b4c5d6e7f8"
    lines = received("naoko.takahashi@gmail.com", "mail-ed1-f52.google.com", 73,
                     "Tue,  8 Dec 2026 20:10:06 +0900 (JST)") + [
        "MIME-Version: 1.0",
        "From: " + ew("髙橋 直子", "UTF-8") + " <naoko.takahashi@gmail.com>",
        "Date: Tue, 8 Dec 2026 20:10:04 +0900",
        "Message-ID: <CAM4uK7pX2wQ9rT5yB8nL3sD6fG1hJ0kZ4cV7xN2mQ5pR8tW1eY@mail.gmail.com>",
        "Subject: " + ew("德永さんの件", "UTF-8"),
        "To: " + ew("山﨑 様", "UTF-8") + " <yamazaki@example.ne.jp>",
        'Content-Type: multipart/alternative; boundary="%s"' % boundary,
        "",
        "--" + boundary,
        'Content-Type: text/plain; charset="UTF-8"',
        "Content-Transfer-Encoding: base64",
        "",
    ] + b64_lines(crlf_text(body)) + [
        "",
        "--" + boundary,
        'Content-Type: text/html; charset="UTF-8"',
        "Content-Transfer-Encoding: base64",
        "",
    ] + b64_lines(crlf_text('<div dir="ltr">髙橋です。<div>德永さんと山﨑さんにもよろしくお伝えください。</div></div>\n')) + [
        "",
        "--" + boundary + "--",
    ]
    write_spool("gmail_utf8_ibm_extended_kanji.txt", pop3(lines, octets(lines)))


def cp932_windows(text):
    # Python's cp932 writes the NEC-selected codes (0xED/0xEE) for IBM
    # extension kanji; Windows and iconv write the IBM codes (0xFA-0xFC).
    ibm = {"髙": b"\xfb\xfc", "﨑": b"\xfa\xb1", "德": b"\xfa\xba"}
    return b"".join(ibm.get(ch) or ch.encode("cp932") for ch in text)


def mobile_sjis_8bit_ibm_extended_kanji():
    body = "髙橋です。\n﨑の字は「立」の方です。\n"
    lines = received("takahashi.m@i.softbank.jp", "mx.i.softbank.jp", 14,
                     "Tue,  8 Dec 2026 20:45:03 +0900 (JST)") + [
        "Date: Tue, 08 Dec 2026 20:45:01 +0900",
        "From: takahashi.m@i.softbank.jp",
        "To: yamada@example.ne.jp",
        "Subject: " + ew_bytes(cp932_windows("髙橋です"), "Shift_JIS"),
        "Message-ID: <20261208204501.A7B8C9@i.softbank.jp>",
        "MIME-Version: 1.0",
        "Content-Type: text/plain; charset=Shift_JIS",
        "Content-Transfer-Encoding: 8bit",
        "",
    ] + [cp932_windows(l) for l in body.split("\n")[:-1]]
    write_spool("mobile_sjis_8bit_ibm_extended_kanji.txt", pop3(lines, "+OK 612 octets"))


def main():
    thunderbird_iso2022jp_attachment()
    outlook_utf8_base64_multipart_alternative()
    gmail_utf8_qp_html()
    apple_mail_rfc2231_filename()
    mutt_rfc2231_filename_only()
    k9_rfc2231_continued_filename()
    yahoo_japan_iso2022jp_plain()
    docomo_sjis_8bit()
    eucjp_legacy_unix()
    mixed_charset_subject()
    pop3_dot_stuffed_uuencode()
    nested_multipart_related_cid()
    newsletter_content_id_before_type()
    mailing_list_folded_subject()
    iphone_utf8_base64_single_part()
    newsletter_utf8_qp_single_part()
    reservation_jis_capitalised_base64_cte()
    scanner_pdf_without_name()
    windows_path_in_attachment_name()
    malicious_attachment_names()
    lan_copy_sjis_attachment()
    thunderbird_utf8_8bit_format_flowed()
    subject_split_inside_characters()
    outlook_express_raw_jis_filename()
    au_jis_halfwidth_katakana()
    outlook_iso2022jp_quoted_printable()
    unix_lf_line_endings()
    thunderbird_forward_as_attachment()
    gmail_attachment_long_utf8_name()
    shop_sjis_qp_html_single_part()
    eucjp_short_lines()
    batch_script_lowercase_header_names()
    truncated_by_server_size_limit()
    iphone_photos_same_name()
    thunderbird_very_long_attachment_name()
    outlook_nec_special_characters()
    postfix_bounce_multipart_report()
    html_newsletter_base64_cid_across_lines()
    exchange_utf7_plain()
    raw_utf8_header_subject()
    old_mailer_raw_jis_header()
    webmail_iso2022jp_base64_text_part()
    java_app_base64_single_long_line()
    gmail_utf8_ibm_extended_kanji()
    mobile_sjis_8bit_ibm_extended_kanji()


if __name__ == "__main__":
    main()
