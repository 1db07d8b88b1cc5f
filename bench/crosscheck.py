#!/usr/bin/env python3
"""The cross-check figures of bench/run.

  crosscheck.py RUNS BENCH_JSON -- COMMAND...
      Runs COMMAND FILES (the batch checker without a cross-check),
      COMMAND --crosscheck and COMMAND --crosscheck --jobs 1, in turn, RUNS
      times each with standard output to /dev/null, and prints against their
      targets: the least CPU and wall time of each and their ratio, the
      largest peak resident memory of each and their ratio, the median of
      the wall-time ratios of the cross-check on every core to --jobs 1
      round by round, and from BENCH_JSON (loggrevy-bench) the growth of
      BM_CrossCheck from 100 to 1 000 and from 300 to 3 000 logs.
"""
import json
import os
import statistics
import subprocess
import sys
import time


def run_once(command):
    with open(os.devnull, "wb") as out:
        start = time.perf_counter()
        child = subprocess.Popen(command, stdout=out)
        _, status, usage = os.wait4(child.pid, 0)
        # Reaped here: a Popen left unwaited would be polled by the next
        # Popen, which may reap a child before its wait4.
        child.returncode = status
        wall = time.perf_counter() - start
    if status != 0:
        sys.exit(f"{command[0]} failed with status {status}")
    return wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss * 1024


def cpu_ms(bench, name):
    for row in bench["benchmarks"]:
        if row["name"] in (name + "_median", name):
            assert row.get("time_unit") == "ms", row.get("time_unit")
            return row["cpu_time"]
    raise KeyError(name)


def main(runs, bench_path, command):
    # The command ends with the files; the option goes in front of them.
    first_file = next(i for i, arg in enumerate(command) if arg.endswith(".edi"))
    plain = command
    cross = command[:first_file] + ["--crosscheck"] + command[first_file:]
    cross_one = command[:first_file] + ["--crosscheck", "--jobs", "1"] + command[first_file:]
    figures = {"plain": [], "cross": [], "cross_one": []}
    for _ in range(runs):
        figures["plain"].append(run_once(plain))
        figures["cross"].append(run_once(cross))
        figures["cross_one"].append(run_once(cross_one))
    best = {key: (min(w for w, _, _ in rows), min(c for _, c, _ in rows), max(r for _, _, r in rows))
            for key, rows in figures.items()}

    lines = []

    def add(what, measured, target, ok):
        lines.append(f"{what:<44} {measured:>26}   {target:<22} {'ok' if ok else 'MISSED'}")

    (pw, pc, pr), (cw, cc, cr) = best["plain"], best["cross"]
    lines.append(f"{'evening, loggrevy-check (cpu / wall)':<44} {pc * 1000:>12.0f} / {pw * 1000:.0f} ms")
    lines.append(f"{'evening, --crosscheck (cpu / wall)':<44} {cc * 1000:>12.0f} / {cw * 1000:.0f} ms")
    add("--crosscheck / plain, cpu", f"{cc / pc:.2f} x", "<= 1.5 x", cc <= 1.5 * pc)
    add("--crosscheck / plain, wall", f"{cw / pw:.2f} x", "<= 1.5 x", cw <= 1.5 * pw)
    one = statistics.median(all_cores[0] / alone[0] for all_cores, alone in zip(figures["cross"], figures["cross_one"]))
    lines.append(f"{'evening, --crosscheck --jobs 1 (cpu / wall)':<44} {best['cross_one'][1] * 1000:>12.0f} / "
                 f"{best['cross_one'][0] * 1000:.0f} ms")
    add(f"--crosscheck, {os.cpu_count()} cores / --jobs 1, wall", f"{one:.2f} x", "<= 0.75 x", one <= 0.75)
    add("--crosscheck / plain, peak RSS", f"{cr / 1e6:.1f} / {pr / 1e6:.1f} MB = {cr / pr:.2f} x", "<= 1.25 x",
        cr <= 1.25 * pr)

    bench = json.load(open(bench_path))
    for small, large in ((100, 1000), (300, 3000)):
        a, b = cpu_ms(bench, f"BM_CrossCheck/{small}"), cpu_ms(bench, f"BM_CrossCheck/{large}")
        add(f"BM_CrossCheck {large} / {small} logs", f"{b:.1f} / {a:.1f} ms = {b / a:.1f} x", "<= 12 x", b <= 12 * a)
    print("\n".join(lines))


if __name__ == "__main__":
    if len(sys.argv) < 5 or sys.argv[3] != "--":
        sys.exit(__doc__)
    main(int(sys.argv[1]), sys.argv[2], sys.argv[4:])
