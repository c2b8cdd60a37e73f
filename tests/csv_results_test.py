#!/usr/bin/env python3
"""ba-engine --csv on the example: the table parses as CSV, its figures are
the load file's and the totals table's, and the specified outputs are the
same bytes with and without it.

    csv_results_test.py BA_ENGINE EXAMPLE_INPUT
"""
import csv
import io
import json
import os
import shutil
import subprocess
import sys
import tempfile

engine, example = sys.argv[1], sys.argv[2]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def run(folder, *args):
    return subprocess.run([engine, "--quiet", *args, example], cwd=folder,
                          capture_output=True)


work = tempfile.mkdtemp(prefix="zelba-csv-")
try:
    plain = os.path.join(work, "plain")
    with_csv = os.path.join(work, "csv")
    os.mkdir(plain)
    os.mkdir(with_csv)
    check(run(plain).returncode == 0, "the plain run succeeds")
    result = run(with_csv, "--csv", "results.csv", "--json", "results.json")
    check(result.returncode == 0, "the run with --csv succeeds: %r" % result.stderr)

    outputs = ["north_field.prn", "north_field_totals.txt", "north_field_load.txt"]
    for name in outputs:
        with open(os.path.join(plain, name), "rb") as a, open(os.path.join(with_csv, name), "rb") as b:
            check(a.read() == b.read(), name + " is the same bytes with --csv")

    raw = open(os.path.join(with_csv, "results.csv"), "rb").read()
    text = raw.decode("utf-8")  # UTF-8, or this raises
    check(text.endswith("\r\n") and "\n" not in text.replace("\r\n", ""),
          "every line ends CR LF")
    rows = list(csv.reader(io.StringIO(text, newline="")))
    header = rows[0]
    check(header == ["record", "date", "well", "point", "fluid", "hours_on", "theoretical",
                     "method", "allocated", "measured", "field_factor", "range_code"],
          "the header row: %r" % header)
    check(all(len(r) == len(header) for r in rows), "every row has every column")
    records = [dict(zip(header, r)) for r in rows[1:]]
    wells = [r for r in records if r["record"] == "well"]
    points = [r for r in records if r["record"] == "point"]

    # The load file: per well a *keyname line, then date, hours on, and the
    # allocated volume of each listed fluid (Oil, Gas, Water in the example).
    load = {}
    well = None
    for line in open(os.path.join(with_csv, "north_field_load.txt")):
        words = line.split()
        if line.startswith("*keyname"):
            well = line.split('"')[1]
        elif well and words and words[0].isdigit():
            load[(well, words[0])] = words[1:]
    fluids = ["Oil", "Gas", "Water"]
    seen = set()
    for r in wells:
        key = (r["well"], r["date"])
        if key not in load:
            continue
        seen.add(key)
        hours, *allocated = load[key]
        check(r["hours_on"] == hours, "hours on of %s %s" % key)
        check(r["allocated"] == allocated[fluids.index(r["fluid"])],
              "allocated %s of %s %s: %s" % (r["fluid"], key[0], key[1], r["allocated"]))
    check(len(seen) == len(load) and len(load) == 21 * 31,
          "every well and day of the load file is in the table (%d of %d)" % (len(seen), len(load)))
    check(len(wells) == 21 * 31 * 3, "a row per well, day and fluid: %d" % len(wells))

    # N-01 on 1 January as the README shows the load file and the report:
    # 136.9 bbl oil, 121.1 Mcf gas, 84.4 bbl water, on well test, at PAD-A.
    first = {r["fluid"]: r for r in wells if r["well"] == "N-01" and r["date"] == "20050101"}
    check(first["Oil"]["allocated"] == "136.9" and first["Gas"]["allocated"] == "121.1"
          and first["Water"]["allocated"] == "84.4", "N-01's first day")
    check(first["Oil"]["point"] == "PAD-A" and first["Oil"]["method"] == "Welltest",
          "N-01's point and method")

    # The totals table: a well's month of theoretical and allocated volume is
    # the sum of its days, each printed to a tenth: within half a tenth a day.
    for line in open(os.path.join(with_csv, "north_field_totals.txt")):
        words = line.split()
        if len(words) != 7 or not words[0].startswith("N-"):
            continue
        for k, fluid in enumerate(fluids):
            days = [r for r in wells if r["well"] == words[0] and r["fluid"] == fluid]
            for column, total in (("theoretical", words[1 + 2 * k]), ("allocated", words[2 + 2 * k])):
                summed = sum(float(r[column]) for r in days)
                check(abs(summed - float(total)) <= 0.05 * len(days) + 0.05,
                      "%s %s %s: %.1f against %s" % (words[0], fluid, column, summed, total))

    # The points: their measured volume, field factor and range code as the
    # results JSON holds them, printed as the report prints them.
    results = json.load(open(os.path.join(with_csv, "results.json")))
    by_point = {(r["point"], r["date"], r["fluid"]): r for r in points}
    count = 0
    for point in results["points"]:
        for fluid, days in point["fluids"].items():
            for day in days:
                r = by_point[(point["node"], str(day["date"]), fluid)]
                count += 1
                check(r["measured"] == "%.1f" % day["measured"], "measured of %r" % (r,))
                if day["fieldFactor"] is None:
                    check(r["field_factor"] == "" and r["range_code"] == "", "no factor: %r" % (r,))
                else:
                    check(r["field_factor"] == "%.3f" % day["fieldFactor"]
                          and r["range_code"] == str(day["rangeCode"]), "factor of %r" % (r,))
    check(count == len(points) and count > 0, "a row per point, day and fluid")
    nc = by_point[("NORTH-GC", "20050101", "Oil")]
    check(nc["measured"] == "2393.0" and nc["field_factor"] == "0.987", "NORTH-GC on 1 January")

    # "-" is standard output; a folder that does not exist is said and fails.
    out = run(with_csv, "--csv", "-")
    check(out.returncode == 0 and out.stdout == raw, "--csv - writes the same table to stdout")
    bad = run(with_csv, "--csv", "no/such/folder/results.csv")
    check(bad.returncode == 3 and b"CSV" in bad.stderr, "an unwritable CSV file: exit 3, said")
    check(not os.path.exists(os.path.join(with_csv, "no")), "nothing made for it")
    # A well name with a quote and a byte that is not UTF-8: quoted, the
    # quote doubled, the byte replaced by U+FFFD.
    odd = os.path.join(with_csv, "odd.ba")
    with open(example, "rb") as source, open(odd, "wb") as target:
        target.write(source.read().replace(b"N-01", b'N0"1\xff'))
    subprocess.run([engine, "--quiet", "--csv", "odd.csv", odd], cwd=with_csv, check=True,
                   capture_output=True)
    odd_raw = open(os.path.join(with_csv, "odd.csv"), "rb").read()
    check(b'"N0""1\xef\xbf\xbd",PAD-A' in odd_raw, "the odd name quoted and replaced")
    odd_rows = list(csv.reader(io.StringIO(odd_raw.decode("utf-8"), newline="")))
    check(odd_rows[1][2] == 'N0"1\ufffd', "the odd name read back: %r" % odd_rows[1][2])

    # A run that failed has no results: an earlier table of the name stays.
    failed = subprocess.run([engine, "--quiet", "--csv", "results.csv", "missing.ba"],
                            cwd=with_csv, capture_output=True)
    check(failed.returncode == 1 and b"was not written" in failed.stderr,
          "a failed run says the table was not written")
    check(open(os.path.join(with_csv, "results.csv"), "rb").read() == raw,
          "the earlier table is left as it was")
finally:
    shutil.rmtree(work)

for f in failures:
    print("FAILED:", f)
sys.exit(1 if failures else 0)
