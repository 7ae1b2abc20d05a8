"""A program using deckscribe as its type information promises (checked by mypy --strict in
scripts/test-python-package.sh, never run): a mistake in the stub or the annotations fails."""

import pathlib
from typing import List, Optional

import deckscribe


def titles(path: pathlib.Path) -> List[str]:
    slides: List[deckscribe.Slide] = deckscribe.extract_slides(path)
    for slide in slides:
        number: int = slide["number"]
        hidden: bool = slide["hidden"]
        cells: List[List[List[str]]] = slide["tables"]
        authors: List[str] = [comment["author"] for comment in slide["comments"]]
        del number, hidden, cells, authors
    return [slide["title"] for slide in slides]


def text_or_none(source: deckscribe.Source) -> Optional[str]:
    try:
        return deckscribe.extract_text(source, type="auto", mode="full")
    except deckscribe.FileMissingError as missing:
        filename: object = missing.filename
        del filename
    except deckscribe.Error as error:
        code: int = error.code
        message: str = error.message
        del code, message
    return None


def raw(data: bytes, view: memoryview, array: bytearray) -> bytes:
    version: str = deckscribe.__version__
    del version
    return (deckscribe.extract(data, code_page=1252) + deckscribe.extract(view, mode="md")
            + deckscribe.extract(array) + deckscribe.extract(b"/path/as/bytes.ppt"))
