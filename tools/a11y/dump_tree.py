#!/usr/bin/python3
"""Reads a running program's accessibility tree over AT-SPI, as a screen reader does.

    dump_tree.py dump [--window TITLE]        list role, name, description, states, actions
    dump_tree.py do NAME [--role ROLE]        run the first action of the first object so named
    dump_tree.py wait NAME [--role ROLE]      wait until such an object exists

NAME matches an object's accessible name exactly, or its start when it ends in '*'.
The program is found by its application name (--app, default "vorn", any case).
"""

import argparse
import sys
import time

import pyatspi

# States worth a reader's attention; the rest (enabled, sensitive, visible...) is noise here.
STATES = {
    pyatspi.STATE_CHECKABLE: "checkable",
    pyatspi.STATE_CHECKED: "checked",
    pyatspi.STATE_FOCUSABLE: "focusable",
    pyatspi.STATE_FOCUSED: "focused",
    pyatspi.STATE_EDITABLE: "editable",
    pyatspi.STATE_MODAL: "modal",
    pyatspi.STATE_ACTIVE: "active",
    pyatspi.STATE_READ_ONLY: "read-only",
    pyatspi.STATE_SELECTED: "selected",
}


def find_app(name, timeout):
    deadline = time.monotonic() + timeout
    while True:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and (app.name or "").lower() == name.lower():
                return app
        if time.monotonic() > deadline:
            names = [a.name for a in desktop if a is not None]
            sys.exit(f"no application {name!r} on the accessibility bus (found {names})")
        time.sleep(0.3)


def describe(acc):
    parts = [f"[{acc.getRoleName()}]", f'"{acc.name}"']
    if acc.description:
        parts.append(f"({acc.description})")
    states = acc.getState()
    shown = [label for state, label in STATES.items() if states.contains(state)]
    if not states.contains(pyatspi.STATE_ENABLED):
        shown.append("disabled")
    if not states.contains(pyatspi.STATE_SHOWING):
        shown.append("hidden")
    if shown:
        parts.append("{" + ", ".join(shown) + "}")
    try:
        action = acc.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        if names:
            parts.append("actions=" + "/".join(names))
    except NotImplementedError:
        pass
    return " ".join(parts)


def walk(acc, depth=0):
    yield depth, acc
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


def matches(acc, name, role):
    if role and acc.getRoleName() != role:
        return False
    if name.endswith("*"):
        return (acc.name or "").startswith(name[:-1])
    return acc.name == name


def find(app, name, role, timeout):
    deadline = time.monotonic() + timeout
    while True:
        for _, acc in walk(app):
            if matches(acc, name, role):
                return acc
        if time.monotonic() > deadline:
            sys.exit(f"nothing named {name!r}" + (f" with role {role!r}" if role else ""))
        time.sleep(0.3)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--app", default="vorn")
    parser.add_argument("--timeout", type=float, default=20)
    sub = parser.add_subparsers(dest="command", required=True)
    dump = sub.add_parser("dump")
    dump.add_argument("--window", help="only the top-level window with this title")
    for command in ("do", "wait"):
        p = sub.add_parser(command)
        p.add_argument("name")
        p.add_argument("--role")
    args = parser.parse_args()

    app = find_app(args.app, args.timeout)
    if args.command == "dump":
        roots = [app]
        if args.window:
            roots = [w for w in app if w is not None and w.name == args.window]
            if not roots:
                sys.exit(f"no window {args.window!r} (windows: {[w.name for w in app if w is not None]})")
        for root in roots:
            for depth, acc in walk(root):
                print("  " * depth + describe(acc))
    elif args.command == "wait":
        print(describe(find(app, args.name, args.role, args.timeout)))
    else:
        target = find(app, args.name, args.role, args.timeout)
        action = target.queryAction()
        print(f"{action.getName(0)}: {describe(target)}")
        action.doAction(0)


if __name__ == "__main__":
    main()
