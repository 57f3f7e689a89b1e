#pragma once
// The 64-bit FNV-1a hash of some bytes: a change of any byte changes it. For telling
// damaged or stale data from sound, never for anything secret.

#include <cstdint>
#include <string_view>

namespace ceph::base {

inline std::uint64_t Fnv1a64(std::string_view bytes) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (const char c : bytes)
        h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
    return h;
}

}  // namespace ceph::base
