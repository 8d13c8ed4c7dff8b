#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A radio on the far end of a pty pair.

Creates the pty, points the symlink given on the command line at its device, prints "READY",
then reads what arrives as the radio of the family would: CI-V frames (FE FE ... FD), five-byte
binary commands, or text commands ending in ";". Each command is printed as one line:
its bytes in hexadecimal, then the line settings the program gave the port at that moment
(speed, framing, flow control), for example "FEFE6E500600FD 9600 8N1 none".

With --hold the radio also holds the device itself, as another program would (an exclusive
open and an flock lock), so that a second opener is refused.
"""
import argparse
import fcntl
import os
import select
import sys
import termios

SPEEDS = {termios.B4800: 4800, termios.B9600: 9600, termios.B19200: 19200,
          termios.B38400: 38400}


def line_settings(fd):
    _, _, cflag, _, _, ospeed, _ = termios.tcgetattr(fd)
    iflag = termios.tcgetattr(fd)[0]
    size = {termios.CS5: 5, termios.CS6: 6, termios.CS7: 7, termios.CS8: 8}[cflag & termios.CSIZE]
    parity = "N" if not cflag & termios.PARENB else ("O" if cflag & termios.PARODD else "E")
    stop = 2 if cflag & termios.CSTOPB else 1
    flow = [name for name, on in (("crtscts", cflag & termios.CRTSCTS),
                                  ("ixon", iflag & termios.IXON),
                                  ("ixoff", iflag & termios.IXOFF)) if on]
    return "%s %d%s%d %s" % (SPEEDS.get(ospeed, ospeed), size, parity, stop,
                             ",".join(flow) or "none")


def frames(family, buf):
    """Splits complete commands off buf; returns (commands, rest)."""
    out = []
    while True:
        if family == "icom":
            start = buf.find(b"\xfe\xfe")
            end = buf.find(b"\xfd", start + 2) if start >= 0 else -1
            if end < 0:
                return out, buf
            out.append(buf[start:end + 1])
            buf = buf[end + 1:]
        elif family == "yaesu":
            if len(buf) < 5:
                return out, buf
            out.append(buf[:5])
            buf = buf[5:]
        else:
            end = buf.find(b";")
            if end < 0:
                return out, buf
            out.append(buf[:end + 1])
            buf = buf[end + 1:]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("link")
    ap.add_argument("--family", choices=("icom", "yaesu", "text"), default="icom")
    ap.add_argument("--hold", action="store_true")
    args = ap.parse_args()

    master, slave = os.openpty()
    name = os.ttyname(slave)
    if args.hold:
        fcntl.flock(slave, fcntl.LOCK_EX | fcntl.LOCK_NB)
        fcntl.ioctl(slave, termios.TIOCEXCL)
    tmp = args.link + ".new"
    if os.path.lexists(tmp):
        os.unlink(tmp)
    os.symlink(name, tmp)
    os.replace(tmp, args.link)
    print("READY", flush=True)

    buf = b""
    while True:
        ready, _, _ = select.select([master, sys.stdin], [], [])
        if sys.stdin in ready and not sys.stdin.readline():
            return  # the test has gone
        if master in ready:
            try:
                data = os.read(master, 4096)
            except OSError:
                continue
            buf += data
            cmds, buf = frames(args.family, buf)
            for c in cmds:
                print("%s %s" % (c.hex().upper(), line_settings(master)), flush=True)


if __name__ == "__main__":
    main()
