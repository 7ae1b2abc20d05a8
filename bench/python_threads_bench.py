"""Conversions per second through the Python module on the corpus, with 1 and 2 threads in
one process: the interpreter lock is released while a file converts, so two threads should
approach twice the rate of one on two free cores. The rate per CPU-second stays flat when the
threads do not wait on each other, even on a machine too busy for the wall-time gain to show.

    PYTHONPATH=build/python /usr/bin/python3 bench/python_threads_bench.py [corpus] [seconds]
"""

import concurrent.futures
import pathlib
import sys
import time

import deckscribe


def rate(paths, threads, seconds):
    until = time.monotonic() + seconds

    def loop(_):
        done = 0
        cpu_start = time.thread_time()
        while time.monotonic() < until:
            for p in paths:
                try:
                    deckscribe.extract(p)
                except deckscribe.Error:
                    pass
                done += 1
        return done, time.thread_time() - cpu_start

    start = time.monotonic()
    with concurrent.futures.ThreadPoolExecutor(threads) as pool:
        results = list(pool.map(loop, range(threads)))
    wall = time.monotonic() - start
    total = sum(done for done, _ in results)
    cpu = sum(spent for _, spent in results)
    return total / wall, total / cpu, cpu / wall


def main(argv):
    corpus = pathlib.Path(argv[0] if argv else pathlib.Path(__file__).parents[2] / "shared" / "corpus")
    seconds = float(argv[1]) if len(argv) > 1 else 3.0
    paths = sorted(str(p) for p in corpus.iterdir() if p.suffix in (".ppt", ".pptx"))
    print(f"{len(paths)} files, deckscribe {deckscribe.__version__}")
    one, two = rate(paths, 1, seconds), rate(paths, 2, seconds)
    for threads, (wall, per_cpu, cpus) in ((1, one), (2, two)):
        print(f"{threads} thread(s): {wall:8.1f} conversions/s, {per_cpu:8.1f} per CPU-second, "
              f"{cpus:.2f} CPUs used")
    print(f"speed-up with 2 threads: x{two[0] / one[0]:.2f} "
          f"(per CPU-second: x{two[1] / one[1]:.2f})")


if __name__ == "__main__":
    main(sys.argv[1:])
