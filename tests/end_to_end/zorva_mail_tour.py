#!/usr/bin/python3
"""zorva-mail, the program itself, against our own provider: a tour of every
export on a scratch store and profile, step by step, each step's exit status
and printed output checked.

    zorva_mail_tour.py --scratch DIR [--windows] [--register PROVIDER-DLL]
                       -- [EMULATOR...] ZORVA-MAIL

The scratch folder is wiped at the start. How the library finds MAPI32.DLL
is the caller's environment: the library path natively; under Wine the
provider copied as MAPI32.DLL beside the program, or, with --register, Wine's
own MAPI32.DLL, our provider made the prefix's mail client for the tour and
unregistered afterwards, whatever happened. --windows: the program sees
Windows paths (Wine's drive Z: is the Unix root).
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

PROFILE = "tour"
PASSWORD = "tour-secret"
USER = "Tour User"
ADDRESS = "tour@example.invalid"

# The profile, its address book and where read attachments are written; all
# paths relative to the file.
PROVIDER_INI = f"""; Written by zorva_mail_tour.py for one run.
default_profile = {PROFILE}
[profile {PROFILE}]
store = store
name = {USER}
address = {ADDRESS}
password = {PASSWORD}
address_book = book.txt
attachment_folder = attachments
"""
ADDRESS_BOOK = "Ann Archer <ann@example.invalid>\nBob Baker <bob@example.invalid>\n"
# CR LF line ends: --text-file makes them LF.
NOTE_TEXT = b"First line of the note.\r\nSecond line, with a tab\there.\r\n"
NOTE_IN_REPORT = "Message:First line of the note.\nSecond line, with a tab\there."
# Bytes a text-mode copy or a charset conversion would change.
ATTACHMENT = bytes(range(256)) + b"\r\n\x1a\r\rend\n"

# Each step: a name, the arguments after the global options, the exit status
# expected, regular expressions the output must match (multi-line, dot
# matches new lines), ones it must not match, and the values its output
# gives to later steps (named groups of `expect`). Arguments and expressions
# may name earlier values as {name}; in expressions they stand for
# themselves, escaped. A row of a name and a function is a check of its own.
ID = r"\d+-[0-9a-f]+"
WHEN = r"\d{4}/\d\d/\d\d \d\d:\d\d"
LOGON_FAILED = r"^Unable to Login to the Mail Server$"

VERSION_STEPS = [
    ("the version text", ["version"], 0, [r"^version: 1\.06 01/12/2000 KXB$"], []),
]

SEND_AND_READ_STEPS = [
    ("an empty inbox at first", ["inbox"], 0,
     [r"^Contents of the INBOX are as follows$", r"^INBOX returned 0: listed$"], [r"\t"]),
    ("send with to, cc, a subject, the text from a file and an attachment",
     ["send", "--to", f"{USER} <{ADDRESS}>", "--cc", "Ann Archer <ann@example.invalid>",
      "--subject", "Quarterly figures", "--text-file", "{note_file}", "--attach", "{attachment_file}"], 0,
     [r'recipients "TO\|Tour User\|tour@example\.invalid\|CC\|Ann Archer\|ann@example\.invalid"',
      r'attachments "{attachment_file}"', r"^SENDMAIL returned 0: sent$"], []),
    ("the inbox lists it", ["inbox"], 0,
     [rf"^(?P<first_id>{ID})\t{WHEN}\tQuarterly figures$", r"^INBOX returned 0: listed$"], []),
    ("no profile given: the file's default one", ["--profile", "", "inbox"], 0,
     [r'INBOX\(profile ""', r"^{first_id}\t" + WHEN + r"\tQuarterly figures$"], []),
    ("get --peek reports it", ["get", "--peek"], 0,
     [r'mode "P"', r"^message ID: {first_id}$", r"^MAILMESSAGE$", rf"^From:{USER}$",
      rf"^Address:{re.escape(ADDRESS)}$", rf"^Date Received:{WHEN}$",
      r"^Attachment:(?P<attachment_path>[^\n]+)$", r"^Subject:Quarterly figures$",
      "^" + re.escape(NOTE_IN_REPORT) + "$"], []),
    ("the attachment holds the bytes sent", lambda tour: tour.check_attachment()),
    ("peeking left it unread", ["get", "--unread-only"], 0,
     [r'unread-only "U"', r"^message ID: {first_id}$"], []),
]

MAINTENANCE_STEPS = [
    ("get --mark reads it", ["get", "--mark"], 0,
     [r'mode "M"', r"^message ID: {first_id}$", r"^Subject:Quarterly figures$"], []),
    ("get --unread-only then finds nothing", ["get", "--unread-only"], 1,
     [r"^GETMAIL returned 1: ", r"^no message found$"], [r"^message ID:"]),
    ("update rewrites its subject", ["update", "Quarterly figures (filed)"], 0,
     [r'mode "U"', r'new subject "Quarterly figures \(filed\)"', r"^GETMAIL returned 0: done$"], []),
    ("the inbox shows the new subject", ["inbox"], 0,
     [r"^{first_id}\t" + WHEN + r"\tQuarterly figures \(filed\)$"], [r"\tQuarterly figures$"]),
    ("a second message, to a bare address", ["send", "--to", ADDRESS, "--subject", "Second",
                                             "--text", "Just this."], 0,
     [r"^SENDMAIL returned 0: sent$"], []),
    ("get --after the first gives the second", ["get", "--after", "{first_id}"], 0,
     [r'message ID "{first_id}"', rf"^message ID: (?P<second_id>{ID})$", r"^Subject:Second$",
      r"^Message:Just this\.$"], [r"^Attachment:"]),
    ("get --after the second finds nothing", ["get", "--after", "{second_id}"], 1,
     [r"^no message found$"], [r"^message ID:"]),
    ("get --all walks both in order", ["get", "--all"], 0,
     [r"^message ID: {first_id}\n.*^Subject:Quarterly figures \(filed\)$.*"
      r"^message ID: {second_id}\n.*^Subject:Second$.*^no further message$",
      r"^walked the inbox: 2 messages reported$"], [r"its read failed"]),
    ("the address book resolves the initial recipients",
     ["addressbook", "--cc", "<bob@example.invalid>", "--to", "<ann@example.invalid>",
      "--bcc", "Zed <zed@example.invalid>"], 0,
     [r'initial recipients "CC\|\|bob@example\.invalid\|TO\|\|ann@example\.invalid\|BCC\|Zed\|zed@example\.invalid"',
      r"^ADDRESSBOOK returned 0: chosen$",
      r'^recipients: "TO\|Ann Archer\|ann@example\.invalid\|CC\|Bob Baker\|bob@example\.invalid'
      r'\|BCC\|Zed\|zed@example\.invalid"$'], []),
    ("delete --after the first deletes the second", ["delete", "--after", "{first_id}"], 0,
     [r'mode "D"', r"^GETMAIL returned 0: done$"], []),
    ("the inbox holds the first only", ["inbox"], 0,
     [r"^{first_id}\t"], [r"^{second_id}\t"]),
    ("delete deletes the first", ["delete"], 0, [r"^GETMAIL returned 0: done$"], []),
    ("the inbox is empty", ["inbox"], 0, [r"^INBOX returned 0: listed$"], [r"\t"]),
    ("delete on the empty inbox", ["delete"], 1, [r"^GETMAIL returned 1: "], []),
]

LOGON_STEPS = [
    ("an unknown profile", ["--profile", "nobody", "inbox"], 1,
     [r'INBOX\(profile "nobody"', LOGON_FAILED, r"^INBOX returned -1: "], []),
    ("a wrong password", ["--password", "not-the-password", "get"], 1,
     [r'profile "tour", password \(16 characters\)', LOGON_FAILED, r"^GETMAIL returned -1: "],
     [r"^message ID: \d"]),
]

# The whole tour, the same on every route to the provider.
TOUR = VERSION_STEPS + SEND_AND_READ_STEPS + MAINTENANCE_STEPS + LOGON_STEPS

STEP_TIMEOUT_SECONDS = 20  # a cold Wine start included


class TourFailed(Exception):
    pass


class Tour:
    def __init__(self, command, scratch, windows):
        self.command = command
        self.scratch = scratch
        self.windows = windows
        self.values = {}
        self.environment = dict(os.environ)
        self.environment["ZORVA_PROVIDER_CONFIG"] = self.host_path(os.path.join(scratch, "zorva_provider.ini"))
        for variable in ("ZORVA_MAIL_PROFILE", "ZORVA_MAIL_PASSWORD", "ZORVA_MAPI_LIBRARY"):
            self.environment.pop(variable, None)

    def host_path(self, path):
        path = os.path.abspath(path)
        return "Z:" + path.replace("/", "\\") if self.windows else path

    def local_path(self, host_path):
        if self.windows:
            if not re.match(r"^[Zz]:\\", host_path):
                raise TourFailed(f"{host_path!r} is not on drive Z:")
            return host_path[2:].replace("\\", "/")
        return host_path

    def run(self, arguments, global_options=True):
        options = ["--profile", PROFILE, "--password", PASSWORD] if global_options else []
        # Output into a file, not a pipe: Wine's background processes, which
        # inherit it, would hold a pipe open after the program has ended.
        with tempfile.TemporaryFile() as output:
            try:
                done = subprocess.run(self.command + options + arguments, env=self.environment,
                                      cwd=self.scratch, stdout=output, stderr=subprocess.STDOUT,
                                      timeout=STEP_TIMEOUT_SECONDS)
            except subprocess.TimeoutExpired:
                raise TourFailed(f"no end after {STEP_TIMEOUT_SECONDS} s")
            output.seek(0)
            printed = output.read()
        return done.returncode, printed.decode("latin-1").replace("\r\n", "\n")

    def filled(self, text, escape):
        def value(match):
            if match.group(1) not in self.values:
                raise TourFailed(f"no value {match.group(1)} yet for {text!r}")
            found = self.values[match.group(1)]
            return re.escape(found) if escape else found
        return re.sub(r"\{([a-z_]+)\}", value, text)

    def step(self, name, arguments, exit_status, expect, refuse, global_options=True):
        arguments = [self.filled(a, escape=False) for a in arguments]
        status, printed = self.run(arguments, global_options)
        print(f"--- {name}: zorva-mail {' '.join(arguments)}\n{printed}(exit status {status})", flush=True)
        problems = []
        if status != exit_status:
            problems.append(f"exit status {status}, expected {exit_status}")
        for pattern in expect:
            pattern = self.filled(pattern, escape=True)
            found = re.search(pattern, printed, re.MULTILINE | re.DOTALL)
            if found is None:
                problems.append(f"no match for {pattern!r}")
            else:
                self.values.update(found.groupdict())
        for pattern in refuse:
            pattern = self.filled(pattern, escape=True)
            if re.search(pattern, printed, re.MULTILINE):
                problems.append(f"unexpected match for {pattern!r}")
        if problems:
            raise TourFailed(f"step \"{name}\": " + "; ".join(problems))

    def steps(self, table):
        for row in table:
            if callable(row[1]):
                row[1](self)
            else:
                self.step(*row)

    def check_attachment(self):
        path = self.local_path(self.values["attachment_path"])
        with open(path, "rb") as saved:
            if saved.read() != ATTACHMENT:
                raise TourFailed(f"the attachment {path} does not hold the bytes sent")
        if os.path.basename(path) != "figures.bin":
            raise TourFailed(f"the attachment {path} lost its file name")
        print(f"--- the attachment {path} holds the bytes sent", flush=True)


def prepare(scratch, attachments):
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(os.path.join(scratch, "files"))
    files = {os.path.join(scratch, "zorva_provider.ini"): PROVIDER_INI.encode(),
             os.path.join(scratch, "book.txt"): ADDRESS_BOOK.encode(),
             os.path.join(scratch, "files", "note.txt"): NOTE_TEXT,
             os.path.join(attachments, "figures.bin"): ATTACHMENT}
    for path, content in files.items():
        with open(path, "wb") as out:
            out.write(content)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--scratch", required=True)
    parser.add_argument("--windows", action="store_true")
    parser.add_argument("--register", metavar="PROVIDER-DLL")
    parser.add_argument("command", nargs="+")
    options = parser.parse_args()

    # An attachment path is a list item of at most 79 characters, so the
    # file to attach lives in a short folder of its own, not in the build's.
    attachments = tempfile.mkdtemp(prefix="zorva-tour-", dir="/tmp")
    try:
        return run_tour(options, attachments)
    finally:
        shutil.rmtree(attachments, ignore_errors=True)


def run_tour(options, attachments):
    prepare(options.scratch, attachments)
    tour = Tour(options.command, options.scratch, options.windows)
    tour.values["note_file"] = tour.host_path(os.path.join(options.scratch, "files", "note.txt"))
    tour.values["attachment_file"] = tour.host_path(os.path.join(attachments, "figures.bin"))
    try:
        if options.register is None:
            tour.steps(TOUR)
        else:
            provider = tour.host_path(options.register)
            tour.environment.pop("WINEDLLOVERRIDES", None)  # Wine's own MAPI32.DLL
            # A run killed before its unregister left the registration behind.
            tour.run(["unregister"], global_options=False)
            registered = False
            try:
                tour.step("register our provider", ["register", provider], 0,
                          [r"^registered HKLM\\Software\\Clients\\Mail\\Zorva Mail with DLLPath and DLLPathEx "
                           + re.escape(provider) + "$",
                           r'^the default mail client is now "Zorva Mail" \(before it: (?P<previous_client>[^\n]+)\)$'],
                          [], global_options=False)
                registered = True
                tour.steps(TOUR)
            finally:
                if registered:
                    previous = tour.values["previous_client"]
                    restored = ("there is no default mail client again, as before" if previous == "none"
                                else f"the default mail client is {previous} again")
                    tour.step("unregister it", ["unregister"], 0,
                              [r"^removed HKLM\\Software\\Clients\\Mail\\Zorva Mail$",
                               "^" + re.escape(restored) + "$"], [], global_options=False)
                else:
                    tour.run(["unregister"], global_options=False)
    except TourFailed as failure:
        print(f"FAILED: {failure}", flush=True)
        return 1
    print("the tour passed", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
