#pragma once
// The bytes of one presentation, from a regular file or from a block of memory: the one
// source under the compound-document reader and the ZIP reader.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace dkscr {

// Bytes from elsewhere: a caller's own storage, or a test that watches what is read.
class ByteReader {
 public:
  virtual ~ByteReader() = default;
  virtual uint64_t Size() const = 0;
  // Up to `count` bytes at `offset`; fewer at the end.
  virtual size_t ReadAt(uint64_t offset, void* buffer, size_t count) = 0;
};

class ByteSource {
 public:
  // Bytes read from a file at a time; the ZIP reader reads its records in small pieces.
  static constexpr size_t kBufferSize = 8192;

  // A regular file opened read-only without waiting on it (a FIFO or device never blocks the
  // open and is refused). None with an errno code in `error` when it cannot be had; a file
  // that is not regular gives EISDIR for a folder and EINVAL otherwise.
  static std::unique_ptr<ByteSource> OpenFile(const std::string& nativePath, int& error);
  // A view of bytes that the caller keeps alive for the source's whole life.
  static std::unique_ptr<ByteSource> OfMemory(std::string_view bytes);
  static std::unique_ptr<ByteSource> OfReader(std::unique_ptr<ByteReader> reader);
  // A second reader of `source`, with a position of its own; `source` must outlive it.
  static std::unique_ptr<ByteSource> Borrow(ByteSource& source);

  ~ByteSource();
  ByteSource(const ByteSource&) = delete;
  ByteSource& operator=(const ByteSource&) = delete;

  // What tells a file's version apart: last-write time, size and identity. A memory block
  // has only its size (and its address as identity).
  struct Identity {
    int64_t mtimeSec = 0;
    int64_t mtimeNsec = 0;
    uint64_t size = 0;
    uint64_t device = 0;
    uint64_t inode = 0;
  };
  Identity Stat() const;

  uint64_t Size() const { return size_; }
  uint64_t Position() const { return pos_; }
  // Any position may be set; reads past the end return fewer bytes.
  void Seek(uint64_t position) { pos_ = position; }
  // Reads up to `count` bytes at the position and moves past them; fewer at the end.
  size_t Read(void* buffer, size_t count);
  // Reads at an offset without moving the position.
  size_t ReadAt(uint64_t offset, void* buffer, size_t count);

 private:
  ByteSource() = default;
  size_t ReadFileAt(uint64_t position, uint8_t* buffer, size_t count);

  int fd_ = -1;
  const uint8_t* memory_ = nullptr;
  std::unique_ptr<ByteReader> reader_;
  ByteSource* borrowed_ = nullptr;
  uint64_t size_ = 0;
  uint64_t pos_ = 0;
  std::unique_ptr<uint8_t[]> buffer_;
  uint64_t bufferStart_ = 0;
  size_t bufferLength_ = 0;
};

}  // namespace dkscr
