"""The slide model from Python: every form as dkscrcmd -m gives it, and the slides as dicts."""

import json

import pytest

import deckscribe
from conftest import dkscrcmd

FIELDS = ["number", "hidden", "title", "paragraphs", "notes", "tables", "diagrams", "charts",
          "comments", "footers", "notes_footers", "id", "section", "layout", "blocks", "links"]


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


def test_metadata_is_the_json_forms(samples):
    for path in samples:
        expected = json.loads(dkscrcmd(path, 65001, "json"))["metadata"]
        assert deckscribe.metadata(path) == expected
        assert deckscribe.metadata(path.read_bytes()) == expected
        assert all(isinstance(value, str) for key, value in expected.items() if key != "custom")


def _package_with_a_damaged_slide():
    """A .pptx whose core and extended properties are sound and whose one slide's deflated data
    is not (its first block of a reserved type)."""
    import io
    import struct
    import zipfile
    rels = "http://schemas.openxmlformats.org/package/2006/relationships"
    office = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
    parts = {
        "[Content_Types].xml": '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>',
        "_rels/.rels": f'<Relationships xmlns="{rels}">'
                       f'<Relationship Id="rId1" Type="{office}/officeDocument" Target="ppt/presentation.xml"/>'
                       f'<Relationship Id="rId2" Type="{rels}/metadata/core-properties" Target="docProps/core.xml"/>'
                       f'<Relationship Id="rId3" Type="{office}/extended-properties" Target="docProps/app.xml"/>'
                       '</Relationships>',
        "docProps/core.xml": '<cp:coreProperties xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/'
                             'core-properties" xmlns:dc="http://purl.org/dc/elements/1.1/" xmlns:dcterms='
                             '"http://purl.org/dc/terms/"><dc:title>Quartalsbericht Übersicht</dc:title>'
                             '<dc:creator>Zoë</dc:creator><dcterms:created>2024-05-01T09:30:00Z</dcterms:created>'
                             '</cp:coreProperties>',
        "docProps/app.xml": '<Properties xmlns="http://schemas.openxmlformats.org/officeDocument/2006/extended-'
                            'properties"><Company>Acme</Company></Properties>',
        "ppt/presentation.xml": '<p:presentation xmlns:p="http://schemas.openxmlformats.org/presentationml/2006/main"'
                                f' xmlns:r="{office}"><p:sldIdLst><p:sldId id="256" r:id="rId2"/></p:sldIdLst>'
                                '</p:presentation>',
        "ppt/_rels/presentation.xml.rels": f'<Relationships xmlns="{rels}"><Relationship Id="rId2" '
                                           f'Type="{office}/slide" Target="slides/slide1.xml"/></Relationships>',
        "ppt/slides/slide1.xml": '<p:sld xmlns:p="http://schemas.openxmlformats.org/presentationml/2006/main" '
                                 'xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main"><p:cSld><p:spTree>'
                                 '<p:sp><p:txBody><a:p><a:r><a:t>Slide text</a:t></a:r></a:p></p:txBody></p:sp>'
                                 '</p:spTree></p:cSld></p:sld>',
    }
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_DEFLATED) as package:
        for name, text in parts.items():
            package.writestr(name, text)
        offset = package.getinfo("ppt/slides/slide1.xml").header_offset
    data = bytearray(buffer.getvalue())
    name_length, extra_length = struct.unpack("<HH", data[offset + 26:offset + 30])
    data[offset + 30 + name_length + extra_length] = 0xFF
    return bytes(data)


def test_metadata_reads_no_slide(tmp_path):
    deck = _package_with_a_damaged_slide()
    with pytest.raises(deckscribe.FormatError):  # the slides cannot be read...
        deckscribe.extract_slides(deck)
    expected = {"title": "Quartalsbericht Übersicht", "author": "Zoë", "created": "2024-05-01T09:30:00Z",
                "company": "Acme"}
    assert deckscribe.metadata(deck) == expected  # ...and are not read for the properties
    path = tmp_path / "damaged.pptx"
    path.write_bytes(deck)
    assert deckscribe.metadata(path) == expected
    assert deckscribe.metadata(bytearray(deck), type="pptx") == expected


def test_metadata_failures_raise_as_extract_does(tmp_path):
    with pytest.raises(deckscribe.FileMissingError):
        deckscribe.metadata(tmp_path / "gone.pptx")
    with pytest.raises(deckscribe.FormatError):
        deckscribe.metadata(bytearray(b"not a presentation"))
    with pytest.raises(ValueError):
        deckscribe.metadata(b"x", type="doc")
    with pytest.raises(ValueError):
        deckscribe.metadata(b"gone\0.pptx".decode("latin-1"))
