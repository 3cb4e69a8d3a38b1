#!/usr/bin/python3
"""The exports of a results table beside `dbftool dump --format csv`: for each table size the
median time and the peak memory (maximum resident set) of each export, each run in a fresh
process, so that memory flat in the table's size shows as equal peaks. Then, on the largest
table, PSPP (pspp-convert) and openpyxl read the .sav and the .xlsx back and every value is
compared with the dump's.

Usage: bench/export_bench.py BUILD_FOLDER [--sizes=10000,100000] [--runs=3]
(needs /usr/bin/time, pspp and python3-openpyxl; writes into a scratch folder)"""
import argparse
import csv
import io
import os
import random
import statistics
import subprocess
import sys
import tempfile
import time

import openpyxl

FIELDS = ["PRIJMENI", "JMENO", "RC1", "RC2", "POC_SPR", "POC_CHYB", "SUMA_AGR", "SUMA_SM", "POM_A_S", "POM_S_S",
          "ODPOVEDI"]
NUMBERS = {"POC_SPR", "POC_CHYB", "SUMA_AGR", "SUMA_SM", "POM_A_S", "POM_S_S"}
SURNAMES = ["Novák", "Svobodová", "Dvořák", "Černá", "Procházka", "Kučerová", "Veselý", "Horáková", "Němec",
            "Marková", "Pokorný", "Pospíšilová", "Hájek", "Králová", "Jelínek", "Růžičková"]
FIRST_NAMES = ["Jan", "Marie", "Petr", "Lucie", "Tomáš", "Eva", "Martin", "Tereza", "Jiří", "Kateřina", "Ondřej"]
OPERATIONS = [("dump --format csv", None), ("export .csv", "out.csv"), ("export .json", "out.json"),
              ("export .xlsx", "out.xlsx"), ("export .sav", "out.sav")]


def ratio_text(part, whole):
    return "0" if whole <= 0 else f"{part / whole:5.2f}"[:5]


def results_rows(count):
    """Evaluated subjects as the program stores them, the same for every run."""
    generator = random.Random(16)
    for _ in range(count):
        answers = [generator.choice([0] + list(range(1, 31))) for _ in range(generator.randint(0, 30))]
        correct = sum(1 for answer in answers if answer > 0)
        agr = generator.randint(0, min(correct, 9))
        sm = generator.randint(0, min(correct, 9))
        yield [generator.choice(SURNAMES), generator.choice(FIRST_NAMES), f"{generator.randint(0, 999999):06d}",
               f"{generator.randint(0, 9999):04d}", str(correct), str(len(answers) - correct), str(agr), str(sm),
               ratio_text(agr, correct), ratio_text(sm, correct), "".join(f"|{answer}" for answer in answers)]


def make_table(dbftool, folder, count):
    table = os.path.join(folder, f"VYSLEDKY_{count}.DBF")
    subprocess.run([dbftool, "create", table, "--results"], check=True, capture_output=True)
    text = io.StringIO()
    writer = csv.writer(text, lineterminator="\n")
    writer.writerow(FIELDS)
    writer.writerows(results_rows(count))
    subprocess.run([dbftool, "import", table], input=text.getvalue().encode("utf-8"), check=True,
                   capture_output=True)
    return table


def measured_run(command, folder):
    """Seconds and peak memory (KiB) of one run, as /usr/bin/time reports them."""
    report = os.path.join(folder, "time.txt")
    started = time.monotonic()
    subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report, *command], check=True, stdout=subprocess.DEVNULL)
    seconds = time.monotonic() - started
    with open(report) as file:
        return seconds, int(file.read().split()[-1])


def measure(dbftool, folder, table, runs):
    results = {}
    for name, out in OPERATIONS:
        samples = []
        for _ in range(runs):
            command = [dbftool, "dump", table, "--format", "csv"] if out is None else \
                [dbftool, "export", table, os.path.join(folder, out), "--force"]
            samples.append(measured_run(command, folder))
        results[name] = (statistics.median(s for s, _ in samples), max(m for _, m in samples))
    return results


def same(field, dumped, value):
    if dumped == "":
        return value in (None, "", " ")
    if field in NUMBERS:
        return value not in (None, "", " ") and abs(float(value) - float(dumped)) < 1e-9
    return value == dumped


def compare(name, dumped, rows):
    """The number of values that differ from the dump's, with the first few shown."""
    differences = 0
    if len(rows) != len(dumped):
        print(f"  {name}: {len(rows) - 1} records read back, the dump has {len(dumped) - 1}")
        return 1
    for number, (dumped_row, row) in enumerate(zip(dumped, rows)):
        for field, dumped_value, value in zip(FIELDS, dumped_row, row):
            if number > 0 and not same(field, dumped_value, value):
                differences += 1
                if differences <= 3:
                    print(f"  {name}: record {number} {field}: dump {dumped_value!r}, read back {value!r}")
    return differences


def verify(dbftool, folder, table):
    dumped = list(csv.reader(io.StringIO(subprocess.run([dbftool, "dump", table], check=True, capture_output=True)
                                          .stdout.decode("utf-8"), newline="")))
    converted = os.path.join(folder, "pspp.csv")
    subprocess.run(["pspp-convert", os.path.join(folder, "out.sav"), converted], check=True, capture_output=True)
    with open(converted, newline="", encoding="utf-8") as file:
        sav_rows = list(csv.reader(file))
    sheet = openpyxl.load_workbook(os.path.join(folder, "out.xlsx"), read_only=True).active
    xlsx_rows = [list(row) for row in sheet.iter_rows(values_only=True)]
    for name, rows in (("PSPP (.sav)", sav_rows), ("openpyxl (.xlsx)", xlsx_rows)):
        differences = compare(name, dumped, rows)
        print(f"{name}: {len(rows) - 1} records, {len(dumped[0]) * (len(dumped) - 1)} values, "
              f"{differences} differ from the dump")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("build")
    parser.add_argument("--sizes", default="10000,100000")
    parser.add_argument("--runs", type=int, default=3)
    options = parser.parse_args()
    dbftool = os.path.abspath(os.path.join(options.build, "tools", "dbftool", "dbftool"))
    sizes = [int(size) for size in options.sizes.split(",")]
    with tempfile.TemporaryDirectory(prefix="export-bench-") as folder:
        print(f"{'records':>8}  {'operation':<18} {'median s':>9} {'peak MiB':>9}")
        for count in sizes:
            table = make_table(dbftool, folder, count)
            for name, (seconds, kib) in measure(dbftool, folder, table, options.runs).items():
                print(f"{count:>8}  {name:<18} {seconds:>9.3f} {kib / 1024:>9.1f}")
        verify(dbftool, folder, table)
    return 0


if __name__ == "__main__":
    sys.exit(main())
