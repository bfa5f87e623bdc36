"""What Python's email package reads from a mail file with its default
policy: the subject, the names and addresses of From, To and Cc, the text,
every other part's name and bytes, and how the file is laid out (whether
every header line is ASCII, the longest line without its break). Beside
each value stands whether it was read soundly: without a defect, an
unknown charset or bytes that are no text.

  mail_reading.py show FILE
      one record a line, fields separated by tabs (a tab, a line break and a
      backslash inside a field are written as backslash t, n and a doubled
      backslash):
      subject TEXT / from|to|cc NAME ADDRESS / text TEXT CHARSET /
      part NAME SHA256 SIZE / field NAME VALUE (every header, its name in
      lower case) / header_ascii yes|no / longest_line N / unsound FIELD
  mail_reading.py compare ORIGINAL WRITTEN
      one line for every value the original carries soundly that the written
      file does not carry the same; nothing when they agree."""

import email
import email.errors
import email.header
import hashlib
import re
import sys
from email import policy


def sound_text(text):
    return isinstance(text, str) and "\ufffd" not in text and not any("\udc80" <= c <= "\udcff" for c in text)


def header(msg, name):
    try:
        value = msg[name]
    except Exception as error:  # a header the policy cannot parse at all
        return {"value": repr(error), "sound": False}
    if value is None:
        return {"value": None, "sound": True}
    text = " ".join(str(value).split())
    return {"value": text, "sound": sound_text(text) and not value.defects}


def comment_name(raw):
    """The name of "address (Name)", decoded; "" when there is none."""
    match = re.search(r"\(([^()]*)\)\s*$", raw)
    if not match:
        return ""
    return " ".join(str(email.header.make_header(email.header.decode_header(match.group(1)))).split())


def addresses(msg, name):
    """Every field of that name, as (name, address) pairs, the name of
    "address (Name)" taken from its comment. A group or an empty address is
    unsound."""
    try:
        values = msg.get_all(name) or []
        raws = [value for key, value in msg.raw_items() if key.lower() == name.lower()]
        found, sound = [], True
        for value, raw in zip(values, raws):
            sound = sound and not value.defects and not any(g.display_name is not None for g in value.groups)
            for address in value.addresses:
                display = " ".join(address.display_name.split())
                if not display and len(value.addresses) == 1:
                    display = comment_name(raw)
                found.append([display, address.addr_spec.lower()])
        sound = sound and all(sound_text(n) and sound_text(a) and a for n, a in found)
        return {"value": found, "sound": sound, "present": bool(values)}
    except Exception as error:
        return {"value": repr(error), "sound": False, "present": True}


def normalized(data):
    return data.replace(b"\r\n", b"\n").replace(b"\r", b"\n").rstrip(b"\n")


def leaf_parts(msg):
    return [part for part in msg.walk() if not part.is_multipart()]


def plain_structure(msg):
    """Whether the structure is one a simple MIME reader follows: one part,
    or one level of parts (MIME declared as "Mime-Version: 1.0") whose first
    is the text, or base64, or an alternative of single parts whose first
    is so; no part read with a defect but a missing closing delimiter."""
    for part in msg.walk():
        if any(not isinstance(d, email.errors.CloseBoundaryNotFoundDefect) for d in part.defects):
            return False
        if part.get("content-type") is not None and part["content-type"].defects:
            return False
    if not msg.is_multipart():
        return True
    if str(msg.get("mime-version", "")).strip() != "1.0" or msg.get_content_maintype() != "multipart":
        return False
    if msg.get_content_type() == "multipart/digest":
        return False
    children = msg.get_payload()
    if not isinstance(children, list) or not children:
        return False
    if any(child.get_content_maintype() == "multipart" for child in children[1:]):
        return False
    first = children[0]
    if first.get_content_type() == "multipart/alternative":
        inner = first.get_payload()
        if not isinstance(inner, list) or not inner or any(p.get_content_maintype() == "multipart" for p in inner):
            return False
        first = inner[0]
    elif first.get_content_maintype() == "multipart":
        return False
    base64 = str(first.get("content-transfer-encoding", "")).strip().lower() == "base64"
    return base64 or (first.get_content_type() == "text/plain" and first.get_filename() is None)


def text_of(part):
    try:
        text = part.get_content()
    except Exception as error:
        return {"value": repr(error), "charset": part.get_content_charset(), "sound": False}
    text = text.replace("\r\n", "\n").replace("\r", "\n").rstrip("\n")
    return {"value": text, "charset": part.get_content_charset(), "sound": sound_text(text)}


