#include "frame/tag_reader.h"

#include <array>
#include <cstring>

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

int TagReader::get() {
    if (m_pos >= m_size) return -1;
    const unsigned char c = static_cast<unsigned char>(m_data[m_pos++]);
    // Text mode: CR LF arrives as one line feed.
    if (c == '\r' && m_pos < m_size && m_data[m_pos] == '\n') {
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
        if (!twoByte) {
            // A run of plain bytes at once; each one would only be stored.
            const qsizetype end = std::min(m_size, m_pos + (capacity - 1 - count));
            qsizetype p = m_pos;
            while (p < end && kPlain[static_cast<unsigned char>(m_data[p])]) ++p;
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
            unget();
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
            unget();
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
