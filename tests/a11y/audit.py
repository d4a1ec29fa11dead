#!/usr/bin/python3
"""Black-box accessibility audit of the Tavrin demo window over AT-SPI.

Starts the demo given on the command line, finds its window in the accessibility tree and checks,
on the main window with each of its pages shown in turn, that every visible control has a name a
screen reader can speak. Then it presses "查找模块" through the button's accessibility action and
reads the module list that the search fills, and opens the key table beside the window and checks
its names and rows. Run it through run_audit.sh, which provides the X
server, the session bus and the accessibility bus.
"""
import subprocess
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

# The roles of what a user operates; frames, panels and labels only hold or describe controls.
CONTROL_ROLES = {
    Atspi.Role.PUSH_BUTTON, Atspi.Role.TOGGLE_BUTTON, Atspi.Role.CHECK_BOX, Atspi.Role.RADIO_BUTTON,
    Atspi.Role.COMBO_BOX, Atspi.Role.TEXT, Atspi.Role.ENTRY, Atspi.Role.SPIN_BUTTON, Atspi.Role.SLIDER,
    Atspi.Role.LIST, Atspi.Role.LIST_BOX, Atspi.Role.LIST_ITEM, Atspi.Role.PAGE_TAB, Atspi.Role.PAGE_TAB_LIST,
    Atspi.Role.MENU_ITEM, Atspi.Role.TABLE, Atspi.Role.TREE,
}
# Labels of controls that are never shown; they must stay out of what a screen reader presents.
HIDDEN_LABELS = ("模式", "波特率", "触发电平")
FIND_MODULE = "查找模块"
MODULE_LABEL = "模块"
KEY_LABEL = "按键"
WRITE_KEY = "键值写入"
KEY_TABLE = "键值表…"
KEY_TABLE_WINDOW = "键值表"
KEY_TABLE_COLUMNS = ["按键", "模块", "本次写入", "文件", "差异"]
TIMEOUT = 20.0


class AuditFailure(Exception):
    pass


