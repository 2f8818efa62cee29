# SPDX-License-Identifier: GPL-3.0-or-later
# Reads an ammeter-log CSV recording with the csv module and checks it against
# the constant currents the simulated meter sent, plug after plug, at 5 V; the
# recorder's summary comes on standard input, unless --no-summary says the
# recorder gives none. Says what is wrong, exits 1.
import csv
import datetime
import re
import sys

HEADER = ["time", "elapsed_s", "voltage_V", "current_A", "power_W", "charge_mAh", "energy_mWh"]
VOLTS = 5.0
GAP_S = 1.0


def fail(message):
    sys.exit("check-recording: " + message)


def main(path, sent, with_summary):
    with open(path, newline="") as file:
        reader = csv.DictReader(file)
        rows = list(reader)
    if reader.fieldnames != HEADER:
        fail(f"header {reader.fieldnames}")
    plug, charge, energy, previous = -1, 0.0, 0.0, None
    for number, row in enumerate(rows, 2):
        if not re.search(r"T\d\d:\d\d:\d\d\.\d{3}", row["time"]):
            fail(f"line {number}: time {row['time']} without milliseconds")
        datetime.datetime.fromisoformat(row["time"])
        elapsed = float(row["elapsed_s"])
        if previous is None or elapsed - previous > GAP_S:
            plug += 1
            if plug == len(sent):
                fail(f"line {number}: more plugs than the {len(sent)} made")
        else:
            # Within one plug the meter sent the same reading every time.
            charge += sent[plug] * (elapsed - previous) / 3.6
            energy += VOLTS * sent[plug] * (elapsed - previous) / 3.6
        previous = elapsed
        # The CSV rounds the clock to milliseconds, the recorder does not.
        for column, value, tolerance in (("voltage_V", VOLTS, 1e-6), ("current_A", sent[plug], 1e-6),
                                         ("power_W", VOLTS * sent[plug], 1e-6),
                                         ("charge_mAh", charge, 0.001), ("energy_mWh", energy, 0.005)):
            if abs(float(row[column]) - value) > tolerance:
                fail(f"line {number}: {column} {row[column]}, not {value:.6f}")
    if plug + 1 != len(sent):
        fail(f"{plug + 1} plugs in the recording, {len(sent)} made")
    if not with_summary:
        return
    summary = sys.stdin.read()
    for text in (f"measurements {len(rows)},", f"gaps {plug} ",
                 f"charge {rows[-1]['charge_mAh']} mAh, energy {rows[-1]['energy_mWh']} mWh"):
        if text not in summary:
            fail(f"the summary lacks '{text}':\n{summary}")


main(sys.argv[1], [float(value) for value in sys.argv[2].split(",")], "--no-summary" not in sys.argv)
