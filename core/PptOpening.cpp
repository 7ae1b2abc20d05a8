#include "core/PptOpening.h"

#include <algorithm>
#include <climits>
#include <unordered_set>
#include <vector>

#include "core/PptRecords.h"

namespace dkscr {
namespace {

// Follows the chain of saves from the newest, loading each save's directory. Returns false
// when the newest edit cannot be read.
bool LoadEditChain(PptOpenDocument& document, uint32_t offsetToCurrentEdit) {
  TDocFileStream& stream = *document.documentStream;
  std::unordered_set<uint32_t> editsRead;
  std::unordered_set<uint32_t> directoriesRead;
  uint64_t directoryBytes = 0;
  bool haveCurrentEdit = false;
  uint32_t offset = offsetToCurrentEdit;
  while (offset != 0) {
    // A chain that comes back to an edit already read ends there, keeping what it loaded.
    if (!editsRead.insert(offset).second) return haveCurrentEdit;
    stream.Seek64(offset, kSeekFromStart);
    RecordHeader header;
    uint8_t atom[ppt::kUserEditLength];
    if (ReadRecordHeader(stream, header) < 8 || header.recType != ppt::kUserEditAtom ||
        header.recLen != ppt::kUserEditLength ||
        stream.Read(atom, sizeof atom) != static_cast<int32_t>(sizeof atom)) {
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
      stream.Seek64(offsetPersistDirectory, kSeekFromStart);
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

}  // namespace

void ReadAtomBytes(TDocFileStream& stream, uint64_t streamSize, uint32_t length, uint32_t keep,
                   std::vector<uint8_t>& bytes) {
  const int64_t position = stream.Seek64(0, kSeekFromCurrent);
  const uint64_t left = position >= 0 && static_cast<uint64_t>(position) < streamSize
                            ? streamSize - static_cast<uint64_t>(position)
                            : 0;
  bytes.resize(static_cast<size_t>(std::min<uint64_t>({keep, length, left, INT32_MAX})));
  const int32_t got = bytes.empty() ? 0 : stream.Read(bytes.data(), static_cast<int32_t>(bytes.size()));
  bytes.resize(got > 0 ? static_cast<size_t>(got) : 0);
  if (length > bytes.size()) stream.Seek64(length - bytes.size(), kSeekFromCurrent);
}

PptOpening OpenPptDocument(std::unique_ptr<TDocFileStorage> storage, PptOpenDocument& document) {
  document.storage = std::move(storage);
  document.currentUserStream = document.storage->OpenStream(u"Current User", kStgmReadShareExclusive);
  // A password-protected Open XML package is a compound document too; named or found as a
  // binary presentation, it is refused as the package converter refuses it.
  if (!document.currentUserStream) {
    return HoldsEncryptedPackage(*document.storage) ? PptOpening::kEncrypted : PptOpening::kNoText;
  }
  RecordHeader header;
  if (ReadRecordHeader(*document.currentUserStream, header) < 8) return PptOpening::kNoText;
  uint8_t atom[20];
  if (document.currentUserStream->Read(atom, 20) != 20 || LoadLe32(atom) != 20) return PptOpening::kNoText;
  const uint32_t token = LoadLe32(atom + 4);
  if (token == ppt::kTokenEncrypted) return PptOpening::kEncrypted;
  if (token != ppt::kTokenPlain) return PptOpening::kNoText;

  document.documentStream = document.storage->OpenStream(u"PowerPoint Document", kStgmReadShareExclusive);
  if (!document.documentStream) return PptOpening::kNoText;
  const int64_t size = document.documentStream->GetSize();
  document.documentSize = size > 0 ? static_cast<uint64_t>(size) : 0;
  return LoadEditChain(document, LoadLe32(atom + 8)) ? PptOpening::kReady : PptOpening::kNoText;
}

}  // namespace dkscr
