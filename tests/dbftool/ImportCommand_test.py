"""`dbftool import`: CSV rows appended through the table's append and post, read back by
the tool and by python3-dbfread; bad rows stop the import without a half-written record;
endless or huge input is refused within bounded memory; a foreign table whose fields do
not fill its records is never written."""
import os
import shutil
import struct
import subprocess
import unittest

import dbf
import dbfread

from dbftool_testing import RESULTS_FIELDS, ToolTestCase, memory_cap

# Quoted commas, doubled quotes, a line end inside quotes, an empty row value and CR LF.
RESULTS_CSV = (
    "PRIJMENI,JMENO,RC1,RC2,POC_SPR,POC_CHYB,SUMA_AGR,SUMA_SM,POM_A_S,POM_S_S,ODPOVEDI\r\n"
    "Novák,Jiří,800229,1234,12,3,-5,7,\"1,5\",0,\"ab \"\"c\"\" d\"\r\n"
    "Šťastná,Žofie,755231,0012,0,0,0,0,0,0,\r\n"
    "\"Dvořáček\r\nml.\",Řehoř,,,99999,-9999,999,-99,\"0,25\",\"4,0\",\"1,2,3\"\r\n"
    "Černý,Ondřej,010101,9999,1,2,3,4,x,y,ÁČĎÉĚÍŇÓŘŠŤÚŮÝŽáčďéěíňóřšťúůýž\r\n")

RESULTS_ROWS = [
    ["Novák", "Jiří", "800229", "1234", "12", "3", "-5", "7", "1,5", "0", "ab \"c\" d"],
    ["Šťastná", "Žofie", "755231", "0012", "0", "0", "0", "0", "0", "0", ""],
    ["Dvořáček\r\nml.", "Řehoř", "", "", "99999", "-9999", "999", "-99", "0,25", "4,0", "1,2,3"],
    ["Černý", "Ondřej", "010101", "9999", "1", "2", "3", "4", "x", "y", "ÁČĎÉĚÍŇÓŘŠŤÚŮÝŽáčďéěíňóřšťúůýž"],
]


def peer_values(row):
    """A results row as python3-dbfread gives it: numbers as int, empty numbers as None."""
    def peer_value(index, value):
        if not 4 <= index < 8:
            return value
        return int(value) if value else None
    return [peer_value(index, value) for index, value in enumerate(row)]


def peer_records(path):
    table = dbfread.DBF(path, encoding="cp852", char_decode_errors="strict")
    return [list(record.values()) for record in table]


class ResultsTableRoundTrip(ToolTestCase):
    def setUp(self):
        super().setUp()
        self.run_ok("create", "--results", "x.dbf")

    def test_czech_rows_come_back_through_dump_and_the_peer_reader(self):
        self.write("rows.csv", RESULTS_CSV)
        self.assertEqual(self.run_ok("import", "x.dbf", "rows.csv"), f"4 records appended to {self.path('x.dbf')}\n")
        self.assert_dump("x.dbf", [RESULTS_FIELDS] + RESULTS_ROWS)
        self.assertEqual(peer_records(self.path("x.dbf")), [peer_values(row) for row in RESULTS_ROWS])
        self.assert_sound_header("x.dbf", 4)

    def test_standard_input_with_byte_order_mark_lf_ends_and_a_lower_case_subset_of_fields(self):
        self.run_ok("import", "x.dbf", stdin="\ufeffjmeno,prijmeni,POC_spr\nJiří,Novák,12\n\nŽofie,Šťastná,\n")
        self.run_ok("import", "x.dbf", stdin="Prijmeni\r\nDvořáček")
        self.assert_dump("x.dbf", [RESULTS_FIELDS, ["Novák", "Jiří", "", "", "12"] + [""] * 6,
                                   ["Šťastná", "Žofie"] + [""] * 9, ["Dvořáček"] + [""] * 10])
        self.assertEqual(len(peer_records(self.path("x.dbf"))), 3)
        self.assert_sound_header("x.dbf", 3)


