"""Encoders, spool framing and file writing shared by the fixture modules."""

import base64
import binascii
import os
import random
import urllib.parse

HERE = os.path.dirname(os.path.abspath(__file__))
EXPECTED = os.path.join(HERE, "expected")


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


def ew_bytes(raw, charset):
    return "=?%s?B?%s?=" % (charset, base64.b64encode(raw).decode("ascii"))


def qp_of_bytes(raw):
    return qp_lines(raw, split_checked=False)


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


def cp932_windows(text):
    # Python's cp932 writes the NEC-selected codes (0xED/0xEE) for IBM
    # extension kanji; Windows and iconv write the IBM codes (0xFA-0xFC).
    ibm = {"髙": b"\xfb\xfc", "﨑": b"\xfa\xb1", "德": b"\xfa\xba"}
    return b"".join(ibm.get(ch) or ch.encode("cp932") for ch in text)
