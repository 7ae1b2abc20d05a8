// Shows the output encodings of the conversion core on a short sample text.
#include <clocale>
#include <cstdio>
#include <string>

#include "core/KelCvtBase.h"

int main() {
  std::setlocale(LC_ALL, "");
  const std::u16string text = u"Deckscribe\rcaf\u00e9 \u20ac 5\n\u65e5\u672c\u8a9e\r\n";
  dkscr::OutputBuffer buffer;
  for (int32_t codePage : {dkscr::DefaultCodePage(), 1252, 932, 65001, 1200}) {
    const dkscr::ResultCode length = dkscr::EncodeWideText(text, codePage, buffer);
    std::printf("code page %5d: %3d bytes:", codePage, length);
    for (int i = 0; i < length; ++i) std::printf(" %02X", buffer.Data()[i]);
    std::printf("\n");
  }
  return 0;
}
