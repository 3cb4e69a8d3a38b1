"""`dbftool create`: tables from field definitions or with the results schema, as
python3-dbfread sees them; malformed definitions and existing names are refused, and a
create that fails leaves no file."""
import datetime
import os
import resource
import signal
import unittest

import dbfread

from dbftool_testing import RESULTS_FIELDS, ToolTestCase

EVERY_LETTER = ["JMENO:C:12", "CISLO:N:5", "VAHA:N:7:2", "VYSKA:F:8", "ZIJE:L:1", "NAROZEN:D:8"]

EVERY_LETTER_CSV = ("jmeno,cislo,vaha,vyska,zije,narozen\n"
                    "Jiří Novák,12345,72.25,181,T,1980-02-29\n"
                    "Žofie,-9999,-0.5,-3.125,f,2000-01-01\n"
                    ",,,,,\n"
                    "Ďáblík,0,1234.99,1e7,Y,19991231\n")


def peer_table(path):
    return dbfread.DBF(path, encoding="cp852", char_decode_errors="strict")


class PeersReadOurTables(ToolTestCase):
    def test_every_creatable_letter_reads_back_in_the_peer_reader(self):
        self.run_ok("create", "t.dbf", *[argument for spec in EVERY_LETTER for argument in ("--field", spec)])
        self.run_ok("import", "t.dbf", stdin=EVERY_LETTER_CSV)
        table = peer_table(self.path("t.dbf"))
        self.assertEqual([(f.name, f.type, f.length, f.decimal_count) for f in table.fields],
                         [("JMENO", "C", 12, 0), ("CISLO", "N", 5, 0), ("VAHA", "N", 7, 2),
                          ("VYSKA", "F", 8, 0), ("ZIJE", "L", 1, 0), ("NAROZEN", "D", 8, 0)])
        self.assertEqual(len(table), 4)
        self.assertEqual([list(record.values()) for record in table], [
            ["Jiří Novák", 12345, 72.25, 181.0, True, datetime.date(1980, 2, 29)],
            ["Žofie", -9999, -0.5, -3.0, False, datetime.date(2000, 1, 1)],
            ["", None, None, None, None, None],
            ["Ďáblík", 0, 1234.99, 10000000.0, True, datetime.date(1999, 12, 31)]])
        self.assert_dump("t.dbf", [["JMENO", "CISLO", "VAHA", "VYSKA", "ZIJE", "NAROZEN"],
                                   ["Jiří Novák", "12345", "72.25", "181", "T", "1980-02-29"],
                                   ["Žofie", "-9999", "-0.5", "-3", "F", "2000-01-01"],
                                   ["", "", "", "", "", ""],
                                   ["Ďáblík", "0", "1234.99", "10000000", "T", "1999-12-31"]])
        self.assert_sound_header("t.dbf", 4)

    def test_results_schema(self):
        self.run_ok("create", "--results", "vysledky.dbf")
        table = peer_table(self.path("vysledky.dbf"))
        self.assertEqual([(f.name, f.type, f.length) for f in table.fields],
                         list(zip(RESULTS_FIELDS, "CCCCNNNNCCC", [15, 15, 6, 4, 5, 5, 3, 3, 5, 5, 254])))
        self.assertEqual(len(table), 0)
        info = self.info_json("vysledky.dbf")
        self.assertEqual((info["version"], info["header_length"], info["record_length"]), (3, 385, 321))
        self.assert_sound_header("vysledky.dbf", 0)
        self.assert_dump("vysledky.dbf", [RESULTS_FIELDS])


class Refusals(ToolTestCase):
    def test_malformed_definitions_create_no_file(self):
        cases = [(["--field", "JMENO:C"], "expected NAME:LETTER:LENGTH[:DECIMALS]"),
                 (["--field", "PRIJMENI123:C:5"], "a name is 1 to 10 letters"),
                 (["--field", "1A:C:5"], "a name is 1 to 10 letters"),
                 (["--field", "ŽENA:C:5"], "a name is 1 to 10 letters"),
                 (["--field", "A:M:10"], "the letter is one of C, N, F, L, D"),
                 (["--field", "A:C:abc"], "'abc' is not a number"),
                 (["--field", "A:C:0"], "cannot have length 0 with 0 decimals (nearest: length 1"),
                 (["--field", "A:C:255"], "cannot have length 255"),
                 (["--field", "A:N:5:4"], "cannot have length 5 with 4 decimals (nearest: length 5, 3 decimals)"),
                 (["--field", "A:F:10:2"], "a field of letter F cannot have length 10 with 2 decimals"),
                 (["--field", "A:L:2"], "a field of letter L cannot have length 2"),
                 (["--field", "a:C:5", "--field", "A:N:5"], "A is named twice"),
                 ([], "Give either --field definitions or --results"),
                 (["--results", "--field", "A:C:5"], "Give either --field definitions or --results"),
                 (["--field"], "Option --field needs a value")]
        for arguments, message in cases:
            with self.subTest(arguments=arguments):
                self.assert_fails(["create", "t.dbf", *arguments], message)
                self.assertFalse(os.path.exists(self.path("t.dbf")))
        self.assert_fails(["create", "--results"], "FILE is missing")

    def test_an_existing_name_is_never_emptied_nor_followed(self):
        self.run_ok("create", "T.DBF", "--field", "JMENO:C:10")
        self.run_ok("import", "T.DBF", stdin="JMENO\nJiří\n")
        before = self.read_bytes("T.DBF")
        os.symlink("target.dbf", self.path("link.dbf"))
        for name, full_name in (("T.DBF", "T.DBF"), ("t.dbf", "T.DBF"), ("link.dbf", "link.dbf")):
            with self.subTest(name=name):
                self.assert_fails(["create", name, "--results"],
                                  f"Cannot create file {self.path(full_name)}: file exists\n")
        self.assertEqual(self.read_bytes("T.DBF"), before)
        self.assertEqual(sorted(os.listdir(self.folder)), ["T.DBF", "link.dbf"])

    def test_a_failed_create_leaves_no_file_and_a_retry_succeeds(self):
        def full_disk():
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            resource.setrlimit(resource.RLIMIT_FSIZE, (100, 100))

        wide = [argument for i in range(300) for argument in ("--field", f"F{i}:C:254")]
        for arguments, limits, message in ((wide, None, "Record too long : 76201 (must be at most 65535)"),
                                           (["--results"], full_disk, f"Cannot write file {self.path('t.dbf')}")):
            self.assert_fails(["create", "t.dbf", *arguments], message, limits=limits)
            self.assertEqual(os.listdir(self.folder), [])
        self.run_ok("create", "t.dbf", "--results")


if __name__ == "__main__":
    unittest.main()
