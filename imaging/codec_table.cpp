#include "imaging/codec_table.h"

#include "imaging/codecs/bmp.h"
#include "imaging/codecs/cals.h"
#include "imaging/codecs/eps.h"
#include "imaging/codecs/fxs.h"
#include "imaging/codecs/gem.h"
#include "imaging/codecs/ioca.h"
#include "imaging/codecs/macpaint.h"
#include "imaging/codecs/msp.h"
#include "imaging/codecs/pcd.h"
#include "imaging/codecs/pcx.h"
#include "imaging/codecs/pict.h"
#include "imaging/codecs/psd.h"
#include "imaging/codecs/ras.h"
#include "imaging/codecs/tga.h"
#include "imaging/codecs/tiff.h"
#include "imaging/codecs/png.h"
#include "imaging/codecs/wmf.h"
#include "imaging/codecs/wpg.h"
#include "imaging/result.h"
#include "jpeg32/jpeg32.h"

namespace imaging {
namespace {

int bmpInfo(const uint8_t* data, size_t size, FileInfo& info) {
    bmp::Info bmpInfo;
    const int status = bmp::readInfo(data, size, bmpInfo);
    if (status != kSuccess) return status;
    info.width = bmpInfo.width;
    info.height = bmpInfo.height;
    info.bits = bmpInfo.bits;
    info.xResolution = bmpInfo.xResolution;
    info.yResolution = bmpInfo.yResolution;
    return kSuccess;
}

bool bmpWritesDepth(int bits) { return bits != 15 && bits != 16 ? isValidDepth(bits) : false; }

}  // namespace

const std::vector<Codec>& codecTable() {
    static const std::vector<Codec> table = {
        {6, "BMP", bmp::probe, bmpInfo, bmp::read, bmp::write, bmpWritesDepth},
        {3, "TIF", tiff::probe, tiff::readInfo, tiff::read, tiff::write, tiff::writesDepth},
        {75, "PNG", png::probe, png::readInfo, png::read, png::write, png::writesDepth},
        {10, "JPG", jpeg32::probe, jpeg32::readInfo, jpeg32::read, nullptr, nullptr},
        {76, "PSD", psd::probe, psd::readInfo, psd::read, psd::write, psd::writesDepth},
        {55, "RAS", ras::probe, ras::readInfo, ras::read, ras::write, ras::writesDepth},
        {54, "WPG", wpg::probe, wpg::readInfo, wpg::read, wpg::write, wpg::writesDepth},
        {69, "FXS", fxs::probe, fxs::readInfo, fxs::read, fxs::write, fxs::writesDepth},
        {57, "PCD", pcd::probe, pcd::readInfo, pcd::read, nullptr, nullptr},
        {53, "MSP", msp::probe, msp::readInfo, msp::read, msp::write, msp::writesDepth},
        {16, "EPS", eps::probe, eps::readInfo, eps::read, eps::write, eps::writesDepth},
        {15, "WMF", wmf::probe, wmf::readInfo, wmf::read, wmf::write, wmf::writesDepth},
        {71, "ICA", ioca::probe, ioca::readInfo, ioca::read, ioca::write, ioca::writesDepth},
        {50, "CAL", cals::probe, cals::readInfo, cals::read, cals::write, cals::writesDepth},
        // Weak signatures: a byte or two, or plausible header fields.
        {56, "PCT", pict::probe, pict::readInfo, pict::read, pict::write, pict::writesDepth},
        {1, "PCX", pcx::probe, pcx::readInfo, pcx::read, pcx::write, pcx::writesDepth},
        {52, "IMG", gem::probe, gem::readInfo, gem::read, gem::write, gem::writesDepth},
        {51, "MAC", macpaint::probe, macpaint::readInfo, macpaint::read, macpaint::write, macpaint::writesDepth},
        // No signature at all: last.
        {4, "TGA", tga::probe, tga::readInfo, tga::read, tga::write, tga::writesDepth},
    };
    return table;
}

const Codec* codecForData(const uint8_t* data, size_t size) {
    for (const Codec& codec : codecTable())
        if (codec.probe && codec.probe(data, size)) return &codec;
    return nullptr;
}

const Codec* codecForCode(int formatCode) {
    for (const Codec& codec : codecTable())
        if (codec.formatCode == formatCode) return &codec;
    return nullptr;
}

}  // namespace imaging
