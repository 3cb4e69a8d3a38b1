"""What `cmake --install` puts into a prefix: the three programs, desktop entries that
desktop-file-validate accepts and that start an installed program with an installed icon,
metainfo that appstreamcli accepts, the icon at every size, and the tools' manual pages."""
import glob
import gzip
import os
import struct
import subprocess
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

BUILD_DIR = os.environ["BUILD_DIR"]
PNG_SIZES = [16, 24, 32, 48, 64, 128, 256]


def desktop_entry(path):
    """The keys of the [Desktop Entry] group."""
    entry = {}
    with open(path, encoding="utf-8") as file:
        for line in file:
            if "=" in line and not line.startswith("#"):
                key, value = line.rstrip("\n").split("=", 1)
                entry[key] = value
    return entry


def png_size(path):
    with open(path, "rb") as file:
        header = file.read(24)
    assert header[:8] == b"\x89PNG\r\n\x1a\n", path
    return struct.unpack(">II", header[16:24])


class Installation(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory(prefix="installation-test-")
        cls.prefix = cls.scratch.name
        subprocess.run(["cmake", "--install", BUILD_DIR, "--prefix", cls.prefix], check=True, capture_output=True)

    @classmethod
    def tearDownClass(cls):
        cls.scratch.cleanup()

    def installed(self, *parts):
        return os.path.join(self.prefix, *parts)

    def validate(self, command, path):
        run = subprocess.run([*command, path], capture_output=True, text=True)
        self.assertEqual(run.returncode, 0, f"{command[0]} {path}:\n{run.stdout}{run.stderr}")

    def test_desktop_entries_are_valid_and_start_installed_programs_with_an_installed_icon(self):
        entries = sorted(glob.glob(self.installed("share", "applications", "*.desktop")))
        self.assertEqual(len(entries), 2)
        for path in entries:
            with self.subTest(entry=os.path.basename(path)):
                self.validate(["desktop-file-validate"], path)
                entry = desktop_entry(path)
                self.assertTrue(os.access(self.installed("bin", entry["Exec"].split()[0]), os.X_OK))
                icon = entry["Icon"]
                self.assertTrue(os.path.isfile(self.installed("share", "icons", "hicolor", "scalable", "apps",
                                                              icon + ".svg")))
                self.assertIn("Name[cs]", entry)
        viewer = desktop_entry([path for path in entries if "dbfview" in path][0])
        self.assertEqual((viewer["Exec"], viewer["MimeType"]), ("dbfview %f", "application/x-dbf;"))

    def test_metainfo_is_valid_and_launches_the_programs_desktop_entry(self):
        [path] = glob.glob(self.installed("share", "metainfo", "*.metainfo.xml"))
        self.validate(["appstreamcli", "validate", "--no-net"], path)
        component = ElementTree.parse(path).getroot()
        launchable = component.find("launchable").text
        self.assertTrue(os.path.isfile(self.installed("share", "applications", launchable)))
        self.assertEqual(component.find("id").text + ".desktop", launchable)
        self.assertEqual(desktop_entry(self.installed("share", "applications", launchable))["Exec"], "Vyhod_Tarni")

    def test_the_icon_is_drawn_at_every_size_and_as_svg(self):
        [svg] = glob.glob(self.installed("share", "icons", "hicolor", "scalable", "apps", "*.svg"))
        self.assertEqual(ElementTree.parse(svg).getroot().get("viewBox"), "0 0 256 256")
        name = os.path.basename(svg)[:-len(".svg")]
        for size in PNG_SIZES:
            with self.subTest(size=size):
                png = self.installed("share", "icons", "hicolor", f"{size}x{size}", "apps", name + ".png")
                self.assertEqual(png_size(png), (size, size))

    def test_each_tool_has_a_manual_page_from_its_help_and_answers_without_a_display(self):
        environment = {key: value for key, value in os.environ.items() if key not in ("DISPLAY", "QT_QPA_PLATFORM")}
        for tool in ("dbftool", "dbfview"):
            with self.subTest(tool=tool):
                with gzip.open(self.installed("share", "man", "man1", tool + ".1.gz"), "rt") as page:
                    text = page.read()
                self.assertIn(f'.TH {tool.upper()} "1"', text)
                self.assertIn("version", text)
                help_run = subprocess.run([self.installed("bin", tool), "--help"], capture_output=True, text=True,
                                          env=environment)
                self.assertEqual((help_run.returncode, help_run.stderr), (0, ""))
                self.assertTrue(help_run.stdout.startswith(f"Usage: {tool} "))
                version = subprocess.run([self.installed("bin", tool), "--version"], capture_output=True, text=True,
                                         env=environment).stdout
                self.assertRegex(version, rf"^{tool} \(Vyhod_Tarni\) \d+\.\d+\.\d+\n$")


if __name__ == "__main__":
    unittest.main()
