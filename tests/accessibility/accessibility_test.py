#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The real program driven as a screen reader drives it: through AT-SPI, under Xvfb, on a
private D-Bus session. Reads main-window controls back by their accessible names, presses
"1'st QSO", walks the settings dialog's four tabs by their names and reads a control or two of
each back: a check box's state, an edit box's text, a drop-down list's choice. Every top-level
window that shows is announced as a window (a frame) or a dialog, named by its caption.

Usage (see run_accessibility_test.sh): accessibility_test.py PROGRAM"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAILED: " + what, file=sys.stderr)


def wait_for(find, seconds=30):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = find()
        if found is not None:
            return found
        time.sleep(0.2)
    return None


def descendant(root, pred):
    """The first node under root, breadth first, for which pred holds."""
    queue = [root]
    while queue:
        node = queue.pop(0)
        try:
            if node is not root and pred(node):
                return node
            queue.extend(child for child in node if child is not None)
        except Exception:  # a node that went away while we walked
            continue
    return None


def named(role, name):
    return lambda a: a is not None and a.getRoleName() == role and a.name == name


def described(role, description):
    """A drop-down list shows its choice as its name on AT-SPI; its hint tells which it is."""
    return lambda a: a is not None and a.getRoleName() == role and a.description == description


def text_of(node):
    return node.queryText().getText(0, -1) if node is not None else None


def checked(node):
    return node is not None and node.getState().contains(pyatspi.STATE_CHECKED)


def choice(node):
    return node.name


def showing(node):
    return node is not None and node.getState().contains(pyatspi.STATE_SHOWING)


def shown_windows(app):
    return [w for w in app if w is not None and showing(w)]


def check_windows(app, expected):
    """The windows named in expected show with their roles; no window that shows is announced as
    anything but a window (a frame) or a dialog."""
    wait_for(lambda: True if set(expected) <= {w.name for w in shown_windows(app)} else None, 15)
    windows = shown_windows(app)
    roles = {w.name: w.getRoleName() for w in windows}
    for name, role in expected.items():
        check(roles.get(name) == role,
              "window %r: role %r, expected %r" % (name, roles.get(name), role))
    for w in windows:
        check(w.getRoleName() in ("frame", "dialog"),
              "the top-level window %r is announced as a %r" % (w.name, w.getRoleName()))


DIALOG_CAPTION = "ログからファーストQSO局を抽出する条件設定など"


def walk_dialog_tabs(dialog):
    """Selects each tab by its name, as a screen reader user would, and reads its page back."""
    tabs = descendant(dialog, lambda a: a is not None and a.getRoleName() == "page tab list")
    check(tabs is not None, "the settings dialog has no page tab list")
    if tabs is None:
        return
    names = [tab.name for tab in tabs if tab is not None and tab.getRoleName() == "page tab"]
    check(names == [" 抽出条件 ", "ｼｽﾃﾑ設定(1)", "ｼｽﾃﾑ設定(2)", "使用説明"],
          "tab names: %r" % names)

    # What each page shows on a first start: (what, node, how to read it, expected value); read
    # once its tab is chosen.
    def page1():
        list1 = descendant(dialog, named("panel", "List1"))
        first = list1 and descendant(list1, named("text", "照合するﾚｺｰﾄﾞ番号の先頭"))
        return [("List1 record range start", first, text_of, "1"),
                ("List1 transfer box", descendant(list1, named("check box", "HAMLOGへ転送")),
                 checked, True),
                ("List1 range box", descendant(list1, named("check box", "No.")), checked, False)]

    def page2():
        age = descendant(dialog, named("check box", "時間経過設定"))
        minutes = descendant(dialog, named("text", "巡回転送の対象とする通知の経過時間 (0～1439分)"))
        maker = descendant(dialog, described("combo box", "Rigのｺﾏﾝﾄﾞ形式"))
        speed = descendant(dialog, described("combo box", "ｼﾘｱﾙﾎﾟｰﾄの速度"))
        return [("age limit box", age, checked, True),
                ("age limit minutes", minutes, text_of, "180"),
                ("rig command family", maker, choice, "ICOM"),
                ("serial speed", speed, choice, "9600bps")]

    def page3():
        ctrl = descendant(dialog, named("check box", "CTRL"))
        port = descendant(dialog, named("text", "Port"))
        key = descendant(dialog, described("combo box", "HAMLOGでRigの周波数を設定するｷｰ"))
        return [("CTRL box", ctrl, checked, True),
                ("companion port", port, text_of, "10001"),
                ("rig key", key, choice, "HOME")]

    def page4():
        note = descendant(dialog, lambda a: a is not None and a.getRoleName() == "label" and
                          a.name.startswith("① 各設定内容は"))
        return [("first note", note, lambda n: n.name.split("\n")[0],
                 "① 各設定内容はこの画面を閉じメイン画面へ戻るときに有効になります。")]

    for index, (name, page) in enumerate(zip(names, [page1, page2, page3, page4])):
        tab = descendant(tabs, named("page tab", name))
        check(tab is not None, "no tab named %r" % name)
        if tab is None:
            continue
        found = page()
        hidden = [what for what, node, _, _ in found if node is not None and showing(node)]
        check(index == 0 or not hidden, "%r show before tab %r is chosen" % (hidden, name))
        # Qt offers each tab's own action ("Switch") rather than the list's selection.
        tab.queryAction().doAction(0)
        for what, node, read, expected in found:
            check(node is not None, "%s: not found on tab %r" % (what, name))
            if node is None:
                continue
            check(wait_for(lambda: node if showing(node) else None, 10) is not None,
                  "%s: not showing on tab %r" % (what, name))
            got = read(node)
            check(got == expected, "%s: read %r, expected %r" % (what, got, expected))


