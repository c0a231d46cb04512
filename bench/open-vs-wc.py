#!/usr/bin/env python3
"""Opening a large reference file as the user meets it: whole processes, beside `wc -l`.

    bench/open-vs-wc.py [--build DIR] [--sizes MB ...] [--runs N] [--keep]

For each size a reference file is generated (bench/generate-refs from examples/refs.ref) and
three commands run on it, each the best of N runs:

    wc -l FILE                              reading every byte, the memory-speed anchor
    citavox-cli show FILE 1 --json          with no map: the map is built, checked and saved
    citavox-cli show FILE 1 --json          with the map present: the map is checked and used

The throughput of each is the file's size over its time; the ratio is the program's throughput
over that of `wc -l` (1.0: as fast as reading the file). The command line runs with a settings
folder of its own, so the user's settings do not count. The machine's load average is printed
before and after: on a busy machine both programs wait for a processor, and the second thread that
reads ahead of the map scan helps little.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def best_of(runs, command, before=None):
    """The shortest wall time of `runs` runs of `command`, in seconds."""
    best = float("inf")
    for _ in range(runs):
        if before:
            before()
        start = time.perf_counter()
        subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        best = min(best, time.perf_counter() - start)
    return best


def remove_map(path):
    """Removes the map and the stamps that vouch for it, so the next opening builds the map."""
    stem = os.path.splitext(path)[0]
    for ext in ("map", "stp"):
        try:
            os.remove(stem + "." + ext)
        except FileNotFoundError:
            pass


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--sizes", type=int, nargs="+", default=[106, 420])
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--keep", action="store_true", help="keep the generated files")
    args = parser.parse_args()

    cli = os.path.join(args.build, "bin", "citavox-cli")
    generator = os.path.join(args.build, "bin", "generate-refs")
    for program in (cli, generator):
        if not os.access(program, os.X_OK):
            sys.exit(f"{program} is missing; build first (scripts/build)")
    work = tempfile.mkdtemp(prefix="citavox-open-bench-")
    os.environ["HOME"] = work
    os.environ["XDG_CONFIG_HOME"] = os.path.join(work, "config")
    try:
        print("load average %.2f %.2f %.2f" % os.getloadavg())
        print(f"{'file':>8} {'references':>11} {'wc -l':>14} {'no map':>22} {'map present':>22}")
        for mb in args.sizes:
            path = os.path.join(work, f"refs-{mb}mb.ref")
            subprocess.run([generator, os.path.join(ROOT, "examples", "refs.ref"), path, str(mb)],
                           check=True)
            size = os.path.getsize(path)
            wc = best_of(args.runs, ["wc", "-l", path])
            show = [cli, "show", path, "1", "--json"]
            absent = best_of(args.runs, show, lambda: remove_map(path))
            present = best_of(args.runs, show)
            count = os.path.getsize(os.path.splitext(path)[0] + ".map") // 6

            def figure(seconds):
                return f"{seconds * 1000:6.1f} ms {size / seconds / 1e9:5.2f} GB/s"

            print(f"{size / 1e6:6.0f}MB {count:>11} {figure(wc):>14} "
                  f"{figure(absent)} {wc / absent:4.2f} {figure(present)} {wc / present:5.2f}")
            if not args.keep:
                os.remove(path)
                remove_map(path)
        print("load average %.2f %.2f %.2f" % os.getloadavg())
    finally:
        if not args.keep:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
