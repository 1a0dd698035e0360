#pragma once

// The engine interface as the stage sees it. The interface itself is declared in the platform layer
// (platform/engine/hge.h), where its backend lives, because the platform depends on nothing of ours;
// this header brings the engine's names (and only those) into sonavera::stage.

#include <cstdint>

#include "platform/engine/hge.h"

namespace sonavera::stage {

using namespace platform::engine;

/// 0xAARRGGBB from channel values 0..255.
constexpr std::uint32_t ARGB(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return (a << 24) | (r << 16) | (g << 8) | b;
}
constexpr std::uint32_t GETA(std::uint32_t col) { return col >> 24; }
constexpr std::uint32_t GETR(std::uint32_t col) { return (col >> 16) & 0xFF; }
constexpr std::uint32_t GETG(std::uint32_t col) { return (col >> 8) & 0xFF; }
constexpr std::uint32_t GETB(std::uint32_t col) { return col & 0xFF; }
constexpr std::uint32_t SETA(std::uint32_t col, std::uint32_t a) { return (col & 0x00FFFFFF) | (a << 24); }

}  // namespace sonavera::stage
