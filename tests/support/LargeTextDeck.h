#pragma once
// A .pptx whose complete text is large and honest (stored, not compressed, so within every
// bound): its conversion spends a while writing, long enough to be interrupted.
#include <cstdint>
#include <string>

#include "tests/support/ZipWriter.h"

namespace dkscr::test {

// `slides` slides of `bytes` letters each, stored.
inline std::string LargeTextPptx(int slides, size_t bytes) {
  ZipWriter zip;
  zip.Add("[Content_Types].xml", "<Types/>");
  for (int n = 1; n <= slides; ++n) {
    zip.Add(Entry("ppt/slides/slide" + std::to_string(n) + ".xml",
                  "<p:sld xmlns:a=\"a\" xmlns:p=\"p\"><p:cSld><p:spTree><p:sp><p:txBody><a:p><a:r><a:t>" +
                      std::string(bytes, static_cast<char>('a' + n % 26)) +
                      "</a:t></a:r></a:p></p:txBody></p:sp></p:spTree></p:cSld></p:sld>",
                  0));
  }
  return zip.Build();
}

}  // namespace dkscr::test
