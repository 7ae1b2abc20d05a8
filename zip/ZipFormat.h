#pragma once
// The numbers of the ZIP format (the APPNOTE): record signatures and sizes, flags, methods.
#include <cstddef>
#include <cstdint>

namespace dkscr {

inline constexpr uint32_t kZipLocalHeaderSignature = 0x04034b50;
inline constexpr uint32_t kZipCentralHeaderSignature = 0x02014b50;
inline constexpr uint32_t kZipEndRecordSignature = 0x06054b50;
inline constexpr uint32_t kZip64EndRecordSignature = 0x06064b50;
inline constexpr uint32_t kZip64LocatorSignature = 0x07064b50;
inline constexpr size_t kZipLocalHeaderSize = 30;
inline constexpr size_t kZipCentralHeaderSize = 46;
inline constexpr size_t kZipEndRecordSize = 22;
inline constexpr size_t kZip64EndRecordSize = 56;
inline constexpr size_t kZip64LocatorSize = 20;
// Extra field holding the 64-bit values of fields stored as all ones.
inline constexpr uint16_t kZip64ExtraId = 0x0001;

inline constexpr uint16_t kZipFlagEncrypted = 0x0001;
inline constexpr uint16_t kZipFlagDataDescriptor = 0x0008;
inline constexpr uint16_t kZipFlagUtf8Name = 0x0800;

inline constexpr uint16_t kZipMethodStored = 0;
inline constexpr uint16_t kZipMethodDeflated = 8;

}  // namespace dkscr
