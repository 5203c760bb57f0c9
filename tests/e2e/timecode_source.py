#!/usr/bin/env python3
"""A timecode source of the test's own, made without the simulator or libltc: LTC audio
(48 kHz, 16-bit signed little-endian, mono, raw) or MIDI timecode written in real time into a
FIFO, as a cable would carry it, and the checks of what Tarnwick captured from it.

  timecode_source.py send ltc|mtc FIFO STATUS [--start HH:MM:SS:FF] [--rate 24|25|30]
                     [--non-drop] [--pull-down]
  timecode_source.py wait STATUS SECONDS     until SECONDS of signal have reached a reader
  timecode_source.py check STATUS PRESSES LIST   captured IN/OUT against the frames sent

--rate gives the frames a second of the labels (default 30). At 30 the labels are drop-frame
and run at 29.97 unless --non-drop; 24 and 25 are non-drop. --pull-down runs 24 at 23.976
(and 30 non-drop at 29.97). STATUS is a small JSON file the sender keeps up to date. PRESSES has one line per key press,
"I|O before after" in seconds since the epoch, in the order of the list's cells.
"""
import errno
import json
import math
import os
import re
import stat
import sys
import time

RATE = 48000


def period_of(fps, drop, pull_down):
    """Seconds a frame lasts: drop-frame and pulled-down material runs 1000/1001 slow."""
    slow = drop or (pull_down and fps != 25)
    return (1001 if slow else 1000) / (1000 * fps)


