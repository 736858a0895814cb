"""The native program by keys alone, as a screen reader has it.

journey.py PROGRAM   what AT-SPI tells a reader: the names, and each new
                     answer, figure and station told once

Run by scripts/test/a11y-test.sh, in a desktop session of its own.
"""
import collections, subprocess, sys
import pyatspi
from gi.repository import GLib

GUARD = 30  # seconds: only a hung program or reader takes this long
LAUNCHER = ["Charge Delta Calculator", "Station Current Finder", "Tessary Lookup", "Token Collection Table"]
# Each step: the keys; the focus they leave (role, name) where they open or
# close a dialog, else None (keys after a window changes wait for its focus);
# and the news they bring: the labels' new names (answers and figures, read
# as shown), and the stations picked in a closed list.
STEPS = [
    (["Tab", "Tab", "space"], ("text", "Tessary Number"), [], []),
    (["6", "1", "Return"], None, ["Crossharbour & London Arena"], []),
    (["Return", "Escape"], ("push button", "Tessary Lookup"), [], []),  # the same question tells nothing
    (["shift+Tab", "space"], ("text", "Current"), [], []),
    (["4", "Return"], None, ["Covent Garden\nGoodge Street\n"], []),
    (["Escape"], ("push button", "Station Current Finder"), [], []),
    (["shift+Tab", "space"], ("combo box", "From"), [], []),
    (["Home"], None, ["From current 63"], ["Acton Town"]),
    (["Tab"], ("combo box", "To"), [], []),
    (["Home"], None, ["To current 63", "Delta +0"], ["Acton Town"]),
    (["Down"], None, ["To current 32", "Delta -31"], ["Aldgate"]),
    (["Home"], None, ["To current 63", "Delta +0"], ["Acton Town"]),
    (["Escape"], ("push button", "Charge Delta Calculator"), [], []),
]


def fail(message):
    print("FAIL:", message, flush=True)
    sys.exit(1)


def wait(condition, what):
    """Runs the event loop until condition() holds; fails after GUARD seconds."""
    expired = []
    guard = GLib.timeout_add_seconds(GUARD, lambda: expired.append(True))
    while not condition():
        if expired:
            fail(f"{what}: not within {GUARD} s")
        GLib.MainContext.default().iteration(True)
    if not expired:
        GLib.source_remove(guard)


def press(keys):
    subprocess.run(["xdotool", "key", "--clearmodifiers", *keys], check=True)


def find(root, role, name):
    return pyatspi.findDescendant(root, lambda a: a.getRoleName() == role and a.name == name) or \
        fail(f"no {role} named {name!r}")


def labelled_by(acc):
    return [r.getTarget(i).name for r in acc.getRelationSet()
            if r.getRelationType() == pyatspi.RELATION_LABELLED_BY for i in range(r.getNTargets())]


class Reader:
    """What the program tells a reader, noted as it comes: ("name", role,
    text, source) for a new name, ("spoken", ...) for what a reader speaks
    wherever the focus is: an announcement, or a notification shown."""

    def __init__(self):
        self.news, self.focus = [], None
        # As Orca does, it listens for value changes too: only then does Qt
        # tell of a list's new name.
        for kind in ("object:property-change:accessible-name", "object:state-changed:showing",
                     "object:state-changed:focused", "object:announcement", "object:value-changed"):
            pyatspi.Registry.registerEventListener(self.note, kind)

    def note(self, event):
        try:
            if event.host_application.name != "tarrowby":
                return
            role, name = event.source.getRoleName(), event.source.name
        except Exception:  # gone already
            return
        text = event.any_data if isinstance(event.any_data, str) else name
        if event.type == "object:state-changed:focused":
            self.focus = (role, name) if event.detail1 else self.focus
        elif event.type == "object:announcement" or (event.type == "object:state-changed:showing"
                                                      and role == "notification" and event.detail1):
            self.news.append(("spoken", role, text, event.source))
        elif event.type == "object:property-change:accessible-name":
            self.news.append(("name", role, text, event.source))

    def settle(self, app):
        """Notes all the program sent before now: it answers a call only
        after the signals it sent before it."""
        app.getChildAtIndex(0).queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        while GLib.MainContext.default().pending():
            GLib.MainContext.default().iteration(False)


def check_step(step, got, dialog, later_readers):
    keys, focus, names, stations = step
    what = " ".join(keys)
    labels = [(t, s) for k, r, t, s in got if k == "name" and r == "label"]
    most = max(collections.Counter(s for _, s in labels).values(), default=0)
    if most > 1:
        fail(f"{what}: a label told of {most} new names")
    # A dialog that opens names its labels once each, as they stand.
    fixed = {a.name for a in pyatspi.findAllDescendants(dialog, lambda a: a.getRoleName() == "label")} \
        if dialog else set()
    told = {"name": sorted(t for t, _ in labels if t not in fixed or t in names)
            + sorted(t for k, r, t, _ in got if k == "name" and r == "combo box" and t in stations),
            "spoken": sorted(t for k, _, t, _ in got if k == "spoken")}
    want = {"name": sorted(names) + sorted(stations),
            "spoken": sorted(names + ([] if later_readers else stations))}
    for kind in told:
        if told[kind] != want[kind]:
            fail(f"{what}: {kind} {told[kind]}, not once each of {want[kind]}")


def check_atspi(program):
    reader = Reader()
    with subprocess.Popen([program]) as proc:
        try:
            drive(reader, proc)
        finally:
            proc.terminate()


def drive(reader, proc):
    desktop = pyatspi.Registry.getDesktop(0)
    apps = lambda: [a for a in desktop if a and a.name == "tarrowby"]
    wait(lambda: apps() and reader.focus == ("push button", LAUNCHER[0]), "the launcher's first button")
    app = apps()[0]
    buttons = [b.name for b in pyatspi.findAllDescendants(app, lambda a: a.getRoleName() == "push button")]
    if buttons != LAUNCHER:
        fail(f"the launcher's buttons are {buttons}")
    # Qt 6.8 announces; a reader of its time speaks a closed list's new name.
    later = tuple(int(p) for p in app.toolkitVersion.split(".")[:2]) >= (6, 8)
    for step in STEPS:
        keys, focus, names, stations = step
        start, reader.focus = len(reader.news), None
        press(keys)
        news = [("label", n) for n in names] + [("combo box", s) for s in stations]
        wait(lambda: reader.focus == focus if focus else
             all(n in [(r, t) for k, r, t, _ in reader.news[start:] if k == "name"] for n in news),
             f"{' '.join(keys)}: {focus or news}")
        reader.settle(app)
        focused = find(app, *focus) if focus else None
        dialog = pyatspi.findAncestor(focused, lambda a: a.getRoleName() == "dialog") if focus else None
        check_step(step, reader.news[start:], dialog, later)
        if focus == ("combo box", "From"):
            for figure in ("From current", "To current", "Delta"):
                find(dialog, "label", figure)
            for side in ("From", "To"):
                if labelled_by(find(dialog, "combo box", side)) != [side]:
                    fail(f"the {side} list is not labelled {side}")
        print("ok:", " ".join(keys), "->", focus or names + stations, flush=True)
    press(["Escape"])  # the launcher closes: the program ends
    proc.wait(GUARD)


if __name__ == "__main__":
    check_atspi(sys.argv[-1])
