"""The look every command takes at its table file before reading it: what is no regular
file, or too short for a header, is refused at once and before anything is printed; a
version byte no dBase program writes is named in a warning."""
import os
import unittest

from dbftool_testing import ToolTestCase

READING_COMMANDS = [["info"], ["info", "--json"], ["dump"], ["import"]]


class FilesThatCannotBeTables(ToolTestCase):
    def assert_every_command_refuses(self, name, message):
        for command in READING_COMMANDS:
            with self.subTest(command=command, name=name):
                self.assert_fails([*command, name], message, stdin="A\nb\n")

    def test_no_regular_file_is_opened_for_reading(self):
        os.mkfifo(self.path("pipe.dbf"))  # nobody writes to it: opening must not wait
        os.mkdir(self.path("folder.dbf"))
        self.assert_every_command_refuses("pipe.dbf", f"Cannot open file {self.path('pipe.dbf')}: is not a regular file")
        self.assert_every_command_refuses("/dev/null", "Cannot open file /dev/null: is not a regular file")
        self.assert_every_command_refuses("folder.dbf", f"Cannot open file {self.path('folder.dbf')}: is a directory")

    def test_a_file_shorter_than_a_header_says_so(self):
        cases = [("empty.dbf", b"", "(0 bytes)"), ("ten.dbf", b"\x03\x7e\x0c\x08\x00\x00\x00\x00\x41\x00", "(10 bytes)"),
                 ("long.dbf", b"\x04" + bytes(40), "(41 bytes)")]  # the long layout's prefix has 68
        for name, data, size in cases:
            self.write(name, data)
            self.assert_every_command_refuses(name, f"{self.path(name)} is too short to be a dBase table {size}\n")
            self.assertEqual(self.read_bytes(name), data)


class UnknownVersionByte(ToolTestCase):
    def test_a_text_file_named_dbf_is_read_with_a_warning_naming_its_byte(self):
        self.write("pw.dbf", "root:x:0:0:root:/root:/bin/bash\n" * 20)
        warning = "Unknown version byte 0x72: no dBase program writes it; is this a dBase table?"
        self.assertEqual(self.info_json("pw.dbf")["warnings"][0], warning)
        status, out, err = self.run_tool("info", "pw.dbf")
        self.assertEqual(status, 0)
        self.assertIn(f"\n  {warning}\n", out)
        status, _, err = self.run_tool("dump", "pw.dbf")
        self.assertEqual(status, 0)
        self.assertTrue(err.startswith(warning + "\n"), err)


if __name__ == "__main__":
    unittest.main()
