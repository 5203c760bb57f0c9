#!/usr/bin/env python3
"""tarnwick-export's exports held against readers we did not write: xmllint with Apple's
FCPXML DTDs, openpyxl for the workbook, and, for the formats that have neither a validator
nor a reader in Debian (Final Cut Pro 7 XML, OpenTimelineIO JSON, CMX 3600 EDL, Avid Log
Exchange), Python's own XML, JSON and text parsers with the rules of each format's published
description. Timecodes are counted here independently of the program, at 24, 25, 30 non-drop
and 30 drop-frame. The converter is named by TARNWICK_EXPORT, the DTD folder by
TARNWICK_FCPXML_DTDS."""

import glob
import json
import os
import re
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

import openpyxl

EXPORT = os.environ["TARNWICK_EXPORT"]
# The notes read below are the English ones.
ENGLISH = dict(os.environ, LC_ALL="en_US.UTF-8")
DTDS = os.environ["TARNWICK_FCPXML_DTDS"]

RATES = [("24", ["--rate", "24"], 24, False), ("25", ["--rate", "25"], 25, False),
         ("30 non-drop", ["--non-drop"], 30, False), ("30 drop", [], 30, True)]


# The tests' own count of labels, written apart from the program's.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from timecode_source import frames_of as frames, label_of as label  # noqa: E402


def exists(tc, fps, drop):
    return label(frames(tc, fps, drop), fps, drop) == tc


def spots(fps, drop):
    """Rows of a list file: (No., SP No., IN, OUT, remark). No entry, and named: row 3 (no
    OUT), 5 (an OUT before its IN), 7 (a frame past the rate's last), 8 (an OUT at its IN)
    and, in drop-frame, 6 and 10 (an IN and an OUT that drop-frame skips); row 9 is empty,
    no entry and not named; 4 and 11 end in minutes that ten divides, kept in drop-frame."""
    last = fps - 1
    return [(1, "0001", "00:59:50:00", "01:00:20:00", 'CM1, "春"'),
            (2, "0002", "01:00:20:00", "01:00:21:%02d" % last, "=1+2"),
            (3, "0003", "01:00:30:00", None, "no out"),
            (4, "0004", "01:09:59:%02d" % last, "01:10:00:00", ""),
            (5, "0005", "02:00:00:00", "01:00:00:00", "backwards"),
            (6, "0006", "00:01:00:00", "00:01:00:05", "本編　CM"),
            (7, "0007", "01:00:40:%02d" % fps, "01:00:42:00", "past the rate"),
            (8, "0008", "01:00:50:00", "01:00:50:00", "no length"),
            (9, "", None, None, ""),
            (10, "0010", "01:01:00:10", "01:02:00:01", "out skipped"),
            (11, "0011", "01:20:00:00", "01:20:00:01", "")]


def expected_spots(fps, drop):
    return [(sp, tin, tout, remark) for no, sp, tin, tout, remark in spots(fps, drop)
            if tin and tout and exists(tin, fps, drop) and exists(tout, fps, drop)
            and frames(tout, fps, drop) > frames(tin, fps, drop)]


