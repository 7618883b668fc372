"""Checks the packed extension in a release folder: the CRX3's header proves
the ID written beside it (the key's SHA-256, as Chromium derives it), its
archive holds the Chromium manifest and the scripts, and the Firefox archive
the same scripts with the Firefox manifest.
    check_packed_extension.py RELEASE_DIR EXTENSION_SOURCE_DIR"""
import hashlib
import io
import json
import os
import struct
import sys
import zipfile


def fields(data):
    """(number, bytes) of each length-delimited field of a protobuf message."""
    at = 0
    while at < len(data):
        key, at = varint(data, at)
        number, kind = key >> 3, key & 7
        if kind == 2:
            length, at = varint(data, at)
            yield number, data[at:at + length]
            at += length
        elif kind == 0:
            _, at = varint(data, at)
        else:
            raise ValueError("unexpected wire type %d" % kind)


def varint(data, at):
    value = shift = 0
    while True:
        byte = data[at]
        at += 1
        value |= (byte & 0x7F) << shift
        shift += 7
        if not byte & 0x80:
            return value, at


def main(release, source):
    failures = []
    with open(os.path.join(release, "vorlane-extension.crx"), "rb") as f:
        crx = f.read()
    magic, version, header_size = struct.unpack_from("<4sII", crx)
    if (magic, version) != (b"Cr24", 3):
        sys.exit("not a CRX3: %r %d" % (magic, version))
    header = crx[12:12 + header_size]
    keys = [dict(fields(proof)).get(1) for number, proof in fields(header) if number == 2]
    signed = dict(fields(dict(fields(header))[10000]))
    crx_id = signed[1]
    owners = [key for key in keys if key and hashlib.sha256(key).digest()[:16] == crx_id]
    if not owners:
        failures.append("no RSA key in the header gives the CRX's ID")
    written = open(os.path.join(release, "vorlane-extension.id")).read().strip()
    derived = "".join(chr(ord("a") + int(c, 16)) for c in crx_id.hex())
    if written != derived:
        failures.append("vorlane-extension.id says %s, the CRX %s" % (written, derived))

    scripts = sorted(name for name in os.listdir(os.path.join(source))
                     if not name.startswith("manifest"))
    chromium = zipfile.ZipFile(io.BytesIO(crx[12 + header_size:]))
    firefox = zipfile.ZipFile(os.path.join(release, "vorlane-extension-firefox.zip"))
    for archive, manifest_file, label in ((chromium, "manifest.json", "CRX"),
                                          (firefox, "manifest.firefox.json", "Firefox zip")):
        names = sorted(archive.namelist())
        if names != sorted(scripts + ["manifest.json"]):
            failures.append("%s holds %s" % (label, names))
            continue
        with open(os.path.join(source, manifest_file)) as f:
            expected = json.load(f)
        if json.loads(archive.read("manifest.json")) != expected:
            failures.append("%s's manifest is not %s" % (label, manifest_file))
        for name in scripts:
            with open(os.path.join(source, name), "rb") as f:
                if archive.read(name) != f.read():
                    failures.append("%s's %s differs from the source" % (label, name))
    for failure in failures:
        print("FAILED: " + failure)
    if not failures:
        print("packed extension %s: CRX3 and Firefox zip match the source" % derived)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
