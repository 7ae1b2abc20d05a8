// The native half of the Python module: the two conversions over the C interface (in any of
// its modes) and the two reads of the document's properties alone, run with
// the interpreter's lock released so that threads convert in parallel. The Python half
// (deckscribe/__init__.py) turns sources, types and result codes into Python terms.
#include <deckscribe/deckscribe.h>
#include <pybind11/pybind11.h>

#include <cstdint>
#include <string>
#include <utility>

namespace py = pybind11;

namespace {

// A result code with the text, or None when the conversion failed.
py::tuple Outcome(int32_t code, unsigned char* text, size_t size) {
  if (code < 0) return py::make_tuple(code, py::none());
  py::bytes result(reinterpret_cast<const char*>(text), size);
  dkscr_free(text);
  return py::make_tuple(code, std::move(result));
}

dkscr_options Options(int32_t codePage, int32_t type, int32_t mode) {
  dkscr_options options;
  dkscr_options_init(&options);
  options.code_page = codePage;
  options.type = type;
  options.mode = mode;
  return options;
}

using FileCall = int32_t (*)(const char*, const dkscr_options*, unsigned char**, size_t*);
using MemoryCall = int32_t (*)(const void*, size_t, const dkscr_options*, unsigned char**, size_t*);

py::tuple OnFile(FileCall call, const py::bytes& path, const dkscr_options& options) {
  const std::string native = path;  // the file system's bytes, no NUL inside (checked above)
  unsigned char* text = nullptr;
  size_t size = 0;
  int32_t code;
  {
    py::gil_scoped_release unlocked;
    code = call(native.c_str(), &options, &text, &size);
  }
  return Outcome(code, text, size);
}

py::tuple OnMemory(MemoryCall call, const py::buffer& data, const dkscr_options& options) {
  // A simple contiguous view, held until the conversion is over.
  Py_buffer view;
  if (PyObject_GetBuffer(data.ptr(), &view, PyBUF_SIMPLE) != 0) throw py::error_already_set();
  unsigned char* text = nullptr;
  size_t size = 0;
  int32_t code;
  {
    py::gil_scoped_release unlocked;
    code = call(view.buf, static_cast<size_t>(view.len), &options, &text, &size);
  }
  PyBuffer_Release(&view);
  return Outcome(code, text, size);
}

py::tuple ConvertFile(const py::bytes& path, int32_t codePage, int32_t type, int32_t mode) {
  return OnFile(&dkscr_convert_file, path, Options(codePage, type, mode));
}

py::tuple ConvertMemory(const py::buffer& data, int32_t codePage, int32_t type, int32_t mode) {
  return OnMemory(&dkscr_convert_memory, data, Options(codePage, type, mode));
}

py::tuple MetadataFile(const py::bytes& path, int32_t type) {
  return OnFile(&dkscr_metadata_file, path, Options(0, type, DKSCR_MODE_JSON));
}

py::tuple MetadataMemory(const py::buffer& data, int32_t type) {
  return OnMemory(&dkscr_metadata_memory, data, Options(0, type, DKSCR_MODE_JSON));
}

}  // namespace

PYBIND11_MODULE(_deckscribe, m) {
  m.doc() = "Native conversions of the deckscribe module; use deckscribe instead.";
  m.def("convert_file", &ConvertFile, py::arg("path"), py::arg("code_page"), py::arg("type"),
        py::arg("mode") = DKSCR_MODE_TEXT,
        "(result code, text or None) of the file at `path`, the file system's bytes.");
  m.def("convert_memory", &ConvertMemory, py::arg("data"), py::arg("code_page"), py::arg("type"),
        py::arg("mode") = DKSCR_MODE_TEXT,
        "(result code, text or None) of a presentation held in a bytes-like object.");
  m.def("metadata_file", &MetadataFile, py::arg("path"), py::arg("type"),
        "(result code, the properties' JSON or None) of the file at `path`, no slide read.");
  m.def("metadata_memory", &MetadataMemory, py::arg("data"), py::arg("type"),
        "(result code, the properties' JSON or None) of a presentation in a bytes-like object.");
  m.def("result_message", &dkscr_result_message, py::arg("code"),
        "The English text of a result code.");
  m.def("version", &dkscr_version, "The library's version, \"major.minor.patch\".");
  m.attr("TYPE_AUTO") = DKSCR_TYPE_AUTO;
  m.attr("TYPE_PPT") = DKSCR_TYPE_PPT;
  m.attr("TYPE_PPTX") = DKSCR_TYPE_PPTX;
  m.attr("MODE_TEXT") = DKSCR_MODE_TEXT;
  m.attr("MODE_FULL") = DKSCR_MODE_FULL;
  m.attr("MODE_MARKDOWN") = DKSCR_MODE_MARKDOWN;
  m.attr("MODE_JSON") = DKSCR_MODE_JSON;
}
