#!/usr/bin/python3
"""Prints every data byte that Python's intelhex reads from a HEX file: "ADDRESS BYTE" in hex,
one per line, by address. A peer reader for the Tessaflex HEX tests."""
import sys

from intelhex import IntelHex

hexfile = IntelHex(sys.argv[1])
for address in sorted(hexfile.addresses()):
    print("%08X %02X" % (address, hexfile[address]))
