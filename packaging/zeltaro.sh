#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the installed program. Without a display it runs headless; reach it with telnet.
exec /usr/lib/zeltaro/zeltaro "$@"
