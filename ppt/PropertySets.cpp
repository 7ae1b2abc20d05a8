#include "ppt/PropertySets.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "model/Timestamps.h"
#include "platform/LittleEndian.h"
#include "platform/Utf.h"
#include "text/CodePage.h"
#include "text/Cp1252.h"

namespace dkscr {
namespace {

// A property set stream is read up to this size, only the stretches its properties lie in:
// a thumbnail among them can be most of the stream.
constexpr size_t kStreamBytesRead = 4 * 1024 * 1024;
constexpr size_t kStretchBytes = 4096;
// Properties of a section that are looked at, and dictionary entries.
constexpr uint32_t kMostProperties = 4096;

using Guid = std::array<uint8_t, 16>;

// FMTID_SummaryInformation {F29F85E0-4FF9-1068-AB91-08002B27B3D9}, as stored.
constexpr Guid kSummaryInformation = {0xE0, 0x85, 0x9F, 0xF2, 0xF9, 0x4F, 0x68, 0x10,
                                      0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9};
// FMTID_DocSummaryInformation {D5CDD502-2E9C-101B-9397-08002B2CF9AE}.
constexpr Guid kDocSummaryInformation = {0x02, 0xD5, 0xCD, 0xD5, 0x9C, 0x2E, 0x1B, 0x10,
                                         0x93, 0x97, 0x08, 0x00, 0x2B, 0x2C, 0xF9, 0xAE};
// FMTID_UserDefinedProperties {D5CDD505-2E9C-101B-9397-08002B2CF9AE}.
constexpr Guid kUserDefinedProperties = {0x05, 0xD5, 0xCD, 0xD5, 0x9C, 0x2E, 0x1B, 0x10,
                                         0x93, 0x97, 0x08, 0x00, 0x2B, 0x2C, 0xF9, 0xAE};

constexpr uint32_t kPidDictionary = 0;
constexpr uint32_t kPidCodePage = 1;

enum VarType : uint16_t {
  kVtI2 = 0x02, kVtI4 = 0x03, kVtR4 = 0x04, kVtR8 = 0x05, kVtBool = 0x0B, kVtI1 = 0x10, kVtUi1 = 0x11,
  kVtUi2 = 0x12, kVtUi4 = 0x13, kVtI8 = 0x14, kVtUi8 = 0x15, kVtInt = 0x16, kVtUint = 0x17,
  kVtLpstr = 0x1E, kVtLpwstr = 0x1F, kVtFiletime = 0x40,
};

// Seconds from 1601-01-01 (where FILETIME counts from) to 1970-01-01.
constexpr int64_t kFiletimeEpochSeconds = 11644473600;

// The bytes of a property set stream: given whole, or read from the stream a stretch at a
// time as they are looked at (bytes the file cannot deliver read as zeros).
class Bytes {
 public:
  explicit Bytes(std::string_view data) : data_(data.data()), size_(data.size()) {}
  explicit Bytes(const CfbStream& stream)
      : size_(static_cast<size_t>(std::min<uint64_t>(stream.Size(), kStreamBytesRead))) {
    if (size_ <= kStretchBytes) {
      // The usual stream, of one stretch: read at once where it stands, with no room to ask for.
      const size_t got = stream.ReadAt(0, small_.data(), size_);
      std::memset(small_.data() + got, 0, size_ - got);
      data_ = small_.data();
      return;
    }
    stream_ = &stream;
    buffer_.reset(new char[size_]);
    read_.assign((size_ + kStretchBytes - 1) / kStretchBytes, false);
    data_ = buffer_.get();
  }
  bool Has(size_t at, size_t count) const { return at <= size_ && count <= size_ - at; }
  // Little-endian numbers of bytes that lie within the stream (callers check Has first).
  uint16_t U16(size_t at) const {
    Load(at, 2);
    return LoadLe16(reinterpret_cast<const uint8_t*>(data_ + at));
  }
  uint32_t U32(size_t at) const {
    Load(at, 4);
    return LoadLe32(reinterpret_cast<const uint8_t*>(data_ + at));
  }
  uint64_t U64(size_t at) const {
    Load(at, 8);
    return LoadLe64(reinterpret_cast<const uint8_t*>(data_ + at));
  }
  std::string_view Slice(size_t at, size_t count) const {
    if (at >= size_) return {};
    count = std::min(count, size_ - at);
    Load(at, count);
    return {data_ + at, count};
  }
  size_t Size() const { return size_; }

