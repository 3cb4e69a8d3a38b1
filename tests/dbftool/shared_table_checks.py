"""Several `dbftool import` runs on one results table, and imports killed with SIGKILL, read
back by the peer libraries. Used by the CTest tests beside it (small counts) and run as a
script for the full figures:

  /usr/bin/python3 tests/dbftool/shared_table_checks.py build/tools/dbftool/dbftool \\
      --rows 100000 --processes 2 4 --kills 10
"""
import argparse
import json
import os
import random
import signal
import struct
import subprocess
import tempfile
import time

import dbf
import dbfread

RESULTS_HEADER = "PRIJMENI,JMENO,RC1,RC2,POC_SPR,POC_CHYB,SUMA_AGR,SUMA_SM,POM_A_S,POM_S_S,ODPOVEDI\n"


def results_row(source, row):
    """Row `row` of import `source`: who wrote it and which row it is, and values that
    can be checked field by field (Czech letters go through code page 852)."""
    return [f"Šťastný{source}", str(row), f"{source:06d}", f"{row % 10000:04d}", str(row % 99999),
            str(source), str(row % 999), str(-(row % 99)), "0.25", "1.50",
            "|" + "|".join(str((row + k * source) % 31) for k in range(1 + row % 30))]


def write_csv(path, source, rows):
    with open(path, "w", encoding="utf-8", newline="") as csv_file:
        csv_file.write(RESULTS_HEADER)
        for row in range(rows):
            csv_file.write(",".join(results_row(source, row)) + "\n")


def peer_row(values):
    """A record as a peer library gives it, back in the text form of results_row."""
    return ["" if value is None else str(value).rstrip() for value in values]


def dbftool(tool, *arguments, stdin=None, folder=None):
    return subprocess.run([tool, *arguments], cwd=folder, stdin=stdin, capture_output=True, timeout=600)


def create_results_table(tool, path):
    result = dbftool(tool, "create", "--results", path)
    if result.returncode != 0:
        raise RuntimeError(result.stderr.decode())


def header_figures(path):
    """Header length, record length and the header's record count."""
    with open(path, "rb") as table_file:
        prefix = table_file.read(12)
    count, header_length, record_length = struct.unpack("<IHH", prefix[4:12])
    return header_length, record_length, count


def records_in_file(path):
    """The number of whole records the file holds, whatever its header says."""
    header_length, record_length, _ = header_figures(path)
    return (os.path.getsize(path) - header_length) // record_length


def concurrent_imports(tool, folder, processes, rows, from_stdin=False):
    """Starts `processes` imports of `rows` rows each into one new table together; returns
    (table path, seconds, [(exit status, standard output, standard error)])."""
    table = os.path.join(folder, f"shared_{processes}.dbf")
    create_results_table(tool, table)
    csv_paths = []
    for source in range(processes):
        csv_paths.append(os.path.join(folder, f"rows_{source}.csv"))
        write_csv(csv_paths[-1], source, rows)
    start = time.monotonic()
    runs = []
    for csv_path in csv_paths:
        if from_stdin:
            with open(csv_path, "rb") as csv_file:
                runs.append(subprocess.Popen([tool, "import", table], stdin=csv_file, stdout=subprocess.PIPE,
                                             stderr=subprocess.PIPE))
        else:
            runs.append(subprocess.Popen([tool, "import", table, csv_path], stdout=subprocess.PIPE,
                                         stderr=subprocess.PIPE))
    outcomes = []
    for run in runs:
        out, err = run.communicate(timeout=600)
        outcomes.append((run.returncode, out.decode(), err.decode()))
    return table, time.monotonic() - start, outcomes


def shared_table_findings(table, processes, rows):
    """What is wrong with a table that `processes` imports of `rows` rows filled: an empty
    list when python3-dbfread reads exactly every input row once, each field intact, and
    the header count agrees."""
    findings = []
    expected = {(f"Šťastný{source}", str(row)): results_row(source, row)
                for source in range(processes) for row in range(rows)}
    seen = set()
    reader = dbfread.DBF(table, encoding="cp852", char_decode_errors="strict")
    for values in reader:
        row = peer_row(list(values.values()))
        key = (row[0], row[1])
        if key in seen:
            findings.append(f"row {key} twice")
        elif key not in expected:
            findings.append(f"a record no import wrote: {row[:4]}")
        elif expected[key] != row:
            findings.append(f"row {key} stored as {row}")
        seen.add(key)
        if len(findings) > 10:
            break
    if len(seen) != len(expected):
        findings.append(f"{len(seen)} distinct rows of {len(expected)}")
    if reader.header.numrecords != processes * rows:
        findings.append(f"header count {reader.header.numrecords}, expected {processes * rows}")
    if records_in_file(table) != processes * rows:
        findings.append(f"{records_in_file(table)} records in the file, expected {processes * rows}")
    return findings


