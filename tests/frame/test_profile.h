// A printer profile made with LittleCMS for the tests: an RGB output profile
// whose three intents map colours differently (perceptual pulls colours
// toward grey, saturation pushes them out, colorimetric keeps them), so
// that each intent gives its own pixels.
#pragma once

#include <QByteArray>

#include <lcms2.h>

#include <algorithm>

namespace frame_test {

struct SamplerCargo {
    cmsHTRANSFORM labToRgb;
    double saturation;  // 1 keeps colours
};

inline int sampleBToA(const cmsUInt16Number in[], cmsUInt16Number out[], void* cargo) {
    const auto* c = static_cast<const SamplerCargo*>(cargo);
    cmsCIELab lab;
    cmsLabEncoded2FloatV2(&lab, in);
    lab.a *= c->saturation;
    lab.b *= c->saturation;
    double rgb[3];
    cmsDoTransform(c->labToRgb, &lab, rgb, 1);
    for (int i = 0; i < 3; ++i) out[i] = cmsUInt16Number(std::clamp(rgb[i], 0.0, 1.0) * 65535.0 + 0.5);
    return 1;
}

inline int sampleAToB(const cmsUInt16Number in[], cmsUInt16Number out[], void* cargo) {
    double rgb[3] = {in[0] / 65535.0, in[1] / 65535.0, in[2] / 65535.0};
    cmsCIELab lab;
    cmsDoTransform(static_cast<cmsHTRANSFORM>(cargo), rgb, &lab, 1);
    cmsFloat2LabEncodedV2(out, &lab);
    return 1;
}

inline bool addClut(cmsHPROFILE profile, cmsTagSignature tag, cmsSAMPLER16 sampler, void* cargo) {
    cmsPipeline* pipeline = cmsPipelineAlloc(nullptr, 3, 3);
    cmsStage* clut = cmsStageAllocCLut16bit(nullptr, 17, 3, 3, nullptr);
    bool ok = pipeline && clut && cmsStageSampleCLut16bit(clut, sampler, cargo, 0) &&
              cmsPipelineInsertStage(pipeline, cmsAT_END, clut);
    if (!ok && clut) cmsStageFree(clut);
    ok = ok && cmsWriteTag(profile, tag, pipeline);
    if (pipeline) cmsPipelineFree(pipeline);
    return ok;
}

// The profile's bytes; empty on failure.
inline QByteArray makeIntentProfile() {
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHPROFILE lab = cmsCreateLab2Profile(nullptr);
    cmsHTRANSFORM toRgb = cmsCreateTransform(lab, TYPE_Lab_DBL, srgb, TYPE_RGB_DBL, INTENT_RELATIVE_COLORIMETRIC, 0);
    cmsHTRANSFORM toLab = cmsCreateTransform(srgb, TYPE_RGB_DBL, lab, TYPE_Lab_DBL, INTENT_RELATIVE_COLORIMETRIC, 0);
    cmsHPROFILE printer = cmsCreateProfilePlaceholder(nullptr);
    cmsSetProfileVersion(printer, 2.1);
    cmsSetDeviceClass(printer, cmsSigOutputClass);
    cmsSetColorSpace(printer, cmsSigRgbData);
    cmsSetPCS(printer, cmsSigLabData);
    cmsMLU* description = cmsMLUalloc(nullptr, 1);
    cmsMLUsetASCII(description, "en", "US", "Quillon test printer");
    cmsWriteTag(printer, cmsSigProfileDescriptionTag, description);
    cmsMLUfree(description);
    cmsWriteTag(printer, cmsSigMediaWhitePointTag, cmsD50_XYZ());
    SamplerCargo perceptual{toRgb, 0.55}, colorimetric{toRgb, 1.0}, saturation{toRgb, 1.6};
    bool ok = addClut(printer, cmsSigAToB0Tag, sampleAToB, toLab) &&
              addClut(printer, cmsSigBToA0Tag, sampleBToA, &perceptual) &&
              addClut(printer, cmsSigBToA1Tag, sampleBToA, &colorimetric) &&
              addClut(printer, cmsSigBToA2Tag, sampleBToA, &saturation);
    QByteArray bytes;
    cmsUInt32Number size = 0;
    if (ok && cmsSaveProfileToMem(printer, nullptr, &size) && size > 0) {
        bytes.resize(size);
        if (!cmsSaveProfileToMem(printer, bytes.data(), &size)) bytes.clear();
    }
    cmsCloseProfile(printer);
    cmsDeleteTransform(toRgb);
    cmsDeleteTransform(toLab);
    cmsCloseProfile(lab);
    cmsCloseProfile(srgb);
    return bytes;
}

}  // namespace frame_test
