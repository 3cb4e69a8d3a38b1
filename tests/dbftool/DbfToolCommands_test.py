"""What every command shares: the look at its table file before reading it, and output
that must reach its file (else the command fails with the reason)."""
import os
import subprocess
import unittest

from dbftool_testing import DBFTOOL, ToolTestCase


class TableFiles(ToolTestCase):
    def test_what_cannot_be_a_table_is_refused_at_once_before_anything_is_printed(self):
        os.mkfifo(self.path("pipe.dbf"))  # nobody writes to it: opening must not wait
        os.mkdir(self.path("folder.dbf"))
        self.write("empty.dbf", b"")
        self.write("long.dbf", b"\x04" + bytes(40))  # the long layout's prefix has 68 bytes
        cases = [("pipe.dbf", "is not a regular file"), ("/dev/null", "is not a regular file"),
                 ("folder.dbf", "is a directory"), ("empty.dbf", "is too short to be a dBase table (0 bytes)"),
                 ("long.dbf", "is too short to be a dBase table (41 bytes)")]
        for name, message in cases:
            for command in (["info"], ["info", "--json"], ["dump"], ["import"]):
                with self.subTest(command=command, name=name):
                    self.assert_fails([*command, name], message, stdin="A\nb\n")

    def test_a_text_file_named_dbf_is_read_with_a_warning_naming_its_version_byte(self):
        self.write("pw.dbf", "root:x:0:0:root:/root:/bin/bash\n" * 20)
        warning = "Unknown version byte 0x72: no dBase program writes it; is this a dBase table?"
        self.assertEqual(self.info_json("pw.dbf")["warnings"][0], warning)
        self.assertTrue(self.run_tool("dump", "pw.dbf")[2].startswith(warning + "\n"))


class FullDisk(ToolTestCase):
    def test_every_command_with_output_exits_with_one(self):
        self.run_ok("create", "t.dbf", "--field", "JMENO:C:20")
        self.run_ok("import", "t.dbf", stdin="JMENO\n" + "Jméno\n" * 5000)  # a dump of several buffers
        for arguments in (["info", "t.dbf"], ["dump", "t.dbf"], ["import", "t.dbf"], ["--help"]):
            with self.subTest(arguments=arguments), open("/dev/full", "wb") as full:
                run = subprocess.run([DBFTOOL, *arguments], cwd=self.folder, input=b"JMENO\n", stdout=full,
                                     stderr=subprocess.PIPE, timeout=60)
                self.assertEqual((run.returncode, run.stderr),
                                 (1, b"Cannot write standard output: no space left on device\n"))


if __name__ == "__main__":
    unittest.main()
