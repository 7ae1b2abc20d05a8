"""The module as a package: its version, its type information, its help, and memory running
out, which has an exception of its own."""

import ast
import importlib.metadata
import os
import pathlib
import pydoc
import subprocess
import sys
import textwrap

import pytest

import deckscribe
from deckscribe import _deckscribe

PACKAGE = pathlib.Path(deckscribe.__file__).parent


def test_installed_package_is_the_one_tested_and_carries_the_version():
    prefix = os.environ.get("DKSCR_INSTALLED_IN")
    if not prefix:
        pytest.skip("the module as built, not installed by pip")
    assert str(PACKAGE).startswith(prefix + os.sep)
    assert importlib.metadata.version("deckscribe") == deckscribe.__version__


def test_type_information_ships_and_the_stub_names_every_native_name():
    assert (PACKAGE / "py.typed").is_file()
    stub = ast.parse((PACKAGE / "_deckscribe.pyi").read_text())
    stubbed = set()
    for node in stub.body:
        if isinstance(node, ast.FunctionDef):
            stubbed.add(node.name)
        elif isinstance(node, ast.AnnAssign):
            stubbed.add(node.target.id)
    native = {name for name in dir(_deckscribe) if not name.startswith("_")}
    assert stubbed == native


def test_help_shows_the_documentation():
    page = pydoc.render_doc(deckscribe, renderer=pydoc.plaintext)
    for wanted in ["The text of PowerPoint presentations (.ppt and .pptx), converted in-process.",
                   "extract(source:", "The converter's bytes for a presentation.",
                   "extract_text(source:", "extract_slides(source:", "class OutOfMemoryError",
                   "Memory ran out during the conversion", "class FileMissingError",
                   deckscribe.__version__]:
        assert wanted in page, wanted
    for name in deckscribe.__all__:
        assert name in page, name


def test_messages_are_the_consoles():
    assert _deckscribe.result_message(-2) == "Input file not exists"
    assert _deckscribe.result_message(-13) == "Out of memory"
    assert _deckscribe.result_message(0) == "OK"


def test_memory_running_out_raises_out_of_memory_error(tmp_path):
    # A stored package of one slide with 24 MiB of text, converted in a process whose address
    # space may grow by 16 MiB only: the conversion must fail as out of memory, not as damage,
    # and the process go on.
    script = textwrap.dedent("""
        import io, resource, sys, zipfile
        import deckscribe
        letters = 24 << 20
        buffer = io.BytesIO()
        with zipfile.ZipFile(buffer, "w", zipfile.ZIP_STORED) as package:
            package.writestr("[Content_Types].xml", "<Types/>")
            package.writestr("ppt/slides/slide1.xml",
                             "<p:sld><p:cSld><p:spTree><p:sp><p:txBody><a:p><a:r><a:t>"
                             + "x" * letters + "</a:t></a:r></a:p></p:txBody></p:sp></p:spTree>"
                             "</p:cSld></p:sld>")
        data = buffer.getvalue()
        del buffer
        if sys.argv[1] == "limited":
            with open("/proc/self/statm") as statm:
                mapped = int(statm.read().split()[0]) * resource.getpagesize()
            resource.setrlimit(resource.RLIMIT_AS, (mapped + (16 << 20), resource.RLIM_INFINITY))
        try:
            text = deckscribe.extract(data)
        except deckscribe.OutOfMemoryError as error:
            assert isinstance(error, MemoryError) and error.code == -13, error
            print("out of memory:", error)
        else:
            print("converted", len(text) == 3 + len("slide1:\\r\\n") + letters + 2)
        """)
    if not pathlib.Path("/proc/self/statm").exists():
        pytest.skip("no /proc/self/statm")
    run = lambda how: subprocess.run([sys.executable, "-c", script, how], capture_output=True,
                                     text=True, cwd=tmp_path, env=dict(os.environ))
    limited = run("limited")
    assert limited.returncode == 0, limited.stderr
    assert limited.stdout == "out of memory: Out of memory\n"
    unlimited = run("unlimited")
    assert unlimited.returncode == 0, unlimited.stderr
    assert unlimited.stdout == "converted True\n"