def reading(path):
    with open(path, "rb") as f:
        raw = f.read()
    msg = email.message_from_bytes(raw, policy=policy.default)
    head = raw.split(b"\r\n\r\n", 1)[0] if b"\r\n\r\n" in raw else raw.split(b"\n\n", 1)[0]
    result = {
        "subject": header(msg, "Subject"),
        "from": addresses(msg, "From"),
        "to": addresses(msg, "To"),
        "cc": addresses(msg, "Cc"),
        "text": None,
        "parts": [],
        "plain_structure": plain_structure(msg),
        "headers_run_into_body": any(isinstance(d, email.errors.MissingHeaderBodySeparatorDefect) for d in msg.defects),
        "fields": [[key.lower(), " ".join(str(value).split())] for key, value in msg.items()],
        "header_ascii": all(b < 128 for b in head),
        "longest_line": max((len(line.rstrip(b"\r")) for line in raw.split(b"\n")), default=0),
    }
    leaves = leaf_parts(msg)
    first = leaves[0] if leaves else None
    for part in leaves:
        if part is first and part.get_content_type() == "text/plain" and part.get_filename() is None:
            result["text"] = text_of(part)
            continue
        try:
            name = part.get_filename()
        except Exception:
            name = None
        payload = part.get_payload(decode=True)
        data = payload if isinstance(payload, bytes) else b""
        # Line ends of text, and of lines sent as they are, are the carrier's.
        coding = str(part.get("content-transfer-encoding", "")).strip().lower()
        if part.get_content_maintype() == "text" or coding not in ("base64", "quoted-printable"):
            data = normalized(data)
        try:
            type_name = part.get_param("name")
        except Exception:
            type_name = None
        result["parts"].append({"name": name, "name_sound": name is None or sound_text(name),
                                "sha256": hashlib.sha256(data).hexdigest(), "size": len(data),
                                "empty": payload is None or not data,
                                "two_names": isinstance(type_name, str) and name is not None and type_name != name})
    return result


def escaped(value):
    text = "" if value is None else str(value)
    return text.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n").replace("\r", "\\r")


def show(result):
    lines = []
    unsound = []
    if result["subject"]["value"] is not None:
        lines.append(["subject", result["subject"]["value"]])
    for field in ("from", "to", "cc"):
        if isinstance(result[field]["value"], list):
            lines += [[field, name, address] for name, address in result[field]["value"]]
        if not result[field]["sound"]:
            unsound.append(field)
    if not result["subject"]["sound"]:
        unsound.append("subject")
    if result["text"] is not None:
        lines.append(["text", result["text"]["value"], result["text"]["charset"]])
        if not result["text"]["sound"]:
            unsound.append("text")
    for part in result["parts"]:
        lines.append(["part", part["name"], part["sha256"], part["size"]])
    lines += [["field", name, value] for name, value in result["fields"]]
    lines.append(["header_ascii", "yes" if result["header_ascii"] else "no"])
    lines.append(["longest_line", result["longest_line"]])
    lines += [["unsound", field] for field in unsound]
    out = "".join("\t".join(escaped(field) for field in line) + "\n" for line in lines)
    sys.stdout.buffer.write(out.encode("utf-8", "backslashreplace"))


def missing_parts(original, written):
    """The parts of the original that the written file lacks: every named
    one by name and bytes, every other one that holds bytes by its bytes
    (the written one may have been given a name)."""
    left = [(p["name"], p["sha256"]) for p in written["parts"]]
    missing = []
    nameless = []
    for part in original["parts"]:
        if part["name"] is None:
            if not part["empty"]:
                nameless.append(part["sha256"])
        elif (part["name"], part["sha256"]) in left:
            left.remove((part["name"], part["sha256"]))
        elif part["two_names"]:
            nameless.append(part["sha256"])  # either of its two names is its name
        elif part["name_sound"]:
            missing.append((part["name"], part["sha256"]))
    for sha in nameless:
        match = next((key for key in left if key[1] == sha), None)
        if match:
            left.remove(match)
        else:
            missing.append(("", sha))
    return missing


def compare(original, written):
    differences = []
    if original["headers_run_into_body"]:
        return differences  # where the headers end is a matter of reading
    if original["subject"]["sound"] and original["subject"]["value"] != written["subject"]["value"]:
        differences.append("subject: %r became %r" % (original["subject"]["value"], written["subject"]["value"]))
    for field in ("from", "to", "cc"):
        before, after = original[field], written[field]
        if before["present"] and before["sound"] and before["value"] != after["value"]:
            differences.append("%s: %r became %r" % (field, before["value"], after["value"]))
    # A structure the model does not follow is compared for its headers.
    if original["plain_structure"]:
        if original["text"] is not None and original["text"]["sound"]:
            text = written["text"]["value"] if written["text"] is not None else None
            if text != original["text"]["value"]:
                differences.append("text: %r became %r" % (original["text"]["value"][:300], (text or "")[:300]))
        missing = missing_parts(original, written)
        if missing:
            differences.append("parts missing: %r" % missing)
    if not written["header_ascii"]:
        differences.append("a written header line is not ASCII")
    if written["longest_line"] > 998:
        differences.append("a written line has %d characters" % written["longest_line"])
    out = "".join(line + "\n" for line in differences)
    sys.stdout.buffer.write(out.encode("utf-8", "backslashreplace"))


if __name__ == "__main__":
    if sys.argv[1] == "show":
        show(reading(sys.argv[2]))
    else:
        compare(reading(sys.argv[2]), reading(sys.argv[3]))