def whole_import_seconds(tool, folder, rows):
    """How long an import of `rows` rows takes from start to exit."""
    table = os.path.join(folder, "whole.dbf")
    csv_path = os.path.join(folder, "rows_whole.csv")
    write_csv(csv_path, 0, rows)
    create_results_table(tool, table)
    start = time.monotonic()
    result = dbftool(tool, "import", table, csv_path)
    seconds = time.monotonic() - start
    if result.returncode != 0:
        raise RuntimeError(result.stderr.decode())
    os.remove(table)
    return seconds


def killed_import(tool, folder, rows, trial, longest_delay):
    """Kills an import of `rows` rows after a random delay of up to `longest_delay` seconds;
    returns a dict of what the peers then find."""
    table = os.path.join(folder, f"killed_{trial}.dbf")
    csv_path = os.path.join(folder, "rows_killed.csv")
    if not os.path.exists(csv_path):
        write_csv(csv_path, 0, rows)
    create_results_table(tool, table)
    delay = random.uniform(0, longest_delay)
    run = subprocess.Popen([tool, "import", table, csv_path], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    time.sleep(delay)
    run.send_signal(signal.SIGKILL)
    run.wait()
    in_file = records_in_file(table)
    peer = dbf.Table(table, codepage="cp852")
    peer.open(dbf.READ_ONLY)
    try:
        peer_count = len(peer)
        intact = all(peer_row(list(record)) == results_row(0, index) for index, record in enumerate(peer))
    finally:
        peer.close()
    info = dbftool(tool, "info", table, "--json")
    warnings = json.loads(info.stdout)["warnings"] if info.returncode == 0 else ["info failed"]
    return {"delay": delay, "killed": run.returncode == -signal.SIGKILL, "in_file": in_file,
            "peer_count": peer_count, "intact": intact, "warnings": warnings}


def killed_import_findings(outcome):
    """What is wrong with a killed import's table: the peer's count is the records in the
    file, or one fewer when the kill fell between a record and its header count (then, and
    only then, reopening warns), and every row it reads is intact."""
    findings = []
    lag = outcome["in_file"] - outcome["peer_count"]
    if lag not in (0, 1):
        findings.append(f"python3-dbf reads {outcome['peer_count']} records, the file holds {outcome['in_file']}")
    if not outcome["intact"]:
        findings.append("a record read back differs from its row")
    if lag == 0 and outcome["warnings"]:
        findings.append(f"reopening warns: {outcome['warnings']}")
    if lag == 1 and not outcome["warnings"]:
        findings.append("a lagging header count passed without a warning")
    return findings


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("dbftool")
    parser.add_argument("--rows", type=int, default=100000)
    parser.add_argument("--processes", type=int, nargs="*", default=[2, 4])
    parser.add_argument("--kills", type=int, default=10)
    arguments = parser.parse_args()
    tool = os.path.abspath(arguments.dbftool)
    failed = False
    with tempfile.TemporaryDirectory(prefix="shared-table-") as folder:
        for processes in arguments.processes:
            for from_stdin in (False, True):
                table, seconds, outcomes = concurrent_imports(tool, folder, processes, arguments.rows, from_stdin)
                findings = [f"exit {status}: {err.strip()}" for status, _, err in outcomes if status != 0]
                findings += shared_table_findings(table, processes, arguments.rows)
                failed |= bool(findings)
                source = "standard input, lock per row" if from_stdin else "CSV files, lock per run"
                print(f"{processes} imports x {arguments.rows} rows ({source}): {seconds:.2f} s, "
                      f"{records_in_file(table)} records; " + ("; ".join(findings) or "every row once, intact"))
                os.remove(table)
        # Kills fall anywhere in the time a whole import takes; one that comes after the
        # import ended is drawn again.
        longest = whole_import_seconds(tool, folder, arguments.rows)
        kills = 0
        for trial in range(3 * arguments.kills):
            if kills == arguments.kills:
                break
            outcome = killed_import(tool, folder, arguments.rows, trial, longest)
            if not outcome["killed"]:
                continue
            kills += 1
            findings = killed_import_findings(outcome)
            failed |= bool(findings)
            print(f"kill {kills} after {outcome['delay']:.3f} s: {outcome['in_file']} records in the file, "
                  f"python3-dbf reads {outcome['peer_count']}, warnings {outcome['warnings']}; "
                  + ("; ".join(findings) or "intact"))
        failed |= kills < arguments.kills
    return 1 if failed else 0


if __name__ == "__main__":
    raise SystemExit(main())