def wait_for(what, probe, timeout=TIMEOUT):
    deadline = time.monotonic() + timeout
    while True:
        result = probe()
        if result:
            return result
        if time.monotonic() > deadline:
            raise AuditFailure(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(0.1)


def children(node):
    found = (node.get_child_at_index(i) for i in range(node.get_child_count()))
    return [child for child in found if child is not None]


def has_state(node, state):
    return node.get_state_set().contains(state)


def showing(node):
    return has_state(node, Atspi.StateType.SHOWING) and has_state(node, Atspi.StateType.VISIBLE)


def describe(node):
    return f"{node.get_role_name()} '{node.get_name()}'"


def walk(node, only_showing, path=()):
    """(node, path) for everything below node; with only_showing, hidden subtrees are left out."""
    for child in children(node):
        if only_showing and not showing(child):
            continue
        child_path = path + (describe(child),)
        yield child, child_path
        yield from walk(child, only_showing, child_path)


def find(root, role, name, only_showing=True):
    for node, _ in walk(root, only_showing):
        if node.get_role() == role and node.get_name() == name:
            return node
    return None


def labelled_by(node, label):
    for relation in node.get_relation_set():
        if relation.get_relation_type() != Atspi.RelationType.LABELLED_BY:
            continue
        if any(relation.get_target(i).get_name() == label for i in range(relation.get_n_targets())):
            return True
    return False


def press(node, action_name):
    with warnings.catch_warnings():
        # The only call for an action's own name that this libatspi offers is marked deprecated.
        warnings.simplefilter("ignore", DeprecationWarning)
        names = [Atspi.Action.get_action_name(node, i) for i in range(Atspi.Action.get_n_actions(node))]
    if action_name not in names:
        raise AuditFailure(f"{describe(node)} offers no action '{action_name}' (it offers {names})")
    Atspi.Action.do_action(node, names.index(action_name))


def start_demo(demo):
    process = subprocess.Popen([demo])

    def application():
        if process.poll() is not None:
            raise AuditFailure(f"{demo} ended with {process.returncode} before it showed its window")
        desktop = Atspi.get_desktop(0)
        for app in children(desktop):
            if app.get_process_id() == process.pid:
                return app
        return None

    app = wait_for("the demo on the accessibility bus", application)
    # Every question goes to the program itself; nothing stale from a cache.
    app.set_cache_mask(Atspi.Cache.NONE)
    return process, app


def main_window(app):
    def window():
        for child in children(app):
            if showing(child) and tab_list(child) is not None:
                return child
        return None

    return wait_for("the main window with its tabs", window)


def tab_list(window):
    return next((node for node, _ in walk(window, True) if node.get_role() == Atspi.Role.PAGE_TAB_LIST), None)


def audit_names(window, where, problems):
    controls = 0
    for node, path in walk(window, only_showing=True):
        if node.get_role() not in CONTROL_ROLES:
            continue
        controls += 1
        if not node.get_name().strip():
            problems.append(f"{where}: {' > '.join(path)} has no name")
    for label in HIDDEN_LABELS:
        if find(window, Atspi.Role.LABEL, label) is not None:
            problems.append(f"{where}: the hidden label '{label}' is presented")
    return controls


def audit_pages(window, problems):
    tabs = [tab for tab in children(tab_list(window)) if tab.get_role() == Atspi.Role.PAGE_TAB]
    if len(tabs) != 3:
        problems.append(f"expected the three key pages, found tabs {[tab.get_name() for tab in tabs]}")
    for tab in tabs:
        title = tab.get_name()
        press(tab, "Press")
        wait_for(f"the page '{title}' to be shown", lambda: find(window, Atspi.Role.FILLER, title))
        controls = audit_names(window, f"page '{title}'", problems)
        print(f"page '{title}' with the main window: {controls} visible controls")
        if controls == 0:
            problems.append(f"page '{title}': no visible control found")


def labelled_combo(window, label):
    for node, _ in walk(window, only_showing=True):
        if node.get_role() == Atspi.Role.COMBO_BOX and labelled_by(node, label):
            return node
    raise AuditFailure(f"no combo box labelled '{label}'")


def combo_items(combo):
    return [node.get_name() for node, _ in walk(combo, only_showing=False) if node.get_role() == Atspi.Role.LIST_ITEM]


def audit_find_module(window, problems):
    button = find(window, Atspi.Role.PUSH_BUTTON, FIND_MODULE)
    if button is None:
        raise AuditFailure(f"no button '{FIND_MODULE}'")
    modules = labelled_combo(window, MODULE_LABEL)
    press(button, "Press")
    found = wait_for("the module list to be filled", lambda: [item for item in combo_items(modules) if item])
    print(f"module list after '{FIND_MODULE}': {found}")
    if len(found) != 1 or modules.get_name() != found[0]:
        problems.append(f"the module list holds {combo_items(modules)} and shows '{modules.get_name()}'")
    keys = combo_items(labelled_combo(window, KEY_LABEL))
    if not keys or keys != [f"KEY-{n}" for n in range(1, len(keys) + 1)]:
        problems.append(f"the key list holds {keys}")
    write_key = find(window, Atspi.Role.PUSH_BUTTON, WRITE_KEY)
    if write_key is None or not has_state(write_key, Atspi.StateType.ENABLED):
        problems.append(f"'{WRITE_KEY}' is not enabled after the module was found")


def audit_key_table(app, window, problems):
    button = find(window, Atspi.Role.PUSH_BUTTON, KEY_TABLE)
    if button is None:
        raise AuditFailure(f"no button '{KEY_TABLE}'")
    press(button, "Press")

    def table_window():
        return next((child for child in children(app) if showing(child) and child.get_name() == KEY_TABLE_WINDOW), None)

    shown = wait_for("the key table", table_window)
    controls = audit_names(shown, "key table", problems)
    print(f"key table: {controls} visible controls")
    table = next((node for node, _ in walk(shown, True) if node.get_role() == Atspi.Role.TABLE), None)
    if table is None:
        raise AuditFailure("the key table shows no table")
    columns = [Atspi.Table.get_column_description(table, i) for i in range(Atspi.Table.get_n_columns(table))]
    rows = Atspi.Table.get_n_rows(table)
    print(f"key table: columns {columns}, {rows} rows")
    if columns != KEY_TABLE_COLUMNS:
        problems.append(f"the key table's columns are {columns}")
    # The module's eight keys after the search, then the two parameters.
    if rows != 8 + 2:
        problems.append(f"the key table has {rows} rows")


def main(demo):
    Atspi.init()
    Atspi.set_timeout(10000, 30000)
    process, app = start_demo(demo)
    try:
        window = main_window(app)
        problems = []
        audit_pages(window, problems)
        audit_find_module(window, problems)
        audit_names(window, "main window after the search", problems)
        audit_key_table(app, window, problems)
    finally:
        process.terminate()
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
    for problem in problems:
        print(f"FAILED: {problem}")
    return 1 if problems else 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: audit.py <tavrin-demo>")
    try:
        sys.exit(main(sys.argv[1]))
    except AuditFailure as failure:
        print(f"FAILED: {failure}")
        sys.exit(1)
