#!/usr/bin/python3
"""A loopback SMTP server for the provider's SMTP tests, on aiosmtpd.

  smtp_server.py start DIR   runs the server in the background on 127.0.0.1,
                             on a port the system chooses, written to DIR/port
  smtp_server.py stop DIR    ends it
  smtp_server.py serve DIR   runs it in the foreground

How it behaves is read from DIR/mode at every new connection (first word,
then arguments; no file means accept):

  accept                          take every message
  refuse-recipient ADDRESS...     550 for RCPT TO of these addresses
  auth USER PASSWORD [MECHANISM]  require AUTH (PLAIN and LOGIN, or only the one named)
  close-in-data                   take the whole message, then drop the connection without a reply
  drop-mid-data BYTES             reset the connection after BYTES bytes of the message
  silent                          accept the connection and never say anything

Every message it accepts is written, before the 250, to DIR/messages/NNNN/:
  raw.eml   the data as received (dots already unstuffed)
  summary   tab-separated lines, parsed with Python's email package:
              from <address> | rcpt <address> | header <name> <value>
              part <n> <content type> <file name or -> <transfer encoding>
  part-<n>  the decoded bytes of each leaf part
A message dropped by close-in-data goes to DIR/dropped/NNNN.eml instead.
"""
import asyncio
import email
import email.policy
import os
import signal
import sys
import time

from aiosmtpd.smtp import SMTP, AuthResult

ACCEPTED_DIR = "messages"
DROPPED_DIR = "dropped"


def read_mode(folder):
    try:
        with open(os.path.join(folder, "mode"), encoding="ascii") as f:
            words = f.read().split()
    except FileNotFoundError:
        words = []
    return words or ["accept"]


def next_number(path):
    os.makedirs(path, exist_ok=True)
    numbers = [int(n.split(".")[0]) for n in os.listdir(path) if n.split(".")[0].isdigit()]
    return max(numbers, default=0) + 1


def one_line(text):
    return str(text).replace("\r", " ").replace("\n", " ").replace("\t", " ")


def record_message(folder, envelope):
    base = os.path.join(folder, ACCEPTED_DIR)
    number = next_number(base)
    temporary = os.path.join(base, ".tmp-%04d" % number)
    os.makedirs(temporary)
    raw = envelope.original_content or envelope.content
    with open(os.path.join(temporary, "raw.eml"), "wb") as f:
        f.write(raw)
    message = email.message_from_bytes(raw, policy=email.policy.compat32)
    lines = ["from\t" + envelope.mail_from]
    lines += ["rcpt\t" + r for r in envelope.rcpt_tos]
    for name, value in message.items():
        lines.append("header\t%s\t%s" % (name, one_line(value)))
    index = 0
    for part in message.walk():
        if part.is_multipart():
            continue
        index += 1
        payload = part.get_payload(decode=True) or b""
        with open(os.path.join(temporary, "part-%d" % index), "wb") as f:
            f.write(payload)
        lines.append("part\t%d\t%s\t%s\t%s" % (index, part.get_content_type(),
                                                one_line(part.get_filename() or "-"),
                                                part.get("Content-Transfer-Encoding", "-")))
    with open(os.path.join(temporary, "summary"), "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")
    os.rename(temporary, os.path.join(base, "%04d" % number))


class Handler:
    def __init__(self, folder, mode):
        self.folder = folder
        self.mode = mode

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if self.mode[0] == "refuse-recipient" and address in self.mode[1:]:
            return "550 5.1.1 <%s>: no such user here" % address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if self.mode[0] == "close-in-data":
            base = os.path.join(self.folder, DROPPED_DIR)
            path = os.path.join(base, "%04d.eml" % next_number(base))
            with open(path, "wb") as f:
                f.write(envelope.original_content or envelope.content)
            server.transport.abort()
            return "250 never sent: the connection is gone"
        record_message(self.folder, envelope)
        return "250 OK: queued"


class Silent(asyncio.Protocol):
    """Takes the connection and never says a word."""

    def connection_made(self, transport):
        self.transport = transport

    def data_received(self, data):
        pass


