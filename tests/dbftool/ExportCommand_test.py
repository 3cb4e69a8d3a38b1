"""`dbftool export`: the workbook and the SPSS file hold the values `dump` prints, read back
by openpyxl and PSPP, typed (numbers with their decimals, dates, booleans, the results
table's ratio texts as numbers, its birth-number parts as texts, Czech labels in the SPSS
file); CSV and JSON are the dump itself; OUT appears whole or not at all."""
import csv
import os
import resource
import signal
import subprocess
import unittest

import openpyxl

from dbftool_testing import RESULTS_FIELDS, ToolTestCase

RESULTS_ROWS = [
    ["Novák", "Jan", "870314", "0123", "10", "2", "3", "1", " 0.30", " 0.10", "|1|2|3"],
    ["Černá", "Žofie", "025130", "0045", "0", "0", "0", "0", "0", "0", ""],
    ["Šťastný", "Ondřej", "", "", "3", "", "1", "0", " 0.33", "", "|7|0|9"],
    ["", "", "", "", "", "", "", "", "", "", ""],
]
LABELS = {"PRIJMENI": "Příjmení", "RC1": "Rodné číslo, první část", "POC_SPR": "Počet správných odpovědí",
          "POM_A_S": "Poměr AGR / počet správných", "ODPOVEDI": "Odpovědi"}
NUMBERS = {"POC_SPR", "POC_CHYB", "SUMA_AGR", "SUMA_SM", "POM_A_S", "POM_S_S"}


def csv_text(rows):
    return "".join(",".join(row) + "\n" for row in rows)


def read_csv(path):
    with open(path, newline="", encoding="utf-8") as file:
        return list(csv.reader(file))


class ExportTestCase(ToolTestCase):
    def results_table(self, rows=RESULTS_ROWS):
        self.run_ok("create", "v.dbf", "--results")
        self.run_ok("import", "v.dbf", stdin=csv_text([RESULTS_FIELDS] + rows))
        return self.dump_csv("v.dbf")

    def workbook_rows(self, name):
        sheet = openpyxl.load_workbook(self.path(name)).active
        return [[cell.value for cell in row] for row in sheet.iter_rows()], sheet

    def pspp(self, syntax):
        """The CSV output of a PSPP run of `syntax` over s.sav, as rows."""
        self.write("run.sps", f'GET FILE="{self.path("s.sav")}".\n{syntax}\n')
        subprocess.run(["pspp", self.path("run.sps"), "-o", self.path("pspp.csv")], check=True, capture_output=True)
        return read_csv(self.path("pspp.csv"))

    def sav_values(self):
        subprocess.run(["pspp-convert", self.path("s.sav"), self.path("s.csv")], check=True, capture_output=True)
        return read_csv(self.path("s.csv"))


class ResultsTableExport(ExportTestCase):
    def assert_value(self, field, dumped, value):
        if dumped == "":
            self.assertIn(value, (None, "", " "), field)
        elif field in NUMBERS:
            self.assertAlmostEqual(float(value), float(dumped), places=6, msg=field)
        else:
            self.assertEqual(value, dumped, field)

    def test_the_workbook_holds_the_dumped_values_with_numbers_as_numbers(self):
        dumped = self.results_table()
        self.run_ok("export", "v.dbf", "v.xlsx")
        rows, sheet = self.workbook_rows("v.xlsx")
        self.assertEqual(rows[0], RESULTS_FIELDS)
        self.assertEqual(sheet.max_row, len(dumped) - 1, "the empty record has a row of its own")
        for dumped_row, row in zip(dumped[1:], rows[1:]):
            for field, dumped_value, value in zip(RESULTS_FIELDS, dumped_row, row):
                self.assert_value(field, dumped_value, value)
        self.assertIsInstance(rows[1][RESULTS_FIELDS.index("POM_A_S")], float)
        self.assertEqual(sheet["I2"].number_format, "0.00")
        self.assertEqual(rows[2][2:4], ["025130", "0045"], "birth-number parts keep their leading zeros")

    def test_the_spss_file_holds_the_dumped_values_and_the_czech_labels(self):
        dumped = self.results_table()
        self.run_ok("export", "v.dbf", "s.sav")
        values = self.sav_values()
        self.assertEqual(values[0], RESULTS_FIELDS)
        self.assertEqual(len(values), len(dumped))
        for dumped_row, row in zip(dumped[1:], values[1:]):
            for field, dumped_value, value in zip(RESULTS_FIELDS, dumped_row, row):
                self.assert_value(field, dumped_value, value)
        labels = {row[0]: row[2] for row in self.pspp("DISPLAY LABELS.") if len(row) == 3}
        for field, label in LABELS.items():
            self.assertEqual(labels[field], label)
        formats = {row[0]: row[7] for row in self.pspp("DISPLAY DICTIONARY.") if len(row) > 7}
        self.assertEqual((formats["POM_A_S"], formats["SUMA_AGR"], formats["RC1"]), ("F5.2", "F3.0", "A6"))

    def test_csv_and_json_are_the_dump_byte_for_byte(self):
        self.results_table()
        for export_format in ("csv", "json"):
            with self.subTest(format=export_format):
                self.run_ok("export", "v.dbf", "v." + export_format.upper())
                self.assertEqual(self.read_bytes("v." + export_format.upper()).decode("utf-8"),
                                 self.run_ok("dump", "v.dbf", "--format", export_format))

    def test_a_ratio_text_that_is_no_number_is_exported_empty_and_said_once(self):
        row = RESULTS_ROWS[0][:8] + ["n/a", " 0.10", ""]
        self.results_table([row, row])
        status, out, err = self.run_tool("export", "v.dbf", "v.xlsx")
        self.assertEqual((status, out), (0, ""))
        self.assertEqual(err.count('Column POM_A_S holds "n/a", which is no number'), 1)
        rows, _ = self.workbook_rows("v.xlsx")
        self.assertEqual([row[8] for row in rows[1:]], [None, None])


