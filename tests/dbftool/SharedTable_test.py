"""Several `dbftool import` runs on one table started together lose no row and repeat none,
whether each holds the append lock for its run (CSV files) or takes it row by row
(standard input); a killed import leaves a table that python3-dbf reads whole. Small counts;
shared_table_checks.py runs the same checks at full size."""
import os
import tempfile
import unittest

from dbftool_testing import DBFTOOL
from shared_table_checks import (concurrent_imports, killed_import, killed_import_findings, shared_table_findings,
                                 whole_import_seconds)


class SharedTable(unittest.TestCase):
    def setUp(self):
        scratch = tempfile.TemporaryDirectory(prefix="dbftool-shared-")
        self.addCleanup(scratch.cleanup)
        self.folder = scratch.name

    def test_imports_started_together_keep_every_row_once(self):
        for processes, rows, from_stdin in [(2, 3000, False), (4, 1500, False), (2, 3000, True)]:
            with self.subTest(processes=processes, from_stdin=from_stdin):
                table, _, outcomes = concurrent_imports(DBFTOOL, self.folder, processes, rows, from_stdin)
                for status, out, err in outcomes:
                    self.assertEqual((status, err), (0, ""))
                    self.assertEqual(out, f"{rows} records appended to {table}\n")
                self.assertEqual(shared_table_findings(table, processes, rows), [])
                os.remove(table)

    def test_a_killed_import_leaves_a_table_the_peers_read_whole(self):
        longest = whole_import_seconds(DBFTOOL, self.folder, 20000) * 0.9
        for trial in range(3):
            outcome = killed_import(DBFTOOL, self.folder, 20000, trial, longest)
            with self.subTest(trial=trial, delay=outcome["delay"]):
                # A kill after the import ended finds a closed table: it must read whole too.
                self.assertEqual(killed_import_findings(outcome), [])


if __name__ == "__main__":
    unittest.main()
