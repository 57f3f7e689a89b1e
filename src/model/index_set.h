#pragma once
// A small set of indices (0..31) of figure lines or profile points, so that the
// structure tables of the figure read as data: which lines and points belong to what.

#include <cstdint>
#include <initializer_list>

namespace ceph::model {

class IndexSet {
  public:
    constexpr IndexSet() = default;
    constexpr IndexSet(std::initializer_list<int> indices) {
        for (int i : indices)
            bits_ |= Bit(i);
    }
    static constexpr IndexSet Range(int first, int last) {
        IndexSet s;
        for (int i = first; i <= last; ++i)
            s.bits_ |= Bit(i);
        return s;
    }
    constexpr IndexSet operator|(IndexSet other) const {
        IndexSet s;
        s.bits_ = bits_ | other.bits_;
        return s;
    }
    constexpr bool Has(int i) const { return (bits_ & Bit(i)) != 0; }
    constexpr bool operator==(const IndexSet&) const = default;

    // Calls f(i) for every index in the set, in increasing order.
    template <class F>
    void ForEach(F f) const {
        for (int i = 0; i < 32; ++i)
            if (Has(i)) f(i);
    }

  private:
    static constexpr std::uint32_t Bit(int i) { return std::uint32_t{1} << i; }
    std::uint32_t bits_ = 0;
};

}  // namespace ceph::model
