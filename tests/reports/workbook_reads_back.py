"""The export's workbook read back by openpyxl, a reader that did not write it: for a run of each
program on the sample study, and for a table whose participants carry labels in any script, every
sheet holds its CSV table field for field, numbers as numbers (the same doubles) and texts as the
same UTF-8 text; and the same run writes the same workbook bytes.

Usage: workbook_reads_back.py PROGRAMS_FOLDER SAMPLE_STUDY"""
import csv
import io
import os
import shutil
import subprocess
import sys
import tempfile

import openpyxl

programs, sample = os.path.abspath(sys.argv[1]), sys.argv[2]
failures = []


def run(program, folder, study, name):
    subprocess.run([os.path.join(programs, program), "--seed", "7", "--export", name, study],
                   cwd=folder, check=True, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)


def compare(folder, name, what):
    book = openpyxl.load_workbook(os.path.join(folder, name + ".xlsx"), read_only=True)
    # Catches sheets missing, renamed or in another order.
    if book.sheetnames != ["summary", "distribution", "sets", "groups"]:
        failures.append(f"{what}: sheets {book.sheetnames}")
    for sheet in book.sheetnames:
        with open(os.path.join(folder, f"{name}-{sheet}.csv"), newline="", encoding="utf-8") as f:
            table = list(csv.reader(f))
        cells = [list(row) for row in book[sheet].iter_rows(values_only=True)]
        if len(cells) != len(table):
            failures.append(f"{what} {sheet}: {len(cells)} rows, the CSV {len(table)}")
            continue
        for r, (row, fields) in enumerate(zip(cells, table)):
            row = row + [None] * (len(fields) - len(row))
            for c, field in enumerate(fields):
                value = row[c]
                try:
                    # A version ("2.10") is a text, whatever it looks like.
                    if table[0][c] == "version":
                        raise ValueError
                    number = float(field)
                    # Catches numbers stored as text (Excel's green triangles, sums of 0).
                    same = isinstance(value, (int, float)) and not isinstance(value, bool) \
                        and float(value) == number and r > 0
                    if r == 0:
                        same = value == field
                except ValueError:
                    # Catches an empty field written as an empty text or 0, and texts mangled
                    # (JÃ¼rgen for Jürgen) or cut.
                    same = value == field if field != "" else value is None
                if not same:
                    failures.append(f"{what} {sheet} row {r + 1} column {c + 1}: "
                                    f"{value!r} for {field!r}")
                    break


with tempfile.TemporaryDirectory() as root:
    for program in ["Quorvane-Pairs", "Quorvane-Triads", "Quorvane-Quads"]:
        folder = os.path.join(root, program)
        os.mkdir(folder)
        shutil.copy(sample, os.path.join(folder, "study.txt"))
        run(program, folder, "study.txt", "w")
        compare(folder, "w", program)
        # Catches a date or anything else that varies between runs inside the workbook.
        run(program, folder, "study.txt", "again")
        with open(os.path.join(folder, "w.xlsx"), "rb") as a, \
                open(os.path.join(folder, "again.xlsx"), "rb") as b:
            if a.read() != b.read():
                failures.append(f"{program}: the same run gave another workbook")

    labelled = os.path.join(root, "labelled")
    os.mkdir(labelled)
    rows = ["id,q1,q2,q3"] + [f"{label},{i % 2},{i // 2 % 2},1" for i, label in enumerate(
        ["Jürgen", "Zoë", "\u7814\u7a76", "O'Brien & <Co>", "  blank  ", "=1+1", "Ana", "Bo"])]
    with open(os.path.join(labelled, "study.csv"), "w", encoding="utf-8", newline="") as f:
        f.write("\r\n".join(rows) + "\r\n")
    run("Quorvane-Pairs", labelled, "study.csv", "labels")
    compare(labelled, "labels", "labelled table")

for failure in failures:
    print(failure, file=sys.stderr)
sys.exit(1 if failures else 0)
