#include "core/Stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace dkscr {

int64_t TStream::GetSize() {
  const int64_t position = Seek64(0, kSeekFromCurrent);
  if (position < 0) return -1;
  const int64_t size = Seek64(0, kSeekFromEnd);
  Seek64(position, kSeekFromStart);
  return size;
}

void TStream::SetSize(int32_t newSize) { SetSize64(newSize); }

void TStream::SetSize64(int64_t) {}

int32_t TStream::Seek(int32_t offset, uint16_t origin) {
  const int64_t position = Seek64(offset, origin);
  return position < 0 ? -1 : static_cast<int32_t>(static_cast<uint32_t>(position));
}

namespace {

// The position a seek asks for, or -1 when it lies before the start or overflows.
int64_t TargetPosition(int64_t offset, uint16_t origin, int64_t current, int64_t size) {
  int64_t base;
  switch (origin) {
    case kSeekFromStart: base = 0; break;
    case kSeekFromCurrent: base = current; break;
    case kSeekFromEnd: base = size; break;
    default: return -1;
  }
  int64_t target;
  if (__builtin_add_overflow(base, offset, &target) || target < 0) return -1;
  return target;
}

}  // namespace

int32_t TMemoryStream::Read(void* buffer, int32_t count) {
  if (count < 0) return -1;
  const int64_t size = static_cast<int64_t>(bytes_.size());
  if (position_ >= size || count == 0) return 0;
  const int64_t n = std::min<int64_t>(count, size - position_);
  std::memcpy(buffer, bytes_.data() + position_, static_cast<size_t>(n));
  position_ += n;
  return static_cast<int32_t>(n);
}

int32_t TMemoryStream::Write(const void*, int32_t) { return -1; }

int64_t TMemoryStream::Seek64(int64_t offset, uint16_t origin) {
  const int64_t target = TargetPosition(offset, origin, position_, static_cast<int64_t>(bytes_.size()));
  if (target >= 0) position_ = target;
  return target;
}

TFileStream::TFileStream(const std::string& nativePath) {
  // Non-blocking, so that a FIFO fails the regular-file check below instead of hanging here.
  fd_ = ::open(nativePath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) {
    openError_ = errno;
    return;
  }
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    openError_ = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    ::close(fd_);
    fd_ = -1;
    return;
  }
  size_ = static_cast<int64_t>(st.st_size);
}

TFileStream::~TFileStream() {
  if (fd_ >= 0) ::close(fd_);
}

int32_t TFileStream::Read(void* buffer, int32_t count) {
  if (fd_ < 0 || count < 0) return -1;
  int32_t done = 0;
  while (done < count) {
    const ssize_t n = ::pread(fd_, static_cast<char*>(buffer) + done, static_cast<size_t>(count - done),
                              static_cast<off_t>(position_));
    if (n < 0) {
      if (errno == EINTR) continue;
      return done > 0 ? done : -1;
    }
    if (n == 0) break;
    done += static_cast<int32_t>(n);
    position_ += n;
  }
  return done;
}

int32_t TFileStream::Write(const void*, int32_t) { return -1; }

int64_t TFileStream::Seek64(int64_t offset, uint16_t origin) {
  if (fd_ < 0) return -1;
  const int64_t target = TargetPosition(offset, origin, position_, size_);
  if (target >= 0) position_ = target;
  return target;
}

}  // namespace dkscr
