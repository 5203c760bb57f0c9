#!/usr/bin/env python3
"""tarnwick-export's exports held against readers we did not write: xmllint with Apple's
FCPXML DTDs, openpyxl for the workbook, and, for the formats that have neither a validator
nor a reader in Debian (Final Cut Pro 7 XML, OpenTimelineIO JSON, CMX 3600 EDL, Avid Log
Exchange), Python's own XML, JSON and text parsers with the rules of each format's published
description. Timecodes are counted here independently of the program, at 24, 25, 30 non-drop
and 30 drop-frame. The converter is named by TARNWICK_EXPORT, the DTD folder by
TARNWICK_FCPXML_DTDS."""

import json
import os
import re
import subprocess
import tempfile
import unittest
import xml.etree.ElementTree as ET

import openpyxl

EXPORT = os.environ["TARNWICK_EXPORT"]
DTDS = os.environ["TARNWICK_FCPXML_DTDS"]

RATES = [("24", ["--rate", "24"], 24, False), ("25", ["--rate", "25"], 25, False),
         ("30 non-drop", ["--non-drop"], 30, False), ("30 drop", [], 30, True)]


def frames(label, fps, drop):
    h, m, s, f = (int(x) for x in re.split("[:;]", label))
    count = ((h * 60 + m) * 60 + s) * fps + f
    if drop:
        minutes = h * 60 + m
        count -= 2 * (minutes - minutes // 10)
    return count


def label(count, fps, drop):
    if drop:
        ten, rest = divmod(count, 17982)
        count += 18 * ten + (2 * ((rest - 2) // 1798) if rest > 1 else 0)
    f = count % fps
    s = count // fps % 60
    m = count // fps // 60 % 60
    h = count // fps // 3600
    return "%02d:%02d:%02d:%02d" % (h, m, s, f)


def spots(fps, drop):
    """Rows of a list file: (No., SP No., IN, OUT, remark); row 3 has no OUT, row 5 an OUT
    before its IN and, in drop-frame, row 6 a label that does not exist."""
    last = fps - 1
    return [(1, "0001", "00:59:50:00", "01:00:20:00", 'CM1, "春"'),
            (2, "0002", "01:00:20:00", "01:00:21:%02d" % last, "=1+2"),
            (3, "0003", "01:00:30:00", None, "no out"),
            (4, "0004", "01:09:59:%02d" % last, "01:10:00:00", ""),
            (5, "0005", "02:00:00:00", "01:00:00:00", "backwards"),
            (6, "0006", "00:01:00:00", "00:01:00:05", "本編　CM")]


def list_file(rows):
    lines = []
    for no, sp, tin, tout, remark in rows:
        lines.append("%04d %-4s  %s/%s/--:-- %s\r\n" % (no, sp, tin, tout or "--:--:--:--", remark))
    return "".join(lines).encode("cp932")


def expected_spots(fps, drop):
    kept = []
    for no, sp, tin, tout, remark in spots(fps, drop):
        if tout is None or (drop and tin == "00:01:00:00"):
            continue
        if frames(tout, fps, drop) <= frames(tin, fps, drop):
            continue
        kept.append((sp, tin, tout, remark))
    return kept


class Formats(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name

    def tearDown(self):
        self.tmp.cleanup()

    def export(self, option, rate_args, fps, drop):
        path = os.path.join(self.dir, "spots.txt")
        with open(path, "wb") as f:
            f.write(list_file(spots(fps, drop)))
        r = subprocess.run([EXPORT, option, *rate_args, path, "-d", self.dir],
                           capture_output=True, text=True, timeout=60)
        self.assertEqual(r.returncode, 0, r.stderr)
        out = r.stdout.split(" -> ")[1].split(" (")[0].strip()
        skipped = "0003, 0005, 0006" if drop else "0003, 0005"
        return out, r.stdout, skipped

    def test_fcpxml_valid_against_every_current_dtd(self):
        for name, args, fps, drop in RATES:
            with self.subTest(rate=name):
                out, stdout, skipped = self.export("--fcpxml", args, fps, drop)
                self.assertIn("(no marker for rows %s)" % skipped, stdout)
                text = open(out, encoding="utf-8").read()
                version = re.search(r'<fcpxml version="([\d.]+)"', text).group(1)
                for dtd in sorted(os.listdir(DTDS)):
                    if not dtd.endswith(".dtd"):
                        continue
                    # Each DTD fixes its own version number: the body must be valid in each.
                    v = dtd[len("FCPXMLv"):-len(".dtd")].replace("_", ".")
                    body = os.path.join(self.dir, "v.fcpxml")
                    with open(body, "w", encoding="utf-8") as f:
                        f.write(text.replace('version="%s"' % version, 'version="%s"' % v, 1))
                    r = subprocess.run(["xmllint", "--noout", "--dtdvalid",
                                        os.path.join(DTDS, dtd), body],
                                       capture_output=True, text=True)
                    self.assertEqual(r.returncode, 0, dtd + ": " + r.stderr)
                self.check_fcpxml_fields(ET.parse(out).getroot(), fps, drop)

    def check_fcpxml_fields(self, root, fps, drop):
        num, den = (1001, 30000) if drop else (100, 100 * fps)
        fmt = root.find("resources/format")
        self.assertEqual(fmt.get("frameDuration"), "%d/%ds" % (num, den))

        def secs(t):
            if t == "0s":
                return 0
            n, d = t[:-1].split("/")
            self.assertEqual(int(d), den)
            self.assertEqual(int(n) % num, 0, t)
            return int(n) // num  # frames

        seq = root.find("library/event/project/sequence")
        self.assertEqual(seq.get("tcFormat"), "DF" if drop else "NDF")
        start = secs(seq.get("tcStart"))
        # 01:00:00:00, or the earliest IN before it.
        earliest = min(frames(s[1], fps, drop) for s in expected_spots(fps, drop))
        self.assertEqual(start, min(earliest, frames("01:00:00:00", fps, drop)))
        gap = seq.find("spine/gap")
        self.assertEqual((secs(gap.get("offset")), secs(gap.get("start"))), (start, start))
        got = [(m.get("value"), label(secs(m.get("start")), fps, drop),
                label(secs(m.get("start")) + secs(m.get("duration")), fps, drop),
                m.get("note", "")) for m in gap.findall("marker")]
        self.assertEqual(got, expected_spots(fps, drop))
        last_out = max(frames(s[2], fps, drop) for s in expected_spots(fps, drop))
        self.assertEqual(secs(gap.get("duration")), last_out - start)

    def test_xlsx_read_by_openpyxl(self):
        out, stdout, _ = self.export("--xlsx", [], 30, True)
        book = openpyxl.load_workbook(out)
        self.assertEqual(book.sheetnames, ["spots"])
        sheet = book.active
        self.assertEqual(sheet.freeze_panes, "A2")
        rows = [[c.value for c in row] for row in sheet.iter_rows()]
        self.assertEqual(rows[0], ["No", "SP No.", "IN", "OUT", "DURATION", "REMARK"])
        self.assertTrue(all(c.font.b for c in sheet[1]))
        self.assertFalse(any(c.font.b for c in sheet[2]))
        expected = []
        for no, sp, tin, tout, remark in spots(30, True):
            expected.append(["%04d" % no, sp, tin, tout, None, remark or None])
        self.assertEqual([r[:4] + [None] + r[5:] for r in rows[1:]], expected)
        # Every cell is text: nothing numeric, nothing a formula.
        for row in sheet.iter_rows():
            for c in row:
                if c.value is not None:
                    self.assertEqual(c.data_type, "s", c.coordinate)
        self.assertEqual(rows[1][4], "00:00:30:00")
        self.assertEqual(rows[5][4], "-01:00:00:00")
        # Wide enough: a wide character counts two.
        for col, cells in zip("ABCDEF", zip(*rows)):
            need = max(sum(2 if ord(ch) > 0x2E80 else 1 for ch in (v or "")) for v in cells)
            self.assertGreaterEqual(sheet.column_dimensions[col].width, need, col)

    def test_xmeml_structure(self):
        """Final Cut Pro 7 XML (xmeml): the element layout of Apple's Final Cut Pro XML
        Interchange Format documentation for a sequence, its rate, timecode and markers."""
        for name, args, fps, drop in RATES:
            with self.subTest(rate=name):
                out, stdout, skipped = self.export("--xmeml", args, fps, drop)
                self.assertIn("(no marker for rows %s)" % skipped, stdout)
                root = ET.parse(out).getroot()
                self.assertEqual((root.tag, root.get("version")), ("xmeml", "4"))
                seq = root.find("sequence")
                for path in ("name", "duration", "rate/timebase", "rate/ntsc", "timecode/rate",
                             "timecode/string", "timecode/frame", "timecode/displayformat",
                             "media/video/track"):
                    self.assertIsNotNone(seq.find(path), path)
                self.assertEqual(seq.findtext("rate/timebase"), str(fps))
                self.assertEqual(seq.findtext("rate/ntsc"), "TRUE" if drop else "FALSE")
                self.assertEqual(seq.findtext("timecode/displayformat"), "DF" if drop else "NDF")
                start = int(seq.findtext("timecode/frame"))
                tc = seq.findtext("timecode/string")
                self.assertEqual(tc.replace(";", ":"), label(start, fps, drop))
                self.assertEqual(";" in tc, drop)
                duration = int(seq.findtext("duration"))
                got = []
                for m in seq.findall("marker"):
                    self.assertEqual([c.tag for c in m], ["comment", "name", "in", "out"])
                    i, o = int(m.findtext("in")), int(m.findtext("out"))
                    self.assertTrue(0 <= i < o <= duration)
                    got.append((m.findtext("name"), label(start + i, fps, drop),
                                label(start + o, fps, drop), m.findtext("comment") or ""))
                self.assertEqual(got, expected_spots(fps, drop))

    def test_otio_structure(self):
        """OpenTimelineIO JSON: the members of Timeline.1, Stack.1, Track.1, Gap.1, Marker.2,
        TimeRange.1 and RationalTime.1 as OpenTimelineIO's serialized schema lists them, and
        marker times in the track's time from the global start time."""
        colours = {"PINK", "RED", "ORANGE", "YELLOW", "GREEN", "CYAN", "BLUE", "PURPLE",
                   "MAGENTA", "BLACK", "WHITE"}
        item_keys = {"OTIO_SCHEMA", "metadata", "name", "source_range", "effects", "markers",
                     "enabled"}

        def time(t, rate):
            self.assertEqual(set(t), {"OTIO_SCHEMA", "rate", "value"})
            self.assertEqual(t["OTIO_SCHEMA"], "RationalTime.1")
            self.assertAlmostEqual(t["rate"], rate, places=9)
            self.assertEqual(t["value"], int(t["value"]))
            return int(t["value"])

        for name, args, fps, drop in RATES:
            with self.subTest(rate=name):
                out, stdout, skipped = self.export("--otio", args, fps, drop)
                rate = 30000 / 1001 if drop else fps
                tl = json.load(open(out, encoding="utf-8"))
                self.assertEqual(tl["OTIO_SCHEMA"], "Timeline.1")
                self.assertEqual(set(tl), {"OTIO_SCHEMA", "metadata", "name",
                                           "global_start_time", "tracks"})
                start = time(tl["global_start_time"], rate)
                stack = tl["tracks"]
                self.assertEqual(stack["OTIO_SCHEMA"], "Stack.1")
                self.assertEqual(set(stack), item_keys | {"children"})
                [track] = stack["children"]
                self.assertEqual(track["OTIO_SCHEMA"], "Track.1")
                self.assertEqual(set(track), item_keys | {"children", "kind"})
                self.assertEqual(track["kind"], "Video")
                [gap] = track["children"]
                self.assertEqual((gap["OTIO_SCHEMA"], set(gap)), ("Gap.1", item_keys))
                got = []
                for m in track["markers"]:
                    self.assertEqual(m["OTIO_SCHEMA"], "Marker.2")
                    self.assertEqual(set(m), {"OTIO_SCHEMA", "metadata", "name", "color",
                                              "marked_range", "comment"})
                    self.assertIn(m["color"], colours)
                    r = m["marked_range"]
                    self.assertEqual(r["OTIO_SCHEMA"], "TimeRange.1")
                    at, length = time(r["start_time"], rate), time(r["duration"], rate)
                    got.append((m["name"], label(start + at, fps, drop),
                                label(start + at + length, fps, drop), m["comment"]))
                self.assertEqual(got, expected_spots(fps, drop))

    def test_edls_follow_cmx_3600(self):
        """CMX 3600: TITLE and FCM lines, then events of a three-digit number, a reel of at
        most eight characters, channel V, cut C and four timecodes; source and record the
        same length; notes on '*' lines. The marker EDL adds one line of marker fields
        (|C: colour |M: name |D: frames) after each one-frame event."""
        event = re.compile(r"^(\d{3})  (\S{1,8}) +V +C +" +
                           " ".join([r"(\d\d:\d\d:\d\d:\d\d)"] * 4) + "$")
        marker = re.compile(r"^(.*) \|C:(\S+) \|M:(.*) \|D:(\d+)$")
        for name, args, fps, drop in RATES:
            for option in ("--edl", "--markers-edl"):
                with self.subTest(rate=name, format=option):
                    out, stdout, skipped = self.export(option, args, fps, drop)
                    lines = open(out, "rb").read().decode("utf-8").split("\r\n")
                    self.assertEqual(lines.pop(), "")
                    self.assertEqual(lines[:3], ["TITLE: spots", "FCM: DROP FRAME" if drop
                                                 else "FCM: NON-DROP FRAME", ""])
                    got, number = [], 0
                    for line in lines[3:]:
                        m = event.match(line)
                        if m:
                            number += 1
                            self.assertEqual(int(m.group(1)), number)
                            si, so, ri, ro = (frames(t, fps, drop) for t in m.group(3, 4, 5, 6))
                            for t in m.group(3, 4, 5, 6):
                                self.assertEqual(label(frames(t, fps, drop), fps, drop), t)
                            self.assertEqual(so - si, ro - ri)
                            got.append([m.group(3), m.group(4), "", ""])
                            continue
                        mk = marker.match(line)
                        if option == "--markers-edl":
                            self.assertIsNotNone(mk, line)
                            self.assertEqual(mk.group(2), "ResolveColorBlue")
                            tin = got[-1][0]
                            got[-1] = [tin, label(frames(tin, fps, drop) + int(mk.group(4)),
                                                  fps, drop), mk.group(3), mk.group(1)]
                        elif line.startswith("* FROM CLIP NAME: "):
                            got[-1][2] = line[len("* FROM CLIP NAME: "):]
                        else:
                            self.assertTrue(line.startswith("* COMMENT: "), line)
                            got[-1][3] = line[len("* COMMENT: "):]
                    self.assertEqual([(g[2], g[0], g[1], g[3]) for g in got],
                                     expected_spots(fps, drop))

    def test_ale_columns_and_rate(self):
        """Avid Log Exchange: Heading (FIELD_DELIM TABS, FPS), Column, Data; every data line
        as many tab-separated fields as the column line."""
        for name, args, fps, drop in RATES:
            with self.subTest(rate=name):
                out, stdout, skipped = self.export("--ale", args, fps, drop)
                self.assertIn("(no clip for rows %s)" % skipped, stdout)
                text = open(out, "rb").read().decode("utf-8")
                heading, rest = text.split("\r\n\r\nColumn\r\n")
                columns, data = rest.split("\r\n\r\nData\r\n")
                head = dict(l.split("\t") for l in heading.split("\r\n")[1:])
                self.assertEqual(head["FIELD_DELIM"], "TABS")
                self.assertEqual(head["FPS"], "29.97" if drop else str(fps))
                cols = columns.split("\t")
                for c in ("Name", "Tracks", "Start", "End", "Tape", "Comments"):
                    self.assertIn(c, cols)
                got = []
                for line in data.split("\r\n")[:-1]:
                    f = dict(zip(cols, line.split("\t")))
                    self.assertEqual(len(line.split("\t")), len(cols))
                    self.assertEqual(";" in f["Start"] + f["End"], drop)
                    got.append((f["Name"], f["Start"].replace(";", ":"),
                                f["End"].replace(";", ":"), f["Comments"]))
                self.assertEqual(got, expected_spots(fps, drop))


if __name__ == "__main__":
    unittest.main()
