#include "core/DocFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include "core/NativePath.h"

namespace dkscr {
namespace {

// Largest run of consecutive units read from the file in one go.
constexpr uint64_t kCacheBytes = 32 * 1024;

bool Failed(StgStatus status) { return (status & 0x80000000u) != 0; }

// Only read access is offered: any request to write or create is refused.
bool ReadOnlyMode(uint32_t mode) { return (mode & 0x3u) == 0 && (mode & 0x1000u) == 0; }

int32_t CheckSource(std::unique_ptr<ByteSource> source) {
  std::string error;
  return CompoundFile::Open(std::move(source), error) ? 0 : -5;
}

}  // namespace

std::string StgStatusText(StgStatus status) {
  switch (status) {
    case kStgOk: return {};
    case kStgInvalidFunction: return "Unable to perform requested operation.";
    case kStgFileNotFound: return "The stream could not be found.";
    case kStgAccessDenied: return "Access Denied.";
    case kStgReadFault: return "A disk error occurred during a read operation.";
    case kStgInvalidParameter: return "The parameter is incorrect.";
    case kStgInvalidHeader: return "The compound file was not valid.";
    default: return "Unknown storage error.";
  }
}

// --- TDocFileStream ---

TDocFileStream::TDocFileStream(std::shared_ptr<CompoundFile> file, CfbStreamMap map)
    : file_(std::move(file)), map_(std::make_shared<const CfbStreamMap>(std::move(map))) {
  if (!file_) LastError = "Stream is nil!";
}

std::unique_ptr<TDocFileStream> TDocFileStream::Duplicate() const {
  auto copy = std::make_unique<TDocFileStream>(file_, CfbStreamMap());
  copy->map_ = map_;
  return copy;
}

bool TDocFileStream::CheckResult(StgStatus status) {
  if (!Failed(status)) return true;
  LastError = StgStatusText(status);
  return false;
}

void TDocFileStream::SetSize(int32_t) {
  if (!file_) {
    LastError = "Stream is nil";
    return;
  }
  LastError.clear();
  CheckResult(kStgAccessDenied);  // opened read-only
}

int32_t TDocFileStream::Write(const void*, int32_t) {
  if (!file_) {
    LastError = "Stream is nil";
    return -1;
  }
  LastError.clear();
  CheckResult(kStgAccessDenied);
  return -1;
}

int64_t TDocFileStream::Seek64(int64_t offset, uint16_t origin) {
  if (!file_) {
    LastError = "Stream is nil";
    return -1;
  }
  LastError.clear();
  int64_t base = 0;
  switch (origin) {
    case kSeekFromStart: break;
    case kSeekFromCurrent: base = static_cast<int64_t>(position_); break;
    case kSeekFromEnd: base = static_cast<int64_t>(map_->size); break;
    default: CheckResult(kStgInvalidFunction); return -1;
  }
  int64_t target;
  if (__builtin_add_overflow(base, offset, &target) || target < 0) {
    CheckResult(kStgInvalidFunction);
    return -1;
  }
  position_ = static_cast<uint64_t>(target);
  return target;
}

int32_t TDocFileStream::Seek(int32_t offset, uint16_t origin) {
  const int64_t position = Seek64(offset, origin);
  return position < 0 ? -1 : static_cast<int32_t>(static_cast<uint32_t>(position));
}

bool TDocFileStream::LoadCache(uint64_t position) {
  const uint64_t unit = map_->unitSize;
  const size_t first = static_cast<size_t>(position / unit);
  // Units that follow each other in the file are read together.
  size_t last = first + 1;
  const size_t maxUnits = static_cast<size_t>(std::max<uint64_t>(1, kCacheBytes / unit));
  while (last < map_->unitOffsets.size() && last - first < maxUnits &&
         map_->unitOffsets[last] == map_->unitOffsets[first] + (last - first) * unit) {
    ++last;
  }
  const uint64_t start = first * unit;
  const size_t bytes = static_cast<size_t>(std::min<uint64_t>((last - first) * unit, map_->size - start));
  if (bytes > cacheCapacity_) {
    cache_ = std::make_unique_for_overwrite<uint8_t[]>(bytes);
    cacheCapacity_ = bytes;
  }
  cacheStart_ = start;
  cacheLength_ = file_->ReadAt(map_->unitOffsets[first], cache_.get(), bytes) == bytes ? bytes : 0;
  return cacheLength_ > 0;
}

int32_t TDocFileStream::Read(void* buffer, int32_t count) {
  if (!file_) {
    LastError = "Stream is nil";
    return -1;
  }
  LastError.clear();
  if (count < 0) {
    CheckResult(kStgInvalidParameter);
    return -1;
  }
  if (position_ >= map_->size) return 0;
  const uint64_t wanted = std::min<uint64_t>(static_cast<uint64_t>(count), map_->size - position_);
  uint64_t done = 0;
  auto* out = static_cast<uint8_t*>(buffer);
  while (done < wanted) {
    if (position_ < cacheStart_ || position_ >= cacheStart_ + cacheLength_) {
      if (!LoadCache(position_)) {
        if (done > 0) break;
        CheckResult(kStgReadFault);
        return -1;
      }
    }
    const uint64_t inCache = cacheStart_ + cacheLength_ - position_;
    const uint64_t n = std::min<uint64_t>(inCache, wanted - done);
    std::memcpy(out + done, cache_.get() + (position_ - cacheStart_), static_cast<size_t>(n));
    done += n;
    position_ += n;
  }
  return static_cast<int32_t>(done);
}

// --- TDocFileStorage ---

TDocFileStorage::TDocFileStorage(std::shared_ptr<CompoundFile> file) : file_(std::move(file)) {
  if (!file_) LastError = "Storage is nil";
}

bool TDocFileStorage::CheckResult(StgStatus status) {
  if (!Failed(status)) return true;
  LastError = StgStatusText(status);
  return false;
}

std::unique_ptr<TDocFileStream> TDocFileStorage::OpenStream(std::u16string_view name, uint32_t mode) {
  if (!file_) {
    LastError = "Storage is nil";
    return nullptr;
  }
  LastError.clear();
  CfbStreamMap map;
  StgStatus status = kStgOk;
  if (!ReadOnlyMode(mode)) {
    status = kStgAccessDenied;
  } else if (!file_->MapRootStream(name, map)) {
    status = kStgFileNotFound;
  }
  if (!CheckResult(status)) return nullptr;
  return std::make_unique<TDocFileStream>(file_, std::move(map));
}

// --- Opening ---

std::unique_ptr<TDocFileStorage> OpenDocSource(std::unique_ptr<ByteSource> source, std::string& error) {
  std::shared_ptr<CompoundFile> file = CompoundFile::Open(std::move(source), error);
  if (!file) return nullptr;
  return std::make_unique<TDocFileStorage>(std::move(file));
}

bool HoldsEncryptedPackage(TDocFileStorage& storage) {
  return storage.OpenStream(u"EncryptedPackage", kStgmReadShareExclusive) != nullptr;
}

int32_t FileOpenErrorToCheck(int error) { return (error == ENOENT || error == ENOTDIR) ? -2 : -5; }

int32_t CheckDocFile(const std::u16string& path) {
  int openError = 0;
  auto source = ByteSource::OpenFile(PathToNative(path), openError);
  if (!source) return FileOpenErrorToCheck(openError);
  return CheckSource(std::move(source));
}

std::unique_ptr<TDocFileStorage> OpenDocFile(const std::u16string& path, uint32_t mode) {
  if (!ReadOnlyMode(mode)) return nullptr;
  int openError = 0;
  auto source = ByteSource::OpenFile(PathToNative(path), openError);
  if (!source) return nullptr;
  std::string error;
  return OpenDocSource(std::move(source), error);
}

int32_t CheckDocImage(std::string_view image) { return CheckSource(ByteSource::OfMemory(image)); }

std::unique_ptr<TDocFileStorage> OpenDocImage(std::string_view image, uint32_t mode) {
  if (!ReadOnlyMode(mode)) return nullptr;
  std::string error;
  return OpenDocSource(ByteSource::OfMemory(image), error);
}

}  // namespace dkscr
