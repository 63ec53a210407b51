#!/usr/bin/env python3
"""Fails on an #include that breaks the dependency rule of its folder's readme.md.

Each folder under src/ (and sim/, tests/, bench/) says in its readme.md, in a paragraph that
starts "May depend on:", what its code may include:
  - project folders in backticks (`instrument`, `link` ...), or "everything";
  - Qt modules by name ("Qt Core", "Qt Widgets", "Qt Serial Port" ...), "QCustomPlot",
    "GoogleTest"; the C++ standard library and POSIX are always allowed.
A folder may always include its own headers. The rules themselves must form no cycle among
src/ folders, so that the data flows one way; the order found is printed.

Usage: scripts/check_layers.py [--graph] [--cmake-graph FILE]
  --graph        prints the folder graph the includes make;
  --cmake-graph  reads the library graph CMake writes (cmake --graphviz=FILE), prints each of
                 our libraries with what it links, and fails on a cycle among them.
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
QT_INCLUDE_DIRS = [pathlib.Path("/usr/include/x86_64-linux-gnu/qt6"), pathlib.Path("/usr/include/qt6")]

MODULE_WORDS = {
    "Qt Core": {"QtCore"},
    "Qt Gui": {"QtGui", "QtCore"},
    "Qt Widgets": {"QtWidgets", "QtGui", "QtCore"},
    "Qt Serial Port": {"QtSerialPort", "QtCore"},
    "Qt Svg": {"QtSvg", "QtGui", "QtCore"},
    "Qt Print Support": {"QtPrintSupport", "QtWidgets", "QtGui", "QtCore"},
    "Qt Test": {"QtTest", "QtCore"},
    "QCustomPlot": {"qcustomplot"},
    "GoogleTest": {"gtest"},
}
ALL_MODULES = set().union(*MODULE_WORDS.values())


def qt_header_modules():
    """Maps every Qt class header (QString, QWidget ...) to its module."""
    table = {}
    for base in QT_INCLUDE_DIRS:
        if not base.is_dir():
            continue
        for module in base.iterdir():
            if module.is_dir() and module.name.startswith("Qt"):
                for header in module.iterdir():
                    if header.name.startswith("Q") and "." not in header.name:
                        table.setdefault(header.name, module.name)
        if table:
            break
    return table


def folders():
    found = {f"src/{p.name}": p for p in sorted((ROOT / "src").iterdir()) if p.is_dir()}
    for extra in ("sim", "tests", "bench"):
        if (ROOT / extra).is_dir():
            found[extra] = ROOT / extra
    return found


def rule_of(folder, path, names):
    readme = next((path / n for n in ("readme.md", "README.md") if (path / n).exists()), None)
    if readme is None:
        return None, f"{folder}: no readme.md"
    text = readme.read_text()
    match = re.search(r"May depend on:(.*?)(?:\n\s*\n|\Z)", text, re.S)
    if not match:
        return None, f"{folder}/{readme.name}: no 'May depend on:' paragraph"
    words = " ".join(match.group(1).split())
    if words.startswith("everything"):
        return {"folders": set(names), "modules": set(ALL_MODULES)}, None
    allowed = {"folders": set(), "modules": set()}
    for token in re.findall(r"`([^`]+)`", words):
        head = token.split("/")[0]
        for key in (token, head, f"src/{head}"):
            if key in names:
                allowed["folders"].add(key)
                break
    for word, modules in MODULE_WORDS.items():
        if word in words:
            allowed["modules"] |= modules
    return allowed, None


INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)


def includes_of(path):
    for quote, name in INCLUDE.findall(path.read_text(errors="replace")):
        yield quote, name


def target_of(name, names, qt_modules):
    """The folder or module an include reaches, or None for the standard library."""
    for folder in names:
        if name.startswith(folder + "/"):
            return ("folder", folder)
    head = name.split("/")[0]
    if head in qt_modules.values() or head in ALL_MODULES:
        return ("module", head)
    if head in qt_modules:
        return ("module", qt_modules[head])
    if name.startswith("qcustomplot"):
        return ("module", "qcustomplot")
    if name.startswith("gtest/") or name.startswith("gmock/"):
        return ("module", "gtest")
    return None


def cycle_free_order(rules):
    order, state = [], {}

    def visit(node, trail):
        if state.get(node) == "done":
            return None
        if state.get(node) == "open":
            return trail[trail.index(node):] + [node]
        state[node] = "open"
        for dep in sorted(rules[node]["folders"] - {node}):
            if dep in rules:
                cycle = visit(dep, trail + [node])
                if cycle:
                    return cycle
        state[node] = "done"
        order.append(node)
        return None

    for node in sorted(rules):
        cycle = visit(node, [])
        if cycle:
            return None, cycle
    return order, None


def library_graph(dot_file):
    """Our libraries and what each links, from CMake's graphviz output."""
    text = pathlib.Path(dot_file).read_text()
    label = dict(re.findall(r'"(node\d+)" \[ label = "([^"]+)"', text))
    graph = {}
    for a, b in re.findall(r'"(node\d+)" -> "(node\d+)"', text):
        if label[a].startswith("tracely"):
            graph.setdefault(label[a], set()).add(label[b])
    return graph


def check_library_graph(dot_file, problems):
    graph = library_graph(dot_file)
    for name in sorted(graph):
        print(f"{name} -> {', '.join(sorted(graph[name]))}")
    rules = {name: {"folders": {d for d in deps if d in graph}} for name, deps in graph.items()}
    _, cycle = cycle_free_order(rules)
    if cycle:
        problems.append("the libraries link in a cycle: " + " -> ".join(cycle))


def main():
    names = folders()
    qt_modules = qt_header_modules()
    if not qt_modules:
        sys.exit("check_layers: no Qt 6 headers found (is qt6-base-dev installed?)")
    problems, rules, used = [], {}, {}
    for folder, path in names.items():
        rule, problem = rule_of(folder, path, names)
        if problem:
            problems.append(problem)
            continue
        rules[folder] = rule
    for folder, path in names.items():
        if folder not in rules:
            continue
        for source in sorted(path.rglob("*")):
            if source.suffix not in (".cpp", ".h") or "data" in source.relative_to(path).parts[:1]:
                continue
            for _, name in includes_of(source):
                target = target_of(name, names, qt_modules)
                if target is None:
                    continue
                kind, what = target
                if kind == "folder":
                    used.setdefault(folder, set()).add(what)
                    ok = what == folder or what in rules[folder]["folders"]
                else:
                    ok = what in rules[folder]["modules"]
                if not ok:
                    rel = source.relative_to(ROOT)
                    problems.append(f"{rel}: includes <{name}> ({what}), which "
                                    f"{folder}/readme.md does not allow")
    src_rules = {k: v for k, v in rules.items() if k.startswith("src/") and k != "src/app"}
    order, cycle = cycle_free_order(src_rules)
    if cycle:
        problems.append("the readmes' rules make a cycle: " + " -> ".join(cycle))
    if "--graph" in sys.argv:
        for folder in sorted(used):
            deps = sorted(used[folder] - {folder})
            print(f"{folder} -> {', '.join(deps) if deps else '(nothing)'}")
    if "--cmake-graph" in sys.argv:
        check_library_graph(sys.argv[sys.argv.index("--cmake-graph") + 1], problems)
    for problem in problems:
        print(problem)
    if problems:
        return 1
    print("layers: every include keeps its folder's rule; order: " + " < ".join(order or []))
    return 0


if __name__ == "__main__":
    sys.exit(main())
