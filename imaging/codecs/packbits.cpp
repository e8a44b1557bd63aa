#include "imaging/codecs/packbits.h"

#include <algorithm>
#include <cstring>

namespace imaging::packbits {

void encode(const uint8_t* data, size_t n, std::vector<uint8_t>& out) {
    size_t i = 0;
    while (i < n) {
        size_t run = 1;
        while (i + run < n && run < 128 && data[i + run] == data[i]) ++run;
        if (run >= 2) {
            out.push_back(uint8_t(257 - run));  // -(run-1)
            out.push_back(data[i]);
            i += run;
            continue;
        }
        // Literal stretch: up to the next run of three or more.
        size_t start = i, count = 0;
        while (i < n && count < 128) {
            if (i + 2 < n && data[i] == data[i + 1] && data[i] == data[i + 2]) break;
            ++i, ++count;
        }
        out.push_back(uint8_t(count - 1));
        out.insert(out.end(), data + start, data + start + count);
    }
}

size_t decode(ByteReader& in, uint8_t* out, size_t size, bool* overflow) {
    size_t made = 0;
    while (made < size) {
        const int control = int8_t(in.u8());
        if (in.ranOut()) break;
        if (control >= 0) {
            const size_t count = size_t(control) + 1;
            const size_t keep = std::min(count, size - made);
            if (keep < count && overflow) *overflow = true;
            const size_t have = std::min(keep, in.remaining());
            std::memcpy(out + made, in.here(), have);
            made += have;
            in.skip(count);
            if (have < keep) break;
        } else if (control != -128) {
            const size_t count = size_t(1 - control);
            const uint8_t value = in.u8();
            if (in.ranOut()) break;
            const size_t keep = std::min(count, size - made);
            if (keep < count && overflow) *overflow = true;
            std::memset(out + made, value, keep);
            made += keep;
        }
    }
    return made;
}

size_t decodeBlock(ByteReader& in, size_t codedBytes, uint8_t* out, size_t size, bool* overflow) {
    const size_t start = in.position();
    const size_t available = std::min(codedBytes, in.remaining());
    ByteReader block(in.here(), available);
    const size_t made = decode(block, out, size, overflow);
    in.seek(start + available);
    if (available < codedBytes) in.skip(1);  // sets the ran-out flag
    return made;
}

}  // namespace imaging::packbits