class DropMidData(asyncio.Protocol):
    """Says yes to every command, then resets the connection part way into the data."""

    def __init__(self, limit):
        self.limit = limit
        self.pending = b""
        self.in_data = False
        self.data_bytes = 0

    def connection_made(self, transport):
        self.transport = transport
        transport.write(b"220 zorva-test-server ready\r\n")

    def data_received(self, data):
        if self.in_data:
            self.data_bytes += len(data)
            if self.data_bytes >= self.limit:
                self.transport.abort()
            return
        self.pending += data
        while b"\r\n" in self.pending and not self.in_data:
            line, self.pending = self.pending.split(b"\r\n", 1)
            if line.upper().startswith(b"EHLO"):
                self.transport.write(b"250-zorva-test-server\r\n250 8BITMIME\r\n")
            elif line.upper() == b"DATA":
                self.transport.write(b"354 go on\r\n")
                self.in_data = True
                rest, self.pending = self.pending, b""
                self.data_received(rest)
            else:
                self.transport.write(b"250 OK\r\n")


def make_authenticator(user, password):
    def authenticate(server, session, envelope, mechanism, auth_data):
        given_user = auth_data.login.decode("utf-8", "replace")
        given_password = auth_data.password.decode("utf-8", "replace")
        return AuthResult(success=(given_user == user and given_password == password), handled=False)
    return authenticate


def protocol_factory(folder):
    def make():
        mode = read_mode(folder)
        if mode[0] == "silent":
            return Silent()
        if mode[0] == "drop-mid-data":
            return DropMidData(int(mode[1]))
        options = {}
        if mode[0] == "auth" and len(mode) >= 3:
            mechanisms = {"PLAIN", "LOGIN"}
            exclude = sorted(mechanisms - {mode[3].upper()}) if len(mode) >= 4 else []
            options = dict(auth_required=True, auth_require_tls=False,
                           authenticator=make_authenticator(mode[1], mode[2]),
                           auth_exclude_mechanism=exclude)
        return SMTP(Handler(folder, mode), hostname="zorva-test-server", decode_data=False,
                    data_size_limit=64 * 1024 * 1024, **options)
    return make


def serve(folder):
    os.makedirs(folder, exist_ok=True)
    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    server = loop.run_until_complete(loop.create_server(protocol_factory(folder), "127.0.0.1", 0))
    port = server.sockets[0].getsockname()[1]
    with open(os.path.join(folder, "pid"), "w") as f:
        f.write("%d\n" % os.getpid())
    with open(os.path.join(folder, "port.tmp"), "w") as f:
        f.write("%d\n" % port)
    os.rename(os.path.join(folder, "port.tmp"), os.path.join(folder, "port"))
    loop.add_signal_handler(signal.SIGTERM, loop.stop)
    loop.run_forever()


def stop(folder):
    try:
        with open(os.path.join(folder, "pid")) as f:
            pid = int(f.read())
    except (FileNotFoundError, ValueError):
        return
    try:
        os.kill(pid, signal.SIGTERM)
        for _ in range(100):
            os.kill(pid, 0)
            time.sleep(0.05)
        os.kill(pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    for name in ("pid", "port"):
        try:
            os.remove(os.path.join(folder, name))
        except FileNotFoundError:
            pass


def start(folder):
    stop(folder)
    os.makedirs(folder, exist_ok=True)
    if os.fork() == 0:
        os.setsid()
        if os.fork() != 0:
            os._exit(0)
        log = os.open(os.path.join(folder, "server.log"), os.O_WRONLY | os.O_CREAT | os.O_APPEND, 0o644)
        null = os.open(os.devnull, os.O_RDONLY)
        os.dup2(null, 0)
        os.dup2(log, 1)
        os.dup2(log, 2)
        try:
            serve(folder)
        finally:
            os._exit(0)
    for _ in range(200):
        if os.path.exists(os.path.join(folder, "port")):
            return 0
        time.sleep(0.05)
    print("the SMTP server did not start; see", os.path.join(folder, "server.log"))
    return 1


def main(argv):
    if len(argv) != 3 or argv[1] not in ("start", "stop", "serve"):
        print(__doc__)
        return 2
    folder = os.path.abspath(argv[2])
    if argv[1] == "start":
        return start(folder)
    if argv[1] == "stop":
        stop(folder)
        return 0
    serve(folder)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
