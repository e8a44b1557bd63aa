#include "orrery/codec/jpeg_codec.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

namespace orrery {

namespace {

struct ErrorTrap {
    jpeg_error_mgr manager;
    jmp_buf jump;
    bool damaged = false;
};

void onError(j_common_ptr cinfo) {
    auto* trap = reinterpret_cast<ErrorTrap*>(cinfo->err);
    longjmp(trap->jump, 1);
}

void onMessage(j_common_ptr) {}

// Warnings that mean the coded picture data is broken or ran out; others
// (stray bytes before a marker, odd header fields) leave a whole picture.
bool meansDamage(int code) {
    return code == JWRN_HIT_MARKER || code == JWRN_JPEG_EOF || code == JWRN_HUFF_BAD_CODE ||
           code == JWRN_MUST_RESYNC || code == JWRN_NOT_SEQUENTIAL;
}

void onEmit(j_common_ptr cinfo, int level) {
    if (level >= 0) return;
    auto* trap = reinterpret_cast<ErrorTrap*>(cinfo->err);
    trap->manager.num_warnings++;
    if (meansDamage(trap->manager.msg_code)) trap->damaged = true;
}

// Holds no objects with destructors: longjmp may leave it from any libjpeg call.
bool decodeInto(const uint8_t* data, size_t size, size_t maxPixels, Picture* out) {
    jpeg_decompress_struct cinfo;
    ErrorTrap trap;
    cinfo.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = onError;
    trap.manager.output_message = onMessage;
    trap.manager.emit_message = onEmit;
    if (setjmp(trap.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    if (size_t(cinfo.image_width) * cinfo.image_height > maxPixels) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    out->width = int(cinfo.output_width);
    out->height = int(cinfo.output_height);
    out->rgb.assign(size_t(out->width) * size_t(out->height) * 3, 0);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out->row(int(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    // Corrupt entropy data only raises warnings; a damaged picture is refused.
    bool clean = !trap.damaged;
    jpeg_destroy_decompress(&cinfo);
    return clean;
}

bool encodeInto(const Picture* picture, const JpegEncoding* encoding, unsigned char** buffer,
                unsigned long* size) {
    jpeg_compress_struct cinfo;
    ErrorTrap trap;
    jpeg_scan_info scans[3];
    cinfo.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = onError;
    trap.manager.output_message = onMessage;
    if (setjmp(trap.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, buffer, size);
    cinfo.image_width = JDIMENSION(picture->width);
    cinfo.image_height = JDIMENSION(picture->height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, encoding->quality, TRUE);
    cinfo.optimize_coding = FALSE;
    cinfo.comp_info[0].h_samp_factor = encoding->lumaH;
    cinfo.comp_info[0].v_samp_factor = encoding->lumaV;
    for (int c = 1; c < 3; ++c) cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    if (encoding->scanPerComponent) {
        for (int c = 0; c < 3; ++c) {
            scans[c].comps_in_scan = 1;
            scans[c].component_index[0] = c;
            scans[c].Ss = 0;
            scans[c].Se = 63;
            scans[c].Ah = 0;
            scans[c].Al = 0;
        }
        cinfo.scan_info = scans;
        cinfo.num_scans = 3;
    }
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(picture->row(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

}  // namespace

bool decodeJpeg(std::span<const uint8_t> stream, Picture& out, size_t maxPixels) {
    if (stream.size() < 4) return false;
    Picture picture;
    if (!decodeInto(stream.data(), stream.size(), maxPixels, &picture)) return false;
    out = std::move(picture);
    return true;
}

bool encodeJpeg(const Picture& picture, const JpegEncoding& encoding, std::vector<uint8_t>& out) {
    if (picture.empty()) return false;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    bool ok = encodeInto(&picture, &encoding, &buffer, &size);
    if (ok) out.assign(buffer, buffer + size);
    std::free(buffer);
    return ok;
}

}  // namespace orrery
