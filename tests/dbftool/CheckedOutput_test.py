"""Output that does not reach its file makes every command fail with the reason, however
much of it there is."""
import subprocess
import unittest

from dbftool_testing import DBFTOOL, ToolTestCase


class FullDisk(ToolTestCase):
    def run_into_full_disk(self, *arguments, stdin=b""):
        with open("/dev/full", "wb") as full:
            return subprocess.run([DBFTOOL, *arguments], cwd=self.folder, input=stdin, stdout=full,
                                  stderr=subprocess.PIPE, timeout=60)

    def test_every_command_with_output_exits_with_one(self):
        self.run_ok("create", "t.dbf", "--field", "JMENO:C:20")
        rows = "".join(f"Jméno {i}\n" for i in range(5000))  # a dump of more than one buffer
        self.run_ok("import", "t.dbf", stdin="JMENO\n" + rows)
        for arguments in (["info", "t.dbf"], ["info", "t.dbf", "--json"], ["dump", "t.dbf"],
                          ["dump", "t.dbf", "--format", "json"], ["import", "t.dbf"], ["--help"]):
            with self.subTest(arguments=arguments):
                result = self.run_into_full_disk(*arguments, stdin=b"JMENO\n")
                self.assertEqual(result.returncode, 1)
                self.assertEqual(result.stderr.decode(), "Cannot write standard output: no space left on device\n")


if __name__ == "__main__":
    unittest.main()
