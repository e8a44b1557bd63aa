#include "frame/colour_matching.h"

#include <lcms2.h>

#include <memory>

namespace quillon {
namespace {

struct ProfileCloser {
    void operator()(void* p) const { if (p) cmsCloseProfile(p); }
};
struct TransformDeleter {
    void operator()(void* t) const { if (t) cmsDeleteTransform(t); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;
using Transform = std::unique_ptr<void, TransformDeleter>;

Profile openProfile(const QByteArray& bytes) {
    if (bytes.isEmpty()) return nullptr;
    return Profile(cmsOpenProfileFromMem(bytes.constData(), cmsUInt32Number(bytes.size())));
}

bool convertible(cmsHPROFILE profile) {
    const cmsColorSpaceSignature space = cmsGetColorSpace(profile);
    return space == cmsSigRgbData || space == cmsSigCmykData || space == cmsSigGrayData;
}

}  // namespace

int lcmsIntentOf(int intent) {
    switch (intent) {
    case kFavourSaturation: return INTENT_SATURATION;
    case kFavourContrast: return INTENT_PERCEPTUAL;
    default: return INTENT_RELATIVE_COLORIMETRIC;
    }
}

bool usablePrinterProfile(const QByteArray& bytes) {
    const Profile profile = openProfile(bytes);
    return profile && convertible(profile.get());
}

QImage matchColours(const QImage& picture, const QByteArray& bytes, int intent) {
    const Profile printer = openProfile(bytes);
    if (!printer || !convertible(printer.get())) return {};
    const Profile srgb(cmsCreate_sRGBProfile());
    if (!srgb) return {};
    const cmsUInt32Number lcmsIntent = cmsUInt32Number(lcmsIntentOf(intent));
    Transform transform;
    if (cmsGetColorSpace(printer.get()) == cmsSigRgbData) {
        transform.reset(cmsCreateTransform(srgb.get(), TYPE_RGB_8, printer.get(), TYPE_RGB_8, lcmsIntent, 0));
    } else {
        // The page carries RGB: map into the printer's gamut with the intent
        // and come back to sRGB colorimetrically.
        transform.reset(cmsCreateProofingTransform(srgb.get(), TYPE_RGB_8, srgb.get(), TYPE_RGB_8, printer.get(),
                                                   INTENT_RELATIVE_COLORIMETRIC, lcmsIntent,
                                                   cmsFLAGS_SOFTPROOFING));
    }
    if (!transform) return {};
    QImage source = picture.convertToFormat(QImage::Format_RGB888);
    if (source.isNull()) return {};
    QImage out(source.size(), QImage::Format_RGB888);
    if (out.isNull()) return {};
    for (int y = 0; y < source.height(); ++y)
        cmsDoTransform(transform.get(), source.constScanLine(y), out.scanLine(y), cmsUInt32Number(source.width()));
    out.setDotsPerMeterX(picture.dotsPerMeterX());
    out.setDotsPerMeterY(picture.dotsPerMeterY());
    return out;
}

}  // namespace quillon
