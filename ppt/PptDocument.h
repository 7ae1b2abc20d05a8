#pragma once
// Opening a binary presentation: the current-user record, the document stream and the persist
// directory of every save, newest first. Both readers of .ppt files start here.
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "cfb/CfbStream.h"
#include "cfb/CompoundFile.h"
#include "ppt/PersistDirectory.h"

namespace dkscr {

struct PptDocument {
  std::shared_ptr<CompoundFile> file;
  std::unique_ptr<CfbStream> currentUserStream;
  std::unique_ptr<CfbStream> documentStream;
  uint64_t documentSize = 0;
  PersistDirectory directory;
  uint32_t docPersistIdRef = 0;  // of the newest save
};

// Reads the first `keep` bytes of an atom's `length` (no more than the stream still holds,
// which ends at streamSize) into `bytes` and moves past the whole atom.
void ReadAtomBytes(CfbStream& stream, uint64_t streamSize, uint32_t length, uint32_t keep,
                   std::vector<uint8_t>& bytes);
// The same bytes, where the stream's cache holds them seen in place; otherwise read into
// `spare`. They stay valid until the stream or `spare` is next used.
std::span<const uint8_t> ReadAtomView(CfbStream& stream, uint64_t streamSize, uint32_t length, uint32_t keep,
                                      std::vector<uint8_t>& spare);

enum class PptOpening { kReady, kNoText, kEncrypted };

// kNoText for a compound document that is no readable presentation (no streams, a damaged
// edit chain); kEncrypted for an encrypted presentation or password-protected Open XML
// package; kReady with the document stream and directory loaded otherwise.
PptOpening OpenPptDocument(std::shared_ptr<CompoundFile> file, PptDocument& document);

}  // namespace dkscr
