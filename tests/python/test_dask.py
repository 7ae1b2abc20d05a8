"""The Dask example: a bag of paths converted on two local worker processes gives, per path,
what the module gives in this process, and failures come back as errors, not exceptions."""

import pathlib
import sys

import pytest

import deckscribe

pytest.importorskip("distributed")
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "examples"))
import dask_corpus  # noqa: E402


def test_corpus_on_two_worker_processes(samples, tmp_path):
    missing = str(tmp_path / "gone.pptx")
    broken = tmp_path / "broken.ppt"
    broken.write_bytes(b"no presentation")
    paths = [str(p) for p in samples] * 3 + [missing, str(broken)]
    from dask.distributed import Client
    with dask_corpus.local_cluster(workers=2) as cluster, Client(cluster) as client:
        assert len(client.scheduler_info()["workers"]) == 2
        assert all(w.startswith("tcp://127.0.0.1:") for w in client.scheduler_info()["workers"])
        results = dask_corpus.extract_corpus(paths, client)
        # Work really went to separate processes.
        worker_pids = set(client.run(lambda: __import__("os").getpid()).values())
    assert len(worker_pids) == 2
    assert [r[0] for r in results] == paths
    for path, text, error in results[:-2]:
        assert error is None and text == deckscribe.extract_text(path)
    assert results[-2][1] is None and results[-2][2] == "Input file not exists (-2)"
    assert results[-1][1] is None and results[-1][2] == "Input file format not correct (-5)"
