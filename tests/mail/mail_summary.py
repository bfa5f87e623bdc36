"""Prints what a reader of a mail file sees in it, as JSON: addresses,
subject, text and every attachment's bytes. Two files that carry the same
message give the same summary, whatever their line layout or boundaries."""

import binascii
import email
import email.utils
import hashlib
import json
import re
import sys
from email import policy


ENCODED_WORD = re.compile(rb"=\?([^?\s]+)\?([bBqQ])\?([^?\s]*)\?=")


def decode_word(letter, text):
    if letter in b"bB":
        return binascii.a2b_base64(text + b"=" * (-len(text) % 4))
    text = text.replace(b"_", b" ")
    return re.sub(rb"=([0-9A-Fa-f]{2})", lambda m: bytes([int(m.group(1), 16)]), text)


def header_bytes(raw):
    """The bytes a header carries once its encoded words are decoded; blanks
    between adjacent words dropped, runs of blanks made one."""
    out, pos, after_word = b"", 0, False
    for match in ENCODED_WORD.finditer(raw):
        between = raw[pos:match.start()]
        if not (after_word and between.strip() == b""):
            out += between
        out += decode_word(match.group(2), match.group(3))
        pos, after_word = match.end(), True
    out += raw[pos:]
    return b" ".join(out.split())


def raw_values(msg, name):
    return [value.encode("ascii", "surrogateescape")
            for key, value in msg.raw_items() if key.lower() == name.lower()]


def addresses(msg, name):
    text = [header_bytes(v).decode("latin-1") for v in raw_values(msg, name)]
    return [[n, a.lower()] for n, a in email.utils.getaddresses(text)]


def text_of(payload):
    text = payload.replace(b"\r\n", b"\n").replace(b"\r", b"\n")
    return text.rstrip(b"\n").decode("latin-1")


def uu_blocks(text):
    """Text before the first UU block, and the blocks as (name, bytes)."""
    lines = text.split("\n")
    blocks, body, i = [], [], 0
    while i < len(lines) and not re.match(r"^begin [0-7]{3} ", lines[i]):
        body.append(lines[i])
        i += 1
    while i < len(lines):
        match = re.match(r"^begin [0-7]{3} (.+)$", lines[i])
        i += 1
        if not match:
            continue
        data = b""
        while i < len(lines) and lines[i] not in ("`", "end", ""):
            data += binascii.a2b_uu(lines[i])
            i += 1
        blocks.append((match.group(1).strip(), data))
    return "\n".join(body).rstrip("\n"), blocks


def summary(path):
    with open(path, "rb") as f:
        msg = email.message_from_binary_file(f, policy=policy.compat32)
    result = {
        "from": addresses(msg, "From"),
        "to": addresses(msg, "To"),
        "cc": addresses(msg, "CC"),
        "subject": b" ".join(header_bytes(v) for v in raw_values(msg, "Subject")).decode("latin-1"),
        "text": None,
        "parts": [],
    }
    for part in msg.walk():
        if part.is_multipart():
            continue
        payload = part.get_payload(decode=True) or b""
        filename = part.get_filename()
        ctype = part.get_content_type()
        if result["text"] is None and filename is None and ctype == "text/plain":
            text = text_of(payload)
            if "\nbegin " in "\n" + text:
                text, blocks = uu_blocks(text)
                for name, data in blocks:
                    result["parts"].append({"name": name, "sha256": hashlib.sha256(data).hexdigest(),
                                            "size": len(data)})
            result["text"] = text
            continue
        if ctype.startswith("text/"):
            data = text_of(payload).encode("latin-1")
        else:
            data = payload
        result["parts"].append({"name": filename, "type": ctype.split("/")[0],
                                "sha256": hashlib.sha256(data).hexdigest(), "size": len(data)})
    return result


if __name__ == "__main__":
    print(json.dumps(summary(sys.argv[1]), indent=1, sort_keys=True, ensure_ascii=True))
