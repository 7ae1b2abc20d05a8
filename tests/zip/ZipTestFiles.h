#pragma once
// Scratch folders (with a file's last-write time for the reader's cache), the ZIP writer, and
// a fixture holding one reader over an archive written to a scratch folder.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "openxml/KelUnZip.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/ZipWriter.h"

namespace dkscr::test {

// Writes the bytes as an archive, loads its directory and extracts entries by name.
class ArchiveFixture : public ::testing::Test {
 protected:
  void Open(std::string_view bytes, const std::string& name = "t.zip") {
    zip_.SetZipName(dir_.Put(name, bytes));
    zip_.LoadDirectory();
  }
  int Extract(std::string_view name) {
    stream_.clear();
    return zip_.ExtractToStream(stream_, name);
  }

  ScratchDir dir_;
  TKelUnZip zip_;
  std::string stream_;
};

}  // namespace dkscr::test
