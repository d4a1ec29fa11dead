#!/usr/bin/python3
"""Screenshot of the demo window after a search, or of its key table, for the README.

Usage: screenshot.py DEMO LANGUAGE OUTPUT.png FRAMEBUFFER [table]
Run it through screenshot.sh, which starts the virtual X server whose framebuffer file it reads and
the session bus through which it presses "查找模块" (or "Find module"), then "键值表…" ("Key table…").
"""
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "a11y"))
import audit  # noqa: E402
from audit import Atspi  # noqa: E402
from framebuffer import framebuffer_rows, write_png  # noqa: E402

FIND_MODULE = {"zh": "查找模块", "en": "Find module"}
KEY_TABLE = {"zh": "键值表…", "en": "Key table…"}
KEY_TABLE_WINDOW = {"zh": "键值表", "en": "Key table"}


def key_table_window(app, window, language):
    button = audit.find(window, Atspi.Role.PUSH_BUTTON, KEY_TABLE[language])
    Atspi.Action.do_action(button, 0)

    def table():
        return next((child for child in audit.children(app)
                     if audit.showing(child) and child.get_name() == KEY_TABLE_WINDOW[language]), None)

    return audit.wait_for("the key table", table)


def main(demo, language, output, framebuffer, shown="window"):
    os.environ["TAVRIN_LANG"] = language
    process, app = audit.start_demo(demo)
    try:
        window = audit.main_window(app)
        button = audit.wait_for("the search button", lambda: audit.find(window, Atspi.Role.PUSH_BUTTON,
                                                                          FIND_MODULE[language]))
        Atspi.Action.do_action(button, 0)
        time.sleep(1.5)
        if shown == "table":
            window = key_table_window(app, window, language)
            time.sleep(1.5)
        box = Atspi.Component.get_extents(window, Atspi.CoordType.SCREEN)
        write_png(output, box.width, box.height, framebuffer_rows(framebuffer, box.x, box.y, box.width, box.height))
    finally:
        process.terminate()


if __name__ == "__main__":
    main(*sys.argv[1:6])
