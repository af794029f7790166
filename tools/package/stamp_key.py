#!/usr/bin/env python3
"""Writes the release public key into a built Tavirel.exe.

    stamp_key.py EXE PUBLIC_KEY.pem

The program carries a 16-byte marker followed by 64 zero bytes (see
src/app/win/UpdateKey.cpp); this writes the key's X and Y there. The key is
an EC P-256 public key in PEM (`openssl ec -pubout`). The marker must occur
exactly once, and the bytes after it must still be zero or already this key.
Sign the program with Authenticode only after this.
"""
import subprocess
import sys

MARKER = b"TavirelReleaseK:"
# SubjectPublicKeyInfo of an uncompressed P-256 point, everything before X.
SPKI_PREFIX = bytes.fromhex("3059301306072a8648ce3d020106082a8648ce3d03010703420004")


def raw_key(pem_path):
    der = subprocess.run(["openssl", "pkey", "-pubin", "-in", pem_path, "-outform", "DER"],
                         check=True, capture_output=True).stdout
    if len(der) != len(SPKI_PREFIX) + 64 or not der.startswith(SPKI_PREFIX):
        sys.exit(f"stamp_key: {pem_path} is not an EC P-256 public key")
    return der[len(SPKI_PREFIX):]


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    exe, pem = sys.argv[1], sys.argv[2]
    key = raw_key(pem)
    data = bytearray(open(exe, "rb").read())
    at = data.find(MARKER)
    if at < 0 or data.find(MARKER, at + 1) >= 0:
        sys.exit(f"stamp_key: {exe} does not hold the key marker exactly once")
    at += len(MARKER)
    old = bytes(data[at:at + 64])
    if old != bytes(64) and old != key:
        sys.exit(f"stamp_key: {exe} already carries another key")
    data[at:at + 64] = key
    open(exe, "wb").write(data)


if __name__ == "__main__":
    main()
