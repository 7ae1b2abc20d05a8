#pragma once
// The SHA-256 compression function over whole 64-byte blocks: portable, and with the x86
// SHA extensions where the processor has them (several times faster; a batch's records
// digest every byte of every source, so this is most of a run's work without them).
#include <cstddef>
#include <cstdint>

namespace dkscr {

// Compresses `blocks` blocks at `data` into `state` (the eight working words).
using Sha256BlocksFunction = void (*)(uint32_t* state, const uint8_t* data, size_t blocks);

void Sha256BlocksPortable(uint32_t* state, const uint8_t* data, size_t blocks);

// The SHA-extension version, or none when this build or this processor has none.
Sha256BlocksFunction Sha256BlocksAccelerated();

// The fastest version here: chosen once, on first use.
Sha256BlocksFunction Sha256Blocks();

}  // namespace dkscr
