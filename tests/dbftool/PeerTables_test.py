"""Tables that other programs write, made here by those programs: `dbftool dump` gives the
values python3-dbfread gives. dBase III tables that python3-dbf marks with code pages 1250,
1252 and 852 (their logical fields hold no '?', which the table format reads as false and
python3-dbfread as nothing), a Visual FoxPro table with nulls, and tables GDAL's ogr2ogr
writes with a code page named by a .cpg file (Windows-1250, UTF-8) and with its own default
mark. And the other way round: a results table we create, with Czech names imported, as
the peers read it untold."""
import datetime
import decimal
import shutil
import subprocess
import unittest

import dbf
import dbfread

from dbftool_testing import ToolTestCase

CZECH_ROWS = [("Dvořáková", "Žofie", 3.25, datetime.date(2024, 2, 29), True),
              ("Šťastný", "Řehoř", -12.5, datetime.date(1975, 12, 31), False),
              ("Ďáblík", "", None, None, False)]
WESTERN_ROWS = [("Müller", "Françoise", 0.5, datetime.date(2000, 1, 1), True),
                ("Øster", "Ægir", None, None, False)]


def dump_text(value):
    """A value as python3-dbfread gives it, in the text form of `dbftool dump`."""
    if value is None or isinstance(value, bool):
        return {None: "", True: "T", False: "F"}[value]
    if isinstance(value, datetime.date):
        return value.strftime("%Y-%m-%d %H:%M:%S" if isinstance(value, datetime.datetime) else "%Y-%m-%d")
    if isinstance(value, decimal.Decimal):
        return format(value.normalize(), "f")
    return str(int(value)) if isinstance(value, float) and value.is_integer() else str(value)


def peer_rows(path, encoding=None):
    """The field names and records python3-dbfread reads, its hidden null flags left out."""
    table = dbfread.DBF(path, encoding=encoding, char_decode_errors="strict", ignore_missing_memofile=True)
    names = [field.name for field in table.fields if field.type != "0"]
    return [names] + [[dump_text(record[name]) for name in names] for record in table]


def write_table(path, specs, rows, **options):
    table = dbf.Table(path, specs, **options)
    table.open(dbf.READ_WRITE)
    for row in rows:
        table.append(row)
    table.close()
    return table


def write_dbase3(path, code_page, rows):
    write_table(path, "PRIJMENI C(15); JMENO C(12); VAHA N(8,2); NAROZEN D; ZIJE L", rows, dbf_type="db3",
                codepage=code_page)


class PeerTableTestCase(ToolTestCase):
    def assert_read_as_peers_read(self, name, expected, layout, code_page, source):
        """`dbftool dump` gives the rows `expected`, and `info` says it reads the table in
        this layout and code page."""
        self.assert_dump(name, expected)
        info = self.info_json(name)
        self.assertEqual((info["layout"], info["code_page"], info["code_page_source"]), (layout, code_page, source))


class MarkedDbase3Tables(PeerTableTestCase):
    def test_python_dbf_tables_read_in_the_code_page_of_their_mark(self):
        for code_page, rows in (("cp1250", CZECH_ROWS), ("cp852", CZECH_ROWS), ("cp1252", WESTERN_ROWS)):
            with self.subTest(code_page=code_page):
                name = code_page + ".dbf"
                write_dbase3(self.path(name), code_page, rows)
                expected = peer_rows(self.path(name))
                self.assertEqual(expected[1][0], rows[0][0])
                self.assert_read_as_peers_read(name, expected, "short", code_page.upper(), "mark")

    def test_imported_rows_go_in_in_the_code_page_of_the_mark_or_not_at_all(self):
        write_dbase3(self.path("w.dbf"), "cp1250", CZECH_ROWS[:1])
        self.run_ok("import", "w.dbf", stdin="PRIJMENI,JMENO\nŠťastný,Řehoř\n")
        self.assertEqual(peer_rows(self.path("w.dbf"))[2][:2], ["Šťastný", "Řehoř"])
        self.assert_fails(["import", "w.dbf"], "'Ŵ' cannot be stored in field 'PRIJMENI': code page CP1250 of the "
                          "table lacks it", stdin="PRIJMENI\nŴales\n")
        self.assertEqual(len(peer_rows(self.path("w.dbf"))), 3)


