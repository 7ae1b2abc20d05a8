#include "ppt/PptDocument.h"

#include <algorithm>
#include <climits>
#include <unordered_set>
#include <vector>

#include "ppt/PptRecords.h"

namespace dkscr {
namespace {

// Follows the chain of saves from the newest, loading each save's directory. Returns false
// when the newest edit cannot be read.
bool LoadEditChain(PptDocument& document, uint32_t offsetToCurrentEdit) {
  CfbStream& stream = *document.documentStream;
  std::unordered_set<uint32_t> editsRead;
  std::unordered_set<uint32_t> directoriesRead;
  uint64_t directoryBytes = 0;
  bool haveCurrentEdit = false;
  uint32_t offset = offsetToCurrentEdit;
  while (offset != 0) {
    // A chain that comes back to an edit already read ends there, keeping what it loaded.
    if (!editsRead.insert(offset).second) return haveCurrentEdit;
    stream.Seek(offset);
    RecordHeader header;
    uint8_t atom[ppt::kUserEditLength];
    if (ReadRecordHeader(stream, header) < 8 || header.recType != ppt::kUserEditAtom ||
        header.recLen != ppt::kUserEditLength ||
        stream.Read(atom, sizeof atom) != sizeof atom) {
      return false;  // a damaged chain gives no text at all
    }
    const uint32_t offsetLastEdit = LoadLe32(atom + 8);
    const uint32_t offsetPersistDirectory = LoadLe32(atom + 12);
    if (!haveCurrentEdit) {
      document.docPersistIdRef = LoadLe32(atom + 16);
      haveCurrentEdit = true;
    }
    // The same directory read twice adds nothing: the earlier copy already wins every lookup.
    if (directoriesRead.insert(offsetPersistDirectory).second) {
      stream.Seek(offsetPersistDirectory);
      std::vector<uint8_t> bytes;
      if (ReadRecordHeader(stream, header) == 8) {
        ReadAtomBytes(stream, document.documentSize, header.recLen, header.recLen, bytes);
      }
      // Directories of real saves never overlap, so together they fit in the stream; more
      // means the edits point into each other, and the chain is not followed further.
      directoryBytes += bytes.size();
      if (directoryBytes > document.documentSize) return true;
      document.directory.AppendBlock(bytes.data(), bytes.size());
    }
    offset = offsetLastEdit;
  }
  return haveCurrentEdit;
}

// How many of an atom's first bytes are read: `keep` of its `length`, no more than the
// stream still holds.
size_t AtomBytesWanted(const CfbStream& stream, uint64_t streamSize, uint32_t length, uint32_t keep) {
  const uint64_t position = stream.Position();
  const uint64_t left = position < streamSize ? streamSize - position : 0;
  return static_cast<size_t>(std::min<uint64_t>({keep, length, left, INT32_MAX}));
}

}  // namespace

void ReadAtomBytes(CfbStream& stream, uint64_t streamSize, uint32_t length, uint32_t keep,
                   std::vector<uint8_t>& bytes) {
  bytes.resize(AtomBytesWanted(stream, streamSize, length, keep));
  bytes.resize(bytes.empty() ? 0 : stream.Read(bytes.data(), bytes.size()));
  if (length > bytes.size()) stream.Skip(length - bytes.size());
}

std::span<const uint8_t> ReadAtomView(CfbStream& stream, uint64_t streamSize, uint32_t length, uint32_t keep,
                                      std::vector<uint8_t>& spare) {
  const size_t wanted = AtomBytesWanted(stream, streamSize, length, keep);
  // An empty atom still points somewhere: its readers may hand the place to a copy of nothing.
  static constexpr uint8_t kNothing[1] = {};
  std::span<const uint8_t> bytes(kNothing, 0);
  if (wanted > 0) {
    bytes = stream.ReadCached(wanted);
    if (bytes.size() != wanted) {
      spare.resize(wanted);
      spare.resize(stream.Read(spare.data(), wanted));
      bytes = spare;
    }
  }
  if (length > bytes.size()) stream.Skip(length - bytes.size());
  return bytes;
}

PptOpening OpenPptDocument(std::shared_ptr<CompoundFile> file, PptDocument& document) {
  document.file = std::move(file);
  document.currentUserStream = document.file->OpenStream(u"Current User");
  // A password-protected Open XML package is a compound document too; named or found as a
  // binary presentation, it is refused as the package converter refuses it.
  if (!document.currentUserStream) {
    return document.file->HoldsEncryptedPackage() ? PptOpening::kEncrypted : PptOpening::kNoText;
  }
  RecordHeader header;
  if (ReadRecordHeader(*document.currentUserStream, header) < 8) return PptOpening::kNoText;
  uint8_t atom[20];
  if (document.currentUserStream->Read(atom, 20) != 20 || LoadLe32(atom) != 20) return PptOpening::kNoText;
  const uint32_t token = LoadLe32(atom + 4);
  if (token == ppt::kTokenEncrypted) return PptOpening::kEncrypted;
  if (token != ppt::kTokenPlain) return PptOpening::kNoText;

  document.documentStream = document.file->OpenStream(u"PowerPoint Document");
  if (!document.documentStream) return PptOpening::kNoText;
  document.documentSize = document.documentStream->Size();
  return LoadEditChain(document, LoadLe32(atom + 8)) ? PptOpening::kReady : PptOpening::kNoText;
}

}  // namespace dkscr
