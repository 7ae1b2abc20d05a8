#include "openxml/ZipFileStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/NativePath.h"
#include "openxml/ZipErrors.h"

namespace dkscr {

TZipFileStream::TZipFileStream(const std::u16string& path) {
  const std::string native = PathToNative(path);
  // Non-blocking, so that a FIFO fails the regular-file check below instead of hanging here.
  fd_ = ::open(native.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) {
    throw EZipOpenError("Cannot open file \"" + native + "\". " + std::strerror(errno));
  }
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    throw EZipOpenError("Cannot open file \"" + native + "\". Not a regular file");
  }
  size_ = static_cast<uint64_t>(st.st_size);
}

TZipFileStream::~TZipFileStream() {
  if (fd_ >= 0) ::close(fd_);
}

TZipFileStream::Identity TZipFileStream::Stat() const {
  struct stat st {};
  Identity id;
  if (::fstat(fd_, &st) == 0) {
    id.mtimeSec = st.st_mtim.tv_sec;
    id.mtimeNsec = st.st_mtim.tv_nsec;
    id.size = static_cast<uint64_t>(st.st_size);
    id.device = st.st_dev;
    id.inode = st.st_ino;
  }
  return id;
}

size_t TZipFileStream::ReadAt(uint64_t position, uint8_t* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    const ssize_t got = ::pread(fd_, buffer + done, count - done,
                                static_cast<off_t>(position + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

size_t TZipFileStream::Read(void* buffer, size_t count) {
  uint8_t* dst = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < count) {
    if (pos_ >= bufferStart_ && pos_ < bufferStart_ + bufferLength_) {
      const size_t offset = static_cast<size_t>(pos_ - bufferStart_);
      const size_t n = std::min(count - done, bufferLength_ - offset);
      std::memcpy(dst + done, buffer_ + offset, n);
      done += n;
      pos_ += n;
      continue;
    }
    if (count - done >= kBufferSize) {  // large reads bypass the buffer
      const size_t got = ReadAt(pos_, dst + done, count - done);
      done += got;
      pos_ += got;
      break;
    }
    bufferStart_ = pos_;
    bufferLength_ = ReadAt(pos_, buffer_, kBufferSize);
    if (bufferLength_ == 0) break;
  }
  return done;
}

}  // namespace dkscr