class Formats(unittest.TestCase):
    def setUp(self):
        self.dir = self.enterContext(tempfile.TemporaryDirectory())

    def test_every_format_at_every_rate(self):
        """Each export at each rate, read by its reader; a reader that returns spots is
        compared with the rows that make an entry, and the others are named."""
        for option, entry, read in (("--fcpxml", "marker", self.read_fcpxml),
                                    ("--xlsx", None, self.read_xlsx),
                                    ("--xmeml", "marker", self.read_xmeml),
                                    ("--otio", "marker", self.read_otio),
                                    ("--edl", "event", self.read_edl),
                                    ("--markers-edl", "marker", self.read_edl),
                                    ("--ale", "clip", self.read_ale)):
            for name, args, fps, drop in RATES:
                with self.subTest(format=option, rate=name):
                    path = os.path.join(self.dir, "spots.txt")
                    with open(path, "wb") as f:
                        f.write("".join("%04d %-4s  %s/%s/--:-- %s\r\n" % (
                            no, sp, tin or "--:--:--:--", tout or "--:--:--:--", remark)
                            for no, sp, tin, tout, remark in spots(fps, drop)).encode("cp932"))
                    r = subprocess.run([EXPORT, option, *args, path, "-d", self.dir],
                                       env=ENGLISH, capture_output=True, text=True, timeout=60)
                    self.assertEqual(r.returncode, 0, r.stderr)
                    out = r.stdout.split(" -> ")[1].split(" (")[0].strip()
                    got = read(out, fps, drop)
                    if entry:
                        kept = [s[0] for s in expected_spots(fps, drop)]
                        skipped = [s[1] for s in spots(fps, drop) if s[1] and s[1] not in kept]
                        self.assertIn("(no %s for rows %s)" % (entry, ", ".join(skipped)),
                                      r.stdout)
                        want = expected_spots(fps, drop)
                        if option == "--markers-edl":  # in time order
                            want.sort(key=lambda s: frames(s[1], fps, drop))
                        self.assertEqual(got, want)

    def read_fcpxml(self, out, fps, drop):
        """Valid against every current DTD; markers on a gap from the timeline's start."""
        text = open(out, encoding="utf-8").read()
        dtds = sorted(glob.glob(os.path.join(DTDS, "FCPXMLv*.dtd")))
        self.assertTrue(dtds, DTDS)
        for dtd in dtds:
            # Each DTD fixes its own version number: the body must be valid in each.
            v = os.path.basename(dtd)[len("FCPXMLv"):-len(".dtd")].replace("_", ".")
            r = subprocess.run(["xmllint", "--noout", "--dtdvalid", dtd, "-"], text=True,
                               input=re.sub(r'(<fcpxml version=")[\d.]+', r"\g<1>" + v, text, 1),
                               capture_output=True)
            self.assertEqual(r.returncode, 0, dtd + ": " + r.stderr)

        root = ET.parse(out).getroot()
        num, den = (1001, 30000) if drop else (100, 100 * fps)
        self.assertEqual(root.find("resources/format").get("frameDuration"),
                         "%d/%ds" % (num, den))

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
        last_out = max(frames(s[2], fps, drop) for s in expected_spots(fps, drop))
        self.assertEqual(secs(gap.get("duration")), last_out - start)
        return [(m.get("value"), label(secs(m.get("start")), fps, drop),
                 label(secs(m.get("start")) + secs(m.get("duration")), fps, drop),
                 m.get("note", "")) for m in gap.findall("marker")]

    def read_xlsx(self, out, fps, drop):
        """Every row, every cell text, the header bold and frozen, columns wide enough."""
        book = openpyxl.load_workbook(out)
        self.assertEqual(book.sheetnames, ["spots"])
        sheet = book.active
        self.assertEqual(sheet.freeze_panes, "A2")
        self.assertTrue(all(c.font.b for c in sheet[1]))
        self.assertFalse(any(c.font.b for c in sheet[2]))
        # Every cell is text: nothing numeric, nothing a formula.
        self.assertEqual({c.data_type for row in sheet.iter_rows() for c in row
                          if c.value is not None}, {"s"})
        rows = [[c.value for c in row] for row in sheet.iter_rows()]
        self.assertEqual(rows[0], ["No", "SP No.", "IN", "OUT", "DURATION", "REMARK"])
        self.assertEqual([r[:4] + r[5:] for r in rows[1:]],
                         [["%04d" % no, sp, tin, tout, remark or None]
                          for no, sp, tin, tout, remark in spots(fps, drop) if sp])
        self.assertEqual((rows[1][4], rows[5][4]), ("00:00:30:00", "-01:00:00:00"))
        # Wide enough: a wide character counts two.
        for col, cells in zip("ABCDEF", zip(*rows)):
            need = max(sum(2 if ord(ch) > 0x2E80 else 1 for ch in (v or "")) for v in cells)
            self.assertGreaterEqual(sheet.column_dimensions[col].width, need, col)

    def read_xmeml(self, out, fps, drop):
        """Final Cut Pro 7 XML (xmeml): the element layout of Apple's Final Cut Pro XML
        Interchange Format documentation for a sequence, its rate, timecode and markers."""
        root = ET.parse(out).getroot()
        self.assertEqual((root.tag, root.get("version")), ("xmeml", "4"))
        seq = root.find("sequence")
        for path in ("name", "timecode/rate", "media/video/track"):  # the others are read
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
        return got

    def read_otio(self, out, fps, drop):
        """OpenTimelineIO JSON: the members of Timeline.1, Stack.1, Track.1, Gap.1, Marker.2,
        TimeRange.1 and RationalTime.1 as OpenTimelineIO's serialized schema lists them, and
        marker times in the track's time from the global start time."""
        rate = 30000 / 1001 if drop else fps
        item = {"metadata", "name", "source_range", "effects", "markers", "enabled"}

        def schema(obj, name, keys):
            self.assertEqual((obj["OTIO_SCHEMA"], set(obj)), (name, keys | {"OTIO_SCHEMA"}))
            return obj

        def time(t):
            schema(t, "RationalTime.1", {"rate", "value"})
            self.assertAlmostEqual(t["rate"], rate, places=9)
            self.assertEqual(t["value"], int(t["value"]))
            return int(t["value"])

        tl = schema(json.load(open(out, encoding="utf-8")), "Timeline.1",
                    {"metadata", "name", "global_start_time", "tracks"})
        start = time(tl["global_start_time"])
        [track] = schema(tl["tracks"], "Stack.1", item | {"children"})["children"]
        schema(track, "Track.1", item | {"children", "kind"})
        self.assertEqual(track["kind"], "Video")
        [gap] = track["children"]
        schema(gap, "Gap.1", item)
        got = []
        for m in track["markers"]:
            schema(m, "Marker.2", {"metadata", "name", "color", "marked_range", "comment"})
            self.assertIn(m["color"], {"PINK", "RED", "ORANGE", "YELLOW", "GREEN", "CYAN",
                                       "BLUE", "PURPLE", "MAGENTA", "BLACK", "WHITE"})
            r = m["marked_range"]
            self.assertEqual(r["OTIO_SCHEMA"], "TimeRange.1")
            at, length = time(r["start_time"]), time(r["duration"])
            got.append((m["name"], label(start + at, fps, drop),
                        label(start + at + length, fps, drop), m["comment"]))
        return got

    def read_edl(self, out, fps, drop):
        """CMX 3600: TITLE and FCM lines, then events of a three-digit number, a reel of at
        most eight characters, channel V, cut C and four timecodes; source and record the
        same length, record times never overlapping; drop-frame labels with ';' before the
        frames; notes on '*' lines, every event naming its clip. The marker EDL adds one line of
        marker fields (|C: colour |M: name |D: frames |N: note) after each one-frame event,
        starting with a space, in time order."""
        event = re.compile(r"^(\d{3})  (\S{1,8}) +V +C +" +
                           " ".join([r"(\d\d:\d\d:\d\d[:;]\d\d)"] * 4) + "$")
        marker = re.compile(r"^ \|C:(\S+) \|M:(.*) \|D:(\d+) \|N:(.*)$")
        markers = out.endswith("-markers.edl")
        lines = open(out, "rb").read().decode("utf-8").split("\r\n")
        self.assertEqual(lines.pop(), "")
        self.assertEqual(lines[:3], ["TITLE: spots", "FCM: DROP FRAME" if drop
                                     else "FCM: NON-DROP FRAME", ""])
        got = []  # [name, IN, OUT, comment] per event
        named = 0
        record_end = -1
        for line in lines[3:]:
            m, mk = event.match(line), marker.match(line)
            if m:
                self.assertEqual(int(m.group(1)), len(got) + 1)
                times = [t.replace(";", ":") for t in m.group(3, 4, 5, 6)]
                for t, written in zip(times, m.group(3, 4, 5, 6)):
                    self.assertTrue(exists(t, fps, drop), t)
                    self.assertEqual(written[8], ";" if drop else ":")
                si, so, ri, ro = (frames(t, fps, drop) for t in times)
                self.assertEqual(so - si, ro - ri)
                self.assertGreaterEqual(ri, record_end)
                record_end = ro
                got.append(["", times[0], times[1], ""])
            elif markers:
                self.assertIsNotNone(mk, line)
                self.assertEqual(mk.group(1), "ResolveColorBlue")
                tin = got[-1][1]
                got[-1] = [mk.group(2), tin, label(frames(tin, fps, drop) + int(mk.group(3)),
                                                   fps, drop), mk.group(4)]
            else:
                key, _, text = line.partition(": ")
                self.assertIn(key, ("* FROM CLIP NAME", "* COMMENT"))
                if key == "* FROM CLIP NAME":
                    named += 1
                got[-1][0 if key == "* FROM CLIP NAME" else 3] = text
        if not markers:
            self.assertEqual(named, len(got))
        return [tuple(g) for g in got]

    def read_ale(self, out, fps, drop):
        """Avid Log Exchange: Heading (FIELD_DELIM TABS, FPS), Column, Data; every data line
        as many tab-separated fields as the column line."""
        text = open(out, "rb").read().decode("utf-8")
        heading, rest = text.split("\r\n\r\nColumn\r\n")
        columns, data = rest.split("\r\n\r\nData\r\n")
        head = dict(line.split("\t") for line in heading.split("\r\n")[1:])
        self.assertEqual(head["FIELD_DELIM"], "TABS")
        self.assertEqual(head["FPS"], "29.97" if drop else str(fps))
        cols = columns.split("\t")
        for c in ("Name", "Tracks", "Start", "End", "Tape", "Comments"):
            self.assertIn(c, cols)
        got = []
        for line in data.split("\r\n")[:-1]:
            self.assertEqual(len(line.split("\t")), len(cols))
            f = dict(zip(cols, line.split("\t")))
            self.assertEqual(";" in f["Start"] + f["End"], drop)
            got.append((f["Name"], f["Start"].replace(";", ":"), f["End"].replace(";", ":"),
                        f["Comments"]))
        return got


if __name__ == "__main__":
    unittest.main()
