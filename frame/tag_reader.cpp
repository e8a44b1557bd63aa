#include "frame/tag_reader.h"

#include <QIODevice>

#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillon {
namespace {

constexpr int kEscape = 27;

// Bytes that are stored as they come outside two-byte mode; the others go
// through the rules one at a time.
constexpr std::array<bool, 256> kPlain = [] {
    std::array<bool, 256> plain{};
    plain.fill(true);
    for (int c : {int('\n'), int('\r'), int('\t'), int('<'), int('>'), kEscape}) plain[size_t(c)] = false;
    return plain;
}();

// Where the run of plain bytes from p ends (at most end). Pages are mostly
// text between tags: sixteen bytes are looked at together.
qsizetype plainRunEnd(const char* data, qsizetype p, qsizetype end) {
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r'), tab = _mm_set1_epi8('\t');
    const __m128i lt = _mm_set1_epi8('<'), gt = _mm_set1_epi8('>'), esc = _mm_set1_epi8(char(kEscape));
    for (; p + 16 <= end; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + p));
        const __m128i hit = _mm_or_si128(
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr)), _mm_cmpeq_epi8(v, tab)),
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, lt), _mm_cmpeq_epi8(v, gt)), _mm_cmpeq_epi8(v, esc)));
        if (const int mask = _mm_movemask_epi8(hit)) return p + __builtin_ctz(unsigned(mask));
    }
#endif
    while (p < end && kPlain[static_cast<unsigned char>(data[p])]) ++p;
    return p;
}

}  // namespace

void jisToShiftJis(unsigned char& first, unsigned char& second) {
    if (first < 0x21 || first > 0x7E || second < 0x21 || second > 0x7E) {
        first = second = 0;
        return;
    }
    if (first & 1) {
        second = static_cast<unsigned char>(second + 0x1F);
        if (second >= 0x7F) ++second;
    } else {
        second = static_cast<unsigned char>(second + 0x7E);
    }
    first = static_cast<unsigned char>(((first - 0x21) >> 1) + 0x81);
    if (first > 0x9F) first = static_cast<unsigned char>(first + 0x40);
}

TagReader::TagReader(QIODevice& device) : m_data(nullptr), m_size(0), m_device(&device) {}

bool TagReader::available() {
    if (m_pos < m_size) return true;
    if (!m_device) return false;
    constexpr qsizetype kBlock = 64 * 1024;
    if (m_block.size() != kBlock) m_block.resize(kBlock);
    const qint64 got = m_device->read(m_block.data(), kBlock);
    if (got < 0) m_failed = true;
    m_data = m_block.constData();
    m_size = got > 0 ? got : 0;
    m_pos = 0;
    return m_size > 0;
}

int TagReader::get() {
    if (m_pushedBack >= 0) {
        const int c = m_pushedBack;
        m_pushedBack = -1;
        return c;
    }
    if (!available()) return -1;
    const unsigned char c = static_cast<unsigned char>(m_data[m_pos++]);
    // Text mode: CR LF arrives as one line feed.
    if (c == '\r' && available() && m_data[m_pos] == '\n') {
        ++m_pos;
        return '\n';
    }
    return c;
}

bool TagReader::read(char* buffer, int capacity) {
    int count = 0;
    bool inTag = false;
    bool twoByte = false;
    auto* bytes = reinterpret_cast<unsigned char*>(buffer);
    // One place left: a tag does not fit, a text run goes on in the next piece.
    enum class Full { No, TagTooLong, PieceDone };
    auto checkFull = [&] {
        if (capacity - count != 1) return Full::No;
        if (inTag) return Full::TagTooLong;
        buffer[count] = 0;
        return Full::PieceDone;
    };
    auto store = [&](int c) {
        bytes[count++] = static_cast<unsigned char>(c);
        return checkFull();
    };

    for (;;) {
        if (!twoByte && m_pushedBack < 0 && available()) {
            // A run of plain bytes at once; each one would only be stored.
            const qsizetype end = std::min(m_size, m_pos + (capacity - 1 - count));
            const qsizetype p = plainRunEnd(m_data, m_pos, end);
            if (p > m_pos) {
                std::memcpy(buffer + count, m_data + m_pos, size_t(p - m_pos));
                count += int(p - m_pos);
                m_pos = p;
                if (const Full f = checkFull(); f != Full::No) return f == Full::PieceDone;
            }
        }

        int c = get();
        if (c < 0) {
            buffer[count] = 0;
            return true;
        }
        if (c == '\n') {
            if (const Full f = store(' '); f != Full::No) return f == Full::PieceDone;
            continue;
        }
        if (c == '\t') c = ' ';
        if (c == '<' && count > 0 && !inTag && !twoByte) {
            unget(c);
            buffer[count] = 0;
            return true;
        }
        if (const Full f = store(c); f != Full::No) return f == Full::PieceDone;

        if (twoByte && c >= 32 && c <= 126) {
            const int second = get();
            if (const Full f = store(second < 0 ? 0 : second); f != Full::No) {
                jisToShiftJis(bytes[count - 2], bytes[count - 1]);
                return f == Full::PieceDone;
            }
            jisToShiftJis(bytes[count - 2], bytes[count - 1]);
            continue;
        }
        if (c == '<') {
            if (!inTag) {
                inTag = true;
                continue;
            }
            // A tag inside this tag: read it into the rest of the buffer.
            --count;
            unget(c);
            if (!read(buffer + count, capacity - count)) return false;
            const bool comment = buffer[count] == '<' && buffer[count + 1] == '!';
            count += int(std::strlen(buffer + count));
            if (comment) {
                buffer[count] = 0;
                return true;
            }
            continue;
        }
        if (c == '>') {
            buffer[count] = 0;
            return true;
        }
        if (c == kEscape) {
            const int first = get();
            if (first < 0) continue;
            if (const Full f = store(first); f != Full::No) return f == Full::PieceDone;
            if (first != '$' && first != '(') continue;
            const int second = get();
            if (second < 0) continue;
            bytes[count++] = static_cast<unsigned char>(second);
            if (first == '$' && (second == 'B' || second == '@')) {
                twoByte = true;
                count -= 3;
            } else if (first == '(' && (second == 'B' || second == 'J' || second == 'H')) {
                twoByte = false;
                count -= 3;
            }
            if (const Full f = checkFull(); f != Full::No) return f == Full::PieceDone;
        }
    }
}

}  // namespace quillon
