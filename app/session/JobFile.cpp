#include "app/session/JobFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <memory>

#include "app/session/AtomicFile.h"
#include "text/CodePage.h"
#include "text/Encode.h"
#include "platform/NativePath.h"
#include "platform/Utf.h"

namespace dkscr {
namespace {

constexpr std::string_view kTagWide = "LFW";
constexpr std::string_view kTagAnsi = "LVF";

// Where the loader takes its bytes from: memory or a file read piece by piece, so memory
// grows only with what the file really holds.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads exactly n bytes into out; false when the input ends first.
  virtual bool Read(size_t n, std::string& out) = 0;
  bool ReadU16(uint16_t& value) {
    if (!Read(2, scratch_)) return false;
    value = static_cast<uint16_t>(Byte(0) | (Byte(1) << 8));
    return true;
  }
  bool ReadI32(int32_t& value) {
    if (!Read(4, scratch_)) return false;
    value = static_cast<int32_t>(Byte(0) | (Byte(1) << 8) | (Byte(2) << 16) | (Byte(3) << 24));
    return true;
  }

 private:
  uint32_t Byte(size_t i) const { return static_cast<uint8_t>(scratch_[i]); }
  std::string scratch_;
};

class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes) : rest_(bytes) {}
  bool Read(size_t n, std::string& out) override {
    if (n > rest_.size()) return false;
    out.assign(rest_.substr(0, n));
    rest_.remove_prefix(n);
    return true;
  }

 private:
  std::string_view rest_;
};

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

class FileSource : public ByteSource {
 public:
  explicit FileSource(std::FILE* file) : file_(file) {}
  bool Read(size_t n, std::string& out) override {
    out.resize(n);
    return std::fread(out.data(), 1, n, file_) == n;
  }

 private:
  std::FILE* file_;
};

std::u16string DecodeAnsiText(std::string_view bytes) {
  bytes = bytes.substr(0, bytes.find('\0'));
  const int32_t codePage = DefaultCodePage();
  // Names in a UTF-8 system may hold bytes that are not UTF-8; keep them, as paths do.
  if (codePage == kCodePageUtf8) return PathFromNative(bytes);
  return CodePageToWide(codePage, bytes);
}

bool ReadText(ByteSource& in, bool ansi, std::string& raw, std::u16string& text) {
  uint16_t length = 0;
  if (!in.ReadU16(length) || !in.Read(length, raw)) return false;
  text = ansi ? DecodeAnsiText(raw) : BytesToWide(raw);
  return true;
}

// Steps 5 to 7 of loading, after the tag: the count, then the records.
JobFileLoadResult ReadEntries(ByteSource& in, bool ansi, std::vector<JobRecord>& records) {
  records.clear();
  JobFileLoadResult result;
  result.status = JobFileLoadStatus::Damaged;
  uint16_t count = 0;
  if (!in.ReadU16(count)) return result;
  std::string raw;
  for (uint16_t i = 0; i < count; ++i) {
    JobRecord record;
    uint16_t texts = 0;
    if (!in.ReadU16(texts) || !in.ReadI32(record.state) ||
        !ReadText(in, ansi, raw, record.caption)) {
      return result;
    }
    for (uint16_t t = 0; t < texts; ++t) {
      std::u16string text;
      if (!ReadText(in, ansi, raw, text)) return result;
      record.texts.push_back(std::move(text));
    }
    records.push_back(std::move(record));
    result.records = records.size();
  }
  result.status = JobFileLoadStatus::Loaded;
  return result;
}

void AppendU16(std::string& out, size_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void AppendText(std::string& out, std::u16string_view text, size_t& cut) {
  if (text.size() > kMaxJobTextUnits) {
    size_t keep = kMaxJobTextUnits;
    if (IsHighSurrogate(text[keep - 1]) && IsLowSurrogate(text[keep])) --keep;
    text = text.substr(0, keep);
    ++cut;
  }
  AppendU16(out, text.size() * 2);
  for (char16_t u : text) AppendU16(out, u);
}

FilePtr OpenForReading(const std::u16string& path, int& err) {
#ifdef _WIN32
  FilePtr file(::_wfopen(std::wstring(path.begin(), path.end()).c_str(), L"rb"));
#else
  FilePtr file(std::fopen(PathToNative(path).c_str(), "rbe"));
#endif
  err = file ? 0 : errno;
  return file;
}

}  // namespace

