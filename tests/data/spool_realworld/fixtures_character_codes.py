"""Messages that show the character codes and header forms Japanese mail arrives in."""

import os

from fixture_tools import *  # noqa: F401,F403 (encoders and framing)


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
