#include "ppt/PptRecords.h"

namespace dkscr {

size_t ReadRecordHeader(CfbStream& stream, RecordHeader& header) {
  uint8_t b[8];
  const size_t n = stream.Read(b, 8);
  if (n != 8) {
    header = RecordHeader();
    return n;
  }
  header.recVer = b[0] & 0x0F;
  header.recInstance = static_cast<uint16_t>((b[0] >> 4) + b[1] * 16);
  header.recType = static_cast<uint16_t>(b[2] | (b[3] << 8));
  header.recLen = LoadLe32(b + 4);
  return 8;
}

}  // namespace dkscr
