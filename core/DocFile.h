#pragma once
// Compound documents as the presentation reader sees them: test a file, open its root
// storage read-only, open a stream of the root storage by name, read and seek. Failures never
// raise: they come back as none or -1, with the reason in LastError.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/ByteSource.h"
#include "core/CompoundFile.h"
#include "core/Stream.h"

namespace dkscr {

// The only access mode the readers use: read-only, exclusive sharing.
inline constexpr uint32_t kStgmReadShareExclusive = 0x10;

// Status codes of storage operations; the top bit marks a failure.
using StgStatus = uint32_t;
inline constexpr StgStatus kStgOk = 0;
inline constexpr StgStatus kStgInvalidFunction = 0x80030001;
inline constexpr StgStatus kStgFileNotFound = 0x80030002;
inline constexpr StgStatus kStgAccessDenied = 0x80030005;
inline constexpr StgStatus kStgReadFault = 0x8003001E;
inline constexpr StgStatus kStgInvalidParameter = 0x80030057;
inline constexpr StgStatus kStgInvalidHeader = 0x800300FB;

// The message text for a status code.
std::string StgStatusText(StgStatus status);

class TDocFileStream : public TStream {
 public:
  // Over a mapped stream of a compound file; "Stream is nil!" in LastError when file is none.
  TDocFileStream(std::shared_ptr<CompoundFile> file, CfbStreamMap map);

  void SetSize(int32_t newSize) override;
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int32_t Seek(int32_t offset, uint16_t origin) override;
  int64_t Seek64(int64_t offset, uint16_t origin) override;

  bool CheckResult(StgStatus status);
  std::string LastError;

  // A second reader of the same stream, at its start, with a position and cache of its own:
  // two places of one stream read in turn without either losing its cache.
  std::unique_ptr<TDocFileStream> Duplicate() const;

 private:
  bool LoadCache(uint64_t position);

  std::shared_ptr<CompoundFile> file_;
  std::shared_ptr<const CfbStreamMap> map_;  // shared with duplicates
  uint64_t position_ = 0;
  // Bytes of the stream from cacheStart_, read from the file a run of units at a time.
  std::unique_ptr<uint8_t[]> cache_;  // not zeroed: only its first cacheLength_ bytes are used
  size_t cacheCapacity_ = 0;
  size_t cacheLength_ = 0;
  uint64_t cacheStart_ = 0;
};

class TDocFileStorage {
 public:
  // "Storage is nil" in LastError when file is none.
  explicit TDocFileStorage(std::shared_ptr<CompoundFile> file);
  virtual ~TDocFileStorage() = default;
  TDocFileStorage(const TDocFileStorage&) = delete;
  TDocFileStorage& operator=(const TDocFileStorage&) = delete;

  // The named stream of this storage (not of a sub-storage), or none with LastError set.
  std::unique_ptr<TDocFileStream> OpenStream(std::u16string_view name, uint32_t mode);
  bool CheckResult(StgStatus status);
  std::string LastError;

 private:
  std::shared_ptr<CompoundFile> file_;
};

// The root storage of the compound document the source holds, its structure read once; none,
// with the parser's reason in `error`, when the source is no sound compound document.
std::unique_ptr<TDocFileStorage> OpenDocSource(std::unique_ptr<ByteSource> source, std::string& error);
// Whether the compound document is a password-protected Open XML package: it holds the
// encrypted package in place of any content of its own.
bool HoldsEncryptedPackage(TDocFileStorage& storage);
// What a failed open of the file (an errno code) means for the checks below: -2 or -5.
int32_t FileOpenErrorToCheck(int error);

// 0 for a compound document, -2 when the file does not exist, -5 otherwise.
int32_t CheckDocFile(const std::u16string& path);
// The root storage, or none when the file cannot be opened as a compound document.
std::unique_ptr<TDocFileStorage> OpenDocFile(const std::u16string& path, uint32_t mode);

// The same on a file image in memory, which must outlive every object opened from it.
int32_t CheckDocImage(std::string_view image);
std::unique_ptr<TDocFileStorage> OpenDocImage(std::string_view image, uint32_t mode);

}  // namespace dkscr
