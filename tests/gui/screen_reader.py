#!/usr/bin/python3
# Uses a window program as a screen reader user does, and prints what a screen reader speaks.
#   usage: screen_reader.py STEP... -- PROGRAM [ARG...]
# Starts an X server and a session bus of its own (the accessibility bus starts on first use), runs
# PROGRAM there with Qt's accessibility bridge, and listens for what a screen reader speaks without
# the focus moving: a notification that appears. A STEP is "ACTION|CONTROL|VALUE", done on the
# first control of that name: press (a button) or toggle (a check box) through the accessibility
# interfaces, then wait until what is spoken starts with VALUE; or focus. "keys|CONTROL|TEXT|VALUE"
# focuses the control and types TEXT on the keyboard (a letter chooses in a list as a user does);
# "type|CONTROL|TEXT|VALUE" puts TEXT into a field, once it shows a text, through its editable
# text. In TEXT, "<Tab>" is that key.
# Prints "step: ACTION CONTROL" and "heard: TEXT" lines ("missing: CONTROL" when there is none);
# a set-up that fails ends it with its reason and a non-zero status.
import os
import select
import subprocess
import sys
import tempfile
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

WAIT = 20  # seconds for a control to appear, and for what a step should make heard
ROLES = {"press": {Atspi.Role.PUSH_BUTTON}, "toggle": {Atspi.Role.CHECK_BOX}, "focus": None,
         "keys": {Atspi.Role.TEXT, Atspi.Role.ENTRY}, "type": {Atspi.Role.TEXT, Atspi.Role.ENTRY}}
TAKES_TEXT = {"keys", "type"}


def first_line(fd, what):
    data, end = b"", time.monotonic() + 15
    while b"\n" not in data and time.monotonic() < end and select.select([fd], [], [], end - time.monotonic())[0]:
        data += os.read(fd, 4096) or b"\n"
    if not data.strip():
        raise SystemExit("set-up failed: %s did not start" % what)
    return data.split(b"\n")[0].decode()


def until(found, seconds=WAIT):
    context, end = GLib.MainContext.default(), time.monotonic() + seconds
    while True:
        while context.pending():
            context.iteration(False)
        try:
            result = found()
        except GLib.Error:
            result = None  # the program was busy past the bus's time limit: ask again
        if result or time.monotonic() >= end:
            return result
        time.sleep(0.05)


def children(obj):
    return [c for c in (obj.get_child_at_index(i) for i in range(obj.get_child_count())) if c]


def control(app, roles, name):
    queue = [app]  # breadth first: a window's own controls before those deep in its pages
    while queue:
        obj = queue.pop(0)
        if obj.get_name() == name and (roles is None or obj.get_role() in roles):
            return obj
        queue.extend(children(obj))
    return None


KEYS = {"<Tab>": 0xFF09}


def act(obj, action, text):
    if action == "type":
        # A field the program fills in (from the embosser, say) is typed into once it shows that.
        until(lambda: obj.get_text_iface() and Atspi.Text.get_character_count(obj) > 0, 10)
        return Atspi.EditableText.set_text_contents(obj, text)
    if action in ("focus", "keys"):
        obj.grab_focus()
        until(lambda: obj.get_state_set().contains(Atspi.StateType.FOCUSED), 5)
        while text:  # "<Tab>" is the key, anything else is typed
            key = next((k for k in KEYS if text.startswith(k)), None)
            if key:
                Atspi.generate_keyboard_event(KEYS[key], None, Atspi.KeySynthType.SYM)
            else:
                Atspi.generate_keyboard_event(0, text[0], Atspi.KeySynthType.STRING)
            text = text[len(key) if key else 1:]
        return True
    return obj.do_action(0)  # a button's first action is its press, a check box's its toggle


def run(steps, program, folder, started):
    def start(command, name, **options):
        log = open(os.path.join(folder, name + ".log"), "w")
        options.setdefault("stdout", log)
        started.append(subprocess.Popen(command, stdin=subprocess.DEVNULL, stderr=log, **options))
        return started[-1]

    read, write = os.pipe()
    start(["Xvfb", "-displayfd", str(write), "-nolisten", "tcp", "-screen", "0", "1280x1024x24"], "xvfb", pass_fds=(write,))
    os.close(write)
    os.environ.update(DISPLAY=":" + first_line(read, "Xvfb"), XDG_RUNTIME_DIR=folder)
    bus = start(["dbus-daemon", "--session", "--nofork", "--print-address=1", "--address=unix:path=%s/bus" % folder],
                "bus", stdout=subprocess.PIPE)
    os.environ["DBUS_SESSION_BUS_ADDRESS"] = first_line(bus.stdout.fileno(), "the session bus")
    os.environ.pop("AT_SPI_BUS_ADDRESS", None)

    heard = []

    def spoken(event):
        if event.detail1 == 1 and event.source.get_role() == Atspi.Role.NOTIFICATION:
            event.source.clear_cache()
            heard.append(event.source.get_name())

    listener = Atspi.EventListener.new(spoken)
    if not listener.register("object:state-changed:showing"):
        raise SystemExit("set-up failed: the accessibility bus did not start")
    process = start(program, "program", env=dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"))
    desktop = Atspi.get_desktop(0)
    app = until(lambda: next((a for a in children(desktop) if a.get_process_id() == process.pid), None))
    if not app:
        raise SystemExit("set-up failed: the program is not on the accessibility bus: " + open(folder + "/program.log").read())
    for step in steps:
        action, name, *rest = step.split("|")
        text = rest.pop(0) if action in TAKES_TEXT else ""
        value = rest[0] if rest else ""
        print("step: %s %s" % (action, name), flush=True)
        obj = until(lambda: control(app, ROLES[action], name))
        if not obj:
            print("missing: " + name, flush=True)
            continue
        heard.clear()
        act(obj, action, text)
        if value:
            until(lambda: any(text.startswith(value) for text in heard))
        until(lambda: False, 0.5)  # anything else the step says
        for text in heard:
            print("heard: " + text, flush=True)


def main(argv):
    if "--" not in argv[:-1]:
        raise SystemExit("usage: screen_reader.py STEP... -- PROGRAM [ARG...]")
    started = []
    with tempfile.TemporaryDirectory(prefix="screen-reader-") as folder:
        try:
            run(argv[:argv.index("--")], argv[argv.index("--") + 1:], folder, started)
        finally:
            for process in reversed(started):
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
            if os.path.exists(folder + "/program.log"):  # on standard error, for a test that fails
                sys.stderr.write(open(folder + "/program.log").read())


if __name__ == "__main__":
    main(sys.argv[1:])
