"""The text of PowerPoint presentations (.ppt and .pptx), converted in-process.

    >>> import deckscribe
    >>> deckscribe.extract_text("talk.pptx")
    'slide1:\\nTitle\\n...'

    >>> deckscribe.extract_slides("talk.pptx")[0]["title"]
    'Title'

``extract`` gives exactly the bytes the console converter ``dkscrcmd`` writes (with ``mode``,
those of ``dkscrcmd -m``); ``extract_text`` gives them as a ``str``; ``extract_slides`` gives
the slides as dicts. Conversions release the interpreter lock, so threads run them in parallel.
"""

import json
import os

from . import _deckscribe

__all__ = ["extract", "extract_text", "extract_slides", "Error", "FileMissingError", "EncryptedError",
           "FormatError", "__version__"]

__version__ = _deckscribe.version()

_TYPES = {"auto": _deckscribe.TYPE_AUTO, "ppt": _deckscribe.TYPE_PPT,
          "pptx": _deckscribe.TYPE_PPTX}
_MODES = {"text": _deckscribe.MODE_TEXT, "full": _deckscribe.MODE_FULL,
          "md": _deckscribe.MODE_MARKDOWN, "json": _deckscribe.MODE_JSON}


class Error(Exception):
    """A conversion failed; ``code`` is the converter's negative result code."""

    def __init__(self, code, message=None):
        self.code = code
        self.message = message if message is not None else _deckscribe.result_message(code)
        super().__init__(self.message)

    def __str__(self):
        return self.message


class FileMissingError(Error, FileNotFoundError):
    """The file does not exist, or is a folder (code -2)."""

    def __init__(self, code, message=None, filename=None):
        Error.__init__(self, code, message)
        self.filename = filename


class EncryptedError(Error):
    """The presentation is encrypted (code -11)."""


class FormatError(Error):
    """Not a presentation of the type, or too damaged to read (code -5)."""


_ERRORS = {-2: FileMissingError, -5: FormatError, -11: EncryptedError}


def _raise(code, source):
    cls = _ERRORS.get(code, Error)
    if cls is FileMissingError:
        raise FileMissingError(code, filename=source)
    raise cls(code)


def _type_code(type):
    try:
        return _TYPES[type.lower()]
    except (AttributeError, KeyError):
        raise ValueError(f"type must be one of {sorted(_TYPES)}, not {type!r}") from None


def _mode_code(mode):
    try:
        return _MODES[mode.lower()]
    except (AttributeError, KeyError):
        raise ValueError(f"mode must be one of {sorted(_MODES)}, not {mode!r}") from None


def _is_path(source):
    # A path can hold no NUL byte, while every presentation's first bytes do: bytes without
    # one name a file, bytes with one are the file.
    if isinstance(source, bytes):
        return b"\0" not in source
    return isinstance(source, (str, os.PathLike))


def extract(source, *, code_page=65001, type="auto", mode="text"):
    """The converter's bytes for a presentation.

    source: a path (str, bytes or os.PathLike), or a bytes-like object holding the file
        (bytes, bytearray, memoryview, ...).
    code_page: 65001 UTF-8 and 1200 UTF-16LE (both with a byte-order mark), any Windows
        code page, or 0 for the character set of the locale (LC_CTYPE).
    type: "auto" (by content), "ppt" or "pptx".
    mode: "text" (dkscrcmd's default), "full" (every slide's text, tables, notes and
        comments, in the code page), "md" (Markdown) or "json"; md and json are UTF-8
        without byte-order mark whatever the code page.
    """
    type_code = _type_code(type)
    mode_code = _mode_code(mode)
    if _is_path(source):
        path = os.fsencode(source)
        if b"\0" in path:
            raise ValueError("embedded null byte in path")
        code, text = _deckscribe.convert_file(path, code_page, type_code, mode_code)
    else:
        code, text = _deckscribe.convert_memory(source, code_page, type_code, mode_code)
    if code < 0:
        _raise(code, source if _is_path(source) else None)
    return text


def extract_text(source, *, type="auto", mode="text"):
    """The text of a presentation as a str, without byte-order mark, lines ending in "\\n"."""
    raw = extract(source, code_page=65001, type=type, mode=mode)
    if raw.startswith(b"\xef\xbb\xbf"):
        raw = raw[3:]
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError:
        # Binary presentations encode each half of a surrogate pair by itself: join them.
        text = raw.decode("utf-8", "surrogatepass").encode("utf-16-le", "surrogatepass") \
                  .decode("utf-16-le", "surrogatepass")
    return text.replace("\r\n", "\n")


def extract_slides(source, *, type="auto"):
    """The slides of a presentation in show order, each a dict with "number" (int), "hidden"
    (bool), "title" (str), "paragraphs", "notes", "diagrams", "charts", "footers" (the
    slide's header, footer and date) and "notes_footers" (those of its notes page) (lists of
    str), "tables" (list of tables, each a list of rows of cell texts) and "comments" (list of
    dicts with "author" and "text"). Text on no slide is in the "orphans" list of
    extract(source, mode="json")."""
    return json.loads(extract(source, type=type, mode="json"))["slides"]
