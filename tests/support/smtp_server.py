#!/usr/bin/env python3
"""A real SMTP server for the mail tests, listening on a free loopback port.

    smtp_server.py OUT_DIR [--user U --password P] [--mode accept|refuse|drop]

Prints "PORT <n>" once it listens. Every message it accepts becomes
OUT_DIR/NNNN.eml (the bytes received) and OUT_DIR/NNNN.json: the envelope,
the login used (null without AUTH), the decoded headers and every leaf part
(content type, charset, disposition, file name, Content-ID, decoded text of
text parts, hex of the decoded bytes of the others).
--user makes authentication required. --mode refuse answers DATA with 554,
--mode drop closes the connection when the message arrives.
"""
import argparse
import asyncio
import email
import email.header
import email.policy
import json
import logging
import os
import sys
import warnings

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


def decoded(value):
    if value is None:
        return None
    return str(email.header.make_header(email.header.decode_header(value)))


class Recorder:
    def __init__(self, out_dir, mode):
        self.out_dir = out_dir
        self.mode = mode
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        if self.mode == "refuse":
            return "554 5.7.1 Message refused"
        if self.mode == "drop":
            server.transport.abort()
            return "250 OK"
        self.count += 1
        base = os.path.join(self.out_dir, "%04d" % self.count)
        raw = envelope.original_content or envelope.content
        msg = email.message_from_bytes(raw, policy=email.policy.compat32)
        parts = []
        for part in msg.walk():
            if part.is_multipart():
                continue
            payload = part.get_payload(decode=True) or b""
            entry = {
                "type": part.get_content_type(),
                "charset": part.get_content_charset(),
                "disposition": (part.get("Content-Disposition") or "").split(";")[0].strip(),
                "filename": part.get_filename(),
                "content_id": part.get("Content-ID"),
                "encoding": part.get("Content-Transfer-Encoding"),
            }
            if part.get_content_maintype() == "text":
                entry["text"] = payload.decode(part.get_content_charset() or "latin-1", "replace")
            else:
                entry["hex"] = payload.hex()
            parts.append(entry)
        auth = session.auth_data
        summary = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "auth_user": auth.decode() if isinstance(auth, bytes) else auth,
            "headers": {k: decoded(v) for k, v in msg.items()},
            "content_type": msg.get_content_type(),
            "parts": parts,
        }
        with open(base + ".eml", "wb") as f:
            f.write(raw)
        with open(base + ".json.tmp", "w") as f:
            json.dump(summary, f)
        os.rename(base + ".json.tmp", base + ".json")
        return "250 OK"


def authenticator_for(user, password):
    def authenticate(server, session, envelope, mechanism, auth_data):
        if (isinstance(auth_data, LoginPassword) and user is not None
                and auth_data.login == user.encode() and auth_data.password == password.encode()):
            return AuthResult(success=True, auth_data=auth_data.login.decode())
        return AuthResult(success=False, handled=False)
    return authenticate


async def main():
    warnings.simplefilter("ignore")
    logging.disable(logging.CRITICAL)
    ap = argparse.ArgumentParser()
    ap.add_argument("out_dir")
    ap.add_argument("--user")
    ap.add_argument("--password", default="")
    ap.add_argument("--mode", default="accept", choices=["accept", "refuse", "drop"])
    args = ap.parse_args()
    recorder = Recorder(args.out_dir, args.mode)
    loop = asyncio.get_running_loop()
    server = await loop.create_server(
        lambda: SMTP(recorder, authenticator=authenticator_for(args.user, args.password),
                     auth_required=args.user is not None, auth_require_tls=False),
        "127.0.0.1", 0)
    print("PORT %d" % server.sockets[0].getsockname()[1], flush=True)
    await server.serve_forever()


if __name__ == "__main__":
    try:
        asyncio.run(main())
    except KeyboardInterrupt:
        sys.exit(0)
