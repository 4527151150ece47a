#!/usr/bin/env python3
"""compare.py ROUNDS PREPARE COMMAND_A COMMAND_B

Times two shell commands with hyperfine, alternating: each round runs
hyperfine once with one run of A and one of B (PREPARE before each run),
after one warm-up round. Prints the median, minimum and maximum of each
command and the ratio of the medians (A / B)."""
import json
import os
import statistics
import subprocess
import sys
import tempfile

rounds, prepare, first, second = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
times = {first: [], second: []}
with tempfile.TemporaryDirectory() as folder:
    report = os.path.join(folder, "round.json")
    for round_number in range(rounds + 1):
        order = [first, second] if round_number % 2 == 0 else [second, first]
        subprocess.run(["hyperfine", "--shell=bash", "-r", "1", "--style", "none",
                        "--prepare", prepare, "--export-json", report] + order,
                       check=True, stdout=subprocess.DEVNULL)
        if round_number == 0:
            continue  # warm-up
        with open(report) as data:
            for result in json.load(data)["results"]:
                times[result["command"]].extend(result["times"])
for command in (first, second):
    values = times[command]
    print(f"  {statistics.median(values):7.3f} s median ({min(values):.3f} … {max(values):.3f}, "
          f"{len(values)} runs)  {command}")
print(f"  ratio of medians: {statistics.median(times[first]) / statistics.median(times[second]):.2f}")
