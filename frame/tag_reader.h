// The tag reader of the picture reference scan: cuts the bytes of an HTML
// page into pieces, each either one tag from its "<" through its ">" or a
// run of text between tags, at most 2047 bytes. It works on the page's
// bytes as they are: a CR LF pair reads as one line feed, a line feed is
// stored as a blank and a tab becomes one, and inside an ISO-2022-JP
// escape to two-byte mode each pair of bytes is turned into Shift-JIS, so
// its bytes are never taken for "<" or ">".
#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstddef>

class QIODevice;

namespace quillon {

class TagReader {
public:
    static constexpr int kPieceCapacity = 2048;

    // Over a page in memory.
    explicit TagReader(QByteArrayView page) : m_data(page.data()), m_size(page.size()) {}
    // Over a page read from device in blocks as the pieces need them.
    explicit TagReader(QIODevice& device);

    // Fills buffer (capacity bytes) with the next piece, terminated by a
    // zero byte, and returns true; an empty piece means the page is done.
    // False when a tag does not fit: the scan ends there.
    bool read(char* buffer, int capacity);
    // The device could not be read to its end.
    bool failed() const { return m_failed; }

private:
    bool available();  // false at the end of the page
    int get();
    void unget(int c) { m_pushedBack = c; }

    const char* m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    int m_pushedBack = -1;
    QIODevice* m_device = nullptr;
    QByteArray m_block;
    bool m_failed = false;
};

// JIS X 0208 row and cell bytes to their Shift-JIS pair; a byte outside
// 0x21 to 0x7E makes both zero.
void jisToShiftJis(unsigned char& first, unsigned char& second);

}  // namespace quillon
