#!/usr/bin/python3
"""Listens as a screen reader does, through AT-SPI, for a notification of the
editor that shows with the expected text. Writes READY_FILE once it listens;
exits non-zero, saying why, when none comes within the time.
Usage: atspi_notice.py EXPECTED_TEXT READY_FILE SECONDS"""
import sys

import pyatspi
from gi.repository import GLib

expected, ready, seconds = sys.argv[1], sys.argv[2], int(sys.argv[3])
heard = []


def on_showing(event):
    try:
        if (event.detail1 == 1 and event.source.getRole() == pyatspi.ROLE_NOTIFICATION):
            heard.append(event.source.name)
            if event.source.name == expected:
                pyatspi.Registry.stop()
    except Exception as error:  # an object gone meanwhile
        heard.append(f"<{error}>")


def give_up():
    pyatspi.Registry.stop()
    return False


def listening():
    with open(ready, "w") as f:
        f.write("listening\n")
    return False


pyatspi.Registry.registerEventListener(on_showing, "object:state-changed:showing")
GLib.timeout_add(500, listening)
GLib.timeout_add_seconds(seconds, give_up)
pyatspi.Registry.start()
if expected not in heard:
    sys.exit(f"no notification {expected!r} within {seconds} s; heard: {heard}")
