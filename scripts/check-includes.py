#!/usr/bin/env python3
"""Fails when a source includes against the directions the design note sets:
framework/ includes nothing of the program; engine/ nothing of ui/, operations/, app/ or
dialogs/; dialogs/ nothing of ui/, operations/ or app/; nothing outside app/ includes app/; shellext/ only
engine/jar_contract.h, framework/name_compare.h and framework/wide_text.h besides itself; archiver/ only itself; in
operations/, only the command handlers (files named *commands*) include a
ui/ header or name CTorvexView: the bodies run on the worker and never touch the window."""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
FOLDERS = ("framework", "engine", "ui", "operations", "dialogs", "app", "resources", "shellext", "archiver", "tests")


def allowed(folder, name, header):
    top = header.split("/", 1)[0]
    if top not in FOLDERS:
        return True  # a header of the same folder named without its folder, or a system one
    if folder == "framework":
        return top == "framework"
    if folder == "engine":
        return top in ("engine", "framework")
    if folder == "dialogs":
        return top in ("dialogs", "engine", "framework", "resources")
    if top == "app" and folder not in ("app", "tests"):
        return False
    if folder == "shellext":
        return top == "shellext" or header in ("engine/jar_contract.h", "framework/name_compare.h", "framework/wide_text.h")
    if folder == "archiver":
        return top == "archiver"
    if folder == "operations" and top == "ui":
        return is_handler(name)
    return True


def is_handler(name):
    return "commands" in name


def main():
    faults = []
    for folder in ("framework", "engine", "dialogs", "ui", "operations", "shellext", "archiver"):
        for path in sorted((ROOT / folder).rglob("*")):
            if path.suffix not in (".h", ".cpp"):
                continue
            text = path.read_text(errors="replace")
            where = path.relative_to(ROOT)
            for header in INCLUDE.findall(text):
                if not allowed(folder, path.name, header):
                    faults.append(f"{where}: includes {header}")
            if folder == "operations" and not is_handler(path.name) and "CTorvexView" in text:
                faults.append(f"{where}: names CTorvexView (only the command handlers may)")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
