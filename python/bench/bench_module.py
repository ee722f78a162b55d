#!/usr/bin/python3
"""Speed of the Python module (figures for the closing note; not a test).

    PYTHONPATH=build/python /usr/bin/python3 python/bench/bench_module.py [--gib 1.0] [--waits 1000]

1. rows() of 256 rows: calls per second, the same snapshot between ticks and a new one each tick.
2. wait_for on the real clock: a word sent once on looped output 1 at 100 kbit/s, waited for on
   input 1; latency = return of wait_for - (return of send + the word's 36 bit times), the bus time
   of its arrival. wait_for wakes on the word (the board's word stream); the refresh period is
   1 s, so no tick helps it. The load average is printed with it (the machine may be shared).
3. orvmon.c10.read_arrays of a recording of --gib GiB made here (TMATS and time packet of the
   sample recording, then ARINC-429 packets of 2,000 words): seconds, and the peak resident memory
   of a child process that only reads, against the size of the arrays.
"""

import argparse
import os
import resource
import statistics
import struct
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import orvmon
import orvmon.c10

REPO = Path(__file__).resolve().parents[2]


def bench_rows() -> None:
    with tempfile.TemporaryDirectory() as work, orvmon.Bench(clock="manual", workdir=work, period=0.01) as bench:
        bench.watch([(f"P{i}", i % 8 + 1, i) for i in range(256)])
        bench.advance(1.0)
        assert len(bench.rows()) == 256
        n = 200_000
        t0 = time.perf_counter()
        for _ in range(n):
            bench.rows()
        same = n / (time.perf_counter() - t0)
        # A new snapshot every call: one tick (10 ms of bus) between calls, the tick's time excluded.
        spent = 0.0
        for _ in range(500):
            bench.advance(0.01)
            t0 = time.perf_counter()
            bench.rows()
            spent += time.perf_counter() - t0
        fresh = 500 / spent
    print(f"rows() of 256 rows: {same:,.0f} calls/s (same snapshot), {fresh:,.0f} calls/s (a new snapshot each call)")


def bench_wait_for(waits: int) -> None:
    settings = {"in1": (100, "check"), "out1": (100, "odd")}
    with tempfile.TemporaryDirectory() as work, orvmon.Bench(clock="real", workdir=work, period=1.0,
                                                              settings=settings) as bench:
        bench.watch([("W", 1, 0o101)])
        latencies = []
        word_s = 36 * 10e-6
        for k in range(waits):
            word = 0x60000000 | ((k + 1) & 0x7FFFF) << 10 | 0o101  # SSM 11: a high half of 0 reads as nothing received
            t0 = time.perf_counter()
            bench.send(1, [word])
            t_sent = time.perf_counter()
            bench.wait_for("W", 1, until=lambda r, w=word: r.word == w, timeout=1.0)
            latencies.append(time.perf_counter() - max(t0, t_sent) - word_s)
        latencies.sort()
        p50 = latencies[len(latencies) // 2] * 1e3
        p99 = latencies[int(len(latencies) * 0.99) - 1] * 1e3
        within = sum(1 for x in latencies if x <= 0.002) / len(latencies) * 100
        load = " ".join(f"{x:.2f}" for x in os.getloadavg())
        print(f"wait_for on the real clock, period 1 s, {waits} waits: median {p50:.2f} ms, "
              f"99th percentile {p99:.2f} ms, max {latencies[-1] * 1e3:.2f} ms, within 2 ms: {within:.1f} % "
              f"(load average {load}, {os.cpu_count()} CPUs)")


def make_recording(path: Path, gib: float) -> int:
    seed = (REPO / "samples" / "c10-seed.ch10").read_bytes()
    head = seed[:724]  # TMATS and the first time packet
    n = 2000
    body = bytearray(struct.pack("<I", n))
    for k in range(n):
        gap = 0 if k == 0 else 360  # 36 us from the start of the word before
        bus = k % 8
        body += struct.pack("<II", gap | bus << 24, (k << 10) | 0o200 + bus)
    hdr = bytearray(24)
    struct.pack_into("<HHIIBBBB", hdr, 0, 0xEB25, 2, 24 + len(body), len(body), 9, 0, 0, 0x38)
    words = 0
    target = int(gib * (1 << 30))
    counter = 200_000
    with open(path, "wb") as f:
        f.write(head)
        size = len(head)
        seq = 0
        while size + 24 + len(body) <= target:
            hdr[13] = seq & 0xFF
            hdr[16:22] = counter.to_bytes(6, "little")
            hdr[22:24] = (sum(struct.unpack_from("<11H", hdr, 0)) & 0xFFFF).to_bytes(2, "little")
            f.write(hdr)
            f.write(body)
            size += 24 + len(body)
            seq += 1
            counter += n * 360
            words += n
    return words


def bench_read_arrays(gib: float) -> None:
    with tempfile.TemporaryDirectory() as work:
        path = Path(work) / "big.ch10"
        words = make_recording(path, gib)
        size = path.stat().st_size
        os.sync()  # the file written out first: its write-back does not run beside the reading
        with open(path, "rb") as f:  # into the page cache
            while f.read(1 << 24):
                pass
        child = (
            "import resource, sys, time, orvmon.c10\n"
            "t0 = time.perf_counter(); a = orvmon.c10.read_arrays(sys.argv[1]); t = time.perf_counter() - t0\n"
            "arrays = sum(v.nbytes for k, v in a.items() if k != 'problems')\n"
            "print(len(a['word']), t, arrays, resource.getrusage(resource.RUSAGE_SELF).ru_maxrss * 1024, len(a['problems']))\n"
        )
        base = subprocess.run([sys.executable, "-c", "import resource, orvmon.c10, numpy\n"
                               "print(resource.getrusage(resource.RUSAGE_SELF).ru_maxrss * 1024)"],
                              capture_output=True, text=True, check=True)
        out = subprocess.run([sys.executable, "-c", child, str(path)], capture_output=True, text=True, check=True)
        count, seconds, arrays, peak, problems = out.stdout.split()
        assert int(count) == words, (count, words)
        grown = int(peak) - int(base.stdout)
        print(f"read_arrays of {size / (1 << 30):.2f} GiB ({words:,} words, {problems} problems): {float(seconds):.2f} s, "
              f"arrays {int(arrays) / (1 << 20):,.0f} MiB, peak memory above an idle interpreter "
              f"{grown / (1 << 20):,.0f} MiB ({grown / int(arrays):.2f} x the arrays)")


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--gib", type=float, default=1.0)
    parser.add_argument("--waits", type=int, default=1000)
    parser.add_argument("--only", choices=["rows", "wait_for", "read_arrays"], help="run one measurement alone")
    args = parser.parse_args()
    if args.only in (None, "rows"):
        bench_rows()
    if args.only in (None, "wait_for"):
        bench_wait_for(args.waits)
    if args.only in (None, "read_arrays"):
        bench_read_arrays(args.gib)


if __name__ == "__main__":
    main()