 private:
  void Load(size_t at, size_t count) const {
    if (stream_ == nullptr || count == 0) return;
    for (size_t stretch = at / kStretchBytes; stretch <= (at + count - 1) / kStretchBytes; ++stretch) {
      if (read_[stretch]) continue;
      read_[stretch] = true;
      const size_t from = stretch * kStretchBytes;
      const size_t length = std::min(kStretchBytes, size_ - from);
      const size_t got = stream_->ReadAt(from, buffer_.get() + from, length);
      std::memset(buffer_.get() + from + got, 0, length - got);
    }
  }

  const char* data_ = nullptr;
  const CfbStream* stream_ = nullptr;
  size_t size_ = 0;
  std::unique_ptr<char[]> buffer_;
  mutable std::vector<bool> read_;  // of each stretch of the buffer
  std::array<char, kStretchBytes> small_;  // a stream of one stretch, not zeroed beyond it
};

std::string Utf16LeToUtf8(std::string_view bytes) {
  std::u16string wide;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    wide.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8));
  }
  while (!wide.empty() && wide.back() == u'\0') wide.pop_back();
  return WideToUtf8(wide);
}

// Bytes of a code page as UTF-8, the terminating NULs dropped; 1200 is UTF-16LE.
std::string Decode(std::string_view bytes, int32_t codePage) {
  if (codePage == kCodePageUtf16Le) return Utf16LeToUtf8(bytes);
  while (!bytes.empty() && bytes.back() == '\0') bytes.remove_suffix(1);
  if (codePage == kCodePageUtf8) return WideToUtf8(Utf8ToWide(bytes));
  // Plain ASCII in any single-byte code page is already UTF-8; the usual code page is mapped
  // a byte at a time, without a converter.
  const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<uint8_t>(c) < 0x80; });
  if (ascii) return std::string(bytes);
  if (codePage == kCodePage1252) {
    std::string text;
    text.reserve(2 * bytes.size());
    for (const char c : bytes) AppendUtf8(Cp1252ToWide(static_cast<uint8_t>(c)), text);
    return text;
  }
  std::u16string wide = CodePageToWide(codePage, bytes);
  if (wide.empty() && !bytes.empty()) wide = CodePageToWide(kCodePage1252, bytes);  // an unserved code page
  return WideToUtf8(wide);
}

// A property's value as the model keeps it; none for a type that is not read.
struct Value {
  PropertyValue value;
  bool isString = false;
};

// One section of a property set: its properties by identifier, strings decoded.
class Section {
 public:
  Section(const Bytes& stream, size_t offset) : stream_(stream), offset_(offset), end_(offset) {
    if (!stream.Has(offset, 8)) return;
    const uint32_t size = stream.U32(offset);
    end_ = stream.Has(offset, size) ? offset + size : stream.Size();
    const uint32_t count = std::min(stream.U32(offset + 4), kMostProperties);
    for (uint32_t i = 0; i < count; ++i) {
      const size_t entry = offset + 8 + 8ull * i;
      if (entry + 8 > end_) break;
      entries_.emplace_back(stream.U32(entry), stream.U32(entry + 4));
    }
    for (const auto& [id, at] : entries_) {
      if (id == kPidCodePage && Has(at, 6) && stream.U16(offset + at) == kVtI2) {
        codePage_ = stream.U16(offset + at + 4);  // stored as a signed 16-bit number: 65001 is -535
      }
    }
  }

  const std::vector<std::pair<uint32_t, uint32_t>>& Entries() const { return entries_; }

  std::optional<Value> Read(uint32_t id) const {
    for (const auto& [pid, at] : entries_) {
      if (pid == id) return ValueAt(at);
    }
    return std::nullopt;
  }

