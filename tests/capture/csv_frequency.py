"""Reads a Tracely CSV export with nothing but the csv module and prints the frequency of one
column (rising crossings of its middle level, interpolated) and the sample rate it names."""
import csv
import sys

with open(sys.argv[1], newline="") as f:
    rows = list(csv.reader(f))
start = next(k for k, r in enumerate(rows) if r[:2] == ["time_s", "volts"])
about = {r[0]: r[1] for r in rows[:start] if len(r) == 2}
column = rows[start].index(sys.argv[2])
t = [float(r[0]) for r in rows[start + 1:]]
v = [float(r[column]) for r in rows[start + 1:]]
mid = (max(v) + min(v)) / 2
cross = [t[k - 1] + (mid - v[k - 1]) * (t[k] - t[k - 1]) / (v[k] - v[k - 1])
         for k in range(1, len(v)) if v[k - 1] < mid <= v[k]]
print((len(cross) - 1) / (cross[-1] - cross[0]), about["Sample rate"])
