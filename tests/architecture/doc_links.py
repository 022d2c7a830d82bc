#!/usr/bin/env python3
"""Fails when a relative link or image of the documentation leads nowhere. Run as

    python3 doc_links.py ROOT

ROOT is the project root: README.md and every docs/**/*.md under it are read. A link's file must
exist (relative to the page that links it), and an anchor `#name` must name a heading of its
target page by the anchor GitHub gives it: the heading's text in lower case, spaces turned into
'-', every character but letters, digits, '_' and '-' dropped, '-1', '-2', ... added to repeats.
Links inside code (fenced blocks and `spans`) are text, not links; web addresses are not followed.
"""

import pathlib
import re
import sys
import urllib.parse

FENCE = re.compile(r"^\s*(```|~~~)")
CODE_SPAN = re.compile(r"(`+)(.+?)\1", re.DOTALL)
# [text](target "title") and ![alt](target); the text may hold one level of brackets and line breaks.
INLINE_LINK = re.compile(r"!?\[(?:[^\[\]]|\[[^\[\]]*\])*\]\(\s*<?([^()\s<>]+)>?(?:\s+\"[^\"]*\")?\s*\)")
REFERENCE_DEFINITION = re.compile(r"^\s{0,3}\[[^\]]+\]:\s*<?(\S+?)>?(?:\s|$)", re.MULTILINE)
HEADING = re.compile(r"^\s{0,3}(#{1,6})\s+(.*?)(?:\s+#+)?\s*$")
HEADING_LINK = re.compile(r"!?\[([^\]]*)\]\([^)]*\)")


def blank_keeping_lines(match):
    return re.sub(r"[^\n]", " ", match.group(0))


def prose_of(text):
    """The page with fenced blocks and code spans blanked out, line numbers kept."""
    lines, in_fence = [], False
    for line in text.split("\n"):
        if FENCE.match(line):
            in_fence = not in_fence
            lines.append("")
        else:
            lines.append("" if in_fence else line)
    return CODE_SPAN.sub(blank_keeping_lines, "\n".join(lines))


def anchor_of(heading):
    text = HEADING_LINK.sub(r"\1", heading).lower()
    return re.sub(r"[^\w\- ]", "", text).replace(" ", "-")


def anchors_of(page):
    anchors, seen, in_fence = set(), {}, False
    for line in page.read_text(encoding="utf-8").split("\n"):
        if FENCE.match(line):
            in_fence = not in_fence
            continue
        heading = None if in_fence else HEADING.match(line)
        if heading:
            anchor = anchor_of(heading.group(2))
            count = seen.get(anchor, 0)
            seen[anchor] = count + 1
            anchors.add(anchor if count == 0 else f"{anchor}-{count}")
    return anchors


def problems_of(page, root):
    prose = prose_of(page.read_text(encoding="utf-8"))
    targets = [(m.start(1), m.group(1)) for m in INLINE_LINK.finditer(prose)]
    targets += [(m.start(1), m.group(1)) for m in REFERENCE_DEFINITION.finditer(prose)]
    shown = page.relative_to(root)
    for offset, target in sorted(targets):
        if re.match(r"^[a-zA-Z][a-zA-Z0-9+.-]*:", target):
            continue
        line = prose.count("\n", 0, offset) + 1
        path_part, _, anchor = target.partition("#")
        linked = (page.parent / urllib.parse.unquote(path_part)).resolve() if path_part else page
        if not linked.exists():
            yield f"{shown}:{line}: {target}: no such file"
        elif anchor and linked.suffix == ".md" and urllib.parse.unquote(anchor) not in anchors_of(linked):
            yield f"{shown}:{line}: {target}: no heading '{anchor}' in {linked.name}"


def main():
    root = pathlib.Path(sys.argv[1]).resolve()
    pages = [root / "README.md"] + sorted((root / "docs").rglob("*.md"))
    problems = [problem for page in pages for problem in problems_of(page, root)]
    for problem in problems:
        print(problem, file=sys.stderr)
    if problems:
        print(f"{len(problems)} link(s) lead nowhere", file=sys.stderr)
        return 1
    print(f"every relative link of {len(pages)} page(s) leads to a file and heading")
    return 0


if __name__ == "__main__":
    sys.exit(main())