class BadRows(ToolTestCase):
    def setUp(self):
        super().setUp()
        self.run_ok("create", "--results", "x.dbf")

    def assert_records(self, surnames):
        self.assertEqual([row[0] for row in self.dump_csv("x.dbf")[1:]], surnames)
        self.assertEqual([record[0] for record in peer_records(self.path("x.dbf"))], surnames)
        self.assert_sound_header("x.dbf", len(surnames))

    def test_unknown_or_repeated_column_stops_before_any_row(self):
        self.write("rows.csv", "PRIJMENI,VEK\nNovák,40\n")
        err = self.assert_fails(["import", "x.dbf", "rows.csv"], "rows.csv, line 1: Field 'VEK' not found")
        self.assertEqual(err.count("\n"), 1)
        self.write("rows.csv", "\n\nPRIJMENI,prijmeni\nNovák,Novák\n")
        self.assert_fails(["import", "x.dbf", "rows.csv"], "rows.csv, line 3: Field 'PRIJMENI' is named twice")
        self.assert_fails(["import", "x.dbf"], "standard input: no header row", stdin="")
        self.assert_records([])

    def test_a_bad_value_keeps_the_rows_before_and_cancels_its_own(self):
        # The quoted line end makes the physical line numbers differ from the row numbers.
        self.write("rows.csv", "PRIJMENI,POC_SPR,SUMA_AGR\nNovák,1,2\n\"Šťastná\nml.\",3,4\nČerný,abc,5\nJiří,6,7\n")
        self.assert_fails(["import", "x.dbf", "rows.csv"],
                          "rows.csv, line 5: 'abc' is not a valid integer value for field 'POC_SPR' "
                          "(the 2 rows before it were appended)\n")
        self.assert_records(["Novák", "Šťastná\nml."])
        self.write("more.csv", "SUMA_AGR,PRIJMENI\n1000,Černý\n")
        self.assert_fails(["import", "x.dbf", "more.csv"], "more.csv, line 2: Field data too long :4 (must be "
                                                           "between 1 and 3). Field 'SUMA_AGR' of table ")
        self.assert_fails(["import", "x.dbf", "more.csv"], "x.dbf (nothing was appended)")
        self.assert_records(["Novák", "Šťastná\nml."])

    def test_malformed_csv_names_its_line(self):
        cases = [("PRIJMENI,JMENO\nNovák\n", "line 2: 1 values, but the header row names 2 fields"),
                 ("PRIJMENI\nNovák\n\"Šťastná", "line 3: a quoted field is not closed (the 1 row before it"),
                 ("PRIJMENI\n\"Novák\"x\n", "line 2: text after the closing quote of a field"),
                 (b"PRIJMENI\nNov\xa0k\n", "line 2: the value for PRIJMENI is not UTF-8 text")]
        for csv_text, message in cases:
            with self.subTest(message=message):
                self.assert_fails(["import", "x.dbf"], "standard input, " + message, stdin=csv_text)
        self.assert_records(["Novák"])

    def test_a_csv_that_cannot_be_read_leaves_the_table_untouched(self):
        before = self.read_bytes("x.dbf")
        self.assert_fails(["import", "x.dbf", "missing.csv"], f"Cannot open file {self.path('missing.csv')}")
        self.assertEqual(self.read_bytes("x.dbf"), before)
        self.assert_fails(["import", "missing.dbf"], "Table file not found", stdin="PRIJMENI\nNovák\n")


class EndlessHugeOrFolderInput(ToolTestCase):
    def test_is_refused_by_line_within_16_mib_of_memory(self):
        self.run_ok("create", "x.dbf", "--field", "JMENO:C:10")
        os.mkdir(self.path("folder.csv"))
        cases = [(["/dev/zero"], "", "/dev/zero, line 1: a value longer than 64 KiB"),
                 ([], "JMENO\nNovák\n" + "x" * 70_000, "input, line 3: a value longer than 64 KiB (no field holds "
                                                       "more than 254 characters) (the 1 row before it was appended)"),
                 ([], "JMENO\n" + ",".join(["y" * 60_000] * 20), "input, line 2: a row longer than 1 MiB"),
                 ([], "JMENO\n" + "," * 5000, "input, line 2: more than 4095 values in a row"),
                 (["folder.csv"], "", f"Cannot open file {self.path('folder.csv')}: is a directory")]
        for csv, stdin, message in cases:
            with self.subTest(message=message):
                self.assert_fails(["import", "x.dbf", *csv], message, stdin=stdin,
                                  limits=memory_cap(16 << 20))
        self.assertEqual(self.dump_csv("x.dbf"), [["JMENO"], ["Novák"]])


