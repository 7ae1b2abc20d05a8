#pragma once
// The archive file, read through an 8192-byte buffer.
#include <cstddef>
#include <cstdint>
#include <string>

namespace dkscr {

class TZipFileStream {
 public:
  static constexpr size_t kBufferSize = 8192;

  // Opens a regular file for reading; raises EZipOpenError otherwise.
  explicit TZipFileStream(const std::u16string& path);
  ~TZipFileStream();
  TZipFileStream(const TZipFileStream&) = delete;
  TZipFileStream& operator=(const TZipFileStream&) = delete;

  struct Identity {
    int64_t mtimeSec = 0;
    int64_t mtimeNsec = 0;
    uint64_t size = 0;
    uint64_t device = 0;
    uint64_t inode = 0;
  };
  // Last-write time, size and identity as the file is now.
  Identity Stat() const;

  uint64_t Size() const { return size_; }
  uint64_t Position() const { return pos_; }
  // Any position may be set; reads past the end return fewer bytes.
  void Seek(uint64_t position) { pos_ = position; }
  // Reads up to `count` bytes at the position and moves past them; fewer at the end.
  size_t Read(void* buffer, size_t count);

 private:
  size_t ReadAt(uint64_t position, uint8_t* buffer, size_t count);

  int fd_ = -1;
  uint64_t size_ = 0;
  uint64_t pos_ = 0;
  uint8_t buffer_[kBufferSize];
  uint64_t bufferStart_ = 0;
  size_t bufferLength_ = 0;
};

}  // namespace dkscr
