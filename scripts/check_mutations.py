#!/usr/bin/env python3
"""Checks that every fault of tests/mutations.txt still finds its text exactly once, without
building anything: run it after moving or reformatting code."""
import importlib.util
import pathlib
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
found = importlib.util.spec_from_file_location("mutate", ROOT / "scripts" / "mutate.py")
mutate = importlib.util.module_from_spec(found)
found.loader.exec_module(mutate)

listing = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "tests" / "mutations.txt"
faults = mutate.parse(listing)
bad = 0
for fault in faults:
    source = ROOT / fault["file"]
    if not source.exists():
        print(f"{listing.name}:{fault['line']}: {fault['file']} does not exist")
        bad += 1
        continue
    text = source.read_text()
    for old, _ in fault["edits"]:
        if text.count(old) != 1:
            print(f"{listing.name}:{fault['line']}: {fault['file']}: found {text.count(old)} times: "
                  f"{old.strip()[:70]}")
            bad += 1
print(f"{len(faults)} faults, {bad} not found exactly once")
sys.exit(1 if bad else 0)
