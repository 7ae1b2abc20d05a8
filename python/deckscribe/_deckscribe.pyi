# The native half of deckscribe (DeckscribeModule.cpp): conversions over the C interface.
from typing import Optional, Tuple, Union

TYPE_AUTO: int
TYPE_PPT: int
TYPE_PPTX: int
MODE_TEXT: int
MODE_FULL: int
MODE_MARKDOWN: int
MODE_JSON: int

def convert_file(path: bytes, code_page: int, type: int, mode: int = ...) -> Tuple[int, Optional[bytes]]: ...
def convert_memory(data: Union[bytes, bytearray, memoryview], code_page: int, type: int,
                   mode: int = ...) -> Tuple[int, Optional[bytes]]: ...
def result_message(code: int) -> str: ...
def version() -> str: ...
