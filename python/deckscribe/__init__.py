"""The text of PowerPoint presentations (.ppt and .pptx), converted in-process.

    >>> import deckscribe
    >>> deckscribe.extract_text("talk.pptx")
    'slide1:\\nTitle\\n...'

    >>> deckscribe.extract_slides("talk.pptx")[0]["title"]
    'Title'

``extract`` gives exactly the bytes the console converter ``dkscrcmd`` writes (with ``mode``,
those of ``dkscrcmd -m``); ``extract_text`` gives them as a ``str``; ``extract_slides`` gives
the slides as dicts (typed as ``Slide``). Conversions release the interpreter lock, so threads
run them in parallel. Failures raise ``Error`` or one of its subclasses.
"""

import codecs
import errno
import json
import os
from typing import Any, Dict, List, NoReturn, Optional, Tuple, TypedDict, Union, cast

from . import _deckscribe

# Slide and Comment, dicts for type checkers, stay out of help()'s listing.
__all__ = ["extract", "extract_text", "extract_slides", "metadata", "Error", "FileMissingError", "EncryptedError",
           "FormatError", "OutOfMemoryError", "Source", "__version__"]

__version__: str = _deckscribe.version()

#: What a conversion reads: a path (``str``, ``bytes`` or ``os.PathLike``), or the file itself
#: in a bytes-like object (``bytes`` with a NUL byte in them, ``bytearray``, ``memoryview``...).
Source = Union[str, bytes, os.PathLike[str], os.PathLike[bytes], bytearray, memoryview]


class Comment(TypedDict):
    """A comment on a slide."""

    author: str
    text: str


class Slide(TypedDict):
    """One slide of ``extract_slides``, in show order."""

    number: int
    hidden: bool
    title: str
    paragraphs: List[str]
    notes: List[str]
    tables: List[List[List[str]]]
    diagrams: List[str]
    charts: List[str]
    comments: List[Comment]
    footers: List[str]
    notes_footers: List[str]
    id: Optional[int]
    section: Optional[str]
    layout: Optional[str]
    blocks: List[Dict[str, Any]]
    links: List[str]

_TYPES = {"auto": _deckscribe.TYPE_AUTO, "ppt": _deckscribe.TYPE_PPT,
          "pptx": _deckscribe.TYPE_PPTX}
_MODES = {"text": _deckscribe.MODE_TEXT, "full": _deckscribe.MODE_FULL,
          "md": _deckscribe.MODE_MARKDOWN, "json": _deckscribe.MODE_JSON}


class Error(Exception):
    """A conversion failed; ``code`` is the converter's negative result code and ``message``
    its text, as the console program words it without the file name."""

    code: int
    message: str

    def __init__(self, code: int, message: Optional[str] = None) -> None:
        self.code = code
        self.message = message if message is not None else _deckscribe.result_message(code)
        super().__init__(self.message)

    def __str__(self) -> str:
        return self.message

    def __reduce__(self) -> Tuple[Any, Tuple[Any, ...]]:
        # Rebuilt from code and message, so that an error crosses to another process (a
        # ProcessPoolExecutor, multiprocessing, Dask) as itself.
        return (type(self), (self.code, self.message))


class FileMissingError(Error, FileNotFoundError):
    """The file does not exist, or is a folder (code -2)."""

    def __init__(self, code: int, message: Optional[str] = None, filename: object = None) -> None:
        Error.__init__(self, code, message)
        self.errno = errno.ENOENT
        self.strerror = self.message
        self.filename = filename

    def __reduce__(self) -> Tuple[Any, Tuple[Any, ...]]:
        return (type(self), (self.code, self.message, self.filename))


class EncryptedError(Error):
    """The presentation is encrypted (code -11)."""


class FormatError(Error):
    """Not a presentation of the type, or too damaged to read (code -5)."""


class OutOfMemoryError(Error, MemoryError):
    """Memory ran out during the conversion (code -13); also a ``MemoryError``."""


_ARGUMENT_ERROR = -12  # the library's answer to a code page it does not serve

_ERRORS = {-2: FileMissingError, -5: FormatError, -11: EncryptedError, -13: OutOfMemoryError}


def _raise(code: int, source: object) -> NoReturn:
    cls = _ERRORS.get(code, Error)
    if cls is FileMissingError:
        raise FileMissingError(code, filename=source)
    raise cls(code)


def _surrogate_or_replacement(error: UnicodeError) -> Tuple[str, int]:
    # Binary presentations encode each half of a surrogate pair by itself, as three bytes: kept
    # as the half, to be joined with its other half; any other byte that is no UTF-8 is U+FFFD.
    assert isinstance(error, UnicodeDecodeError)
    b = error.object[error.start:error.start + 3]
    if len(b) == 3 and b[0] == 0xED and 0xA0 <= b[1] <= 0xBF and 0x80 <= b[2] <= 0xBF:
        return chr(0xD000 | (b[1] & 0x3F) << 6 | (b[2] & 0x3F)), error.start + 3
    return "\ufffd", error.end


codecs.register_error("deckscribe.surrogates", _surrogate_or_replacement)


