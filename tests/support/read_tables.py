#!/usr/bin/python3
"""Prints the layout and the rows of every table in a data folder, read by an
independent xBase reader: one line per table,
FILE|rows|NAME:TYPE:LENGTH,... and then one line per row of ORGS.DBF."""
import glob
import os
import sys

import dbfread

folder = sys.argv[1]
for path in sorted(glob.glob(os.path.join(folder, "*"))):
    if not path.lower().endswith(".dbf"):
        continue
    table = dbfread.DBF(path, load=True, char_decode_errors="replace")
    fields = ",".join("%s:%s:%d" % (f.name, f.type, f.length) for f in table.fields)
    print("%s|%d|%s" % (os.path.basename(path), len(table.records), fields))
    if os.path.basename(path).upper() == "ORGS.DBF":
        for row in table.records:
            print("ORG|%s|%s" % (row["UNIQUE_ID"], row["ORG"]))
