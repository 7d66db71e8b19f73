#!/usr/bin/env python3
"""The accessibility tree of a running program, read over AT-SPI as a screen reader reads it.

  atspi_tree.py check PID [--button NAME]... [--city-hints INI] [--text TEXT]... [--dump FILE] [--timeout S]
      waits until every named push button is there exactly once (the cities' hints of a
      configuration file count as names too) and every text is in the text of some node;
      writes the tree to FILE; exits 1 saying what is missing when time runs out.
  atspi_tree.py press PID NAME
      the press action of the push button with that name, as a screen reader's user asks it.
"""
import argparse
import configparser
import re
import sys
import time

import pyatspi
from gi.repository import Atspi

Atspi.set_timeout(5000, 30000)


def plain(text):
    """Text as compared: no embedded-object marks, one space for any run of white space."""
    return re.sub(r"\s+", " ", text.replace("\ufffc", " ").replace("\u00a0", " ")).strip()


def application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:  # an application going away while it is asked
            continue
    return None


def walk(node, depth=0):
    yield depth, node
    if depth > 60:
        return
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


def text_of(node):
    try:
        text = node.queryText()
    except NotImplementedError:
        return ""
    return text.getText(0, text.characterCount)


def read_tree(pid):
    """[(depth, role name, name, text)] of the program's tree; empty while it is not registered."""
    app = application(pid)
    if app is None:
        return []
    rows = []
    for depth, node in walk(app):
        try:
            rows.append((depth, node.getRoleName(), node.name or "", plain(text_of(node))))
        except Exception:  # a node gone while it is read
            continue
    return rows


def city_hints(path):
    ini = configparser.ConfigParser(interpolation=None, strict=False)
    ini.optionxform = str.lower
    with open(path, encoding="cp1252") as f:
        ini.read_file(f)
    count = int(ini.get("Mapa", "nciudades", fallback="1")) & 0xFF
    return [ini.get("Hints", f"ciudad{n}").strip() for n in range(1, max(count, 1) + 1)]


def missing(rows, buttons, texts):
    found = []
    pushed = [name for _, role, name, _ in rows if role == "push button"]
    for name in buttons:
        if pushed.count(name) != 1:
            found.append(f"button {name!r} seen {pushed.count(name)} times")
    for text in texts:
        # The light viewer gives its text as text; the browser's static text carries it as its name.
        if not any(plain(text) in row[3] or plain(text) in plain(row[2]) for row in rows):
            found.append(f"text {text!r}")
    return found


def check(args):
    buttons = list(args.button or [])
    if args.city_hints:
        buttons += city_hints(args.city_hints)
    deadline = time.monotonic() + args.timeout
    while True:
        rows = read_tree(args.pid)
        lacking = missing(rows, buttons, args.text or []) if rows else ["the program in the registry"]
        if not lacking or time.monotonic() > deadline:
            break
        time.sleep(0.5)
    if args.dump:
        with open(args.dump, "w", encoding="utf-8") as f:
            for depth, role, name, text in rows:
                f.write(f"{'  ' * depth}{role}\t{name}\t{text[:120]}\n")
    for what in lacking:
        print(f"missing: {what}")
    return 1 if lacking else 0


def press(args):
    app = application(args.pid)
    if app is None:
        print("the program is not in the registry")
        return 1
    for _, node in walk(app):
        if node.getRoleName() == "push button" and node.name == args.name:
            action = node.queryAction()
            for i in range(action.nActions):
                if action.getName(i).lower() == "press":
                    action.doAction(i)
                    return 0
            print(f"{args.name!r} has no press action")
            return 1
    print(f"no button {args.name!r}")
    return 1


def main():
    parser = argparse.ArgumentParser()
    commands = parser.add_subparsers(dest="command", required=True)
    c = commands.add_parser("check")
    c.add_argument("pid", type=int)
    c.add_argument("--button", action="append")
    c.add_argument("--city-hints")
    c.add_argument("--text", action="append")
    c.add_argument("--dump")
    c.add_argument("--timeout", type=float, default=20)
    p = commands.add_parser("press")
    p.add_argument("pid", type=int)
    p.add_argument("name")
    args = parser.parse_args()
    return {"check": check, "press": press}[args.command](args)


if __name__ == "__main__":
    sys.exit(main())