std::string SerializeJobFile(const std::vector<JobRecord>& records, JobFileSaveResult* result) {
  JobFileSaveResult local;
  JobFileSaveResult& r = result != nullptr ? *result : local;
  r = {};
  const size_t count = std::min(records.size(), kMaxJobEntries);
  r.droppedRecords = records.size() - count;
  std::string out(kTagWide);
  AppendU16(out, count);
  for (size_t i = 0; i < count; ++i) {
    const JobRecord& record = records[i];
    const size_t texts = std::min(record.texts.size(), kMaxJobTexts);
    r.cutTexts += record.texts.size() - texts;
    AppendU16(out, texts);
    const auto state = static_cast<uint32_t>(record.state);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>(state >> shift));
    AppendText(out, record.caption, r.cutTexts);
    for (size_t t = 0; t < texts; ++t) AppendText(out, record.texts[t], r.cutTexts);
  }
  return out;
}

JobFileLoadResult ParseJobFile(std::string_view bytes, std::vector<JobRecord>& records) {
  const std::string_view tag = bytes.substr(0, 3);
  if (tag != kTagWide && tag != kTagAnsi) return {JobFileLoadStatus::UnknownTag, records.size()};
  MemorySource in(bytes.substr(3));
  return ReadEntries(in, tag == kTagAnsi, records);
}

JobFileSaveResult SaveJobFile(const std::vector<JobRecord>& records, const std::u16string& path) {
  JobFileSaveResult result;
  const std::string bytes = SerializeJobFile(records, &result);
  result.error = ReplaceFileAtomically(PathToNative(path), bytes);
  return result;
}

JobFileLoadResult LoadJobFile(std::vector<JobRecord>& records, const std::u16string& path) {
  int err = 0;
  FilePtr file = OpenForReading(path, err);
  // No file, or no folder for it (a file stands where the folder should be): nothing to load.
  if (!file) {
    return {err == ENOENT || err == ENOTDIR ? JobFileLoadStatus::Missing : JobFileLoadStatus::ReadError,
            records.size()};
  }
  std::string tag;
  FileSource in(file.get());
  if (!in.Read(3, tag) || (tag != kTagWide && tag != kTagAnsi)) {
    const bool failed = std::ferror(file.get()) != 0;
    return {failed ? JobFileLoadStatus::ReadError : JobFileLoadStatus::UnknownTag,
            records.size()};
  }
  if (tag == kTagAnsi) {
    file.reset();
    return LoadJobFileAnsi(records, path);
  }
  return ReadEntries(in, false, records);
}

bool LeftUnreadFile(JobFileLoadStatus status) {
  return status == JobFileLoadStatus::Damaged || status == JobFileLoadStatus::UnknownTag ||
         status == JobFileLoadStatus::ReadError;
}

std::u16string KeepAsBackup(const std::u16string& path, int& error) {
  const std::string native = PathToNative(path);
  for (int n = 1; n < 1000; ++n) {
    const std::string suffix = n == 1 ? ".bak" : ".bak" + std::to_string(n);
    const std::string backup = native + suffix;
#ifdef _WIN32
    struct _stat64 st {};
    if (::_wstat64(WidePath(backup).c_str(), &st) == 0) continue;  // an earlier backup stays
    if (errno != ENOENT) break;
    if (::_wrename(WidePath(native).c_str(), WidePath(backup).c_str()) != 0) break;
#else
    struct stat st {};
    if (::lstat(backup.c_str(), &st) == 0) continue;  // an earlier backup stays
    if (errno != ENOENT) break;
    if (::rename(native.c_str(), backup.c_str()) != 0) break;
#endif
    error = 0;
    return PathFromNative(backup);
  }
  error = errno != 0 ? errno : EEXIST;
  return {};
}

JobFileLoadResult LoadJobFileAnsi(std::vector<JobRecord>& records, const std::u16string& path) {
  int err = 0;
  FilePtr file = OpenForReading(path, err);
  // No file, or no folder for it (a file stands where the folder should be): nothing to load.
  if (!file) {
    return {err == ENOENT || err == ENOTDIR ? JobFileLoadStatus::Missing : JobFileLoadStatus::ReadError,
            records.size()};
  }
  std::string tag;
  FileSource in(file.get());
  if (!in.Read(3, tag) || tag != kTagAnsi) return {JobFileLoadStatus::UnknownTag, records.size()};
  return ReadEntries(in, true, records);
}

}  // namespace dkscr
