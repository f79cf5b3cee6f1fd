#!/usr/bin/python3
"""Compares the store files our provider wrote with what the library sent.

usage: mime_check.py FOLDER

FOLDER holds manifest.json (written by the library test's store case) and
the profile's store/. Each message of the manifest is looked up by subject
in store/inbox or store/outbox and parsed with Python's email package, an
independent MIME parser: headers, note text and attachment bytes must be
what was sent, blind copies must appear in no header, and the file must be
a well-formed RFC 5322 message (CRLF line ends, no line over 998 octets).
"""
import email
import email.policy
import email.utils
import json
import pathlib
import sys

# The outbox's own field naming the envelope recipients, for the transport.
ENVELOPE_FIELD = "X-Zorva-Envelope-To"


def addresses(message, field):
    return sorted(a.lower() for _, a in email.utils.getaddresses(message.get_all(field, [])))


def check_form(raw):
    faults = []
    lines = raw.split(b"\r\n")
    if any(b"\n" in line or b"\r" in line for line in lines):
        faults.append("a line does not end in CRLF")
    longest = max(len(line) for line in lines)
    if longest > 998:
        faults.append(f"a line of {longest} octets")
    return faults


def check(expected, path):
    raw = path.read_bytes()
    message = email.message_from_bytes(raw, policy=email.policy.default)
    faults = check_form(raw)
    for field in ("Date", "Message-ID", "MIME-Version", "From"):
        if message[field] is None:
            faults.append(f"no {field} field")
    if expected["from"] not in addresses(message, "From"):
        faults.append(f"From is {message['From']!r}")
    for field in ("to", "cc"):
        got = addresses(message, field.capitalize())
        if got != sorted(expected[field]):
            faults.append(f"{field.capitalize()}: {got}, expected {sorted(expected[field])}")
    if message["Bcc"] is not None:
        faults.append("a Bcc field")
    for blind in expected["bcc"]:
        for field, value in message.items():
            if field.lower() != ENVELOPE_FIELD.lower() and blind in str(value).lower():
                faults.append(f"blind copy {blind} shows in {field}")
    if expected["folder"] == "outbox":
        envelope = addresses(message, ENVELOPE_FIELD)
        wanted = sorted(expected["to"] + expected["cc"] + expected["bcc"])
        if envelope != wanted:
            faults.append(f"envelope {envelope}, expected {wanted}")

    body = message.get_body(preferencelist=("plain",))
    if body is None:
        faults.append("no text/plain body")
    else:
        text = body.get_content().replace("\r\n", "\n").rstrip("\n")
        if text != expected["note"].rstrip("\n"):
            faults.append(f"note text {text[:80]!r}..., expected {expected['note'][:80]!r}...")

    got_files = [(part.get_filename(), part.get_payload(decode=True) or b"") for part in message.iter_attachments()]
    wanted_files = [(f["name"], bytes.fromhex(f["hex"])) for f in expected["files"]]
    if [name for name, _ in got_files] != [name for name, _ in wanted_files]:
        faults.append(f"attachments {[n for n, _ in got_files]}, expected {[n for n, _ in wanted_files]}")
    else:
        for (name, got), (_, wanted) in zip(got_files, wanted_files):
            if got != wanted:
                faults.append(f"attachment {name}: {len(got)} bytes differ from the {len(wanted)} sent")
    return faults


def main():
    folder = pathlib.Path(sys.argv[1])
    manifest = json.loads((folder / "manifest.json").read_text(encoding="ascii"))
    failures = 0
    for expected in manifest:
        candidates = []
        for path in sorted((folder / "store" / expected["folder"]).glob("*.eml")):
            parsed = email.message_from_bytes(path.read_bytes(), policy=email.policy.default)
            if str(parsed["Subject"]) == expected["subject"]:
                candidates.append(path)
        if len(candidates) != 1:
            print(f"FAIL {expected['subject']!r}: {len(candidates)} files in {expected['folder']}")
            failures += 1
            continue
        faults = check(expected, candidates[0])
        status = "FAIL" if faults else "ok"
        print(f"{status} {expected['subject']!r} ({candidates[0].name})")
        for fault in faults:
            print(f"    {fault}")
        failures += bool(faults)
    print(f"{len(manifest) - failures} of {len(manifest)} messages as sent")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
