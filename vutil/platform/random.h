#pragma once
// The system's cryptographic random source.
//
// A source is opened once and handed back as an opaque nonzero value; 0 means the
// system has none to offer. On Windows this is a provider context, here a token that
// says getrandom(2) answered.

#include <cstddef>
#include <cstdint>

namespace vutil::platform {

using RandomSource = std::uintptr_t;

// A nonzero source, or 0 when the system has no cryptographic random source.
RandomSource OpenRandomSource() noexcept;
void CloseRandomSource(RandomSource source) noexcept;
// Fills buffer with size random bytes; false (buffer unspecified) when it cannot.
bool FillRandom(RandomSource source, void* buffer, std::size_t size) noexcept;

}  // namespace vutil::platform
