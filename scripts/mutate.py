#!/usr/bin/env python3
"""Plants one-line faults, one at a time, in a scratch copy of the tree and reports which of
them the tests miss.

The list (tests/mutations.txt by default) holds blocks like:

    @ <file> <test target> [gtest filter]
    - <text as it is in the file, exactly once>
    + <text to put in its place>

A block may hold more than one -/+ pair (a fault that moves a line is two edits); they are
applied in order. Lines starting with '#' and blank lines are skipped. The scratch copy and its
build tree live under build-mutants/ and are reused between runs, so only the mutated file is
recompiled. With --in-place the faults are planted in this tree itself and built in build/
(no second full build); each file is put back as soon as its test has run.
"""
import argparse
import pathlib
import shutil
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent


def parse(path):
    faults, current = [], None
    for number, line in enumerate(path.read_text().splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        tag, _, rest = line.partition(" ")
        if tag == "@":
            parts = rest.split()
            if len(parts) < 2:
                sys.exit(f"{path}:{number}: '@ file target [filter]' expected")
            current = {"file": parts[0], "target": parts[1],
                       "filter": parts[2] if len(parts) > 2 else "*", "line": number,
                       "edits": []}
            faults.append(current)
        elif tag == "-" and current is not None:
            current["edits"].append([rest, None])
        elif tag == "+" and current is not None and current["edits"] and \
                current["edits"][-1][1] is None:
            current["edits"][-1][1] = rest
        else:
            sys.exit(f"{path}:{number}: unexpected line")
    for f in faults:
        if not f["edits"] or any(new is None for _, new in f["edits"]):
            sys.exit(f"{path}:{f['line']}: a fault needs '-' and '+' lines")
    return faults


def sync(scratch):
    files = subprocess.run(["git", "ls-files", "-co", "--exclude-standard"], cwd=ROOT,
                           check=True, capture_output=True, text=True).stdout.split()
    for name in files:
        src, dst = ROOT / name, scratch / name
        if not src.is_file():
            continue
        if not dst.exists() or dst.read_bytes() != src.read_bytes():
            dst.parent.mkdir(parents=True, exist_ok=True)
            shutil.copy2(src, dst)


def run(cmd, cwd, timeout):
    try:
        return subprocess.run(cmd, cwd=cwd, capture_output=True, text=True,
                              timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return -1


def main():
    ap = argparse.ArgumentParser(description=__doc__,
                                 formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--list", default=str(ROOT / "tests" / "mutations.txt"))
    ap.add_argument("--only", default="", help="run the faults whose file contains this")
    ap.add_argument("--timeout", type=int, default=900, help="seconds per test run")
    ap.add_argument("--in-place", action="store_true", help="plant in this tree, build in build/")
    ap.add_argument("--build", help="with --in-place: the build tree to use instead of build/")
    args = ap.parse_args()

    faults = [f for f in parse(pathlib.Path(args.list)) if args.only in f["file"]]
    if args.in_place:
        scratch, build = ROOT, ROOT / (args.build or "build")
    else:
        scratch = ROOT / "build-mutants" / "src"
        build = ROOT / "build-mutants" / "build"
        scratch.mkdir(parents=True, exist_ok=True)
        sync(scratch)
    if not (build / "CMakeCache.txt").exists():
        subprocess.run(["cmake", "-S", str(scratch), "-B", str(build),
                        "-DCMAKE_BUILD_TYPE=RelWithDebInfo"], check=True,
                       stdout=subprocess.DEVNULL)

    missed = []
    for f in faults:
        target = scratch / f["file"]
        text = mutated = target.read_text()
        stale = []
        for old, new in f["edits"]:
            if mutated.count(old) != 1:
                stale.append(old)
                break
            mutated = mutated.replace(old, new)
        if stale:
            print(f"line {f['line']}: '{stale[0]}' is not in {f['file']} exactly once")
            missed.append(f)
            continue
        target.write_text(mutated)
        try:
            if run(["cmake", "--build", str(build), "-j2", "--target", f["target"]], build,
                   args.timeout) != 0:
                verdict = "caught (does not build)"
            else:
                binary = next(p for p in build.rglob(f["target"]) if p.is_file())
                code = run([str(binary), f"--gtest_filter={f['filter']}"], build, args.timeout)
                verdict = "caught" if code != 0 else "MISSED"
        finally:
            target.write_text(text)
        print(f"{verdict:24} {f['file']}: {f['edits'][-1][1].strip()}", flush=True)
        if verdict == "MISSED":
            missed.append(f)
    print(f"{len(faults) - len(missed)} of {len(faults)} faults caught")
    return 1 if missed else 0


if __name__ == "__main__":
    import os
    os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")
    sys.exit(main())