def write_gdal_shaped_table(path):
    """A table as GDAL writes it: a real column N(24,15), which the type table reads as N(20,15)."""
    fields = [(b"NAME", b"C", 10, 0), (b"REAL", b"N", 24, 15), (b"NUM", b"N", 9, 0)]
    descriptors = b"".join(struct.pack("<11sc4xBB14x", *field) for field in fields)
    record = b" " + b"Ann".ljust(10) + b"1.250000000000000".rjust(24) + b"7".rjust(9)
    with open(path, "wb") as file:
        file.write(struct.pack("<BBBBIHH20x", 3, 126, 12, 8, 1, 129, 44) + descriptors + b"\r" + record + b"\x1a")


def peer_views(path):
    """The table as python3-dbfread and, where it is installed, GDAL's ogrinfo read it."""
    views = [[dict(record) for record in dbfread.DBF(path)]]
    if shutil.which("ogrinfo"):
        run = subprocess.run(["ogrinfo", "-ro", "-al", "-q", path], capture_output=True, timeout=60)
        views.append((run.returncode, run.stdout))
    return views


class ForeignTablesWithWiderColumns(ToolTestCase):
    def test_import_is_refused_and_the_peers_read_the_table_unchanged(self):
        write_gdal_shaped_table(self.path("gdal.dbf"))
        table = dbf.Table(self.path("pydbf.dbf"), "F F(10,2); N N(6,0)", dbf_type="db3")
        table.open(dbf.READ_WRITE)
        table.append((1.5, 12))
        table.close()
        for name, csv, first, header_length, filled_length in (
                ("gdal.dbf", "NAME,REAL,NUM\nBob,1.25,123456\n", {"NAME": "Ann", "REAL": 1.25, "NUM": 7}, 44, 40),
                ("pydbf.dbf", "F,N\n1.25,123456\n", {"F": 1.5, "N": 12}, 17, 15)):
            with self.subTest(table=name):
                before = self.read_bytes(name), peer_views(self.path(name))
                self.assertEqual(before[1][0], [first])
                self.assert_fails(["import", name], f"line 2: Cannot write file {self.path(name)}: its header gives "
                                                    f"records of {header_length} bytes, but its fields as read fill "
                                                    f"{filled_length}", stdin=csv)
                self.assertEqual((self.read_bytes(name), peer_views(self.path(name))), before)


class ValuesStoredOtherwise(ToolTestCase):
    def test_cut_texts_and_missing_characters_are_stored_with_a_note(self):
        self.run_ok("create", "x.dbf", "--field", "JMENO:C:6", "--field", "VAHA:N:6:1")
        long_value = "Žofie\x1b[2J\r\n" + "ž" * 5_000  # quoted cut short, control characters escaped
        status, _, err = self.run_tool("import", "x.dbf",
                                       stdin=f'JMENO,VAHA\nBarbora,72.46\nZoë€,1.5\n"{long_value}",\n')
        self.assertEqual(status, 0)
        self.assertEqual(err, 'standard input, line 2: JMENO stored as "Barbor" (given "Barbora")\n'
                              'standard input, line 2: VAHA stored as "72.5" (given "72.46")\n'
                              'standard input, line 3: JMENO stored as "Zoë?" (given "Zoë€")\n'
                              'standard input, line 4: JMENO stored as "Žofie" '
                              f'(given "Žofie\\u001b[2J\\r\\n{"ž" * 29}…")\n')
        self.assert_dump("x.dbf", [["JMENO", "VAHA"], ["Barbor", "72.5"], ["Zoë?", "1.5"], ["Žofie", ""]])


if __name__ == "__main__":
    unittest.main()
