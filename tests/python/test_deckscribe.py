"""The deckscribe module: sources of each kind, types, code pages, the exceptions, threads."""

import concurrent.futures
import os
import pathlib

import pytest

import deckscribe
from conftest import dkscrcmd
from encrypted_ppt import encrypted_presentation


class PathLike:
    def __init__(self, path):
        self._path = path

    def __fspath__(self):
        return self._path


def sources_of(path):
    data = path.read_bytes()
    return {
        "str": str(path), "bytes path": os.fsencode(path), "pathlib": path,
        "PathLike": PathLike(str(path)), "bytes": data, "bytearray": bytearray(data),
        "memoryview": memoryview(data),
    }


@pytest.mark.parametrize("code_page", [65001, 1200, 1252])
def test_every_kind_of_source_gives_dkscrcmds_bytes(samples, code_page):
    for path in samples:
        expected = dkscrcmd(path, code_page)
        assert expected
        for kind, source in sources_of(path).items():
            assert deckscribe.extract(source, code_page=code_page) == expected, (path, kind)


def test_corpus_matches_dkscrcmd(corpus_files):
    for path in corpus_files:
        expected = dkscrcmd(path)
        if expected is None:
            with pytest.raises(deckscribe.Error):
                deckscribe.extract(path)
        else:
            assert deckscribe.extract(path) == expected, path


def test_file_names_need_not_be_text(samples, tmp_path):
    name = os.path.join(os.fsencode(tmp_path), b"\xff\xfe-not-utf8.pptx")
    with open(name, "wb") as f:
        f.write(samples[1].read_bytes())
    assert deckscribe.extract(name) == deckscribe.extract(samples[1])
    assert deckscribe.extract(os.fsdecode(name)) == deckscribe.extract(samples[1])


def test_extract_text_is_decoded_without_mark_and_with_newlines(samples):
    for path in samples:
        raw = dkscrcmd(path)
        text = deckscribe.extract_text(path)
        assert text == raw[3:].decode("utf-8").replace("\r\n", "\n")
        assert "\r" not in text and not text.startswith("\ufeff")
    assert "Café" in deckscribe.extract_text(samples[1])


def test_types(samples, tmp_path):
    ppt, pptx = samples
    misnamed = tmp_path / "really-a-ppt.pptm"
    misnamed.write_bytes(ppt.read_bytes())
    assert deckscribe.extract(misnamed) == deckscribe.extract(ppt)
    assert deckscribe.extract(ppt, type="PPT") == deckscribe.extract(ppt)
    assert deckscribe.extract(pptx, type="pptx") == deckscribe.extract(pptx)
    with pytest.raises(deckscribe.FormatError):
        deckscribe.extract(ppt, type="pptx")
    with pytest.raises(ValueError):
        deckscribe.extract(ppt, type="doc")


@pytest.mark.parametrize("source, cls, code, message", [
    ("/nonexistent-dir/none.pptx", deckscribe.FileMissingError, -2, "Input file not exists"),
    (b"PK\x05\x06" + b"\0" * 18 + b"plain", deckscribe.FormatError, -5, "Input file format not correct"),
    (bytearray(b"not a presentation"), deckscribe.FormatError, -5, "Input file format not correct"),
    (encrypted_presentation(), deckscribe.EncryptedError, -11,
     "Input file is encrypted"),
])
def test_exceptions(source, cls, code, message):
    with pytest.raises(cls) as raised:
        deckscribe.extract(source)
    assert isinstance(raised.value, deckscribe.Error)
    assert raised.value.code == code
    assert str(raised.value) == message


def test_missing_file_is_a_file_not_found_error(tmp_path):
    with pytest.raises(FileNotFoundError) as raised:
        deckscribe.extract_text(tmp_path / "gone.ppt")
    assert raised.value.filename == tmp_path / "gone.ppt"
    with pytest.raises(FileNotFoundError):
        deckscribe.extract(tmp_path)  # a folder is no file
    with pytest.raises(ValueError):
        deckscribe.extract("bad\0path")


def test_threads_give_what_one_thread_gives(samples, tmp_path):
    files = list(samples)
    for i, path in enumerate(samples):
        copy = tmp_path / f"copy{i}{path.suffix}"
        copy.write_bytes(path.read_bytes())
        files.append(copy)
    expected = [deckscribe.extract(p) for p in files]
    with concurrent.futures.ThreadPoolExecutor(max_workers=4) as pool:
        for _ in range(5):
            results = list(pool.map(deckscribe.extract, files * 4))
            assert results == expected * 4
            in_memory = list(pool.map(lambda p: deckscribe.extract(p.read_bytes()), files))
            assert in_memory == expected


def test_version():
    parts = deckscribe.__version__.split(".")
    assert len(parts) == 3 and all(p.isdigit() for p in parts)


ERRORS = [deckscribe.Error(-7), deckscribe.FileMissingError(-2, filename="gone.ppt"),
          deckscribe.EncryptedError(-11), deckscribe.FormatError(-5), deckscribe.OutOfMemoryError(-13)]


@pytest.mark.parametrize("error", ERRORS, ids=lambda e: type(e).__name__)
def test_errors_pickle_as_themselves(error):
    import pickle
    copy = pickle.loads(pickle.dumps(error))
    assert type(copy) is type(error)
    assert (copy.code, copy.message, str(copy)) == (error.code, error.message, str(error))
    if isinstance(error, FileNotFoundError):
        assert copy.filename == "gone.ppt"
        assert copy.errno == error.errno == __import__("errno").ENOENT


def test_a_failing_file_leaves_a_process_pool_working(samples, tmp_path):
    bad = tmp_path / "bad.pptx"
    bad.write_bytes(b"not a package")
    good = samples[0]
    with concurrent.futures.ProcessPoolExecutor(max_workers=2) as pool:
        futures = [pool.submit(deckscribe.extract, path) for path in (bad, good, bad, good)]
        for path, future in zip((bad, good, bad, good), futures):
            if path == bad:
                with pytest.raises(deckscribe.FormatError):
                    future.result()
            else:
                assert future.result() == deckscribe.extract(good)


def pptx_with_slide_text(text: bytes) -> bytes:
    import io
    import zipfile
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w") as package:
        package.writestr("[Content_Types].xml", "<Types/>")
        package.writestr("ppt/slides/slide1.xml",
                         b'<p:sld xmlns:a="a" xmlns:p="p"><p:cSld><p:spTree><p:sp><p:txBody><a:p><a:r><a:t>'
                         + text + b"</a:t></a:r></a:p></p:txBody></p:sp></p:spTree></p:cSld></p:sld>")
    return buffer.getvalue()


def test_text_that_is_no_utf8_is_repaired_in_every_utf8_form():
    data = pptx_with_slide_text(b"caf\xc3\xa9 \xff \xed\xa0\x80 end")
    assert "café \ufffd" in deckscribe.extract_text(data)
    assert deckscribe.extract_text(data).endswith(" end\n")
    for mode in ("md", "json"):
        assert "\ufffd" in deckscribe.extract(data, mode=mode).decode("utf-8")
    assert "\ufffd" in deckscribe.extract_slides(data)[0]["paragraphs"][0]


def test_code_pages_that_give_no_text_are_errors(samples):
    with pytest.raises(ValueError):
        deckscribe.extract(samples[0], code_page=42)
    with pytest.raises(ValueError):
        deckscribe.extract(samples[0], code_page=-1, mode="json")
    with pytest.raises(TypeError):
        deckscribe.extract(samples[0], code_page=True)
    assert deckscribe.extract(samples[0], code_page=1252)
