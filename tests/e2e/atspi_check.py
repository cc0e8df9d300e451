#!/usr/bin/python3
"""Reads the running editor as a screen reader does, through AT-SPI, and
presses its Quickload picture. Exits non-zero, saying why, when something a
screen reader needs is missing. Usage: atspi_check.py EXPECTED_TEXT"""
import sys
import time

import pyatspi

APP = "Orbitane Heraldpad"


def wait(what, seconds, probe):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = probe()
        if found:
            return found
        time.sleep(0.2)
    sys.exit(f"not seen within {seconds} s: {what}")


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == APP:
            return app
    return None


def named(app, name, role):
    return pyatspi.findDescendant(
        app, lambda a: a is not None and a.name == name and a.getRole() == role)


def text_of(accessible):
    text = accessible.queryText()
    return text.getText(0, text.characterCount)


app = wait("the application on the accessibility bus", 20, application)
for name in ("Quickload news.txt", "Quicksave"):
    button = wait(f"push button {name!r}", 10,
                  lambda: named(app, name, pyatspi.ROLE_PUSH_BUTTON))
    action = button.queryAction()
    actions = [action.getName(i).lower() for i in range(action.nActions)]
    if "press" not in actions:
        sys.exit(f"{name!r} cannot be pressed; its actions: {actions}")
news = wait("the text area 'News text'", 10, lambda: named(app, "News text", pyatspi.ROLE_TEXT))
wait("the info box 'Info'", 10, lambda: named(app, "Info", pyatspi.ROLE_TEXT))

quickload = named(app, "Quickload news.txt", pyatspi.ROLE_PUSH_BUTTON).queryAction()
quickload.doAction([quickload.getName(i).lower() for i in range(quickload.nActions)].index("press"))
wait("the quick file's text in the text area", 10, lambda: sys.argv[1] in text_of(news))
