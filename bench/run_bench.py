#!/usr/bin/env python3
"""The library benchmark: copying a synthetic library against a full run over it.

Generates the library once, then alternates, round by round, (a) copying it
(cp -r into a new folder, then sync) and (b) a full `quillora-update updatedir
maintain=y` over a fresh copy (the copy is made and synced before the clock
starts; the run's own sync is timed), and the same run with its standard output
discarded, which shows what the flushed message lines cost; and once a round the
floor: quillora-bench-floor reads every file and writes it back unchanged the
way a run does, printing as many flushed lines, with no parsing at all, which is
what no run can go below. Prints the medians, the ratio b/a, the throughput of
(b), its peak resident memory (through GNU time) and, when given, the summary
of the micro-benchmarks, each against its target.
"""
import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import time

RATIO_TARGET = 2.0
MICRO_TARGET_MB_S = 300.0
MIB = 1024 * 1024
TIME = "/usr/bin/time"


def run_checked(argv, **kwargs):
    subprocess.run(argv, check=True, **kwargs)


def remove(path):
    if os.path.lexists(path):
        shutil.rmtree(path)


def folder_bytes(path):
    total = 0
    for folder, _, files in os.walk(path):
        for name in files:
            total += os.path.getsize(os.path.join(folder, name))
    return total


def time_copy(library, target):
    remove(target)
    run_checked(["sync"])
    start = time.perf_counter()
    run_checked(["cp", "-r", library, target])
    run_checked(["sync"])
    return time.perf_counter() - start


def fresh_copy(library, target):
    """A copy of the library at target, on the disk before any clock starts."""
    remove(target)
    run_checked(["cp", "-r", library, target])
    run_checked(["sync"])


def time_run(tool, library, target, logs, out_path=None):
    """Returns (seconds, peak RSS in bytes, CPU seconds) of one full run. Its
    standard output goes to a file in logs, or to out_path when given."""
    fresh_copy(library, target)
    env = dict(os.environ, QUILLORA_REGISTRY=os.path.join(target, "registry.reg"))
    out_path = out_path or os.path.join(logs, "run.out")
    err_path = os.path.join(logs, "run.err")
    stats_path = os.path.join(logs, "run.stats")
    # GNU time reports the peak of the tool alone: the rusage of a child forked
    # from this interpreter would count the interpreter's own memory as well.
    command = [TIME, "-f", "%M %U %S", "-o", stats_path, tool, "updatedir", "maintain=y"]
    with open(out_path, "wb") as out, open(err_path, "wb") as err:
        start = time.perf_counter()
        returncode = subprocess.run(command, cwd=target, env=env, stdout=out, stderr=err).returncode
        run_checked(["sync"])
        seconds = time.perf_counter() - start
    if returncode != 0 or os.path.getsize(err_path) != 0:
        with open(err_path, "r", errors="replace") as err:
            sys.exit("quillora-update failed (exit %d):\n%s" % (returncode, err.read(2000)))
    with open(stats_path) as stats:
        peak_kib, user, system = stats.read().split()[-3:]
    return seconds, int(peak_kib) * 1024, float(user) + float(system)


def time_floor(floor, library, target, lines):
    """The same files read and written back unchanged the way a run writes them,
    and as many lines printed and flushed, with no parsing at all."""
    fresh_copy(library, target)
    files = sorted(os.path.relpath(os.path.join(folder, name), target)
                   for folder, _, names in os.walk(target) for name in names
                   if name.endswith((".dat", ".ini")))
    out_path = os.path.join(os.path.dirname(target), "floor.out")
    with open(out_path, "wb") as out:
        start = time.perf_counter()
        run_checked([floor, str(lines)] + files, cwd=target, stdout=out)
        run_checked(["sync"])
        return time.perf_counter() - start


def check_output(logs, packages):
    """A run that skipped packages would look fast: every package must be saved.
    Returns the number of lines the run printed."""
    with open(os.path.join(logs, "run.out"), "r", errors="replace") as out:
        lines = out.readlines()
    saved = sum(1 for line in lines if line == "\tSaving\n")
    if saved != packages:
        sys.exit("quillora-update saved %d of %d packages" % (saved, packages))
    return len(lines)


def verdict(ok):
    return "met" if ok else "MISSED"


