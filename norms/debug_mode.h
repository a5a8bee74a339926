#pragma once
// The global diagnostic flag: set from the start and never changed. A
// constant in a header, so that reading it links nothing.

namespace kelmora {

inline constexpr bool debugMode = true;

}  // namespace kelmora
