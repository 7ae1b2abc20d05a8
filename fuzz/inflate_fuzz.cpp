// Differential: our Inflate must give exactly zlib's output, and succeed exactly when zlib
// does. The first byte picks whole-buffer input or input pulled in small pieces.
#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "zip/Inflate.h"

namespace {

constexpr size_t kLimit = 1u << 18;

class PieceSource : public dkscr::InflateSource {
 public:
  PieceSource(const uint8_t* data, size_t size, size_t step) : data_(data), size_(size), step_(step) {}
  size_t Read(uint8_t* buffer, size_t capacity) override {
    const size_t n = std::min({step_, capacity, size_ - pos_});
    std::copy_n(data_ + pos_, n, buffer);
    pos_ += n;
    return n;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t step_;
  size_t pos_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const unsigned mode = data[0] & 3;
  ++data;
  --size;

  std::string zout(kLimit, '\0');
  z_stream zs{};
  if (inflateInit2(&zs, -15) != Z_OK) std::abort();
  zs.next_in = const_cast<Bytef*>(data);
  zs.avail_in = static_cast<uInt>(size);
  zs.next_out = reinterpret_cast<Bytef*>(zout.data());
  zs.avail_out = static_cast<uInt>(zout.size());
  const int rc = inflate(&zs, Z_FINISH);
  const bool outputFull = zs.avail_out == 0;
  zout.resize(zs.total_out);
  inflateEnd(&zs);

  std::string ours = "x";  // earlier contents must neither matter nor change
  dkscr::InflateStatus status;
  if (mode == 0) {
    status = dkscr::InflateBuffer(data, size, ours, kLimit, size > 0 ? data[0] * 97u : 0);
  } else {
    PieceSource source(data, size, mode == 1 ? 1 : mode == 2 ? 13 : 40000);
    status = dkscr::Inflate(source, ours, kLimit);
  }
  if (ours.empty() || ours[0] != 'x') std::abort();
  ours.erase(0, 1);

  if (rc == Z_STREAM_END) {
    if (status != dkscr::InflateStatus::kDone || ours != zout) std::abort();
  } else if (outputFull) {
    if (status == dkscr::InflateStatus::kDone || ours != zout) std::abort();
  } else {
    if (status == dkscr::InflateStatus::kDone) std::abort();
    // Up to where zlib stopped, both decoded the same bytes.
    const size_t common = std::min(ours.size(), zout.size());
    if (ours.compare(0, common, zout, 0, common) != 0) std::abort();
  }
  return 0;
}
