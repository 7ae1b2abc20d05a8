#pragma once
// Record headers of the binary presentation format and the record types the reader knows.
#include <cstdint>

#include "cfb/CfbStream.h"
#include "platform/LittleEndian.h"

namespace dkscr {

struct RecordHeader {
  uint16_t recVer = 0;
  uint16_t recInstance = 0;
  uint16_t recType = 0;
  uint32_t recLen = 0;
  bool IsContainer() const { return recVer == 0x0F; }
};

// Reads 8 bytes and decodes them; returns the bytes delivered (8 when complete). With fewer
// the header holds zeros and must not be used.
size_t ReadRecordHeader(CfbStream& stream, RecordHeader& header);

namespace ppt {
inline constexpr uint16_t kSlide = 0x03EE;
inline constexpr uint16_t kNotes = 0x03F0;
inline constexpr uint16_t kSlidePersistAtom = 0x03F3;
inline constexpr uint16_t kOutlineTextRefAtom = 0x0F9E;
inline constexpr uint16_t kTextHeaderAtom = 0x0F9F;
inline constexpr uint16_t kTextCharsAtom = 0x0FA0;
inline constexpr uint16_t kTextBytesAtom = 0x0FA8;
inline constexpr uint16_t kSlideListWithText = 0x0FF0;
inline constexpr uint16_t kUserEditAtom = 0x0FF5;
inline constexpr uint16_t kMasterListInstance = 1;
inline constexpr uint32_t kUserEditLength = 28;
inline constexpr uint32_t kSlidePersistLength = 20;
inline constexpr uint32_t kTokenPlain = 0xE391C05F;
inline constexpr uint32_t kTokenEncrypted = 0xF3D1C4DF;
}  // namespace ppt

}  // namespace dkscr
