#!/usr/bin/env python3
"""Lists the C++ functions longer than a limit.

    scripts/long_functions.py [max] [path ...]

max defaults to 60 lines; the paths (files or folders) default to the folders held to that
limit. Each function over the limit is printed as "file:line name length"; the exit status is 1
when one of them is not marked as a table. A function is marked by a comment containing
"long-function: table" on its first line or on the line above it (a function that is one long
table, such as a list of rows or a switch over every code, reads best in one piece).

The scan counts braces over the text with comments, strings and preprocessor lines blanked:
a brace block opened at namespace or class scope after a parameter list is a function, from
the first line of its declaration to its closing brace. Lambdas count towards the function
they sit in.
"""

import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
DEFAULT_PATHS = ["src", "sim"]
MARK = "long-function: table"
SUFFIXES = {".cpp", ".h", ".hpp", ".cc"}


def blank(text):
    """Comments, string and character literals and preprocessor lines become spaces; line
    breaks stay where they are so that offsets keep their line numbers."""
    out = list(text)
    i, n = 0, len(text)

    def wipe(a, b):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = " "

    line_start = True
    while i < n:
        c = text[i]
        if line_start and c == "#":
            j = i
            while j < n and not (text[j] == "\n" and text[j - 1] != "\\"):
                j += 1
            wipe(i, j)
            i = j
            continue
        if c == "\n":
            line_start = True
            i += 1
            continue
        if not c.isspace():
            line_start = False
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            wipe(i, j)
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            wipe(i, j)
            i = j
        elif c == "R" and text.startswith('R"', i):
            m = re.match(r'R"([^(\s]*)\(', text[i:])
            end = text.find(")" + m.group(1) + '"', i) if m else -1
            j = n if end < 0 else end + len(m.group(1)) + 2
            wipe(i + 1, j)
            i = j
        elif c in "\"'" and not (c == "'" and i > 0 and text[i - 1].isalnum()):
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            wipe(i + 1, j)
            i = j + 1
        else:
            i += 1
    return "".join(out)


ACCESS = re.compile(r"^\s*(?:(?:public|private|protected)(?:\s+(?:slots|Q_SLOTS))?|signals|"
                    r"Q_SIGNALS)\s*:(?!:)")


def top_level(header, char):
    depth = 0
    for k, c in enumerate(header):
        if c in "([":
            depth += 1
        elif c in ")]":
            depth -= 1
        elif depth == 0 and c == char:
            yield k


def has_init_list(header):
    """A constructor's member initialiser list: ") :" at the top level, not "::"."""
    for k in top_level(header, ":"):
        if header[k - 1:k] == ":" or header[k + 1:k + 2] == ":":
            continue
        if header[:k].rstrip().endswith(")") or re.search(r"\)\s*(noexcept)?\s*$", header[:k]):
            return True
    return False


def kind_of(header):
    h = ACCESS.sub("", header).strip()
    words = h.split()
    first = words[0] if words else ""
    if first in ("namespace", "extern") or (first == "inline" and "namespace" in words[:2]):
        return "scope"
    if first in ("class", "struct", "union") or (first == "template" and
                                                 re.search(r">\s*(class|struct)\s+\w+[^(]*$", h)):
        return "scope"
    if first == "enum" or "(" not in h:
        return "data"
    if any(True for _ in top_level(h, "=")) and "operator" not in h:
        return "data"
    return "function"


def name_of(header):
    h = ACCESS.sub("", header)
    depth = angle = 0
    for k, c in enumerate(h):
        if c == "<" and not h.startswith("<<", k):
            angle += 1
        elif c == ">" and h[k - 1] != "-" and angle > 0:
            angle -= 1
        elif c == "(":
            if depth == 0 and angle == 0:
                m = re.search(r"(operator\s*\S+?|~?[\w:]*\w)\s*$", h[:k])
                if m:
                    return m.group(1)
            depth += 1
        elif c == ")":
            depth -= 1
    return "?"


def functions(path):
    raw = path.read_text(errors="replace")
    text = blank(raw)
    lines = raw.splitlines()
    stack = []  # kinds of the open braces
    header_start = 0
    i, n = 0, len(text)
    found = []
    while i < n:
        c = text[i]
        if c in ";":
            if all(k == "scope" for k in stack):
                header_start = i + 1
        elif c == "{":
            if all(k == "scope" for k in stack):
                header = text[header_start:i]
                if kind_of(header) == "function" and has_init_list(header) and \
                        re.search(r"[\w>]\s*$", header):
                    # A member's brace initialiser inside a constructor's initialiser list.
                    depth, j = 0, i
                    while j < n:
                        depth += {"{": 1, "}": -1}.get(text[j], 0)
                        if depth == 0:
                            break
                        j += 1
                    i = j + 1
                    continue
                kind = kind_of(header)
                if kind == "function":
                    offset = header_start + (len(header) - len(header.lstrip()))
                    start = text.count("\n", 0, offset)
                    found.append([start, name_of(header.strip()), i, None])
                stack.append(kind)
            else:
                stack.append("inner")
            header_start = i + 1
        elif c == "}":
            if stack:
                kind = stack.pop()
                if kind == "function":
                    end = text.count("\n", 0, i)
                    for f in reversed(found):
                        if f[3] is None:
                            f[3] = end
                            break
            if all(k == "scope" for k in stack):
                header_start = i + 1
        i += 1
    for start, name, _, end in found:
        if end is None:
            continue
        marked = any(MARK in lines[k] for k in (start - 1, start) if 0 <= k < len(lines))
        yield start + 1, name, end - start + 1, marked


def sources(paths):
    for p in paths:
        p = (ROOT / p) if not pathlib.Path(p).is_absolute() else pathlib.Path(p)
        if p.is_file():
            yield p
        else:
            yield from sorted(f for f in p.rglob("*") if f.suffix in SUFFIXES)


def main(argv):
    limit = 60
    if argv and argv[0].isdigit():
        limit = int(argv[0])
        argv = argv[1:]
    failed = False
    for path in sources(argv or DEFAULT_PATHS):
        shown = path.relative_to(ROOT) if path.is_relative_to(ROOT) else path
        for line, name, length, marked in functions(path):
            if length > limit:
                print(f"{shown}:{line} {name} {length}" + (" (table)" if marked else ""))
                failed = failed or not marked
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
