#include "core/Stream.h"

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

}  // namespace dkscr
