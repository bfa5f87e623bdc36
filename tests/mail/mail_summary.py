"""Prints what a reader of a mail file sees in it, as JSON: addresses,
subject, text and every attachment's bytes. Two files that carry the same
message give the same summary, whatever their line layout, boundaries or
character sets: texts are read in the charset they declare, undeclared
bytes as UTF-8 when they are valid UTF-8 and as Windows-1252 otherwise."""

import binascii
import codecs
import email
import email.utils
import hashlib
import json
import re
import sys
from email import policy


ENCODED_WORD = re.compile(rb"=\?([^?\s]+)\?([bBqQ])\?([^?\s]*)\?=")


def undeclared(data):
    try:
        return data.decode("utf-8")
    except UnicodeDecodeError:
        # Windows-1252; its five unassigned bytes stand for themselves.
        return "".join(chr(b) if b in (0x81, 0x8D, 0x8F, 0x90, 0x9D) else bytes([b]).decode("cp1252")
                       for b in data)


def declared(data, charset):
    name = (charset or "").split("*")[0].strip().lower()
    try:
        if name and codecs.lookup(name).name != "ascii":
            return data.decode(name, errors="replace")
    except LookupError:
        pass
    return undeclared(data)


def decode_word(letter, text):
    if letter in b"bB":
        return binascii.a2b_base64(text + b"=" * (-len(text) % 4))
    text = text.replace(b"_", b" ")
    return re.sub(rb"=([0-9A-Fa-f]{2})", lambda m: bytes([int(m.group(1), 16)]), text)


def header_text(raw):
    """The text a header carries once its encoded words are decoded; blanks
    between adjacent words dropped, runs of blanks made one."""
    out, pos, after_word = "", 0, False
    for match in ENCODED_WORD.finditer(raw):
        between = raw[pos:match.start()]
        if not (after_word and between.strip() == b""):
            out += undeclared(between)
        out += declared(decode_word(match.group(2), match.group(3)), match.group(1).decode("ascii"))
        pos, after_word = match.end(), True
    out += undeclared(raw[pos:])
    return " ".join(out.split())


def raw_values(msg, name):
    return [value.encode("ascii", "surrogateescape")
            for key, value in msg.raw_items() if key.lower() == name.lower()]


def addresses(msg, name):
    text = [header_text(v) for v in raw_values(msg, name)]
    return [[n, a.lower()] for n, a in email.utils.getaddresses(text)]


def text_of(payload, charset=None):
    text = payload.replace(b"\r\n", b"\n").replace(b"\r", b"\n")
    return declared(text.rstrip(b"\n"), charset)


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
        "subject": " ".join(header_text(v) for v in raw_values(msg, "Subject")),
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
            text = text_of(payload, part.get_content_charset())
            if "\nbegin " in "\n" + text:
                text, blocks = uu_blocks(text)
                for name, data in blocks:
                    result["parts"].append({"name": name, "sha256": hashlib.sha256(data).hexdigest(),
                                            "size": len(data)})
            result["text"] = text
            continue
        if ctype.startswith("text/"):
            data = payload.replace(b"\r\n", b"\n").replace(b"\r", b"\n").rstrip(b"\n")
        else:
            data = payload
        result["parts"].append({"name": filename, "type": ctype.split("/")[0],
                                "sha256": hashlib.sha256(data).hexdigest(), "size": len(data)})
    return result


if __name__ == "__main__":
    print(json.dumps(summary(sys.argv[1]), indent=1, sort_keys=True, ensure_ascii=True))
