"""Text of a whole corpus of presentations on a Dask cluster.

Each worker converts in its own process with the deckscribe module; the bag spreads the paths
over the workers and gathers (path, text or error) back. On one machine:

    /usr/bin/python3 examples/dask_corpus.py talks/*.pptx

On a cluster, start a scheduler and workers (each with deckscribe installed and the files
reachable under the same paths) and name the scheduler:

    dask scheduler                                  # on host A, listens on port 8786
    dask worker tcp://hostA:8786 --nworkers 2       # on every worker host
    /usr/bin/python3 examples/dask_corpus.py --scheduler tcp://hostA:8786 /shared/talks/*.ppt
"""

import argparse
import sys

import dask.bag as db
from dask.distributed import Client, LocalCluster

import deckscribe


def text_or_error(path):
    try:
        return path, deckscribe.extract_text(path), None
    except deckscribe.Error as error:
        return path, None, f"{error} ({error.code})"


def extract_corpus(paths, client, partitions=None):
    """[(path, text or None, error or None)] in the order of paths, converted on the cluster."""
    bag = db.from_sequence(paths, npartitions=partitions or max(1, len(paths)))
    return bag.map(text_or_error).compute(scheduler=client.get)


def local_cluster(workers=2):
    """A cluster of worker processes on this machine's loopback only."""
    return LocalCluster(n_workers=workers, threads_per_worker=1, processes=True,
                        host="127.0.0.1", dashboard_address=None)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--scheduler", help="address of a running scheduler (default: local)")
    parser.add_argument("paths", nargs="+")
    args = parser.parse_args(argv)
    if args.scheduler:
        client, cluster = Client(args.scheduler), None
    else:
        cluster = local_cluster()
        client = Client(cluster)
    try:
        failed = 0
        for path, text, error in extract_corpus(args.paths, client):
            if error:
                failed += 1
                print(f"{path}: {error}", file=sys.stderr)
            else:
                print(f"== {path}\n{text}", end="")
        return 1 if failed else 0
    finally:
        client.close()
        if cluster:
            cluster.close()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
