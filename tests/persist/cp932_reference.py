#!/usr/bin/env python3
"""Prints the reference digests of tests/persist/test_cp932.cpp.

Python's cp932 codec carries Microsoft's published table together with what Windows adds
to it (the single bytes 0x80, 0xA0, 0xFD to 0xFF and the user-defined area). Decoding takes
it as it is, with a bad pair read as U+FFFD for its lead byte and the next byte read for
itself. Encoding is built the way WideCharToMultiByte with WC_NO_BEST_FIT_CHARS behaves: a
character is written only as bytes that decode back to it; where several do, Windows takes
JIS X 0208 first, then the NEC row 13, then the IBM extensions, never the NEC-selected IBM
extensions. On top of that come our own rules: the JIS forms are written in their Windows
form, and U+00A5 and U+203E are refused.
"""
import hashlib

LEADS = list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD))
JIS_FORMS = {0x00A2: 0xFFE0, 0x00A3: 0xFFE1, 0x00AC: 0xFFE2, 0x2014: 0x2015,
             0x2016: 0x2225, 0x2212: 0xFF0D, 0x301C: 0xFF5E}
REFUSED = {0x00A5, 0x203E}


def digest(parts):
    return hashlib.sha1(" ".join(parts).encode()).hexdigest()[:16]


def decoded(b):
    return "".join("%04X" % ord(c) for c in b.decode("cp932", "replace"))


def preference(b):
    if len(b) == 2 and b[0] in (0xED, 0xEE):
        return 3
    if len(b) == 2 and b[0] >= 0xFA:
        return 2
    if len(b) == 2 and b[0] == 0x87:
        return 1
    return 0


forms = {}
for b in [bytes([x]) for x in range(0x80, 0x100)] + \
         [bytes([l, t]) for l in LEADS for t in range(0x100)]:
    s = b.decode("cp932", "replace")
    if len(s) == 1 and s != "\ufffd":
        forms.setdefault(ord(s), []).append(b)


def encoded(c):
    if c < 0x80:
        return "%02X" % c
    c = JIS_FORMS.get(c, c)
    if c in REFUSED or c not in forms:
        return "3F"
    return min(forms[c], key=preference).hex().upper()


print("decode:")
print('    row("single bytes", -1, "%s");' %
      digest(decoded(bytes([b])) for b in range(0x80, 0x100)))
for lead in LEADS:
    print('    row("lead byte %02X", 0x%02X, "%s");' %
          (lead, lead, digest(decoded(bytes([lead, t])) for t in range(0x100))))
print("encode:")
for block in range(0, 0x10000, 0x1000):
    chars = [c for c in range(max(block, 0x80), block + 0x1000) if not 0xD800 <= c <= 0xDFFF]
    print('    row("U+%04X to U+%04X", 0x%04X, "%s");' %
          (block, block + 0xFFF, block, digest(encoded(c) for c in chars)))
