"""The native program by keys alone, as a screen reader has it.

journey.py PROGRAM             what AT-SPI tells a reader: the names, and each
                               new answer, figure and station told once
journey.py --orca=LOG PROGRAM  what Orca itself says of them (its debug log)

Run by scripts/test/a11y-test.sh, in a desktop session of its own.
"""
import collections, os, pty, re, shutil, signal, subprocess, sys, tempfile, threading, tty
import pyatspi
from gi.repository import GLib

GUARD = 30  # seconds: only a hung program or reader takes this long
# A push button's role name as AT-SPI gives it: "push button" on Debian 12, "button" on 13.
BUTTON = pyatspi.Atspi.role_get_name(pyatspi.ROLE_PUSH_BUTTON)
LAUNCHER = ["Charge Delta Calculator", "Station Current Finder", "Tessary Lookup", "Token Collection Table"]
# Each step: the keys; the focus they leave (role, name) where they open or
# close a dialog, else None (keys after a window changes wait for its focus);
# and the news they bring: the labels' new names (answers and figures, read
# as shown), and the stations picked in a closed list.
STEPS = [
    (["Tab", "Tab", "space"], ("text", "Tessary Number"), [], []),
    (["6", "1", "Return"], None, ["Crossharbour & London Arena"], []),
    (["Return", "Escape"], (BUTTON, "Tessary Lookup"), [], []),  # the same question tells nothing
    (["shift+Tab", "space"], ("text", "Current"), [], []),
    (["4", "Return"], None, ["Covent Garden\nGoodge Street\n"], []),
    (["Escape"], (BUTTON, "Station Current Finder"), [], []),
    (["shift+Tab", "space"], ("combo box", "From"), [], []),
    (["Home"], None, ["From current 63"], ["Acton Town"]),
    (["Tab"], ("combo box", "To"), [], []),
    (["Home"], None, ["To current 63", "Delta +0"], ["Acton Town"]),
    (["Down"], None, ["To current 32", "Delta -31"], ["Aldgate"]),
    (["Home"], None, ["To current 63", "Delta +0"], ["Acton Town"]),
    (["Escape"], (BUTTON, "Charge Delta Calculator"), [], []),
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


def spoken(text):
    """A text as Orca's log shows it said: white space as one space, without
    the full stop Orca ends a sentence with."""
    return " ".join(text.split()).rstrip(".")


def says(utterance, text):
    """Whether an utterance says text: as it stands; a focus by its name and
    then its role where the release's Orca says one ("Tessary Number text" on
    Debian 12, "Tessary Number" on 13); a station as the list that holds it
    now ("From Acton Town combo box Acton Town" on Debian 13)."""
    return utterance == text or utterance.startswith(text + " ") or f" {text} combo box" in f" {utterance}"


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
    wait(lambda: apps() and reader.focus == (BUTTON, LAUNCHER[0]), "the launcher's first button")
    app = apps()[0]
    buttons = [b.name for b in pyatspi.findAllDescendants(app, lambda a: a.getRoleName() == BUTTON)]
    if buttons != LAUNCHER:
        fail(f"the launcher's buttons are {buttons}")
    # Qt 6.8 announces; a reader of its time speaks a closed list's new name.
    later = tuple(int(p) for p in app.toolkitVersion.split(".")[:2]) >= (6, 8)
    for step in STEPS:
        keys, focus, names, stations = step
        start, reader.focus = len(reader.news), None
        press(keys)
        news = [("label", n) for n in names] + [("combo box", s) for s in stations]
        # The names, and the answers and figures spoken too: a program may
        # space what it speaks (two announcements close together are one to Orca).
        wait(lambda: reader.focus == focus if focus else
             all(n in [(r, t) for k, r, t, _ in reader.news[start:] if k == "name"] for n in news)
             and all(t in [t for k, _, t, _ in reader.news[start:] if k == "spoken"] for t in names),
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


class OrcaLog:
    """Orca's debug log, read through a terminal so that Orca writes it line
    by line rather than in blocks, kept in a file too; with what it said, an
    utterance once its entry (a line and the lines it continues on) ends."""

    def __init__(self, path):
        self.master, self.slave = pty.openpty()
        tty.setraw(self.slave)
        self.tty, self.file, self.utterances = os.ttyname(self.slave), open(path, "w"), []
        self.ready, self.reader = threading.Condition(), threading.Thread(target=self.read, daemon=True)
        self.reader.start()

    def read(self):
        rest, entry = b"", ""
        while rest is not None:
            try:
                rest += os.read(self.master, 65536)
                *lines, rest = rest.split(b"\n")
            except OSError:  # Orca has ended, and the terminal is closed
                lines, rest = [b""], None
            said = []
            for line in (l.decode("utf-8", "replace") for l in lines):
                self.file.write(line + "\n")
                if line.startswith(" " * 18):
                    entry += "\n" + line[18:]
                    continue
                m = re.match(r"\S+ - SPEECH OUTPUT: '(.*?)'(?: voice=\w+)?\s*(?:\{.*\})?\s*$", entry, re.S)
                said += [spoken(m.group(1))] if m else []
                entry = line
            self.file.flush()
            with self.ready:
                self.utterances += said
                self.ready.notify_all()

    def close(self):
        """Reads the rest of the log once Orca has ended."""
        os.close(self.slave)
        self.reader.join(GUARD)

    def wait_said(self, texts, start):
        """Waits until Orca has said each of texts since its start-th utterance."""
        want = [spoken(t) for t in texts]
        with self.ready:
            if not self.ready.wait_for(lambda: all(any(says(u, t) for u in self.utterances[start:]) for t in want),
                                       GUARD):
                fail(f"Orca did not say {want} within {GUARD} s; it said {self.utterances[start:]}")


def check_orca(program, log_path):
    home = tempfile.mkdtemp(prefix="tarrowby-orca-")
    run = os.path.join(home, "run")
    os.makedirs(os.path.join(home, ".config/speech-dispatcher"))
    os.mkdir(run, 0o700)
    # A silent sound device: with none, speech-dispatcher blocks and Orca stops.
    with open(os.path.join(home, ".asoundrc"), "w") as f:
        f.write("pcm.!default { type null }\n")
    with open(os.path.join(home, ".config/speech-dispatcher/speechd.conf"), "w") as f:
        f.write('AudioOutputMethod "alsa"\nAddModule "espeak-ng" "sd_espeak-ng" "espeak-ng.conf"\n'
                "DefaultModule espeak-ng\n")
    env = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=run, XDG_CONFIG_HOME=os.path.join(home, ".config"),
               XDG_DATA_HOME=os.path.join(home, ".local/share"), XDG_CACHE_HOME=os.path.join(home, ".cache"))
    log = OrcaLog(log_path)
    orca = subprocess.Popen(["orca", "--debug-file", log.tty, "-e", "speech"], env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    expected = collections.Counter()
    try:
        log.wait_said(["Screen reader on."], 0)
        with subprocess.Popen([program]) as proc:
            try:
                log.wait_said([LAUNCHER[0]], 0)
                for keys, focus, names, stations in STEPS:
                    start = len(log.utterances)
                    press(keys)
                    log.wait_said(names + stations + ([focus[1]] if focus else []), start)
                    expected.update(spoken(t) for t in names + stations)
                    print("ok: Orca said", names + stations or focus, flush=True)
                press(["Escape"])
                proc.wait(GUARD)
            finally:
                proc.terminate()
    finally:
        orca.send_signal(signal.SIGINT)
        try:
            orca.wait(GUARD)
        except subprocess.TimeoutExpired:
            orca.kill()
        # Orca leaves its speech-dispatcher running; it writes its process id.
        pid = os.path.join(run, "speech-dispatcher/pid/speech-dispatcher.pid")
        if os.path.exists(pid):
            with open(pid) as f:
                os.kill(int(f.read()), signal.SIGTERM)
        shutil.rmtree(home, ignore_errors=True)
        log.close()
    for text, times in expected.items():
        said = sum(says(u, text) for u in log.utterances)
        if said != times:
            fail(f"Orca said {text!r} {said} times, not {times}")
    print(f"Orca said each answer, figure and station once (its log: {log_path})")


if __name__ == "__main__":
    orca = [a[len("--orca="):] for a in sys.argv[1:-1] if a.startswith("--orca=")]
    check_orca(sys.argv[-1], orca[0]) if orca else check_atspi(sys.argv[-1])
