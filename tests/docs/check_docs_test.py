#!/usr/bin/env python3
"""scripts/check-docs against small made-up repositories, each broken in one way a page drifts."""

import importlib.machinery
import importlib.util
import os
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SCRIPT = os.path.join(HERE, "..", "..", "scripts", "check-docs")
loader = importlib.machinery.SourceFileLoader("check_docs", SCRIPT)
spec = importlib.util.spec_from_loader("check_docs", loader)
check_docs = importlib.util.module_from_spec(spec)
loader.exec_module(check_docs)

README = ("# Tool\n\n[Runs](docs/runs.md), [speed](docs/performance.md#timing),\n"
          "[reasons](docs/runs.md#the-systems-reasons-and-runs).\n")
RUNS = ("# Runs\n\n## The `--seed` option\n\nSee [timing](performance.md#timing).\n\n"
        "## The system's reasons, and runs\n")
PERFORMANCE = ("# Performance\n\n## Timing\n\nMeasured with:\n\n```sh\nscripts/time-it 5\n```\n\n"
               "| Study | Time |\n|---|---|\n| 100 x 100 | 13.3 ms |\n")
INSTALLER = ('File "${STAGE}\\docs\\runs.md"\nFile "${STAGE}\\docs\\performance.md"\n'
             'Delete "$INSTDIR\\docs\\runs.md"\nDelete "$INSTDIR\\docs\\performance.md"\n')
SOUND = {
    "README.md": README,
    "docs/runs.md": RUNS,
    "docs/performance.md": PERFORMANCE,
    "scripts/time-it": "#!/bin/sh\n",
    "packaging/windows/quorvane.nsi": INSTALLER,
}

# (what the fault is, the file changed, text replaced, its replacement, words of the fault)
BROKEN = [
    # A page renamed or moved while a link still names it.
    ("missing page", "README.md", "docs/runs.md", "docs/run.md", "'docs/run.md', which does not"),
    # The same, where the link's words run over two lines.
    ("missing page, link over two lines", "README.md", "[Runs](docs/runs.md)",
     "[The\nruns](docs/run.md)", "README.md:3: links to 'docs/run.md'"),
    # A heading reworded while a link to it stays.
    ("missing heading", "docs/runs.md", "performance.md#timing", "performance.md#timings",
     "'#timings', which is no heading"),
    # An anchor within the same page, made wrong.
    ("missing own heading", "docs/runs.md", "See [timing](performance.md#timing)",
     "See [the option](#the-seed)", "'#the-seed', which is no heading"),
    # A figure added without the command that measured it.
    ("figure without command", "docs/performance.md", "| 100 x 100 | 13.3 ms |\n",
     "| 100 x 100 | 13.3 ms |\n\n## Memory\n\nA run peaks at 6,996 KB.\n",
     "a figure with no command beside it"),
    # A ratio in a table, without its command.
    ("ratio without command", "docs/performance.md", "| 100 x 100 | 13.3 ms |\n",
     "| 100 x 100 | 13.3 ms |\n\n## Ratios\n\n| a | b |\n|---|---|\n| x | 3.95 |\n",
     "a figure with no command beside it"),
    # A command whose script was renamed or never committed.
    ("command that is no script", "docs/performance.md", "scripts/time-it 5", "scripts/timeit 5",
     "'scripts/timeit' is no script"),
    # A new page nobody can find from the README.
    ("page not linked", "README.md", "docs/runs.md", "docs/performance.md",
     "does not link to docs/runs.md"),
    # A new page the Windows installer would leave out, or leave behind at uninstall.
    ("page not installed", "packaging/windows/quorvane.nsi", 'File "${STAGE}\\docs\\runs.md"\n', "",
     "does not install docs/runs.md"),
    ("page not removed", "packaging/windows/quorvane.nsi", 'Delete "$INSTDIR\\docs\\runs.md"\n', "",
     "does not remove docs/runs.md"),
]


def write_tree(root, files):
    for name, text in files.items():
        path = os.path.join(root, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as file:
            file.write(text)


class CheckDocsTest(unittest.TestCase):
    # Catches a checker that refuses sound pages: code-span headings, anchors in other pages made
    # as code hosts make them (without apostrophes and commas), figures beside their commands, and
    # links where they are no links: in code spans and code blocks.
    def test_sound_pages_pass(self):
        code = "\n`[x](gone.md)`\n\n```\n[y](gone.md#z)\n```\n"
        for name, added in [("sound", ""), ("links in code", code)]:
            with self.subTest(name), tempfile.TemporaryDirectory() as root:
                write_tree(root, dict(SOUND, **{"docs/runs.md": RUNS + added}))
                self.assertEqual(check_docs.check(root), [])

    # Catches each way a link or a figure drifts going unnoticed.
    def test_each_broken_page_is_refused(self):
        for name, file, text, replacement, words in BROKEN:
            with self.subTest(name), tempfile.TemporaryDirectory() as root:
                files = dict(SOUND)
                self.assertIn(text, files[file])
                files[file] = files[file].replace(text, replacement)
                write_tree(root, files)
                faults = check_docs.check(root)
                self.assertTrue(any(words in fault for fault in faults), faults)


if __name__ == "__main__":
    sys.exit(unittest.main())
