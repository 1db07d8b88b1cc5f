#!/usr/bin/env python3
"""Helpers of bench/run.

  measure.py process RUNS OUTFILE -- COMMAND...
      Runs COMMAND RUNS times with its standard output to OUTFILE and prints
      one JSON object: the least wall and CPU (user + system) seconds of the
      runs and the largest peak resident memory in bytes.
  measure.py best RUNS_JSONL
      Merges the objects that process printed, one a line: the least wall
      and CPU seconds and the largest peak resident memory of all of them.
  measure.py summary BENCH_JSON BATCH_JSON [GUI_TXT]
      Prints the figures against their targets; runs on every core are held
      to --jobs 1 by the medians of their ratios round by round.
"""
import json
import os
import re
import statistics
import subprocess
import sys
import time


def process(runs, outfile, command):
    walls, cpus, peak = [], [], 0
    for _ in range(runs):
        with open(outfile, "wb") as out:
            start = time.perf_counter()
            child = subprocess.Popen(command, stdout=out)
            _, status, usage = os.wait4(child.pid, 0)
            # Reaped here: a Popen left unwaited would be polled by the next
            # Popen, which may reap a child before its wait4.
            child.returncode = status
            walls.append(time.perf_counter() - start)
        if status != 0:
            sys.exit(f"{command[0]} failed with status {status}")
        cpus.append(usage.ru_utime + usage.ru_stime)
        peak = max(peak, usage.ru_maxrss * 1024)
    print(json.dumps({"wall": min(walls), "cpu": min(cpus), "rss": peak,
                      "walls": walls, "cpus": cpus}))


def best(path):
    runs = [json.loads(line) for line in open(path) if line.strip()]
    walls = [w for run in runs for w in run["walls"]]
    cpus = [c for run in runs for c in run["cpus"]]
    print(json.dumps({"wall": min(walls), "cpu": min(cpus), "rss": max(run["rss"] for run in runs),
                      "walls": walls, "cpus": cpus}))


def ns_per_item(bench, name):
    """CPU nanoseconds per item of a benchmark's median."""
    for row in bench["benchmarks"]:
        if row["name"] in (name + "_median", name):
            return 1e9 / row["items_per_second"]
    raise KeyError(name)


def row_of(bench, name):
    for row in bench["benchmarks"]:
        if row["name"] in (name + "_median", name):
            return row
    raise KeyError(name)


def verdict(ok):
    return "ok" if ok else "MISSED"


