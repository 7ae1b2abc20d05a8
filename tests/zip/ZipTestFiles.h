#pragma once
// Scratch folders, the ZIP writer, and a fixture holding one reader over an archive written to
// a scratch folder and opened as the conversions open their sources.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "tests/support/ScratchDir.h"
#include "tests/support/ZipWriter.h"
#include "zip/ZipReader.h"

namespace dkscr::test {

// Writes the bytes as an archive, loads its directory and extracts entries by name.
class ArchiveFixture : public ::testing::Test {
 protected:
  // A name ending in ".exe" is a self-extracting archive.
  void Open(std::string_view bytes, const std::string& name = "t.zip") {
    OpenUnloaded(bytes, name);
    zip_->LoadDirectory();
  }
  void OpenUnloaded(std::string_view bytes, const std::string& name = "t.zip") {
    zip_.reset();
    int error = 0;
    source_ = ByteSource::OpenFile(dir_.Write(name, bytes), error);
    if (!source_) throw std::runtime_error("cannot open the archive written");
    zip_ = std::make_unique<ZipReader>(*source_, name.ends_with(".exe") || name.ends_with(".EXE"));
  }
  int Extract(std::string_view name) {
    stream_.clear();
    return zip_->ExtractToStream(stream_, name);
  }

  ScratchDir dir_;
  std::unique_ptr<ByteSource> source_;
  std::unique_ptr<ZipReader> zip_;
  std::string stream_;
};

}  // namespace dkscr::test
