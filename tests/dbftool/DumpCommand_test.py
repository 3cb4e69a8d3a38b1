"""`dbftool dump`: a dBase III table written by python3-dbf read back through our field
objects, with and without its deleted record; dump and info leave files byte for byte
unchanged; errors exit with 1."""
import datetime
import struct
import unittest

import dbf

from dbftool_testing import ToolTestCase

FOREIGN_FIELDS = ["CISLO", "PRIJMENI", "JMENO", "VAHA", "ZIJE", "NAROZEN"]
FOREIGN_ROWS = [
    ["1", "Novák", "Jiří", "72.5", "T", "1980-02-29"],
    ["2", "Šťastná", "Žofie", "58.25", "F", "1975-12-31"],
    ["3", "Dvořáček", "Ondřej", "80", "F", "2001-09-11"],
    ["-45", "Černý, ml.", "Řehoř \"Zbyněk\"", "-1.5", "T", "2000-01-01"],
]
DELETED_ROW = 2


def write_foreign_table(path):
    """The rows above as python3-dbf writes them in dBase III, the third one deleted."""
    table = dbf.Table(path, "CISLO N(4,0); PRIJMENI C(15); JMENO C(15); VAHA F(8,2); ZIJE L; NAROZEN D",
                      dbf_type="db3", codepage="cp852")
    table.open(dbf.READ_WRITE)
    for number, surname, name, weight, alive, born in FOREIGN_ROWS:
        table.append((int(number), surname, name, float(weight), alive == "T", datetime.date.fromisoformat(born)))
    dbf.delete(table[DELETED_ROW])
    table.close()


class ForeignTable(ToolTestCase):
    def setUp(self):
        super().setUp()
        write_foreign_table(self.path("cizi.dbf"))

    def test_visible_records_through_the_field_objects(self):
        visible = [row for i, row in enumerate(FOREIGN_ROWS) if i != DELETED_ROW]
        self.assert_dump("cizi.dbf", [FOREIGN_FIELDS] + visible)

    def test_deleted_records_are_shown_and_flagged(self):
        flagged = [["*" if i == DELETED_ROW else ""] + row for i, row in enumerate(FOREIGN_ROWS)]
        self.assert_dump("cizi.dbf", [["_DELETED"] + FOREIGN_FIELDS] + flagged, "--deleted")

    def test_dump_and_info_leave_the_file_unchanged(self):
        # A header count one short of the file: a table opened for writing would mend it.
        data = bytearray(self.read_bytes("cizi.dbf"))
        data[4:8] = struct.pack("<I", len(FOREIGN_ROWS) - 1)
        self.write("cizi.dbf", bytes(data))
        for arguments in (["dump", "cizi.dbf"], ["dump", "cizi.dbf", "--deleted", "--format", "json"],
                          ["info", "cizi.dbf"], ["info", "--json", "cizi.dbf"]):
            with self.subTest(arguments=arguments):
                status, out, err = self.run_tool(*arguments)
                self.assertEqual(status, 0, err)
                self.assertIn("Invalid Record Count", out + err)
                self.assertEqual(self.read_bytes("cizi.dbf"), data)


class EmptyAndMissingTables(ToolTestCase):
    def test_an_empty_table_dumps_its_field_names_only(self):
        self.run_ok("create", "e.dbf", "--field", "A:C:1")
        self.assertEqual(self.run_ok("dump", "e.dbf"), "A\r\n")
        self.assertEqual(self.run_ok("dump", "e.dbf", "--format", "json", "--deleted"),
                         '{"fields": ["_DELETED", "A"], "records": []}\n')

    def test_errors_exit_with_one(self):
        self.assert_fails(["dump", "chybi.dbf"], f"Open: Table file not found : {self.path('chybi.dbf')}")
        self.run_ok("create", "e.dbf", "--field", "A:C:1")
        self.assert_fails(["dump", "e.dbf", "--format", "xml"], "Unknown format: xml")
        self.assert_fails(["dump", "e.dbf", "--all"], "Unknown option: --all")
        self.assert_fails(["dump"], "FILE is missing")
        self.write("short.dbf", b"\x03\x7e\x0c\x08")
        self.assert_fails(["dump", "short.dbf"], f"{self.path('short.dbf')} is too short to be a dBase table (4 bytes)")


if __name__ == "__main__":
    unittest.main()