def main():
    work = tempfile.mkdtemp()
    exe = os.path.join(work, "zeltaro")
    shutil.copy2(sys.argv[1], exe)
    env = dict(os.environ, HOME=work, QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    # The registry first: a program that starts before the accessibility bus is up never
    # shows its windows on it.
    pyatspi.Registry.getDesktop(0)
    program = subprocess.Popen([exe, "/telnet=off"], env=env, cwd=work)
    try:
        def the_app():
            for app in pyatspi.Registry.getDesktop(0):
                if app is not None and app.get_process_id() == program.pid:
                    return app
            return None

        app = wait_for(the_app)
        if app is None:
            check(False, "the program never appeared on the accessibility bus")
            return
        button = wait_for(lambda: descendant(app, named("push button", "1'st QSO")))
        check(button is not None, "no push button named \"1'st QSO\"")

        # Read back by name: a check box's state, an edit box's text (named by its hint),
        # a button's description (its hint).
        alert = descendant(app, named("check box", "音声"))
        check(alert is not None and alert.getState().contains(pyatspi.STATE_CHECKED),
              "check box 音声 missing or not checked")
        sound = descendant(app, lambda a: a is not None and a.name == "音声通知用WAVﾌｧｲﾙ名")
        check(sound is not None and sound.queryText().getText(0, -1) == "chimes.wav",
              "edit box 音声通知用WAVﾌｧｲﾙ名 missing or not holding chimes.wav")
        save = descendant(app, named("push button", "SAVE"))
        check(save is not None and
              save.description == "全ての設定を手動で保存します （終了時は自動保存されます）",
              "button SAVE missing or without its hint as description")

        main_window = [w for w in shown_windows(app) if descendant(w, named("push button",
                                                                             "1'st QSO"))]
        check(len(main_window) == 1 and main_window[0].getRoleName() == "frame" and
              main_window[0].name.startswith(" Zeltaro v2.11"),
              "the main window is not a frame named by its caption: %r" %
              [(w.getRoleName(), w.name) for w in main_window])

        if button is not None:
            button.queryAction().doAction(0)
            title = DIALOG_CAPTION

            def shown_dialog():
                for window in app:
                    if window is not None and window.name == title and \
                            window.getState().contains(pyatspi.STATE_SHOWING):
                        return window
                return None

            dialog = wait_for(shown_dialog, 15)
            check_windows(app, {DIALOG_CAPTION: "dialog"})
            check(dialog is not None, "\"1'st QSO\" did not bring up the settings dialog")
            if dialog is not None:
                walk_dialog_tabs(dialog)
    finally:
        program.terminate()
        try:
            code = program.wait(15)
            check(code == 0, "exit code %d after SIGTERM" % code)
        except subprocess.TimeoutExpired:
            program.kill()
            check(False, "the program did not end on SIGTERM")
        shutil.rmtree(work, ignore_errors=True)


main()
if failures:
    sys.exit(1)
print("accessibility test: passed")
