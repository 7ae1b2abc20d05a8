#pragma once
// The general stream class the readers use wherever a stream is expected.
#include <cstdint>

namespace dkscr {

inline constexpr uint16_t kSeekFromStart = 0;
inline constexpr uint16_t kSeekFromCurrent = 1;
inline constexpr uint16_t kSeekFromEnd = 2;

class TStream {
 public:
  virtual ~TStream() = default;
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;

  // Measures the stream by seeking to its end and back; -1 when the stream cannot seek.
  virtual int64_t GetSize();
  virtual void SetSize(int32_t newSize);
  virtual void SetSize64(int64_t newSize);
  // Bytes delivered (fewer at the end, 0 beyond it), or -1 on failure.
  virtual int32_t Read(void* buffer, int32_t count) = 0;
  virtual int32_t Write(const void* buffer, int32_t count) = 0;
  // The new position (its low 32 bits), or -1; a position before the start is refused.
  virtual int32_t Seek(int32_t offset, uint16_t origin);
  virtual int64_t Seek64(int64_t offset, uint16_t origin) = 0;
};

}  // namespace dkscr