def print_micro(path):
    """Each benchmark's median and best over its repetitions. On a shared virtual
    machine the same code, back to back, runs up to twice as fast in one
    repetition as in the next; the best is the code's own speed on a core it has
    to itself, and the target is checked against it."""
    with open(path) as f:
        report = json.load(f)
    medians, bests, errors, order = {}, {}, {}, []
    for bench in report.get("benchmarks", []):
        name = bench.get("run_name", bench["name"])
        if name not in order:
            order.append(name)
        if bench.get("error_occurred"):
            errors[name] = bench.get("error_message", "")
        elif bench.get("run_type") == "aggregate":
            if bench.get("aggregate_name") == "median":
                medians[name] = bench.get("bytes_per_second", 0.0) / 1e6
        else:
            rate = bench.get("bytes_per_second", 0.0) / 1e6
            bests[name] = max(bests.get(name, 0.0), rate)
    print()
    print("Micro-benchmarks (one core; MB/s = 10^6 bytes of file text per second)")
    print("  %-32s %10s %10s" % ("", "median", "best"))
    worst = None
    for name in order:
        if name in errors:
            print("  %-32s ERROR: %s" % (name, errors[name]))
            worst = 0.0
            continue
        best = bests.get(name, 0.0)
        print("  %-32s %10.1f %10.1f" % (name, medians.get(name, best), best))
        if name.startswith(("readRecords", "writeRecords")):
            worst = best if worst is None else min(worst, best)
    if worst is not None:
        print("  slowest record read or write, best: %.1f MB/s (target >= %.0f: %s)"
              % (worst, MICRO_TARGET_MB_S, verdict(worst >= MICRO_TARGET_MB_S)))


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", required=True, help="Release build folder")
    parser.add_argument("--work", required=True, help="scratch folder for the library and copies")
    parser.add_argument("--packages", type=int, default=100)
    parser.add_argument("--records", type=int, default=10000)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--catalog-version", type=int, default=9, choices=(7, 9))
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--micro", help="JSON report of quillora-bench-micro to summarise")
    args = parser.parse_args()

    build = os.path.abspath(args.build)
    tool = os.path.join(build, "quillora-update")
    generator = os.path.join(build, "bench", "quillora-bench-gen")
    floor = os.path.join(build, "bench", "quillora-bench-floor")
    work = os.path.abspath(args.work)
    library = os.path.join(work, "library")
    copy_target = os.path.join(work, "copy")
    run_target = os.path.join(work, "run")
    os.makedirs(work, exist_ok=True)

    remove(library)
    generated = subprocess.run(
        [generator, "--out", library, "--install-root", run_target,
         "--packages", str(args.packages), "--records", str(args.records),
         "--seed", str(args.seed), "--catalog-version", str(args.catalog_version)],
        check=True, capture_output=True, text=True).stdout
    facts = dict(item.split("=") for item in generated.split())
    library_bytes = folder_bytes(library)
    largest = int(facts["largest_data_file"])

    copies, runs, peaks, cpus, quiet_runs, floors = [], [], [], [], [], []
    message_lines = 0
    for round_number in range(args.rounds):
        # Alternate which goes first, so neither always follows the other.
        order = ("copy", "run", "quiet") if round_number % 2 == 0 else ("quiet", "run", "copy")
        for what in order:
            if what == "copy":
                copies.append(time_copy(library, copy_target))
            elif what == "run":
                seconds, peak, cpu = time_run(tool, library, run_target, work)
                message_lines = check_output(work, args.packages)
                runs.append(seconds)
                peaks.append(peak)
                cpus.append(cpu)
            else:
                # Every message line is flushed, one write call each; the same
                # run with its output discarded shows what those cost.
                quiet_runs.append(time_run(tool, library, run_target, work, os.devnull)[0])
        floors.append(time_floor(floor, library, run_target, message_lines))
        print("round %d: copy %.3f s, run %.3f s (cpu %.3f s), peak %.1f MiB, "
              "run to /dev/null %.3f s, floor %.3f s"
              % (round_number + 1, copies[-1], runs[-1], cpus[-1], peaks[-1] / MIB,
                 quiet_runs[-1], floors[-1]), flush=True)
    remove(copy_target)
    remove(run_target)

    copy_median = statistics.median(copies)
    run_median = statistics.median(runs)
    ratio = run_median / copy_median
    peak = max(peaks)
    memory_limit = 2 * largest + 16 * MIB
    print()
    print("Library: %d packages x %d records = %s records, %.1f MB in %s files, "
          "largest book data file %.2f MiB (%s older than version 9)"
          % (args.packages, args.records, facts["records"], library_bytes / 1e6, facts["files"],
             largest / MIB, facts["older_files"]))
    print("Machine: %d cores; medians of %d rounds" % (os.cpu_count() or 0, args.rounds))
    print("  (a) copy: cp -r, then sync          %7.3f s" % copy_median)
    print("  (b) updatedir maintain=y, then sync %7.3f s  (cpu %.3f s)"
          % (run_median, statistics.median(cpus)))
    print("  ratio b/a                           %7.2f    (target <= %.1f: %s)"
          % (ratio, RATIO_TARGET, verdict(ratio <= RATIO_TARGET)))
    print("  throughput of (b)                   %7.1f MB/s" % (library_bytes / run_median / 1e6))
    print("  lines (b) printed, each flushed     %7d" % message_lines)
    print("  (b) with standard output /dev/null  %7.3f s" % statistics.median(quiet_runs))
    floor_median = statistics.median(floors)
    print("  floor: no parsing, same file writes %7.3f s  (ratio floor/a %.2f)"
          % (floor_median, floor_median / copy_median))
    print("    and as many lines, each flushed")
    print("  peak resident memory of (b)         %7.1f MiB (target <= %.1f MiB: %s)"
          % (peak / MIB, memory_limit / MIB, verdict(peak <= memory_limit)))
    if args.micro:
        print_micro(args.micro)


if __name__ == "__main__":
    main()
