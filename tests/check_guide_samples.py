#!/usr/bin/env python3
"""Checks that the guides show their samples verbatim from the files the tests run.

A fenced block preceded by the line <!-- sample: PATH --> (PATH relative to the
guide's folder) must hold exactly the text of that file. In the guides under docs/,
every fenced block must be such a sample, except blocks marked ```text, which show
layouts rather than code. The README's marked blocks are checked the same way.

Usage: check_guide_samples.py <project root>
"""
import pathlib
import re
import sys

MARKER = re.compile(r"^<!-- sample: (\S+) -->$")


def fenced_blocks(lines):
    """Yields (line number, info string, text, marker path or None) per fenced block."""
    marker = None
    i = 0
    while i < len(lines):
        line = lines[i]
        found = MARKER.match(line)
        if found:
            marker = found.group(1)
        elif line.startswith("```"):
            start, info = i, line[3:].strip()
            i += 1
            body = []
            while i < len(lines) and lines[i] != "```":
                body.append(lines[i])
                i += 1
            yield start + 1, info, "".join(l + "\n" for l in body), marker
            marker = None
        elif line.strip():
            marker = None
        i += 1


def check(guide, every_block_is_a_sample):
    failures = []
    lines = guide.read_text().split("\n")
    for line, info, text, marker in fenced_blocks(lines):
        where = f"{guide}:{line}"
        if marker is None:
            if every_block_is_a_sample and info != "text":
                failures.append(f"{where}: a code block without its sample file")
            continue
        sample = guide.parent / marker
        if not sample.is_file():
            failures.append(f"{where}: no sample file {marker}")
        elif sample.read_text() != text:
            failures.append(f"{where}: differs from {marker}")
    return failures


def main():
    root = pathlib.Path(sys.argv[1])
    guides = sorted((root / "docs").glob("*.md"))
    failures = []
    for guide in guides:
        failures += check(guide, True)
    failures += check(root / "README.md", False)
    for failure in failures:
        print(failure)
    if not guides:
        print("no guides found under docs/")
        return 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
