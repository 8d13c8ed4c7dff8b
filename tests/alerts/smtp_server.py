# SPDX-License-Identifier: GPL-3.0-or-later
"""A real SMTP server for the mail tests, on 127.0.0.1 with a free port.

Prints "PORT n" first, then one JSON object per line:
  {"mail": {...}}     for every message taken: envelope, the DATA bytes as received
                      (dot-stuffing undone by the server) and the mail decoded with Python's
                      email package, texts as Shift-JIS in base64
  {"session": "..."}  when a client leaves: base64 of every byte it sent, in order

Modes:
  --auth USER:PASS     AUTH LOGIN (and PLAIN) announced and required
  --cram-only          only CRAM-MD5 announced, nothing required
  --refuse-rcpt ADDR   RCPT TO of ADDR answered 550
  --silent             accept connections and never answer
"""

import argparse
import asyncio
import base64
import email
import email.header
import email.policy
import json
import sys

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


def emit(obj):
    sys.stdout.write(json.dumps(obj) + "\n")
    sys.stdout.flush()


def b64(data):
    return base64.b64encode(data).decode("ascii")


def sjis_b64(text):
    return b64(text.encode("cp932"))


def decoded(content):
    msg = email.message_from_bytes(content, policy=email.policy.compat32)

    def header(name):
        raw = msg.get(name, "")
        return str(email.header.make_header(email.header.decode_header(raw)))

    charset = msg.get_content_charset() or "ascii"
    body = msg.get_payload(decode=True).decode(charset)
    return {
        "subject": sjis_b64(header("Subject")),
        "from": sjis_b64(header("From")),
        "to": header("To"),
        "charset": charset,
        "body": sjis_b64(body),
    }


class Handler:
    def __init__(self, refuse):
        self.refuse = refuse

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address == self.refuse:
            return "550 5.1.1 No such user"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        emit({"mail": {
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "data": b64(envelope.original_content),
            "decoded": decoded(envelope.original_content),
            "authenticated": bool(session.authenticated),
        }})
        return "250 OK queued"


class RecordingSMTP(SMTP):
    """Keeps every byte the client sends."""

    def connection_made(self, transport):
        self.received = bytearray()
        super().connection_made(transport)

    def data_received(self, data):
        self.received += data
        super().data_received(data)

    def connection_lost(self, exc):
        emit({"session": b64(bytes(self.received))})
        super().connection_lost(exc)


class CramOnlySMTP(RecordingSMTP):
    async def auth_CRAM__MD5(self, _, args):
        return AuthResult(success=False, handled=False)


async def silent_client(reader, writer):
    await reader.read()  # until the client gives up
    writer.close()


async def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--auth")
    parser.add_argument("--cram-only", action="store_true")
    parser.add_argument("--refuse-rcpt")
    parser.add_argument("--silent", action="store_true")
    args = parser.parse_args()
    loop = asyncio.get_running_loop()

    if args.silent:
        server = await asyncio.start_server(silent_client, "127.0.0.1", 0)
    else:
        handler = Handler(args.refuse_rcpt)
        options = dict(hostname="test.invalid", auth_require_tls=False)
        if args.auth:
            user, password = args.auth.split(":", 1)

            def check(server, session, envelope, mechanism, data):
                ok = (isinstance(data, LoginPassword) and data.login == user.encode()
                      and data.password == password.encode())
                return AuthResult(success=ok, handled=False)

            options.update(auth_required=True, authenticator=check)
            factory = lambda: RecordingSMTP(handler, **options)
        elif args.cram_only:
            options.update(auth_exclude_mechanism=["LOGIN", "PLAIN"],
                           authenticator=lambda *a: AuthResult(success=False))
            factory = lambda: CramOnlySMTP(handler, **options)
        else:
            factory = lambda: RecordingSMTP(handler, **options)
        server = await loop.create_server(factory, "127.0.0.1", 0)

    emit_port = server.sockets[0].getsockname()[1]
    sys.stdout.write(f"PORT {emit_port}\n")
    sys.stdout.flush()
    await asyncio.Event().wait()


if __name__ == "__main__":
    asyncio.run(main())
