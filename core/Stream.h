#pragma once
// The general stream class the readers use wherever a stream is expected, and the two plain
// sources of bytes below the compound-document reader: a file and a block of memory.
#include <cstdint>
#include <string>
#include <string_view>

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

// A read-only view of bytes the caller keeps alive for the stream's whole life.
class TMemoryStream : public TStream {
 public:
  explicit TMemoryStream(std::string_view bytes) : bytes_(bytes) {}
  int64_t GetSize() override { return static_cast<int64_t>(bytes_.size()); }
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek64(int64_t offset, uint16_t origin) override;

 private:
  std::string_view bytes_;
  int64_t position_ = 0;
};

// A regular file opened read-only. Reads go straight to the file at the stream's position.
class TFileStream : public TStream {
 public:
  // errno-style code of the failed open, 0 when the file is open.
  explicit TFileStream(const std::string& nativePath);
  ~TFileStream() override;
  int OpenError() const { return openError_; }
  int64_t GetSize() override { return size_; }
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek64(int64_t offset, uint16_t origin) override;

 private:
  int fd_ = -1;
  int openError_ = 0;
  int64_t size_ = 0;
  int64_t position_ = 0;
};

}  // namespace dkscr