def frames_of(label, fps, drop):
    h, m, s, f = (int(x) for x in re.split("[:;]", label))
    count = ((h * 60 + m) * 60 + s) * fps + f
    if drop:
        minutes = h * 60 + m
        count -= 2 * (minutes - minutes // 10)
    return count


def label_of(count, fps, drop):
    if drop:
        tens, rest = divmod(count, 17982)
        # Within ten minutes the first minute has 1800 frames and the others 1798.
        if rest >= 2:
            rest += 2 * ((rest - 2) // 1798)
        count = tens * 18000 + rest
    count %= 24 * 3600 * fps
    f = count % fps
    s = count // fps % 60
    m = count // (60 * fps) % 60
    h = count // (3600 * fps)
    return "%02d:%02d:%02d:%02d" % (h, m, s, f)


def ltc_bits(label, fps, drop):
    """The 80 bits of an LTC frame, in the order they are sent."""
    h, m, s, f = (int(x) for x in label.split(":"))
    bits = [0] * 80

    def put(at, value, width):
        for i in range(width):
            bits[at + i] = (value >> i) & 1

    put(0, f % 10, 4)
    put(8, f // 10, 2)
    bits[10] = 1 if drop else 0
    put(16, s % 10, 4)
    put(24, s // 10, 3)
    put(32, m % 10, 4)
    put(40, m // 10, 3)
    put(48, h % 10, 4)
    put(56, h // 10, 2)
    for i, b in enumerate("0011111111111101"):
        bits[64 + i] = int(b)
    # The polarity bit keeps the number of zeros even, so every frame starts with the same
    # polarity: bit 27 at 24 and 30, bit 59 in 25 frame (EBU) timecode.
    bits[59 if fps == 25 else 27] = sum(bits) % 2
    return bits


class Ltc:
    """Biphase-mark code: the level changes at every bit boundary, and in the middle of a 1."""

    def __init__(self, start, fps, drop, period):
        self.frame = start
        self.fps = fps
        self.drop = drop
        self.bit_samples = RATE * period / 80
        self.bit = 0  # bits sent since the start
        self.level = 12000
        self.pending = []

    def samples(self, count):
        while len(self.pending) < count:
            for b in ltc_bits(label_of(self.frame, self.fps, self.drop), self.fps, self.drop):
                begin = round(self.bit * self.bit_samples)
                middle = round((self.bit + 0.5) * self.bit_samples)
                end = round((self.bit + 1) * self.bit_samples)
                self.level = -self.level
                if b:
                    self.pending += [self.level] * (middle - begin)
                    self.level = -self.level
                    self.pending += [self.level] * (end - middle)
                else:
                    self.pending += [self.level] * (end - begin)
                self.bit += 1
            self.frame += 1
        out, self.pending = self.pending[:count], self.pending[count:]
        return b"".join(v.to_bytes(2, "little", signed=True) for v in out)


def mtc_quarter(start, fps, drop, quarter):
    label = label_of(start + 2 * (quarter // 8), fps, drop)
    h, m, s, f = (int(x) for x in label.split(":"))
    piece = quarter % 8
    # MIDI's rate code: 0 24 (23.976 too), 1 25, 2 29.97 drop-frame, 3 30.
    code = {24: 0, 25: 1}.get(fps, 2 if drop else 3)
    values = [f & 15, f >> 4, s & 15, s >> 4, m & 15, m >> 4, h & 15, (h >> 4) | code << 1]
    return bytes([0xF1, piece << 4 | values[piece]])


def send(kind, fifo, status_path, start_label, fps, drop, pull_down):
    start = frames_of(start_label, fps, drop)
    period = period_of(fps, drop, pull_down)
    origin_wall = time.time()
    origin = time.monotonic()
    ltc = Ltc(start, fps, drop, period)
    sent = 0  # samples, or quarter frames
    delivered = 0.0  # seconds of signal a reader took
    fd = -1
    last_status = 0.0
    extra = 0
    assert stat.S_ISFIFO(os.stat(fifo).st_mode), "the output must be a FIFO"
    while True:
        if fd < 0:
            try:
                fd = os.open(fifo, os.O_WRONLY | os.O_NONBLOCK)
            except OSError as e:
                if e.errno != errno.ENXIO:  # no reader yet
                    raise
        elapsed = time.monotonic() - origin
        if kind == "ltc":
            due = int(elapsed * RATE)
            data = ltc.samples(due - sent)
            seconds = (due - sent) / RATE
            sent = due
        else:
            due = int(elapsed / (period / 4)) + 1
            data = b""
            for q in range(sent, due):
                data += mtc_quarter(start, fps, drop, q)
                # What else a MIDI cable carries: clock and active sensing between and inside
                # messages, notes with running status.
                extra += 1
                if extra % 3 == 0:
                    data = data[:-1] + b"\xf8" + data[-1:]
                if extra % 37 == 0:
                    data += b"\x90\x3c\x40\x3c\x00\xfe"
            seconds = (due - sent) * period / 4
            sent = due
        if fd >= 0 and data:
            try:
                for i in range(0, len(data), 4096):
                    os.write(fd, data[i:i + 4096])
                delivered += seconds
            except BlockingIOError:
                pass  # a full FIFO loses the rest, as a cable nobody listens to
            except BrokenPipeError:
                os.close(fd)
                fd = -1
        now = time.monotonic()
        if now - last_status > 0.05:
            last_status = now
            with open(status_path + ".tmp", "w") as f:
                json.dump({"origin": origin_wall, "start": start, "fps": fps, "drop": drop,
                           "period": period, "kind": kind, "delivered": delivered}, f)
            os.replace(status_path + ".tmp", status_path)
        time.sleep(0.002 if kind == "mtc" else 0.005)


def read_status(path):
    try:
        with open(path) as f:
            return json.load(f)
    except (OSError, ValueError):
        return None


def wait(status_path, seconds):
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline:
        status = read_status(status_path)
        if status and status["delivered"] >= seconds:
            return 0
        time.sleep(0.05)
    print("the signal did not reach a reader", file=sys.stderr)
    return 1


def sent_at(status, wall):
    return status["start"] + math.floor((wall - status["origin"]) / status["period"])


def check(status_path, presses_path, list_path):
    status = read_status(status_path)
    fps, drop = status["fps"], status["drop"]
    ok_durations = True
    marked = False
    presses = [line.split() for line in open(presses_path) if line.strip()]
    cells = []
    for line in open(list_path, encoding="cp932"):
        if line.startswith("#FrameRate="):
            assert fps != 30 and line.strip() == "#FrameRate=%d" % fps, line
            marked = True
            continue
        times = line.split()[2].split("/")
        cells += [times[0], times[1]]
        # The file keeps seconds and frames of the duration: OUT - IN at the source's rate.
        if times[0][0].isdigit() and times[1][0].isdigit():
            span = frames_of(times[1], fps, drop) - frames_of(times[0], fps, drop)
            if times[2] != label_of(span, fps, drop)[-5:]:
                print("duration %s for %s to %s" % (times[2], times[0], times[1]))
                ok_durations = False
    if marked != (fps != 30):
        print("the list file %s its rate" % ("names" if marked else "does not name"))
        ok_durations = False
    errors = []
    ok = ok_durations
    for (key, before, after), cell in zip(presses, cells):
        first, last = sent_at(status, float(before)), sent_at(status, float(after))
        got = frames_of(cell, fps, drop) if cell[0].isdigit() else None
        if got is None:
            print("%s: nothing captured" % key)
            ok = False
            continue
        error = got - first if got < first else got - last if got > last else 0
        errors.append(error)
        print("%s %s: sent %s to %s, error %+d frame(s)"
              % (key, cell, label_of(first, fps, drop), label_of(last, fps, drop), error))
        ok = ok and abs(error) <= 1
    if len(errors) != len(presses):
        print("%d captures for %d presses" % (len(errors), len(presses)))
        ok = False
    print("%s: %d captures, errors in frames %s" % (status["kind"].upper(), len(errors), errors))
    return 0 if ok else 1


def main(argv):
    if len(argv) >= 4 and argv[0] == "send":
        fps = int(argv[argv.index("--rate") + 1]) if "--rate" in argv else 30
        if fps not in (24, 25, 30):
            print("--rate takes 24, 25 or 30", file=sys.stderr)
            return 2
        drop = fps == 30 and "--non-drop" not in argv
        start = argv[argv.index("--start") + 1] if "--start" in argv else "01:00:00:00"
        try:
            send(argv[1], argv[2], argv[3], start, fps, drop, "--pull-down" in argv)
        except KeyboardInterrupt:
            pass
        return 0
    if len(argv) == 3 and argv[0] == "wait":
        return wait(argv[1], float(argv[2]))
    if len(argv) == 4 and argv[0] == "check":
        return check(argv[1], argv[2], argv[3])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
