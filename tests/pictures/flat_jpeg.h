#pragma once
// JPEGs written from scratch, for the files no encoder at hand makes: four-ink (CMYK)
// pictures, and frames claiming another size than their data holds. Every 8×8 block is
// flat, its level taken from its place so that a block decoded in the wrong place or
// channel shows. The DC table codes every difference in a four-bit category; the AC
// table holds only the end of block, a single bit.

#include <cstdint>
#include <string>

namespace ceph::testing {

struct FlatJpeg {
    int width = 16, height = 16;
    int components = 1;  // 1 grey, 3 colour, 4 inks
    // An Adobe segment: three components are then RGB rather than YCbCr, four CMYK.
    bool adobe = false;
    bool progressive = false;
    // The size the frame claims, when not 0.
    int claimedWidth = 0, claimedHeight = 0;

    // The level, 28..227, of block (bx, by) of a component.
    static int Level(int bx, int by, int component) {
        return 128 + (bx * 37 + by * 11 + component * 71) % 200 - 100;
    }

    std::string Bytes() const {
        std::string out = "\xFF\xD8";
        if (adobe) Segment(out, 0xEE, std::string("Adobe\0\x64\0\0\0\0\0", 12));
        Segment(out, 0xDB, std::string(1, '\0') + std::string(64, '\x01'));
        std::string frame(1, '\x08');
        Put16(frame, claimedHeight ? claimedHeight : height);
        Put16(frame, claimedWidth ? claimedWidth : width);
        frame += static_cast<char>(components);
        for (int c = 0; c < components; ++c)
            frame += {static_cast<char>(c + 1), '\x11', '\0'};
        Segment(out, progressive ? 0xC2 : 0xC0, frame);
        std::string dc(1, '\x00');
        dc += std::string("\0\0\0\x0C", 4) + std::string(12, '\0');
        for (int category = 0; category < 12; ++category)
            dc += static_cast<char>(category);
        Segment(out, 0xC4, dc);
        Segment(out, 0xC4, std::string("\x10\x01", 2) + std::string(15, '\0') + '\0');
        // Progressive: the DC terms of all components in one scan, then one scan of the
        // (empty) AC terms per component. Sequential: one scan of everything.
        std::string scan(1, static_cast<char>(components));
        for (int c = 0; c < components; ++c)
            scan += {static_cast<char>(c + 1), '\0'};
        scan += progressive ? std::string("\0\0\0", 3) : std::string("\0\x3F\0", 3);
        Segment(out, 0xDA, scan);
        out += Blocks(!progressive);
        for (int c = 0; progressive && c < components; ++c) {
            Segment(out, 0xDA, {'\x01', static_cast<char>(c + 1), '\0', '\x01', '\x3F', '\0'});
            Bits ends;
            for (int i = 0; i < BlocksWide() * BlocksHigh(); ++i)
                ends.Put(0, 1);
            out += ends.Done();
        }
        return out + "\xFF\xD9";
    }

  private:
    struct Bits {
        std::string out;
        unsigned value = 0;
        int count = 0;
        void Put(std::uint32_t bits, int length) {
            for (int i = length - 1; i >= 0; --i) {
                value = value << 1 | ((bits >> i) & 1);
                if (++count == 8) {
                    out += static_cast<char>(value);
                    if (value == 0xFF) out += '\0';  // stuffed, not a marker
                    value = 0;
                    count = 0;
                }
            }
        }
        std::string Done() {
            while (count != 0)
                Put(1, 1);
            return out;
        }
    };

    int BlocksWide() const { return (width + 7) / 8; }
    int BlocksHigh() const { return (height + 7) / 8; }

    // The DC terms (with the end of each block, when sequential) in interleaved order.
    std::string Blocks(bool withEnds) const {
        Bits bits;
        int previous[4] = {};
        for (int by = 0; by < BlocksHigh(); ++by)
            for (int bx = 0; bx < BlocksWide(); ++bx)
                for (int c = 0; c < components; ++c) {
                    // Level = 128 + DC / 8 with all quantisers 1.
                    const int dc = (Level(bx, by, c) - 128) * 8;
                    const int difference = dc - previous[c];
                    previous[c] = dc;
                    int category = 0;
                    for (int magnitude = difference < 0 ? -difference : difference; magnitude != 0;
                         magnitude >>= 1)
                        ++category;
                    bits.Put(static_cast<std::uint32_t>(category), 4);
                    if (category != 0)
                        bits.Put(static_cast<std::uint32_t>(difference > 0
                                                                ? difference
                                                                : difference + (1 << category) - 1),
                                 category);
                    if (withEnds) bits.Put(0, 1);
                }
        return bits.Done();
    }

    static void Put16(std::string& out, int value) {
        out += static_cast<char>((value >> 8) & 0xFF);
        out += static_cast<char>(value & 0xFF);
    }
    static void Segment(std::string& out, int marker, const std::string& body) {
        out += '\xFF';
        out += static_cast<char>(marker);
        Put16(out, static_cast<int>(body.size()) + 2);
        out += body;
    }
};

}  // namespace ceph::testing