class TypedColumnsExport(ExportTestCase):
    FIELDS = ["NAZEV:C:12", "CASTKA:N:8:2", "NAROZEN:D:8", "SOUHLAS:L:1", "VELKE:N:15"]
    ROWS = [["Žluťoučký", "12.34", "2001-02-03", "T", "123456789012"],
            ["kůň", "-0.5", "1850-12-31", "F", ""],
            ["", "", "", "", ""]]

    def setUp(self):
        super().setUp()
        self.run_ok("create", "t.dbf", *[part for field in self.FIELDS for part in ("--field", field)])
        self.run_ok("import", "t.dbf", stdin=csv_text([["NAZEV", "CASTKA", "NAROZEN", "SOUHLAS", "VELKE"]] + self.ROWS))

    def test_numbers_dates_and_booleans_keep_their_types_in_the_workbook(self):
        self.run_ok("export", "t.dbf", "t.xlsx")
        rows, sheet = self.workbook_rows("t.xlsx")
        self.assertEqual(rows[1][:2] + [rows[1][2].date().isoformat()] + rows[1][3:],
                         ["Žluťoučký", 12.34, "2001-02-03", True, 123456789012])
        self.assertEqual(rows[2], ["kůň", -0.5, "1850-12-31", False, None], "a date before 1900 stays text")
        self.assertEqual((sheet["B2"].number_format, sheet["C2"].number_format), ("0.00", "yyyy-mm-dd"))

    def test_numbers_dates_and_booleans_keep_their_types_in_the_spss_file(self):
        self.run_ok("export", "t.dbf", "s.sav")
        listed = self.pspp("LIST.")
        start = listed.index(["NAZEV", "CASTKA", "NAROZEN", "SOUHLAS", "VELKE"])
        self.assertEqual(listed[start + 1:start + 3], [["Žluťoučký", "12.34", "2001/02/03", "1", "123456789012"],
                                                       ["kůň", "-.50", "1850/12/31", "0", "."]])


class ExportFile(ExportTestCase):
    def setUp(self):
        super().setUp()
        self.results_table(RESULTS_ROWS[:2])

    def test_an_existing_out_is_replaced_only_with_force(self):
        self.write("v.xlsx", b"keep me")
        self.assert_fails(["export", "v.dbf", "v.xlsx"], "Cannot create file " + self.path("v.xlsx") +
                          ": file exists (--force replaces it)")
        self.assertEqual(self.read_bytes("v.xlsx"), b"keep me")
        self.run_ok("export", "v.dbf", "v.xlsx", "--force")
        self.assertEqual(self.workbook_rows("v.xlsx")[0][1][0], "Novák")
        self.assertEqual(sorted(os.listdir(self.folder)), ["v.dbf", "v.xlsx"])

    def test_a_failed_export_leaves_nothing_behind(self):
        def full_disk():
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            resource.setrlimit(resource.RLIMIT_FSIZE, (100, 100))

        for name in ("v.xlsx", "s.sav", "v.csv"):
            with self.subTest(name=name):
                self.assert_fails(["export", "v.dbf", name], "Cannot write file " + self.path(name), limits=full_disk)
        self.assertEqual(os.listdir(self.folder), ["v.dbf"])


if __name__ == "__main__":
    unittest.main()