def summary(bench_path, batch_path, gui_path=None):
    bench = json.load(open(bench_path))
    batch = json.load(open(batch_path))
    lines = []

    def add(what, measured, target, ok):
        lines.append(f"{what:<44} {measured:>22}   {target:<26} {verdict(ok)}")

    for name, label, target in (("BM_ReadBytes", "reader, byte mode", 200),
                                ("BM_ReadUtf16", "reader, UTF-16", 100)):
        mbs = row_of(bench, name)["bytes_per_second"] / 1e6
        add(label, f"{mbs:.0f} MB/s", f">= {target} MB/s", mbs >= target)

    floor = ns_per_item(bench, "BM_Floor")
    calc = ns_per_item(bench, "BM_CalcQRB")
    check = ns_per_item(bench, "BM_Check")
    lines.append(f"{'floor (80-bit arithmetic per QSO)':<44} {floor:>19.1f} ns")
    lines.append(f"{'CalcQRB per call':<44} {calc:>19.1f} ns   ({calc / floor:.2f} x floor)")
    add("full Check per QSO", f"{check:.1f} ns = {check / floor:.2f} x", "<= 2 x floor", check <= 2 * floor)

    judged = {}
    for n in (100, 1000, 10000):
        row = row_of(bench, f"BM_Judgement/{n}")
        judged[n] = row["cpu_time"]  # microseconds
        unit = row.get("time_unit", "us")
        assert unit == "us", unit
    add("judgement, 10 000 QSOs", f"{judged[10000] / 1000:.3f} ms", "< 2 ms", judged[10000] < 2000)
    # Linear: the time per QSO does not grow with the log (fixed costs make
    # it fall for small logs).
    per_qso = [judged[n] * 1000 / n for n in (100, 1000, 10000)]
    linear = per_qso[2] <= 1.5 * per_qso[1] and per_qso[1] <= 1.5 * per_qso[0]
    add("judgement per QSO at 100 / 1k / 10k",
        " / ".join(f"{p:.1f}" for p in per_qso) + " ns", "not growing (<= 1.5 x)", linear)

    # The floor of the batch on one core: cat of the files plus the distance
    # arithmetic of every QSO. Runs on all cores are held to it by wall time;
    # their CPU time, summed over the threads, is only shown.
    qsos = batch["qsos"]
    cores = batch["cores"]
    floor_batch_cpu = batch["cat"]["cpu"] + qsos * floor * 1e-9
    floor_batch_wall = batch["cat"]["wall"] + qsos * floor * 1e-9
    lines.append(f"{'batch: cat of the files (cpu / wall)':<44} {batch['cat']['cpu'] * 1000:>9.1f} / {batch['cat']['wall'] * 1000:.1f} ms")
    lines.append(f"{'batch floor: cat + QSOs x floor (cpu / wall)':<44} {floor_batch_cpu * 1000:>9.1f} / {floor_batch_wall * 1000:.1f} ms")
    for key, label, factor in (("text", "human report", 1), ("json", "--json", 2)):
        run = batch[key + "_all"]
        ratio = run["wall"] / floor_batch_wall
        add(f"batch, {label}, {cores} cores (wall)", f"{run['wall'] * 1000:.0f} ms = {ratio:.2f} x",
            f"< {factor} x floor", ratio < factor)
        lines.append(f"{'  its CPU time, all threads':<44} {run['cpu'] * 1000:>19.0f} ms")
    # Every core against --jobs 1, round by round (the two runs of a round
    # meet the same load): the medians of the ratios.
    for key, label, held in (("text", "human report", True), ("json", "--json", False)):
        ratios = {}
        for figure in ("walls", "cpus"):
            pairs = zip(batch[key + "_all"][figure], batch[key + "_1"][figure])
            ratios[figure] = statistics.median(all_cores / one for all_cores, one in pairs)
        measured = f"{ratios['walls']:.2f} / {ratios['cpus']:.2f} x"
        what = f"batch, {label}, {cores} / 1 cores, wall/cpu"
        if held:
            add(what, measured, "<= 0.65 / <= 1.2 x", ratios["walls"] <= 0.65 and ratios["cpus"] <= 1.2)
        else:
            lines.append(f"{what:<44} {measured:>22}")
    for key, label, factor in (("text", "human report", 2), ("json", "--json", 4)):
        run = batch[key + "_1"]
        ratio_cpu = run["cpu"] / floor_batch_cpu
        ratio_wall = run["wall"] / floor_batch_wall
        add(f"batch, {label}, --jobs 1 (cpu)", f"{run['cpu'] * 1000:.0f} ms = {ratio_cpu:.2f} x", f"<= {factor} x floor",
            ratio_cpu <= factor)
        add(f"batch, {label}, --jobs 1 (wall)", f"{run['wall'] * 1000:.0f} ms = {ratio_wall:.2f} x",
            f"<= {factor} x floor", ratio_wall <= factor)
    budget = 4 * batch["bytes"] + 50e6
    for key, label in (("text_all", f"human, {cores} cores"), ("json_all", f"--json, {cores} cores"),
                       ("text_1", "human, --jobs 1"), ("json_1", "--json, --jobs 1")):
        for suffix, mode in (("", "huge pages"), ("_plain", "no restart")):
            rss = batch[key + suffix]["rss"]
            add(f"batch peak RSS, {label}, {mode}", f"{rss / 1e6:.1f} MB", f"< {budget / 1e6:.1f} MB", rss < budget)
    cross = batch.get("crosscheck")
    if cross:
        ratio = cross["wall"] / batch["text_all"]["wall"]
        add(f"batch, --crosscheck, {cores} cores (wall)", f"{cross['wall'] * 1000:.0f} ms = {ratio:.2f} x",
            "<= 1.5 x the plain run", ratio <= 1.5)
    else:
        lines.append(f"{'batch, --crosscheck, all cores (wall)':<44} {'not measured':>22}   "
                     "<= 1.5 x the plain run     (no --crosscheck in this build)")

    if gui_path and os.path.exists(gui_path):
        text = open(gui_path).read()
        for slot, label, limit in (("importBatch", "window: import 1 000 logs", 2000),
                                   ("fillLogView", "window: log view of 10 000 QSOs", 250),
                                   ("crossCheckWindow", "window: cross-check of a 1 000-log evening", 1000),
                                   ("resultsList", "window: results list of the evening", 250)):
            match = re.search(r"RESULT : \S+::" + slot + r"\(\):\s*\n\s*([0-9.,]+) msecs per iteration", text)
            if match:
                ms = float(match.group(1).replace(",", ""))
                add(label, f"{ms:.0f} ms", f"< {limit} ms", ms < limit)
            else:
                add(label, "not measured", f"< {limit} ms", False)
    print("\n".join(lines))


if __name__ == "__main__":
    if sys.argv[1] == "process":
        runs, outfile = int(sys.argv[2]), sys.argv[3]
        assert sys.argv[4] == "--"
        process(runs, outfile, sys.argv[5:])
    elif sys.argv[1] == "best":
        best(sys.argv[2])
    elif sys.argv[1] == "summary":
        summary(*sys.argv[2:])
    else:
        sys.exit(__doc__)
