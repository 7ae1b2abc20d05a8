#include "platform/ByteSource.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/RegularFile.h"

namespace dkscr {

std::unique_ptr<ByteSource> ByteSource::OpenFile(const std::string& nativePath, int& error) {
  error = 0;
  uint64_t size = 0;
  const int fd = OpenRegularFileForReading(nativePath, size);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  std::unique_ptr<ByteSource> source(new ByteSource);
  source->fd_ = fd;
  source->size_ = size;
  source->buffer_ = std::make_unique_for_overwrite<uint8_t[]>(kBufferSize);  // pages touched only when used
  return source;
}

std::unique_ptr<ByteSource> ByteSource::OfMemory(std::string_view bytes) {
  std::unique_ptr<ByteSource> source(new ByteSource);
  source->memory_ = reinterpret_cast<const uint8_t*>(bytes.data());
  source->size_ = bytes.size();
  return source;
}

std::unique_ptr<ByteSource> ByteSource::OfReader(std::unique_ptr<ByteReader> reader) {
  std::unique_ptr<ByteSource> source(new ByteSource);
  source->size_ = reader->Size();
  source->reader_ = std::move(reader);
  source->buffer_ = std::make_unique_for_overwrite<uint8_t[]>(kBufferSize);
  return source;
}

std::unique_ptr<ByteSource> ByteSource::Borrow(ByteSource& source) {
  std::unique_ptr<ByteSource> borrowed(new ByteSource);
  borrowed->borrowed_ = &source;
  borrowed->size_ = source.size_;
  // Bytes in memory need no buffer of their own; file reads are buffered as the source's are.
  if (source.buffer_) borrowed->buffer_ = std::make_unique_for_overwrite<uint8_t[]>(kBufferSize);
  return borrowed;
}

ByteSource::~ByteSource() {
  if (fd_ >= 0) ::close(fd_);
}

ByteSource::Identity ByteSource::Stat() const {
  if (borrowed_ != nullptr) return borrowed_->Stat();
  Identity id;
  if (fd_ < 0) {
    id.size = size_;
    id.inode = reinterpret_cast<uintptr_t>(memory_);
    return id;
  }
  const FileStatus status = StatusOfOpenFile(fd_);
  id.mtimeSec = status.mtimeSec;
  id.mtimeNsec = status.mtimeNsec;
  id.size = status.size;
  id.device = status.device;
  id.inode = status.inode;
  return id;
}

size_t ByteSource::ReadFileAt(uint64_t position, uint8_t* buffer, size_t count) {
  if (borrowed_ != nullptr) return borrowed_->ReadAt(position, buffer, count);
  if (reader_) return reader_->ReadAt(position, buffer, count);
  return dkscr::ReadFileAt(fd_, position, buffer, count);
}

size_t ByteSource::ReadAt(uint64_t offset, void* buffer, size_t count) {
  if (fd_ >= 0 || borrowed_ != nullptr || reader_) return ReadFileAt(offset, static_cast<uint8_t*>(buffer), count);
  if (offset >= size_) return 0;
  const size_t n = static_cast<size_t>(std::min<uint64_t>(count, size_ - offset));
  if (n > 0) std::memcpy(buffer, memory_ + offset, n);
  return n;
}

size_t ByteSource::Read(void* buffer, size_t count) {
  if (!buffer_) {
    const size_t n = ReadAt(pos_, buffer, count);
    pos_ += n;
    return n;
  }
  uint8_t* dst = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < count) {
    if (pos_ >= bufferStart_ && pos_ < bufferStart_ + bufferLength_) {
      const size_t offset = static_cast<size_t>(pos_ - bufferStart_);
      const size_t n = std::min(count - done, bufferLength_ - offset);
      std::memcpy(dst + done, buffer_.get() + offset, n);
      done += n;
      pos_ += n;
      continue;
    }
    if (count - done >= kBufferSize) {  // large reads bypass the buffer
      const size_t got = ReadFileAt(pos_, dst + done, count - done);
      done += got;
      pos_ += got;
      break;
    }
    bufferStart_ = pos_;
    bufferLength_ = ReadFileAt(pos_, buffer_.get(), kBufferSize);
    if (bufferLength_ == 0) break;
  }
  return done;
}

}  // namespace dkscr
