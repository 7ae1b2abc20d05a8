import os
import pathlib
import subprocess

import pytest

SOURCE_DIR = pathlib.Path(__file__).resolve().parents[2]
SAMPLES = [SOURCE_DIR / "samples" / "sample.ppt", SOURCE_DIR / "samples" / "sample.pptx"]
CORPUS = pathlib.Path(os.environ.get("DKSCR_CORPUS_DIR", SOURCE_DIR.parent / "shared" / "corpus"))


def dkscrcmd(path, code_page=65001, mode="text"):
    """dkscrcmd's bytes for a file (in the -m form `mode`), or None when it fails."""
    program = os.environ.get("DKSCRCMD")
    if not program:
        pytest.skip("DKSCRCMD names no console converter")
    run = subprocess.run([program, f"-c{code_page}", f"-m{mode}", os.fsencode(path), "*"],
                         capture_output=True)
    return run.stdout if run.returncode == 0 else None


@pytest.fixture(scope="session")
def samples():
    return SAMPLES


@pytest.fixture(scope="session")
def corpus_files():
    if not CORPUS.is_dir():
        pytest.skip(f"corpus {CORPUS} absent")
    return sorted(p for p in CORPUS.iterdir() if p.suffix.lower() in (".ppt", ".pptx"))
