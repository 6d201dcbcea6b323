#!/usr/bin/python3
"""Reads the real window through the accessibility bus as a screen reader does.

Run with the program and a folder of PDFs as arguments. Starts an X server (on a display
number of its own choosing, so runs side by side never meet), a private session bus, the
accessibility bus and a window manager of its own, starts the program on
three PDFs and checks, through AT-SPI, the job grid (a table with headers, cell texts and
check boxes), the option tree (rows named by label, describing their value), the progress
bars' values, the menu bar's items and the names of the buttons. Then it drives Ctrl+Tab and
Ctrl+Shift+Tab with real key events and follows the focus. Any failure, a bus that cannot
start included, ends it with a non-zero status.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time


def fail(message):
    raise AssertionError(message)


def wait_for(what, probe, seconds=15.0):
    deadline = time.monotonic() + seconds
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            fail("timed out waiting for " + what)
        time.sleep(0.1)


class Session:
    """The processes of one run, ended in reverse order of their start."""

    def __init__(self, home):
        self.home = home
        self.processes = []
        self.env = dict(os.environ)
        for name, folder in (("XDG_CONFIG_HOME", "config"), ("XDG_CACHE_HOME", "cache"),
                             ("XDG_RUNTIME_DIR", "runtime"), ("XDG_STATE_HOME", "state"),
                             ("HOME", "home")):
            path = os.path.join(home, folder)
            os.makedirs(path, mode=0o700)
            self.env[name] = path
        self.env.pop("AT_SPI_BUS_ADDRESS", None)

    def start(self, arguments, **options):
        process = subprocess.Popen(arguments, env=self.env, **options)
        self.processes.append(process)
        return process

    def start_display(self):
        server = self.start(["Xvfb", "-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        number = server.stdout.readline().strip()
        if not number:
            fail("the X server did not start")
        self.env["DISPLAY"] = ":" + number
        self.env.pop("XAUTHORITY", None)
        self.env.pop("WAYLAND_DISPLAY", None)

    def start_buses(self):
        bus = self.start(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        address = bus.stdout.readline().strip()
        if not address:
            fail("the session bus did not start")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address
        self.start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                   stderr=subprocess.DEVNULL)
        wait_for("the accessibility bus", self.accessibility_bus_answers)

    def accessibility_bus_answers(self):
        reply = subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
                                "/org/a11y/bus", "org.a11y.Bus.GetAddress"],
                               env=self.env, capture_output=True, text=True)
        return reply.returncode == 0 and "unix:" in reply.stdout

    def close(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()


def application_of(pyatspi, pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        app = desktop.getChildAtIndex(index)
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def descendants(pyatspi, root, role):
    return pyatspi.findAllDescendants(root, lambda node: node.getRole() == role)


def one(pyatspi, root, role, name=None):
    found = [node for node in descendants(pyatspi, root, role) if name is None or node.name == name]
    if len(found) != 1:
        fail("expected one %s named %r, found %s" % (pyatspi.Role(role), name, [n.name for n in found]))
    return found[0]


def states(node):
    return node.getState()


def check_grid(pyatspi, app, pdfs):
    table = one(pyatspi, app, pyatspi.ROLE_TABLE, "Jobs")
    grid = table.queryTable()
    print("grid: table %r, %d rows x %d columns" % (table.name, grid.nRows, grid.nColumns))
    if grid.nRows != len(pdfs):
        fail("the grid shows %d rows for %d files" % (grid.nRows, len(pdfs)))
    headers = [grid.getColumnDescription(column) for column in range(grid.nColumns)]
    print("  headers:", headers)
    if headers[1:6] != ["File Name", "File Size", "Creation Date", "Owner Password", "User Password"]:
        fail("unexpected column headers %s" % headers)
    header = grid.getColumnHeader(1)
    if header is None or header.name != "File Name" or header.getRole() != pyatspi.ROLE_TABLE_COLUMN_HEADER:
        fail("column 1 has no header cell named File Name")
    names = [grid.getAccessibleAt(row, 1).name for row in range(grid.nRows)]
    print("  file names:", names)
    if sorted(names) != sorted(os.path.basename(pdf) for pdf in pdfs):
        fail("the name cells read %s" % names)

    check = grid.getAccessibleAt(0, 0)
    print("  row 0 check box: %s, checked=%s, actions %s" % (
        check.getRoleName(), states(check).contains(pyatspi.STATE_CHECKED),
        [check.queryAction().getName(i) for i in range(check.queryAction().nActions)]))
    if check.getRole() != pyatspi.ROLE_CHECK_BOX or not states(check).contains(pyatspi.STATE_CHECKED):
        fail("a new job's check box does not read as a checked check box")
    toggle(check)
    wait_for("the check box to read as cleared", lambda: not states(check).contains(pyatspi.STATE_CHECKED))
    toggle(check)
    wait_for("the check box to read as checked", lambda: states(check).contains(pyatspi.STATE_CHECKED))
    if grid.getAccessibleAt(0, 4).name != "":
        fail("an empty password cell reads %r" % grid.getAccessibleAt(0, 4).name)


def toggle(node):
    actions = node.queryAction()
    for index in range(actions.nActions):
        if actions.getName(index) == "Toggle":
            actions.doAction(index)
            return
    fail("%r offers no Toggle action" % node.name)


def check_options(pyatspi, app):
    tree = one(pyatspi, app, pyatspi.ROLE_TREE, "Option list")
    # Qt's bridge gives tree rows the role of table cells, as for its own tree views.
    row_roles = (pyatspi.ROLE_TREE_ITEM, pyatspi.ROLE_TABLE_CELL)
    rows = pyatspi.findAllDescendants(tree, lambda node: node.getRole() in row_roles)
    categories = [tree.getChildAtIndex(index) for index in range(tree.childCount)]
    print("options: tree %r, categories %s, %d rows" % (
        tree.name, [row.name for row in categories if row.getRole() in row_roles], len(rows)))
    for row in rows[:5]:
        print("  %r = %r" % (row.name, row.description))
    named = [row for row in rows if row.name == "Text Encoding"]
    if len(named) != 1:
        fail("%d option rows named Text Encoding" % len(named))
    encoding = named[0]
    print("  %r = %r, under %r" % (encoding.name, encoding.description, encoding.parent.name))
    if encoding.description != "Latin1":
        fail("Text Encoding reads %r" % encoding.description)
    if encoding.parent.name != "Output Options" or encoding.parent.parent.name != "Option list":
        fail("Text Encoding is not under its category row")
    names = [node.name for node in pyatspi.findAllDescendants(tree, lambda node: True)]
    if "Yes" in names or "Latin1" in names:
        fail("the option tree shows objects named by their value: %s" % names)


def check_bars(pyatspi, app):
    bars = {bar.name: bar for bar in descendants(pyatspi, app, pyatspi.ROLE_PROGRESS_BAR)}
    for name in ("Current", "Total"):
        if name not in bars:
            fail("no progress bar named %s among %s" % (name, list(bars)))
        value = bars[name].queryValue()
        print("bar %r: %g of %g..%g, %r" % (name, value.currentValue, value.minimumValue, value.maximumValue,
                                           bars[name].description))
        if (value.currentValue, value.minimumValue, value.maximumValue) != (0, 0, 100):
            fail("the %s bar reads %g of %g..%g" % (name, value.currentValue, value.minimumValue,
                                                     value.maximumValue))
        if bars[name].description != "Waiting for converting.":
            fail("the %s bar reads %r" % (name, bars[name].description))


def check_menus_and_buttons(pyatspi, app):
    bar = one(pyatspi, app, pyatspi.ROLE_MENU_BAR)
    items = [bar.getChildAtIndex(index) for index in range(bar.childCount)]
    titles = [item.name for item in items if item.getRole() == pyatspi.ROLE_MENU_ITEM]
    print("menu bar:", titles)
    if titles[:3] != ["File", "Edit", "Help"] and titles[:2] != ["File", "Edit"]:
        fail("the menu bar reads %s" % titles)
    buttons = [button.name for button in descendants(pyatspi, app, pyatspi.ROLE_PUSH_BUTTON)]
    print("buttons:", buttons)
    if "" in buttons or len(buttons) < 6:
        fail("unnamed buttons among %s" % buttons)


def focused_name(pyatspi, app):
    """The name of the control with the keyboard: a grid cell or an option row stands for its
    table or tree, an unnamed part (the summary's viewport) for the control holding it."""
    focused = pyatspi.findAllDescendants(app, lambda node: node.getState().contains(pyatspi.STATE_FOCUSED))
    if not focused:
        return None
    node = focused[-1]
    while node.parent is not None and (not node.name or node.getRole() in (
            pyatspi.ROLE_TABLE_CELL, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_TREE_ITEM)):
        node = node.parent
    return node.name


def press(session, keys):
    subprocess.run(["xdotool", "key", "--clearmodifiers", keys], env=session.env, check=True)


def walk(pyatspi, session, app, keys, steps):
    visited = []
    for _ in range(steps):
        before = focused_name(pyatspi, app)
        press(session, keys)
        visited.append(wait_for("the focus to leave %r after %s" % (before, visited),
                                lambda: (focused_name(pyatspi, app) != before) and focused_name(pyatspi, app),
                                5))
    return visited


class FocusEvents:
    """The focus changes the program announces, as a screen reader hears them: the name and
    role of each object that took the focus and the name of its parent. While it listens, the
    program waits for the registry at each key, so it listens only where it has to."""

    def __init__(self, pyatspi):
        from gi.repository import GLib

        self.context = GLib.MainContext.default()
        self.heard = []
        self.listener = pyatspi.Registry.registerEventListener(self.hear, "object:state-changed:focused")

    def hear(self, event):
        if event.detail1:
            source = event.source
            self.heard.append((source.name, source.getRoleName(), source.parent.name if source.parent else None))

    def after(self, press_keys, what, matches):
        del self.heard[:]
        press_keys()

        def heard_it():
            while self.context.iteration(False):
                pass
            return next((entry for entry in self.heard if matches(entry)), None)

        return wait_for(what + " (heard %s)" % self.heard, heard_it, 5)


def activate(session, pid):
    """Brings the program's window to the front once the window manager runs (it starts
    beside the program, so the first tries may come too early); true once it is active."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)], env=session.env,
                           capture_output=True, text=True)
    for window in found.stdout.split():
        try:
            subprocess.run(["xdotool", "windowactivate", "--sync", window], env=session.env,
                           capture_output=True, timeout=1)
        except subprocess.TimeoutExpired:
            continue
    active = subprocess.run(["xdotool", "getactivewindow"], env=session.env, capture_output=True, text=True)
    return active.returncode == 0 and active.stdout.strip() in found.stdout.split()


def check_control_tab(pyatspi, session, app, pid):
    wait_for("the window to be active", lambda: activate(session, pid), 15)
    wait_for("the grid to have the focus", lambda: focused_name(pyatspi, app) == "Jobs", 10)
    forward = walk(pyatspi, session, app, "ctrl+Tab", 9)
    print("Ctrl+Tab:", forward)
    if forward[-1] != "Jobs" or len(set(forward)) != 9 or "Option list" not in forward:
        fail("Ctrl+Tab does not cycle the panes: %s" % forward)
    backward = walk(pyatspi, session, app, "ctrl+shift+Tab", 9)
    print("Ctrl+Shift+Tab:", backward)
    if backward != list(reversed(forward[:-1])) + ["Jobs"]:
        fail("Ctrl+Shift+Tab does not walk back: %s" % backward)


def check_focus_events(pyatspi, session, events):
    """A screen reader hears which cell and which option row the arrow keys reach."""
    cell = events.after(lambda: press(session, "Down"), "a focus event from a grid cell",
                        lambda entry: entry[2] == "Jobs")
    print("Down in the grid: heard %r (%s) in %r" % cell)
    press(session, "ctrl+shift+Tab")
    row = events.after(lambda: press(session, "Down"), "a focus event from an option row",
                       lambda entry: entry[1] in ("table cell", "tree item") and entry[0])
    print("Down in the options: heard %r (%s) under %r" % row)


def check_option_editor(pyatspi, session, app):
    """The row's Press action opens its editor, which a screen reader names by the row."""
    tree = one(pyatspi, app, pyatspi.ROLE_TREE, "Option list")
    encoding = next(row for row in pyatspi.findAllDescendants(tree, lambda node: node.name == "Text Encoding"))
    actions = encoding.queryAction()
    names = [actions.getName(index) for index in range(actions.nActions)]
    actions.doAction(names.index("Press"))
    combo = wait_for("the open editor to have the focus", lambda: pyatspi.findDescendant(
        tree, lambda node: node.getRole() == pyatspi.ROLE_COMBO_BOX and node.getState().contains(
            pyatspi.STATE_FOCUSED)))
    labels = [relation.getTarget(index).name for relation in combo.getRelationSet()
              if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
              for index in range(relation.getNTargets())]
    print("editor: %s %r labelled by %s" % (combo.getRoleName(), combo.name, labels))
    if labels != ["Text Encoding"] or combo.name != "Latin1":
        fail("the open editor reads %r labelled by %s" % (combo.name, labels))
    press(session, "Escape")
    wait_for("the editor to close", lambda: not combo.getState().contains(pyatspi.STATE_SHOWING))


def check_batch(pyatspi, session, app):
    """F5 converts the three files; the bars read their ends and the lower one its last text."""
    bars = {bar.name: bar for bar in descendants(pyatspi, app, pyatspi.ROLE_PROGRESS_BAR)}
    press(session, "F5")
    total = bars["Total"]
    wait_for("the batch to finish", lambda: total.description == "Convert Finished", 30)
    for name in ("Current", "Total"):
        value = bars[name].queryValue()
        print("after the batch, bar %r: %g of %g..%g, %r" % (
            name, value.currentValue, value.minimumValue, value.maximumValue, bars[name].description))
    value = total.queryValue()
    if value.currentValue != value.maximumValue or value.maximumValue != 3:
        fail("after three files the Total bar reads %g of %g" % (value.currentValue, value.maximumValue))


def main():
    program, samples = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as home:
        session = Session(home)
        try:
            session.start_display()
            session.start_buses()
            session.env["QT_QPA_PLATFORM"] = "xcb"
            session.env["QT_ACCESSIBILITY"] = "1"
            session.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
            os.environ.update(session.env)
            import pyatspi

            session.start(["openbox", "--sm-disable"], stderr=subprocess.DEVNULL)
            # A window mapped while the manager takes the screen over may never show.
            wait_for("the window manager", lambda: subprocess.run(
                ["xdotool", "get_desktop"], env=session.env, capture_output=True).returncode == 0)
            # No tip of the day: the window itself is to have the keyboard; and no result opened
            # in another program at the end of the batch.
            settings = os.path.join(session.env["XDG_CONFIG_HOME"], "Corvanta", "Folverin")
            os.makedirs(settings)
            with open(os.path.join(settings, "Settings.ini"), "w") as ini:
                ini.write("[Tips]\nTipOfDay=0\n[Output General]\nOpen Result=1\n")
            pdfs = []
            for name in ("two-columns.pdf", "multilingual.pdf", "document-info.pdf"):
                pdfs.append(shutil.copy(os.path.join(samples, name), os.path.join(home, name)))
            window = session.start([program, "--no-splash"] + pdfs)
            app = wait_for("the program on the accessibility bus", lambda: application_of(pyatspi, window.pid), 20)
            wait_for("three jobs in the grid", lambda: any(
                table.queryTable().nRows == 3 for table in descendants(pyatspi, app, pyatspi.ROLE_TABLE)))
            check_grid(pyatspi, app, pdfs)
            check_options(pyatspi, app)
            check_bars(pyatspi, app)
            check_menus_and_buttons(pyatspi, app)
            check_control_tab(pyatspi, session, app, window.pid)
            check_focus_events(pyatspi, session, FocusEvents(pyatspi))
            check_option_editor(pyatspi, session, app)
            check_batch(pyatspi, session, app)
            # The interfaces a tool asked for go with their widgets: the window closes cleanly.
            window.terminate()
            if window.wait(30) != 0:
                fail("the program ended with status %d" % window.returncode)
        finally:
            session.close()
    print("PASS")


if __name__ == "__main__":
    try:
        main()
    except AssertionError as error:
        print("FAIL:", error, file=sys.stderr)
        sys.exit(1)