  std::optional<Value> ValueAt(uint32_t at) const {
    if (!Has(at, 4)) return std::nullopt;
    const size_t p = offset_ + at + 4;  // the value, after its type and padding
    Value out;
    PropertyValue& v = out.value;
    auto number = [&](double n) {
      v.kind = PropertyValue::Kind::kNumber;
      v.number = n;
      return out;
    };
    switch (stream_.U16(offset_ + at)) {
      case kVtI2: if (!Has(at + 4, 2)) break; return number(static_cast<int16_t>(stream_.U16(p)));
      case kVtUi2: if (!Has(at + 4, 2)) break; return number(stream_.U16(p));
      case kVtI1: if (!Has(at + 4, 2)) break; return number(static_cast<int8_t>(stream_.U16(p) & 0xFF));
      case kVtUi1: if (!Has(at + 4, 2)) break; return number(stream_.U16(p) & 0xFF);
      case kVtI4: case kVtInt: if (!Has(at + 4, 4)) break; return number(static_cast<int32_t>(stream_.U32(p)));
      case kVtUi4: case kVtUint: if (!Has(at + 4, 4)) break; return number(stream_.U32(p));
      case kVtI8: if (!Has(at + 4, 8)) break; return number(static_cast<double>(static_cast<int64_t>(stream_.U64(p))));
      case kVtUi8: if (!Has(at + 4, 8)) break; return number(static_cast<double>(stream_.U64(p)));
      case kVtR4: {
        if (!Has(at + 4, 4)) break;
        const uint32_t bits = stream_.U32(p);
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return number(f);
      }
      case kVtR8: {
        if (!Has(at + 4, 8)) break;
        const uint64_t bits = stream_.U64(p);
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return number(d);
      }
      case kVtBool:
        if (!Has(at + 4, 2)) break;
        v.kind = PropertyValue::Kind::kBool;
        v.flag = stream_.U16(p) != 0;
        return out;
      case kVtLpstr: {
        if (!Has(at + 4, 4)) break;
        const uint32_t size = stream_.U32(p);
        if (!Has(at + 8, size)) break;
        v.text = Decode(stream_.Slice(p + 4, size), codePage_);
        out.isString = true;
        return out;
      }
      case kVtLpwstr: {
        if (!Has(at + 4, 4)) break;
        const uint64_t size = 2ull * stream_.U32(p);
        if (size > SIZE_MAX || !Has(at + 8, static_cast<size_t>(size))) break;
        v.text = Utf16LeToUtf8(stream_.Slice(p + 4, static_cast<size_t>(size)));
        out.isString = true;
        return out;
      }
      case kVtFiletime: {
        if (!Has(at + 4, 8)) break;
        const uint64_t ticks = stream_.U64(p);
        if (ticks == 0) break;  // no time set
        v.kind = PropertyValue::Kind::kDate;
        v.text = UtcTimestamp(static_cast<int64_t>(ticks / 10000000) - kFiletimeEpochSeconds);
        return out;
      }
      default: break;
    }
    return std::nullopt;
  }

  // The dictionary (property 0): identifier -> name, in the section's code page.
  std::vector<std::pair<uint32_t, std::string>> Dictionary() const {
    std::vector<std::pair<uint32_t, std::string>> names;
    for (const auto& [pid, at] : entries_) {
      if (pid != kPidDictionary || !Has(at, 4)) continue;
      const uint32_t count = std::min(stream_.U32(offset_ + at), kMostProperties);
      size_t p = at + 4;  // relative to the section
      for (uint32_t i = 0; i < count && Has(p, 8); ++i) {
        const uint32_t id = stream_.U32(offset_ + p);
        const uint32_t length = stream_.U32(offset_ + p + 4);  // characters, the NUL included
        const bool wide = codePage_ == kCodePageUtf16Le;
        const uint64_t bytes = wide ? 2ull * length : length;
        if (bytes > SIZE_MAX || !Has(p + 8, static_cast<size_t>(bytes))) break;
        names.emplace_back(id, Decode(stream_.Slice(offset_ + p + 8, static_cast<size_t>(bytes)), codePage_));
        p += 8 + static_cast<size_t>(bytes);
        if (wide) p = (p + 3) & ~size_t{3};  // UTF-16 names are padded to four bytes
      }
      break;  // a section has one dictionary; more entries naming it would only repeat it
    }
    return names;
  }

