# SPDX-License-Identifier: GPL-3.0-or-later
# Reads a recording as written (CSV with the csv module, JSON lines with the json module) and
# checks it column by column against the constant currents the simulated meter sent at 5 V,
# one run after another: a run ends at a gap (the meter away or silent) or where the elapsed
# time falls back (a recording appended to another). The recorder's summary comes on standard
# input, unless --no-summary says it gives none. Says what is wrong, exits 1.
import argparse
import csv
import datetime
import json
import os
import re
import statistics
import sys

HEADER = ["time", "elapsed_s", "voltage_V", "current_A", "power_W", "charge_mAh", "energy_mWh"]
VOLTS = 5.0
GAP_S = 1.0
# The poll's pace, with room for a loaded machine's late timer.
RISE_S = (0.09, 0.115)


def fail(message):
    sys.exit("check-recording: " + message)


def read(path):
    with open(path, newline="") as file:
        if path.endswith(".jsonl"):
            return [json.loads(line) for line in file]
        reader = csv.DictReader(file)
        if reader.fieldnames != HEADER:
            fail(f"header {reader.fieldnames}")
        return list(reader)


# The wall clock of the recorder's zone, with its offset, and the same instants as its elapsed.
def check_time(number, row, run_start):
    if not re.search(r"T\d\d:\d\d:\d\d\.\d{3}", row["time"]):
        fail(f"row {number}: time {row['time']} without milliseconds")
    time = datetime.datetime.fromisoformat(row["time"])
    if time.tzinfo is None or time.utcoffset() != time.astimezone().utcoffset():
        fail(f"row {number}: time {row['time']} not in the local zone")
    if run_start:
        drift = (time - run_start[0]).total_seconds() - (float(row["elapsed_s"]) - run_start[1])
        if abs(drift) > 0.05:
            fail(f"row {number}: time and elapsed_s {drift:.3f} s apart")
    return time


def main(args):
    rows = read(args.path)
    if any(list(row) != HEADER or None in row.values() for row in rows):
        fail(f"a row with other columns than {HEADER}: rows joined or torn")
    if args.rows is not None and len(rows) != args.rows:
        fail(f"{len(rows)} rows, not {args.rows}")
    sent = [float(value) for value in args.sent.split(",")]
    plug, previous, runs = -1, None, []
    for number, row in enumerate(rows, 1):
        elapsed = float(row["elapsed_s"])
        step = None if previous is None else elapsed - float(previous["elapsed_s"])
        if step is None or not 0 <= step <= GAP_S:
            plug += 1
            if plug == len(sent):
                fail(f"row {number}: more runs than the {len(sent)} made")
            # A recording starts its clock and its totals at its first row; a gap keeps both.
            if step is None or step < 0:
                if elapsed > args.first_within:
                    fail(f"row {number}: a recording's first row at {elapsed} s")
                charge = energy = 0.0
            runs.append([])
            run_start = None
        else:
            # The rows' own integral, by trapezoids as the recorder counts.
            charge += (float(previous["current_A"]) + float(row["current_A"])) / 2 * step / 3.6
            energy += (float(previous["power_W"]) + float(row["power_W"])) / 2 * step / 3.6
            runs[-1].append(step)
        time = check_time(number, row, run_start)
        run_start = run_start or (time, elapsed)
        previous = row
        # The CSV rounds the clock to milliseconds, the recorder does not.
        for column, value, tolerance in (("voltage_V", VOLTS, 1e-6), ("current_A", sent[plug], 1e-6),
                                         ("power_W", VOLTS * sent[plug], 1e-6),
                                         ("charge_mAh", charge, 0.001), ("energy_mWh", energy, 0.005)):
            if abs(float(row[column]) - value) > tolerance:
                fail(f"row {number}: {column} {row[column]}, not {value:.6f}")
    if plug + 1 != len(sent):
        fail(f"{plug + 1} runs in the recording, {len(sent)} made")
    for rises in (rises for rises in runs if len(rises) >= 3):
        if not RISE_S[0] <= statistics.median(rises) <= RISE_S[1]:
            fail(f"rows {statistics.median(rises):.3f} s apart, not at the poll's pace")
    # The time column is the instant itself, not only a clock reading in the right format.
    last = datetime.datetime.fromisoformat(rows[-1]["time"]).timestamp()
    if abs(last - os.path.getmtime(args.path)) > 60:
        fail(f"the last row's time {rows[-1]['time']} is not when the file was written")
    if args.no_summary:
        return
    summary = sys.stdin.read()
    for text in (f"measurements {len(rows)},", f"gaps {plug} ",
                 f"charge {rows[-1]['charge_mAh']} mAh, energy {rows[-1]['energy_mWh']} mWh"):
        if text not in summary:
            fail(f"the summary lacks '{text}':\n{summary}")


parser = argparse.ArgumentParser()
parser.add_argument("path")
parser.add_argument("sent", help="the current of each run, in amperes, comma-separated")
parser.add_argument("--no-summary", action="store_true")
# A recording's first row comes with the next poll after its start, unless it waited for a meter.
parser.add_argument("--first-within", type=float, default=0.5, metavar="SECONDS")
parser.add_argument("--rows", type=int)
main(parser.parse_args())
