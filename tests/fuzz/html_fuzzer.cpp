// libFuzzer target for the tag reader and the picture reference scan of
// HTML pages: any bytes, in any encoding, with tags that do not fit.
#include "frame/html_refs.h"

#include <QString>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const quillon::ReferenceScan scan = quillon::scanPictureReferences(
        QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)), QStringLiteral("/nonexistent-quillon/"));
    for (const quillon::PictureReference& reference : scan.references)
        if (reference.path.isEmpty()) __builtin_trap();
    return 0;
}
