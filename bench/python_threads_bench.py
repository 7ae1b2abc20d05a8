"""Conversions per second through the Python module on the corpus, with 1 and 2 threads in
one process: the interpreter lock is released while a file converts, so two threads should
approach twice the rate of one on two free cores.

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
        while time.monotonic() < until:
            for p in paths:
                try:
                    deckscribe.extract(p)
                except deckscribe.Error:
                    pass
                done += 1
        return done

    start = time.monotonic()
    with concurrent.futures.ThreadPoolExecutor(threads) as pool:
        total = sum(pool.map(loop, range(threads)))
    return total / (time.monotonic() - start)


def main(argv):
    corpus = pathlib.Path(argv[0] if argv else pathlib.Path(__file__).parents[2] / "shared" / "corpus")
    seconds = float(argv[1]) if len(argv) > 1 else 3.0
    paths = sorted(str(p) for p in corpus.iterdir() if p.suffix in (".ppt", ".pptx"))
    one, two = rate(paths, 1, seconds), rate(paths, 2, seconds)
    print(f"{len(paths)} files, deckscribe {deckscribe.__version__}")
    print(f"1 thread:  {one:8.1f} conversions/s")
    print(f"2 threads: {two:8.1f} conversions/s (x{two / one:.2f})")


if __name__ == "__main__":
    main(sys.argv[1:])
