#!/usr/bin/python3
"""Reads one mail with Python's email package and prints what a reader of
that mail sees, one "field<TAB>value" line each, for comparison by the
end-to-end tests. Values are UTF-8 with backslash, TAB, CR and LF escaped
as \\\\, \\t, \\r and \\n.

usage: mime_summary.py MAIL ATTACHMENT_PREFIX
Attachment i is written to ATTACHMENT_PREFIX.i, raw as decoded.
"""

import email
import email.policy
import sys


def escaped(text):
    return (text.replace("\\", "\\\\").replace("\t", "\\t")
            .replace("\r", "\\r").replace("\n", "\\n"))


def main():
    mail_path, attachment_prefix = sys.argv[1], sys.argv[2]
    with open(mail_path, "rb") as mail_file:
        message = email.message_from_binary_file(mail_file, policy=email.policy.default)

    lines = [("subject", str(message["subject"]))]
    for field in ("from", "to", "cc"):
        header = message[field]
        if header is None:
            continue
        for address in header.addresses:
            lines.append((field + "-name", address.display_name))
            lines.append((field + "-address", address.addr_spec))

    body = message.get_body(preferencelist=("plain",))
    lines.append(("body-charset", body.get_content_charset() or ""))
    lines.append(("body", body.get_content()))

    for index, part in enumerate(message.iter_attachments()):
        path = "%s.%d" % (attachment_prefix, index)
        with open(path, "wb") as attachment:
            attachment.write(part.get_content())
        lines.append(("attachment-name", part.get_filename() or ""))
        lines.append(("attachment-file", path))

    for part in message.walk():
        for defect in part.defects:
            lines.append(("defect", type(defect).__name__))
    for name in message.keys():
        for defect in getattr(message[name], "defects", ()):
            lines.append(("defect", name + ": " + type(defect).__name__))

    for field, value in lines:
        sys.stdout.write(field + "\t" + escaped(value) + "\n")


if __name__ == "__main__":
    main()
