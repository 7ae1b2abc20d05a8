"""The slide model from Python: every form as dkscrcmd -m gives it, and the slides as dicts."""

import json

import pytest

import deckscribe
from conftest import dkscrcmd

FIELDS = ["number", "hidden", "title", "paragraphs", "notes", "tables", "diagrams", "charts",
          "comments", "footers", "notes_footers"]


@pytest.mark.parametrize("mode", ["full", "md", "json", "Text"])
def test_modes_give_dkscrcmds_bytes_from_paths_and_memory(samples, mode):
    for path in samples:
        expected = dkscrcmd(path, 1252, mode.lower())
        assert expected
        assert deckscribe.extract(path, code_page=1252, mode=mode) == expected, path
        assert deckscribe.extract(path.read_bytes(), code_page=1252, mode=mode) == expected, path


def test_extract_text_of_each_form(samples):
    for path in samples:
        full = dkscrcmd(path, 65001, "full")
        assert deckscribe.extract_text(path, mode="full") == \
            full[3:].decode("utf-8").replace("\r\n", "\n")
        assert deckscribe.extract_text(path, mode="md") == dkscrcmd(path, 65001, "md").decode()
    with pytest.raises(ValueError):
        deckscribe.extract(samples[0], mode="pdf")
    with pytest.raises(ValueError):
        deckscribe.extract_text(samples[0], mode=None)


def test_slides_are_dicts_with_exactly_the_model_fields(samples):
    for path in samples:
        slides = deckscribe.extract_slides(path)
        assert slides == json.loads(dkscrcmd(path, 65001, "json"))["slides"]
        assert slides == deckscribe.extract_slides(memoryview(path.read_bytes()))
        assert [s["number"] for s in slides] == list(range(1, len(slides) + 1))
        for slide in slides:
            assert list(slide) == FIELDS
            assert isinstance(slide["hidden"], bool) and isinstance(slide["title"], str)
            for key in ("paragraphs", "notes", "diagrams", "charts", "footers", "notes_footers"):
                assert all(isinstance(text, str) for text in slide[key]), key
            assert all(isinstance(cell, str) for table in slide["tables"] for row in table
                       for cell in row)
            assert all(set(c) == {"author", "text"} for c in slide["comments"])
    assert any("Café" in p for s in deckscribe.extract_slides(samples[1]) for p in s["paragraphs"])


def test_slides_failures_raise_as_extract_does(tmp_path):
    with pytest.raises(deckscribe.FileMissingError):
        deckscribe.extract_slides(tmp_path / "gone.pptx")
    with pytest.raises(deckscribe.FormatError):
        deckscribe.extract_slides(bytearray(b"not a presentation"))
    with pytest.raises(ValueError):
        deckscribe.extract_slides(b"x", type="doc")
