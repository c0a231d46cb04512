#!/usr/bin/env python3
"""Exporting a large reference file as the user meets it: whole processes, beside their peers.

    bench/export-vs-peers.py [--build DIR] [--megabytes MB] [--peer-megabytes MB] [--runs N]

A reference file is generated (bench/generate-refs from examples/refs.ref) and each command runs on
it, the best of N runs by wall time, with the processor time (user + system) of that run:

    citavox-cli export FILE OUT --as ris         the RIS layout
    citavox-cli export FILE OUT --as medline     the MEDLINE layout
    dd if=RIS of=NEW bs=1M                       reading the RIS export's bytes and writing them to
                                                 a new file, the anchor: what the system's reads
                                                 and writes of that many bytes cost
    xml2ris MODS                                 bibutils writing RIS from MODS XML, the peer

The peer reads MODS XML, which bibutils' own ris2xml makes from the first --peer-megabytes of our
RIS export (bibutils is far slower, so it gets a slice). Throughput is output bytes over wall
time; the processor time is given per 200 MB of output. The command line runs with a settings
folder of its own, so the user's settings do not count.
"""

import argparse
import os
import resource
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MB = 1000 * 1000


def children_cpu():
    """Processor time of the finished child processes so far, in seconds."""
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def best_of(runs, command):
    """(wall, cpu) of the fastest of `runs` runs of `command` (a list, or a function that makes
    the list of each run), in seconds."""
    best = (float("inf"), 0.0)
    for _ in range(runs):
        line = command() if callable(command) else command
        cpu = children_cpu()
        start = time.perf_counter()
        subprocess.run(line, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        wall = time.perf_counter() - start
        if wall < best[0]:
            best = (wall, children_cpu() - cpu)
    return best


def report(name, wall, cpu, size):
    print(f"{name:<22} {size / MB:8.1f} MB {wall:7.2f} s {size / MB / wall:8.1f} MB/s "
          f"{cpu:7.2f} CPU-s {cpu * 200 * MB / size:6.2f} CPU-s/200 MB")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--megabytes", type=int, default=300)
    parser.add_argument("--peer-megabytes", type=int, default=5)
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()
    cli = os.path.join(args.build, "bin", "citavox-cli")
    generate = os.path.join(args.build, "bin", "generate-refs")
    for tool in ("xml2ris", "ris2xml"):
        if not shutil.which(tool):
            sys.exit(f"{tool} is not installed (scripts/setup installs bibutils)")
    with tempfile.TemporaryDirectory(prefix="citavox-export-bench-") as work:
        os.environ["XDG_CONFIG_HOME"] = os.path.join(work, "config")
        refs = os.path.join(work, "refs.ref")
        subprocess.run([generate, os.path.join(ROOT, "examples", "refs.ref"), refs,
                        str(args.megabytes)], stdout=subprocess.DEVNULL, check=True)
        # The map is made once, before anything is timed.
        subprocess.run([cli, "show", refs, "1"], stdout=subprocess.DEVNULL, check=True)
        load = os.getloadavg()[0]
        print(f"{os.path.getsize(refs) / MB:.1f} MB of references, load {load:.2f}, "
              f"{os.cpu_count()} processors")
        outputs = {}
        for layout in ("ris", "medline"):
            out = os.path.join(work, "out." + layout)
            wall, cpu = best_of(args.runs, [cli, "export", refs, out, "--as", layout])
            outputs[layout] = out
            report("citavox-cli " + layout, wall, cpu, os.path.getsize(out))
        # Like the export, every copy is a new file while the one before is still there: a
        # rewrite of a file just truncated reuses its pages and costs the system far less.
        copies = iter(range(args.runs))
        copy = os.path.join(work, "copy{}.ris")
        wall, cpu = best_of(args.runs, lambda: ["dd", "if=" + outputs["ris"],
                                                "of=" + copy.format(next(copies)), "bs=1M"])
        report("dd (RIS bytes)", wall, cpu, os.path.getsize(copy.format(0)))
        # The peer's slice: whole records from the start of our RIS export.
        with open(outputs["ris"], "rb") as f:
            head = f.read(args.peer_megabytes * MB)
        head = head[:head.rfind(b"ER  -") + len(b"ER  -\r\n")]
        slice_ris = os.path.join(work, "slice.ris")
        with open(slice_ris, "wb") as f:
            f.write(head)
        mods = os.path.join(work, "slice.xml")
        with open(mods, "wb") as f:
            subprocess.run(["ris2xml", slice_ris], stdout=f, stderr=subprocess.DEVNULL, check=True)
        peer_out = os.path.join(work, "peer.ris")
        wall, cpu = best_of(args.runs, ["sh", "-c", f"xml2ris '{mods}' >'{peer_out}'"])
        report("xml2ris (peer)", wall, cpu, os.path.getsize(peer_out))
        print(f"load {os.getloadavg()[0]:.2f} at the end")


if __name__ == "__main__":
    main()
