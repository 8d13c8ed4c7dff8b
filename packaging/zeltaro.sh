#!/bin/sh
# Starts the installed program. Without a display it runs headless; reach it with telnet.
exec /usr/lib/zeltaro/zeltaro "$@"