def _decode_utf8(raw: bytes) -> str:
    try:
        return raw.decode("utf-8")
    except UnicodeDecodeError:
        halves = raw.decode("utf-8", "deckscribe.surrogates")
        # Pairs of halves joined, a half alone U+FFFD.
        return halves.encode("utf-16-le", "surrogatepass").decode("utf-16-le", "replace")


def _type_code(type: str) -> int:
    try:
        return _TYPES[type.lower()]
    except (AttributeError, KeyError):
        raise ValueError(f"type must be one of {sorted(_TYPES)}, not {type!r}") from None


def _mode_code(mode: str) -> int:
    try:
        return _MODES[mode.lower()]
    except (AttributeError, KeyError):
        raise ValueError(f"mode must be one of {sorted(_MODES)}, not {mode!r}") from None


def _is_path(source: object) -> bool:
    # A path can hold no NUL byte, while every presentation's first bytes do: bytes without
    # one name a file, bytes with one are the file.
    if isinstance(source, bytes):
        return b"\0" not in source
    return isinstance(source, (str, os.PathLike))


def extract(source: Source, *, code_page: int = 65001, type: str = "auto", mode: str = "text") -> bytes:
    """The converter's bytes for a presentation.

    source: a path (str, bytes or os.PathLike), or a bytes-like object holding the file
        (bytes, bytearray, memoryview, ...).
    code_page: 65001 UTF-8 and 1200 UTF-16LE (both with a byte-order mark), any Windows
        code page, or 0 for the character set of the locale (LC_CTYPE).
    type: "auto" (by content), "ppt" or "pptx".
    mode: "text" (dkscrcmd's default), "full" (every slide's text, tables, notes and
        comments, in the code page), "md" (Markdown) or "json"; md and json are UTF-8
        without byte-order mark whatever the code page.

    Raises FileMissingError (also a FileNotFoundError), FormatError, EncryptedError,
    OutOfMemoryError (also a MemoryError) or Error with the code; ValueError for an unknown
    type or mode, a code page that is not served, or a path with a NUL character; TypeError
    for a code page that is no int.
    """
    if isinstance(code_page, bool) or not isinstance(code_page, int):
        raise TypeError(f"code_page must be an int, not {code_page!r}")
    type_code = _type_code(type)
    mode_code = _mode_code(mode)
    if _is_path(source):
        path = os.fsencode(cast(Union[str, bytes, os.PathLike[str], os.PathLike[bytes]], source))
        if b"\0" in path:
            raise ValueError("embedded null byte in path")
        code, text = _deckscribe.convert_file(path, code_page, type_code, mode_code)
    else:
        code, text = _deckscribe.convert_memory(
            cast(Union[bytes, bytearray, memoryview], source), code_page, type_code, mode_code)
    if code == _ARGUMENT_ERROR:
        raise ValueError(f"code page {code_page} is not supported")
    if code < 0 or text is None:
        _raise(code, source if _is_path(source) else None)
    return text


def extract_text(source: Source, *, type: str = "auto", mode: str = "text") -> str:
    """The text of a presentation as a str, without byte-order mark, lines ending in "\\n"."""
    raw = extract(source, code_page=65001, type=type, mode=mode)
    if raw.startswith(b"\xef\xbb\xbf"):
        raw = raw[3:]
    return _decode_utf8(raw).replace("\r\n", "\n")


def extract_slides(source: Source, *, type: str = "auto") -> List[Slide]:
    """The slides of a presentation in show order, each a dict with "number" (int), "hidden"
    (bool), "title" (str), "paragraphs", "notes", "diagrams", "charts", "footers" (the
    slide's header, footer and date) and "notes_footers" (those of its notes page) (lists of
    str), "tables" (list of tables, each a list of rows of cell texts) and "comments" (list of
    dicts with "author" and "text"), and "id" (the slide's own id or None), "section" and
    "layout" (str or None), "blocks" (the slide's content in order, each a dict with "type":
    "text", "table", "picture", "chart", "diagram", "media" or "ole") and "links" (every
    hyperlink target once). Text on no slide is in the "orphans" list of
    extract(source, mode="json"); share/deckscribe/slides.schema.json describes it all."""
    slides: List[Slide] = json.loads(extract(source, type=type, mode="json"))["slides"]
    return slides


def metadata(source: Source, *, type: str = "auto") -> Dict[str, Any]:
    """The document's properties: "title", "subject", "author", "keywords", "description",
    "last_modified_by", "revision", "created", "modified" (ISO 8601, UTC), "category",
    "company", "application" where the file has them, and "custom" (name -> value) when it
    has custom properties. Only the properties are read, never a slide: a presentation whose
    slides are damaged still gives them. Raises as ``extract`` does."""
    type_code = _type_code(type)
    if _is_path(source):
        path = os.fsencode(cast(Union[str, bytes, os.PathLike[str], os.PathLike[bytes]], source))
        if b"\0" in path:
            raise ValueError("embedded null byte in path")
        code, text = _deckscribe.metadata_file(path, type_code)
    else:
        code, text = _deckscribe.metadata_memory(cast(Union[bytes, bytearray, memoryview], source), type_code)
    if code < 0 or text is None:
        _raise(code, source if _is_path(source) else None)
    properties: Dict[str, Any] = json.loads(text)
    return properties
