#!/usr/bin/python3
"""Prints the text of the editor's text area as a screen reader reads it
through AT-SPI: every character, escaped, so that line breaks of any kind
show. Usage: atspi_text.py PID"""
import json
import sys
import time

import pyatspi


def text_area(pid):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return pyatspi.findDescendant(
                app, lambda a: a is not None and a.name == "News text"
                and a.getRole() == pyatspi.ROLE_TEXT)
    return None


pid = int(sys.argv[1])
end = time.monotonic() + 20
area = None
while area is None and time.monotonic() < end:
    area = text_area(pid)
    if area is None:
        time.sleep(0.2)
if area is None:
    sys.exit("the text area 'News text' is not on the accessibility bus")
text = area.queryText()
whole = text.getText(0, -1)
print(json.dumps(whole))
print(json.dumps([text.getText(i, i + 1) for i in range(text.characterCount)]))
