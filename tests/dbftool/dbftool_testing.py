"""Shared helpers of the dbftool tests: each test runs the built tool in its own scratch
folder, as a user would, and reads the results back through the tool or a peer library."""
import csv
import io
import json
import os
import resource
import subprocess
import tempfile
import unittest

DBFTOOL = os.environ["DBFTOOL"]
# A tool built with AddressSanitizer reserves terabytes of address space for its shadow
# memory as it starts, so it cannot start under a cap on its data segment; the build that
# compiled it with the sanitizers says so here.
SANITIZED = os.environ.get("VYHOD_TARNI_SANITIZED") == "1"

RESULTS_FIELDS = ["PRIJMENI", "JMENO", "RC1", "RC2", "POC_SPR", "POC_CHYB", "SUMA_AGR", "SUMA_SM",
                  "POM_A_S", "POM_S_S", "ODPOVEDI"]


def memory_cap(limit):
    """`limits` for run_tool that caps the tool's data segment at `limit` bytes; no cap for a
    sanitized tool."""
    if SANITIZED:
        return None
    return lambda: resource.setrlimit(resource.RLIMIT_DATA, (limit, limit))


class ToolTestCase(unittest.TestCase):
    def setUp(self):
        scratch = tempfile.TemporaryDirectory(prefix="dbftool-test-")
        self.addCleanup(scratch.cleanup)
        self.folder = scratch.name

    def path(self, name):
        return os.path.join(self.folder, name)

    def write(self, name, content):
        data = content.encode("utf-8") if isinstance(content, str) else content
        with open(self.path(name), "wb") as file:
            file.write(data)

    def read_bytes(self, name):
        with open(self.path(name), "rb") as file:
            return file.read()

    def run_tool(self, *arguments, stdin=b"", limits=None):
        """Runs dbftool in the scratch folder; stdout and stderr come back as text. `limits`
        runs in the child before the tool starts (resource limits)."""
        data = stdin.encode("utf-8") if isinstance(stdin, str) else stdin
        result = subprocess.run([DBFTOOL, *arguments], cwd=self.folder, input=data, capture_output=True,
                                timeout=60, preexec_fn=limits)
        return result.returncode, result.stdout.decode("utf-8"), result.stderr.decode("utf-8")

    def run_ok(self, *arguments, stdin=b""):
        status, out, err = self.run_tool(*arguments, stdin=stdin)
        self.assertEqual(status, 0, f"dbftool {' '.join(arguments)}: {err}")
        return out

    def assert_fails(self, arguments, message, stdin=b"", limits=None):
        """The run exits with 1, prints nothing and says `message` on standard error;
        returns stderr."""
        status, out, err = self.run_tool(*arguments, stdin=stdin, limits=limits)
        self.assertEqual(status, 1, f"dbftool {' '.join(arguments)}: {err}")
        self.assertEqual(out, "")
        self.assertIn(message, err)
        return err

    def dump_csv(self, name, *options):
        """The rows of `dbftool dump` (header row first), read as CSV."""
        out = self.run_ok("dump", name, *options)
        return list(csv.reader(io.StringIO(out, newline="")))

    def dump_json(self, name, *options):
        return json.loads(self.run_ok("dump", name, "--format", "json", *options))

    def assert_dump(self, name, rows, *options):
        """CSV and JSON dumps both give `rows`, the first being the field names."""
        self.assertEqual(self.dump_csv(name, *options), rows)
        self.assertEqual(self.dump_json(name, *options), {"fields": rows[0], "records": rows[1:]})

    def info_json(self, name):
        return json.loads(self.run_ok("info", name, "--json"))

    def assert_sound_header(self, name, record_count):
        """`info` finds no warning and the header's count agrees with the file size."""
        info = self.info_json(name)
        self.assertEqual(info["warnings"], [])
        self.assertEqual((info["header_record_count"], info["record_count"]), (record_count, record_count))