 private:
  // Whether `count` bytes at `at` (from the section's start) lie within it.
  bool Has(uint64_t at, uint64_t count) const {
    return at <= end_ - offset_ && count <= end_ - offset_ - at;
  }

  const Bytes& stream_;
  size_t offset_;
  size_t end_;
  int32_t codePage_ = kCodePage1252;  // when the section does not say
  std::vector<std::pair<uint32_t, uint32_t>> entries_;  // identifier, offset in the section
};

// The sections of a property set stream by their format ids, in order.
std::vector<std::pair<Guid, size_t>> Sections(const Bytes& stream) {
  std::vector<std::pair<Guid, size_t>> sections;
  if (!stream.Has(0, 28) || stream.U16(0) != 0xFFFE) return sections;
  const uint32_t count = std::min<uint32_t>(stream.U32(24), 16);
  for (uint32_t i = 0; i < count; ++i) {
    const size_t at = 28 + 20ull * i;
    if (!stream.Has(at, 20)) break;
    Guid id;
    std::memcpy(id.data(), stream.Slice(at, id.size()).data(), id.size());
    sections.emplace_back(id, stream.U32(at + 16));
  }
  return sections;
}

void SetText(const Section& section, uint32_t id, std::optional<std::string>& field) {
  if (field) return;
  std::optional<Value> value = section.Read(id);
  if (value && value->isString && !value->value.text.empty()) field = std::move(value->value.text);
}

void SetTime(const Section& section, uint32_t id, std::optional<std::string>& field) {
  if (field) return;
  std::optional<Value> value = section.Read(id);
  if (value && value->value.kind == PropertyValue::Kind::kDate) field = std::move(value->value.text);
}

void ReadSummary(const Bytes& stream, DocumentMetadata& metadata) {
  for (const auto& [id, offset] : Sections(stream)) {
    if (id != kSummaryInformation) continue;
    const Section section(stream, offset);
    SetText(section, 2, metadata.title);
    SetText(section, 3, metadata.subject);
    SetText(section, 4, metadata.author);
    SetText(section, 5, metadata.keywords);
    SetText(section, 6, metadata.description);
    SetText(section, 8, metadata.lastModifiedBy);
    SetText(section, 9, metadata.revision);
    SetTime(section, 12, metadata.created);
    SetTime(section, 13, metadata.modified);
    SetText(section, 18, metadata.application);
  }
}

void ReadDocumentSummary(const Bytes& stream, DocumentMetadata& metadata, ModelBudget* budget) {
  for (const auto& [id, offset] : Sections(stream)) {
    const Section section(stream, offset);
    if (id == kDocSummaryInformation) {
      SetText(section, 2, metadata.category);
      SetText(section, 15, metadata.company);
    } else if (id == kUserDefinedProperties) {
      for (const auto& [pid, name] : section.Dictionary()) {
        if (pid == kPidDictionary || pid == kPidCodePage || name.empty()) continue;
        if (std::optional<Value> value = section.Read(pid)) {
          // Many names can lead to one long value.
          if (budget != nullptr) budget->TakeItem(name.size() + value->value.text.size());
          metadata.custom.emplace_back(name, std::move(value->value));
        }
      }
    }
  }
}

}  // namespace

void ReadSummaryInformation(std::string_view data, DocumentMetadata& metadata) { ReadSummary(Bytes(data), metadata); }

void ReadDocumentSummaryInformation(std::string_view data, DocumentMetadata& metadata, ModelBudget* budget) {
  ReadDocumentSummary(Bytes(data), metadata, budget);
}

void ReadPropertySets(CompoundFile& file, DocumentMetadata& metadata, ModelBudget* budget) {
  if (const std::unique_ptr<CfbStream> stream = file.OpenStream(u"\005SummaryInformation")) {
    ReadSummary(Bytes(*stream), metadata);
  }
  if (const std::unique_ptr<CfbStream> stream = file.OpenStream(u"\005DocumentSummaryInformation")) {
    ReadDocumentSummary(Bytes(*stream), metadata, budget);
  }
}

}  // namespace dkscr
