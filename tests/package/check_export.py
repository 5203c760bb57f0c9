#!/usr/bin/env python3
"""tarnwick-export on a folder of old lists, its outputs read back with readers of our own:
Python's csv module for CSV, and a parse of the EDL lines as an editing system reads them.
The converter to run is named by the TARNWICK_EXPORT environment variable."""

import csv
import glob
import os
import re
import subprocess
import tempfile
import unittest

EXPORT = os.environ["TARNWICK_EXPORT"]

OLD_LISTS = {
    "good.txt": "0001 0001  00:59:50:00/01:00:20:00/30:00 CM1, \"春\"\r\n"
                "0002 ----  01:00:20:00/--:--:--:--/--:-- \r\n"
                "0004 0004  01:00:59:28/01:01:00:02/00:04 \r\n",
    "past40.txt": "0001 A  00:00:01:00/00:00:02:00/01:00 one\r\n"
                  "0041 B  00:00:03:00/00:00:04:00/01:00 forty-one\r\n"
                  "0040 C  00:00:05:00/00:00:06:00/01:00 forty\r\n",
}
BAD_BYTES = b"0001 X  00:00:01:00/00:00:02:00/01:00 ab\x85\x40cd\r\n"
GOOD = OLD_LISTS["good.txt"].encode("cp932")
# Lists written as bytes: good.txt as other roads bring it, a file with every kind of line
# not read, and one with bytes that are not code page 932.
RAW_LISTS = {"lf.txt": GOOD.replace(b"\r\n", b"\n"), "cr.txt": GOOD.replace(b"\r\n", b"\r"),
             "utf8.txt": b"\xef\xbb\xbf" + OLD_LISTS["good.txt"].encode("utf-8"),
             "named.txt": b"0001 A\r\nnotes\r\n0002 B\r\n0002 C\r\n0050 D\r\n",
             "badbytes.txt": BAD_BYTES}

EVENT = re.compile(r"^(\d{3})\s+(\S+)\s+V\s+C\s+" + r"\s+".join([r"(\d\d:\d\d:\d\d[:;]\d\d)"] * 4) + "$")


def read_csv(path):
    with open(path, encoding="utf-8-sig", newline="") as f:
        return list(csv.reader(f))


def read_edl(path):
    """Title, FCM and the events, each (number, reel, four times, {note: text})."""
    with open(path, "rb") as f:
        data = f.read()
    assert not data.startswith(b"\xef\xbb\xbf"), "EDL with a byte-order mark"
    lines = data.decode("utf-8").split("\r\n")
    assert lines.pop() == "", "EDL not ended by CR LF"
    assert all("\r" not in l and "\n" not in l for l in lines), "bare line break"
    title, fcm, blank = lines[0], lines[1], lines[2]
    assert blank == ""
    events = []
    for line in lines[3:]:
        m = EVENT.match(line)
        if m:
            events.append((m.group(1), m.group(2),
                           tuple(t.replace(";", ":") for t in m.group(3, 4, 5, 6)), {}))
        else:
            key, _, text = line.partition(": ")
            assert key in ("* FROM CLIP NAME", "* COMMENT"), line
            events[-1][3][key[2:]] = text
    return title, fcm, events


class ConverterTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name
        self.old = os.path.join(self.dir, "old")
        os.mkdir(self.old)
        for name, text in OLD_LISTS.items():
            self.write(os.path.join("old", name), text.encode("cp932"))
        for name, data in RAW_LISTS.items():
            self.write("old/" + name, data)

    def tearDown(self):
        self.tmp.cleanup()

    def write(self, name, data):
        with open(os.path.join(self.dir, name), "wb") as f:
            f.write(data)

    def run_export(self, *args, locale=None):
        """The converter in English, where these tests read its words, or under the locale
        given (every other locale variable unset)."""
        env = {k: v for k, v in os.environ.items() if k not in ("LC_ALL", "LC_MESSAGES", "LANG")}
        env.update(locale if locale is not None else {"LC_ALL": "en_US.UTF-8"})
        return subprocess.run([EXPORT, *args], cwd=self.dir, env=env, capture_output=True,
                              text=True, timeout=60)

    def test_language_by_key_and_locale(self):
        japanese, english = "のどれか1つを指定してください", "give one of --csv, --edl"
        for key, locale, want in ((None, {"LC_ALL": "C.UTF-8"}, japanese),
                                  (None, {}, japanese),
                                  (None, {"LANG": "ja_JP.UTF-8"}, japanese),
                                  (None, {"LANG": "de_DE.UTF-8"}, english),
                                  (None, {"LC_MESSAGES": "en_US.UTF-8", "LANG": "ja_JP.UTF-8"},
                                   english),
                                  ("en", {"LC_ALL": "ja_JP.UTF-8"}, english),
                                  ("ja", {"LC_ALL": "en_US.UTF-8"}, japanese)):
            ini = os.path.join(self.dir, "default.ini")
            if key:
                self.write("default.ini", b"[Default]\r\nLanguage=" + key.encode() + b"\r\n")
            elif os.path.exists(ini):
                os.remove(ini)
            r = self.run_export("old/good.txt", locale=locale)
            self.assertEqual(r.returncode, 2)
            self.assertIn(want, r.stderr.splitlines()[0], (key, locale))
        # Notes too, the readers' and the formats' words included.
        r = self.run_export("--edl", "old/good.txt", "old/named.txt", "-d", "ja",
                            locale={"LC_ALL": "C.UTF-8"})
        self.assertEqual(r.stdout.splitlines(), [
            "old/good.txt -> ja/good.edl (イベントにならない行: 0002)",
            "old/named.txt -> ja/named.edl (Noが0001～0040の範囲外のため読み込まなかった行: 5; "
            "後に同じNoの行があるため読み込まなかった行: 3; リストの行ではないため読み込まなかった"
            "行: 2; イベントにならない行: 0001, 0002)"])

    def test_folder_of_old_lists_to_csv(self):
        names = sorted(os.listdir(self.old))
        r = self.run_export("--csv", *["old/" + n for n in names], "-d", "csv")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.stdout.splitlines(), [
            "old/badbytes.txt -> csv/badbytes.csv (bytes that are not code page 932 shown as U+FFFD)",
            "old/cr.txt -> csv/cr.csv",
            "old/good.txt -> csv/good.csv",
            "old/lf.txt -> csv/lf.csv",
            "old/named.txt -> csv/named.csv (lines numbered outside 0001 to 0040 not read: 5; "
            "lines whose No. a later line repeats not read: 3; lines that are no list rows not "
            "read: 2)",
            "old/past40.txt -> csv/past40.csv (lines numbered outside 0001 to 0040 not read: 2)",
            "old/utf8.txt -> csv/utf8.csv (read as UTF-8 for its byte-order mark; Tarnwick saves "
            "code page 932)"])
        header = ["No", "SP No.", "IN", "OUT", "DURATION", "REMARK"]
        self.assertEqual(read_csv(os.path.join(self.dir, "csv/good.csv")), [
            header,
            ["0001", "0001", "00:59:50:00", "01:00:20:00", "00:00:30:00", 'CM1, "春"'],
            ["0002", "", "01:00:20:00", "", "", ""],
            ["0004", "0004", "01:00:59:28", "01:01:00:02", "00:00:00:02", ""]])
        self.assertEqual([row[0] for row in read_csv(os.path.join(self.dir, "csv/past40.csv"))],
                         ["No", "0001", "0040"])
        self.assertEqual(read_csv(os.path.join(self.dir, "csv/badbytes.csv"))[1][5], "ab\ufffd@cd")
        for name in ("cr", "lf", "utf8"):
            self.assertEqual(read_csv(os.path.join(self.dir, "csv/%s.csv" % name)),
                             read_csv(os.path.join(self.dir, "csv/good.csv")), name)

    def test_edl_beside_its_input(self):
        for drop, fcm, last, note in ((True, "FCM: DROP FRAME", "01:00:30:02", []),
                                      (False, "FCM: NON-DROP FRAME", "01:00:30:04", ["--non-drop"])):
            r = self.run_export("--edl", *note, "old/good.txt")
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertEqual(r.stdout, "old/good.txt -> old/good.edl (no event for rows 0002)\n")
            title, got_fcm, events = read_edl(os.path.join(self.old, "good.edl"))
            self.assertEqual((title, got_fcm), ("TITLE: good", fcm))
            self.assertEqual(events, [
                ("001", "AX", ("00:59:50:00", "01:00:20:00", "01:00:00:00", "01:00:30:00"),
                 {"FROM CLIP NAME": "0001", "COMMENT": 'CM1, "春"'}),
                ("002", "AX", ("01:00:59:28", "01:01:00:02", "01:00:30:00", last),
                 {"FROM CLIP NAME": "0004"})])
            # Drop-frame labels carry ';' before the frames; the FCM line says it too.
            with open(os.path.join(self.old, "good.edl"), encoding="utf-8") as f:
                text = f.read()
            self.assertEqual("00:59:50;00" in text, drop)

    def test_every_format_reads_back_into_a_list(self):
        """--to-list: exports of good.txt back into list files, the format told by the content
        (a CSV named .dat) or the extension (a CSV without a header line)."""
        for option in ("--csv", "--edl", "--markers-edl", "--otio"):
            self.assertEqual(self.run_export(option, "old/good.txt", "-d", "out").returncode, 0)
        os.rename(os.path.join(self.dir, "out/good.csv"), os.path.join(self.dir, "out/csv.dat"))
        self.write("plain.csv", b"1,X,00:00:01:00,00:00:02:00,,a\r\n")
        r = self.run_export("--to-list", *sorted(glob.glob(self.dir + "/out/*")), "plain.csv",
                            "-d", "back")
        self.assertEqual(r.returncode, 1)  # good.edl and good.otio give one name
        self.assertIn("good.txt written for an earlier input already", r.stderr)
        # Durations counted again (drop-frame: 01:00:59:28 to 01:01:00:02 is 2 frames).
        whole = GOOD.replace(b"01:01:00:02/00:04", b"01:01:00:02/00:02")
        spots = whole.replace(b"0002 ----  01:00:20:00/--:--:--:--/--:-- \r\n0004 0004",
                              b"0002 0004")
        for name, want in (("csv.txt", whole), ("good-markers.txt", spots),
                           ("plain.txt", b"0001 X  00:00:01:00/00:00:02:00/01:00 a\r\n")):
            with open(os.path.join(self.dir, "back", name), "rb") as f:
                self.assertEqual(f.read().replace(b" \r\n", b"\r\n"),
                                 want.replace(b" \r\n", b"\r\n"), name)
        # A label the rate lacks stays in its cell, the row kept and named.
        self.write("odd.csv", b"No,SP No.,IN,OUT\r\n1,S,00:01:00:00,00:01:00:05\r\n")
        self.assertEqual(self.run_export("--to-list", "odd.csv").stdout,
                         "odd.csv -> odd.txt (line 2 kept with 00:01:00:00 as text: no label "
                         "at the rate)\n")
        self.assertEqual(self.run_export("--to-list", "--csv", "odd.csv").returncode, 2)

    def test_a_list_that_says_its_rate_is_read_at_it(self):
        self.write("old/at25.txt", b"#FrameRate=25\r\n"
                   b"0001 0001  00:00:00:24/00:00:01:00/00:01 \r\n")
        for args in ([], ["--rate", "25"]):
            r = self.run_export("--csv", *args, "old/at25.txt")
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertEqual(read_csv(os.path.join(self.old, "at25.csv"))[1][4], "00:00:00:01")
        r = self.run_export("--csv", "--rate", "24", "old/at25.txt", "-o", "x.csv")
        self.assertEqual(r.returncode, 1)
        self.assertIn("counts 25 frames a second, not the 24 of --rate", r.stderr)
        self.assertFalse(os.path.exists(os.path.join(self.dir, "x.csv")))
        # A list without the line is read at --rate: the format checks export such lists.

    def test_failures_are_reported_and_inputs_kept(self):
        self.write("list.csv", GOOD)  # a list file whose output would be itself
        os.mkdir(os.path.join(self.dir, "other"))
        self.write("other/good.txt", GOOD)
        with open(os.path.join(self.dir, "huge.txt"), "wb") as f:
            f.truncate(4 * 1024 * 1024 + 1)
        r = self.run_export("--csv", "missing.txt", "huge.txt", "old/good.txt", "other/good.txt",
                            "-d", "out")
        self.assertEqual(r.returncode, 1)
        self.assertEqual(r.stdout, "old/good.txt -> out/good.csv\n")
        self.assertEqual(r.stderr.splitlines(), [
            "tarnwick-export: missing.txt: cannot be read",
            "tarnwick-export: huge.txt: larger than the 4 MiB (4194304 bytes) a list file may have",
            "tarnwick-export: other/good.txt: out/good.csv written for an earlier input already"])
        r = self.run_export("--csv", "list.csv")
        self.assertEqual((r.returncode, r.stderr),
                         (1, "tarnwick-export: list.csv: list.csv is an input, not overwritten\n"))
        with open(os.path.join(self.dir, "list.csv"), "rb") as f:
            self.assertEqual(f.read(), GOOD)
        r = self.run_export("--edl", "old/good.txt", "-o", "old/good.txt/x.edl")
        self.assertEqual(r.returncode, 1)
        self.assertIn("cannot write", r.stderr)

    def test_links_as_outputs_are_followed_to_a_plain_file_only(self):
        self.write("target.csv", b"old")
        os.symlink("target.csv", os.path.join(self.dir, "to-file.csv"))
        os.symlink("missing.csv", os.path.join(self.dir, "dangling.csv"))
        os.symlink("loop.csv", os.path.join(self.dir, "loop.csv"))
        os.symlink("/dev/null", os.path.join(self.dir, "to-null.csv"))
        r = self.run_export("--csv", "old/good.txt", "-o", "to-file.csv")
        self.assertEqual((r.returncode, r.stderr), (0, ""))
        self.assertTrue(os.path.islink(os.path.join(self.dir, "to-file.csv")))
        self.assertEqual(read_csv(os.path.join(self.dir, "target.csv"))[1][0], "0001")
        for name in ("dangling.csv", "loop.csv", "to-null.csv"):
            r = self.run_export("--csv", "old/good.txt", "-o", name)
            self.assertEqual((r.returncode, r.stderr), (
                1, "tarnwick-export: old/good.txt: %s is a link to no plain file, not replaced\n"
                % name))
            self.assertTrue(os.path.islink(os.path.join(self.dir, name)), name)
        # The same rule for a link standing in the folder of -d.
        os.mkdir(os.path.join(self.dir, "out"))
        os.symlink("../missing.csv", os.path.join(self.dir, "out", "good.csv"))
        r = self.run_export("--csv", "old/good.txt", "-d", "out")
        self.assertEqual(r.returncode, 1)
        self.assertTrue(os.path.islink(os.path.join(self.dir, "out", "good.csv")))

    def test_what_is_no_plain_file_is_refused_at_once(self):
        os.mkfifo(os.path.join(self.dir, "fifo.txt"))
        r = self.run_export("--csv", "fifo.txt", "old", "-d", "out")
        self.assertEqual(r.returncode, 1)
        self.assertEqual(r.stderr.splitlines(), [
            "tarnwick-export: fifo.txt: not a plain file (a FIFO, a device or a folder)",
            "tarnwick-export: old: not a plain file (a FIFO, a device or a folder)"])

    def test_usage_errors_and_help(self):
        for args in (["old/good.txt"], ["--csv", "--edl", "old/good.txt"],
                     ["--xlsx", "--otio", "old/good.txt"],
                     ["--ale", "--rate", "29", "old/good.txt"],
                     ["--csv", "old/good.txt", "old/past40.txt", "-o", "x.csv"]):
            self.assertEqual(self.run_export(*args).returncode, 2, args)
        r = self.run_export("--help")
        self.assertEqual(r.returncode, 0)
        for word in ("--csv", "--edl", "--xlsx", "--ale", "--markers-edl", "--fcpxml", "--xmeml",
                     "--otio", "--rate N", "--non-drop", "-o OUT", "-d FOLDER", "symbolic link",
                     "Exit status"):
            self.assertIn(word, r.stdout)


if __name__ == "__main__":
    unittest.main()
