"""Times Python's plistlib on the benchmark's large file, for comparison.

    TALLORIX_PLIST_BENCH_FILE=/tmp/large.plist build/bench/plist/bench_plist
    python3 bench/plist/plistlib_reference.py /tmp/large.plist
"""
import os
import plistlib
import sys
import tempfile
import time


def best_of(runs, action):
    best = float("inf")
    for _ in range(runs):
        start = time.perf_counter()
        action()
        best = min(best, time.perf_counter() - start)
    return best


def main(path):
    size = os.path.getsize(path)
    with open(path, "rb") as f:
        raw = f.read()
    value = plistlib.loads(raw)
    load = best_of(3, lambda: plistlib.loads(raw))
    with tempfile.TemporaryDirectory() as folder:
        target = os.path.join(folder, "copy.plist")

        def save():
            with open(target, "wb") as out:
                plistlib.dump(value, out, sort_keys=False)

        dump = best_of(3, save)
    mb = size / 1e6
    print(f"{mb:.1f} MB  load {load * 1000:.0f} ms ({mb / load:.1f} MB/s)  "
          f"save {dump * 1000:.0f} ms ({mb / dump:.1f} MB/s)")


if __name__ == "__main__":
    main(sys.argv[1])