class VisualFoxProTable(PeerTableTestCase):
    ROWS = [("Dvořáková", 12, -5, 12.5, datetime.datetime(2024, 2, 29, 13, 45, 7), 2.25, True,
             datetime.date(2024, 2, 29)),
            ("Šťastný", -999, -2147483647, -0.0125, datetime.datetime(1999, 12, 31, 0, 0, 0), -1e10, False,
             datetime.date(1900, 1, 1)),
            (dbf.Null,) * 8,
            ("Ďáblík", dbf.Null, 0, dbf.Null, dbf.Null, 0.0, dbf.Null, dbf.Null)]

    def test_python_dbf_table_with_nulls(self):
        table = write_table(self.path("vfp.dbf"), "PRIJMENI C(15) null; POCET N(6,0) null; CISLO I null; "
                            "CENA Y null; CAS T null; PODIL B null; ZIJE L null; NAROZEN D null", self.ROWS,
                            dbf_type="vfp", codepage="cp1250")
        expected = peer_rows(self.path("vfp.dbf"))
        # python3-dbfread does not read the null flags: python3-dbf tells which values are null.
        table.open(dbf.READ_ONLY)
        self.addCleanup(table.close)
        for row, record in zip(expected[1:], table):
            row[:] = ["" if value is dbf.Null else text for text, value in zip(row, record)]
        self.assert_read_as_peers_read("vfp.dbf", expected, "foxpro", "CP1250", "mark")
        # The other version bytes of Visual FoxPro and FoxPro: the same layout and encodings.
        data = bytearray(self.read_bytes("vfp.dbf"))
        for data[0] in (0x31, 0x32, 0xF5, 0xFB):
            self.write("vfp.dbf", bytes(data))
            self.assert_dump("vfp.dbf", expected)
        self.assert_fails(["import", "vfp.dbf"], "it is a FoxPro table, which this program only reads",
                          stdin="PRIJMENI\nNovák\n")
        self.assertEqual(self.read_bytes("vfp.dbf"), bytes(data))


@unittest.skipUnless(shutil.which("ogr2ogr"), "GDAL's ogr2ogr is not installed")
class GdalTables(PeerTableTestCase):
    def ogr2ogr(self, name, *options):
        self.write("source.csv", "PRIJMENI,JMENO,VEK\nDvořáková,Žofie,42\nŠťastný,Řehoř,7\nNovák,,\n")
        subprocess.run(["ogr2ogr", "-f", "ESRI Shapefile", name, "source.csv", *options], cwd=self.folder,
                       check=True, capture_output=True, timeout=60)

    def test_code_page_of_the_cpg_file(self):
        for encoding in ("CP1250", "UTF-8"):
            with self.subTest(encoding=encoding):
                name = encoding.lower() + ".dbf"
                self.ogr2ogr(name, "-lco", "ENCODING=" + encoding)
                expected = peer_rows(self.path(name), encoding=encoding.lower())
                self.assertEqual(expected[1][:2], ["Dvořáková", "Žofie"])
                self.assert_read_as_peers_read(name, expected, "short", encoding, "cpg")

    def test_default_mark(self):
        # GDAL's default mark stands for a Western code page, which lacks most Czech
        # letters: GDAL itself stores them as '?'.
        self.ogr2ogr("default.dbf")
        expected = peer_rows(self.path("default.dbf"))
        self.assertEqual(expected[1][:2], ["Dvo?áková", "?ofie"])
        self.assert_read_as_peers_read("default.dbf", expected, "short", "CP1252", "mark")


class PeersReadOurTablesUntold(ToolTestCase):
    NAMES = [("Dvořáková", "Žofie"), ("Šťastný", "Řehoř"), ("Ďáblík", "Ůna")]

    def test_python_peers_and_gdal_where_installed(self):
        self.run_ok("create", "--results", "vysledky.dbf")
        self.run_ok("import", "vysledky.dbf",
                    stdin="PRIJMENI,JMENO\n" + "".join(f"{surname},{name}\n" for surname, name in self.NAMES))
        self.assertEqual([(r["PRIJMENI"], r["JMENO"]) for r in dbfread.DBF(self.path("vysledky.dbf"))], self.NAMES)
        table = dbf.Table(self.path("vysledky.dbf"))
        table.open(dbf.READ_ONLY)
        self.addCleanup(table.close)
        self.assertEqual([(r.prijmeni.strip(), r.jmeno.strip()) for r in table], self.NAMES)
        if shutil.which("ogrinfo"):
            out = subprocess.run(["ogrinfo", "-al", "-q", "vysledky.dbf"], cwd=self.folder, check=True,
                                 capture_output=True, timeout=60).stdout.decode("utf-8")
            for surname, name in self.NAMES:
                self.assertIn(f"  PRIJMENI (String) = {surname}\n  JMENO (String) = {name}\n", out)


if __name__ == "__main__":
    unittest.main()
