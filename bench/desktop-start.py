#!/usr/bin/env python3
"""The desktop program's start as the user meets it: whole processes, timed to the painted window.

    bench/desktop-start.py [--build DIR] [--references N] [--runs N] [--platform offscreen|xcb]

Two commands run, each the best of N runs, with a settings folder of their own:

    citavox                 start to the painted, empty main window
    citavox FILE            start, open FILE (its map present) and paint the first list page

The program is told by CITAVOX_QUIT_WHEN_SHOWN to paint its main window once and end, so the
time is from exec to a painted window. The peak resident memory of each process is reported
beside it. FILE holds N short journal references (default 1,000,000) and is generated once.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def run_once(command, env):
    """Wall time in seconds and peak resident memory in MiB of one run of `command`."""
    start = time.perf_counter()
    process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    elapsed = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{' '.join(command)} failed")
    return elapsed, usage.ru_maxrss / 1024.0


def best_of(runs, command, env):
    """The shortest time of `runs` runs, with the largest memory seen."""
    results = [run_once(command, env) for _ in range(runs)]
    return min(t for t, _ in results), max(m for _, m in results)


def write_references(path, count):
    """Short distinct journal references, as the desktop benchmark makes them."""
    with open(path, "wb") as out:
        for i in range(1, count + 1):
            out.write((f" RN{i}\r\n Author{chr(97 + i % 26)}, A.; Writer{chr(97 + i % 23)}, B.\r\n"
                       f" The title of paper {i} on the matter.\r\n"
                       f" {1950 + i % 70} ({i % 40}) pp {i % 900}-{i % 900 + 9}\r\n"
                       f" Journal of Benchmarks\r\n\r\n").encode("ascii"))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--references", type=int, default=1_000_000)
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--platform", default="offscreen")
    args = parser.parse_args()

    program = os.path.join(args.build, "bin", "citavox")
    cli = os.path.join(args.build, "bin", "citavox-cli")
    for tool in (program, cli):
        if not os.access(tool, os.X_OK):
            sys.exit(f"{tool} is missing; build first (scripts/build)")
    work = tempfile.mkdtemp(prefix="citavox-start-bench-")
    env = dict(os.environ, HOME=work, XDG_CONFIG_HOME=os.path.join(work, "config"),
               XDG_RUNTIME_DIR=work, QT_QPA_PLATFORM=args.platform, CITAVOX_QUIT_WHEN_SHOWN="1")
    try:
        path = os.path.join(work, "refs.ref")
        write_references(path, args.references)
        # The map is made once, as on the user's first open.
        subprocess.run([cli, "show", path, "1"], env=env, stdout=subprocess.DEVNULL, check=True)
        load = os.getloadavg()[0]
        empty = best_of(args.runs, [program], env)
        opened = best_of(args.runs, [program, path], env)
        print(f"load average {load:.1f} on {os.cpu_count()} cores, best of {args.runs}")
        print(f"{'start to shown main window':<44} {empty[0] * 1000:7.1f} ms {empty[1]:7.1f} MiB")
        print(f"{'start, open %d refs, first list page' % args.references:<44} "
              f"{opened[0] * 1000:7.1f} ms {opened[1]:7.1f} MiB")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
