// The DirectDraw HAL structures that Vortal32's callbacks receive, with the field names and meanings
// that DirectDraw published for display drivers. Only the fields this driver and its harness use carry
// meaning; the rest keep their place so the records read like DirectDraw's. Pointer-sized fields
// (FLATPTR, ULONG_PTR) follow the host's pointer width.
#pragma once

#include <cstdint>

extern "C" {

using DWORD = uint32_t;
using LONG = int32_t;
using WORD = uint16_t;
using BOOL = int32_t;
using HRESULT = int32_t;
using FLATPTR = uintptr_t;
using ULONG_PTR = uintptr_t;

// Callback answers.
constexpr DWORD DDHAL_DRIVER_NOTHANDLED = 0;
constexpr DWORD DDHAL_DRIVER_HANDLED = 1;

// Result codes (HRESULT bit patterns).
constexpr HRESULT DD_OK = 0;
constexpr HRESULT DDERR_WASSTILLDRAWING = static_cast<HRESULT>(0x8876021C);
constexpr HRESULT DDERR_UNSUPPORTED = static_cast<HRESULT>(0x80004001);
constexpr HRESULT DDERR_INVALIDPIXELFORMAT = static_cast<HRESULT>(0x88760091);
constexpr HRESULT DDERR_INVALIDPARAMS = static_cast<HRESULT>(0x80070057);
constexpr HRESULT DDERR_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
constexpr HRESULT DDERR_OUTOFCAPS = static_cast<HRESULT>(0x88760168);

// FOURCC codes of the two YUV formats the chip reads.
constexpr DWORD FOURCC_YUY2 = 0x32595559;
constexpr DWORD FOURCC_Y211 = 0x31313259;

struct RECTL {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

// DDPIXELFORMAT: 32 bytes.
constexpr DWORD DDPF_ALPHAPIXELS = 0x00000001;
constexpr DWORD DDPF_ALPHA = 0x00000002;
constexpr DWORD DDPF_FOURCC = 0x00000004;
constexpr DWORD DDPF_PALETTEINDEXED4 = 0x00000008;
constexpr DWORD DDPF_PALETTEINDEXED8 = 0x00000020;
constexpr DWORD DDPF_RGB = 0x00000040;

struct DDPIXELFORMAT {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwFourCC;
    union {
        DWORD dwRGBBitCount;
        DWORD dwYUVBitCount;
    };
    union {
        DWORD dwRBitMask;
        DWORD dwYBitMask;
    };
    union {
        DWORD dwGBitMask;
        DWORD dwUBitMask;
    };
    union {
        DWORD dwBBitMask;
        DWORD dwVBitMask;
    };
    DWORD dwRGBAlphaBitMask;
};
static_assert(sizeof(DDPIXELFORMAT) == 32);

struct DDCOLORKEY {
    DWORD dwColorSpaceLowValue;
    DWORD dwColorSpaceHighValue;
};

constexpr DWORD DDSCAPS_ALPHA = 0x00000002;
constexpr DWORD DDSCAPS_BACKBUFFER = 0x00000004;
constexpr DWORD DDSCAPS_COMPLEX = 0x00000008;
constexpr DWORD DDSCAPS_FLIP = 0x00000010;
constexpr DWORD DDSCAPS_FRONTBUFFER = 0x00000020;
constexpr DWORD DDSCAPS_OFFSCREENPLAIN = 0x00000040;
constexpr DWORD DDSCAPS_OVERLAY = 0x00000080;
constexpr DWORD DDSCAPS_PRIMARYSURFACE = 0x00000200;
constexpr DWORD DDSCAPS_VIDEOMEMORY = 0x00004000;
constexpr DWORD DDSCAPS_VISIBLE = 0x00008000;
constexpr DWORD DDSCAPS_LIVEVIDEO = 0x00080000;
constexpr DWORD DDSCAPS_HWCODEC = 0x00100000;

struct DDSCAPS {
    DWORD dwCaps;
};

// DDSURFACEDESC: the application's description of a surface.
constexpr DWORD DDSD_CAPS = 0x00000001;
constexpr DWORD DDSD_HEIGHT = 0x00000002;
constexpr DWORD DDSD_WIDTH = 0x00000004;
constexpr DWORD DDSD_PITCH = 0x00000008;
constexpr DWORD DDSD_BACKBUFFERCOUNT = 0x00000020;
constexpr DWORD DDSD_PIXELFORMAT = 0x00001000;

struct DDSURFACEDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    LONG lPitch;
    DWORD dwBackBufferCount;
    DWORD dwRefreshRate;
    DWORD dwAlphaBitDepth;
    DWORD dwReserved;
    void* lpSurface;
    DDCOLORKEY ddckCKDestOverlay;
    DDCOLORKEY ddckCKDestBlt;
    DDCOLORKEY ddckCKSrcOverlay;
    DDCOLORKEY ddckCKSrcBlt;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS ddsCaps;
};

// fpVidMem values a driver may hand back from CreateSurface to have DirectDraw allocate.
constexpr FLATPTR DDHAL_PLEASEALLOC_BLOCKSIZE = 0x00000002;

// Global surface record: the memory side, shared by every local record of the surface.
struct DDRAWI_DDRAWSURFACE_GBL {
    DWORD dwRefCnt;
    DWORD dwGlobalFlags;
    DWORD dwBlockSizeY;  // in a union with lpRectList once allocated
    DWORD dwBlockSizeX;  // in a union with lpVidMemHeap once allocated
    void* lpDD;
    FLATPTR fpVidMem;
    LONG lPitch;
    WORD wHeight;
    WORD wWidth;
    DWORD dwUsageCount;
    ULONG_PTR dwReserved1;  // the driver's own; Vortal32 keeps overlay records here
    DDPIXELFORMAT ddpfSurface;
};

// Local surface record: one application's view of a surface.
constexpr DWORD DDRAWISURF_HASPIXELFORMAT = 0x00002000;

struct DDRAWI_DDRAWSURFACE_LCL {
    DDRAWI_DDRAWSURFACE_GBL* lpGbl;
    DWORD dwFlags;
    DDSCAPS ddsCaps;
    DWORD dwProcessId;
    DDCOLORKEY ddckCKSrcOverlay;
    DDCOLORKEY ddckCKDestOverlay;
    DDCOLORKEY ddckCKSrcBlt;
    DDCOLORKEY ddckCKDestBlt;
};

struct DDRAWI_DIRECTDRAW_GBL;

// Blt.
constexpr DWORD DDBLT_ALPHADEST = 0x00000001;
constexpr DWORD DDBLT_ASYNC = 0x00000200;
constexpr DWORD DDBLT_COLORFILL = 0x00000400;
constexpr DWORD DDBLT_KEYSRC = 0x00008000;
constexpr DWORD DDBLT_KEYSRCOVERRIDE = 0x00010000;
constexpr DWORD DDBLT_ROP = 0x00020000;
constexpr DWORD DDBLT_WAIT = 0x01000000;

constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD PATCOPY = 0x00F00021;

struct DDBLTFX {
    DWORD dwSize;
    DWORD dwDDFX;
    DWORD dwROP;
    DWORD dwDDROP;
    DWORD dwRotationAngle;
    DWORD dwZBufferOpCode;
    DWORD dwZBufferLow;
    DWORD dwZBufferHigh;
    DWORD dwZBufferBaseDest;
    DWORD dwZDestConstBitDepth;
    DWORD dwZDestConst;
    DWORD dwZSrcConstBitDepth;
    DWORD dwZSrcConst;
    DWORD dwAlphaEdgeBlendBitDepth;
    DWORD dwAlphaEdgeBlend;
    DWORD dwReserved;
    DWORD dwAlphaDestConstBitDepth;
    DWORD dwAlphaDestConst;
    DWORD dwAlphaSrcConstBitDepth;
    DWORD dwAlphaSrcConst;
    DWORD dwFillColor;
    DDCOLORKEY ddckDestColorkey;
    DDCOLORKEY ddckSrcColorkey;
};

using LPDDHAL_CALLBACK = DWORD (*)(void*);

struct DDHAL_BLTDATA {
    DDRAWI_DIRECTDRAW_GBL* lpDD;
    DDRAWI_DDRAWSURFACE_LCL* lpDDDestSurface;
    RECTL rDest;
    DDRAWI_DDRAWSURFACE_LCL* lpDDSrcSurface;
    RECTL rSrc;
    DWORD dwFlags;
    DWORD dwROPFlags;
    DDBLTFX bltFX;
    HRESULT ddRVal;
    LPDDHAL_CALLBACK Blt;
    BOOL IsClipped;
};

struct DDHAL_FLIPDATA {
    DDRAWI_DIRECTDRAW_GBL* lpDD;
    DDRAWI_DDRAWSURFACE_LCL* lpSurfCurr;
    DDRAWI_DDRAWSURFACE_LCL* lpSurfTarg;
    DWORD dwFlags;
    HRESULT ddRVal;
    LPDDHAL_CALLBACK Flip;
};

struct DDHAL_LOCKDATA {
    DDRAWI_DIRECTDRAW_GBL* lpDD;
    DDRAWI_DDRAWSURFACE_LCL* lpDDSurface;
    DWORD bHasRect;
    RECTL rArea;
    void* lpSurfData;
    HRESULT ddRVal;
    LPDDHAL_CALLBACK Lock;
    DWORD dwFlags;
};

constexpr DWORD DDGBS_CANBLT = 0x00000001;
constexpr DWORD DDGBS_ISBLTDONE = 0x00000002;

struct DDHAL_GETBLTSTATUSDATA {
    DDRAWI_DIRECTDRAW_GBL* lpDD;
    DDRAWI_DDRAWSURFACE_LCL* lpDDSurface;
    DWORD dwFlags;
    HRESULT ddRVal;
    LPDDHAL_CALLBACK GetBltStatus;
};

constexpr DWORD DDGFS_CANFLIP = 0x00000001;
constexpr DWORD DDGFS_ISFLIPDONE = 0x00000002;

struct DDHAL_GETFLIPSTATUSDATA {
    DDRAWI_DIRECTDRAW_GBL* lpDD;
    DDRAWI_DDRAWSURFACE_LCL* lpDDSurface;
    DWORD dwFlags;
    HRESULT ddRVal;
    LPDDHAL_CALLBACK GetFlipStatus;
};

constexpr DWORD DDWAITVB_BLOCKBEGIN = 0x00000001;
constexpr DWORD DDWAITVB_BLOCKBEGINEVENT = 0x00000002;
constexpr DWORD DDWAITVB_BLOCKEND = 0x00000004;
constexpr DWORD DDWAITVB_I_TESTVB = 0x80000006;

struct DDHAL_WAITFORVERTICALBLANKDATA {
    DDRAWI_DIRECTDRAW_GBL* lpDD;
    DWORD dwFlags;
    DWORD bIsInVB;
    ULONG_PTR hEvent;
    HRESULT ddRVal;
    LPDDHAL_CALLBACK WaitForVerticalBlank;
};

struct DDHAL_CANCREATESURFACEDATA {
    DDRAWI_DIRECTDRAW_GBL* lpDD;
    DDSURFACEDESC* lpDDSurfaceDesc;
    DWORD bIsDifferentPixelFormat;
    HRESULT ddRVal;
    LPDDHAL_CALLBACK CanCreateSurface;
};

struct DDHAL_CREATESURFACEDATA {
    DDRAWI_DIRECTDRAW_GBL* lpDD;
    DDSURFACEDESC* lpDDSurfaceDesc;
    DDRAWI_DDRAWSURFACE_LCL** lplpSList;
    DWORD dwSCnt;
    HRESULT ddRVal;
    LPDDHAL_CALLBACK CreateSurface;
};

struct DDHAL_DESTROYSURFACEDATA {
    DDRAWI_DIRECTDRAW_GBL* lpDD;
    DDRAWI_DDRAWSURFACE_LCL* lpDDSurface;
    HRESULT ddRVal;
    LPDDHAL_CALLBACK DestroySurface;
};

// UpdateOverlay.
constexpr DWORD DDOVER_ALPHADEST = 0x00000001;
constexpr DWORD DDOVER_ALPHADESTCONSTOVERRIDE = 0x00000002;
constexpr DWORD DDOVER_ALPHASRC = 0x00000020;
constexpr DWORD DDOVER_ALPHASRCCONSTOVERRIDE = 0x00000040;
constexpr DWORD DDOVER_HIDE = 0x00000200;
constexpr DWORD DDOVER_KEYDEST = 0x00000400;
constexpr DWORD DDOVER_KEYDESTOVERRIDE = 0x00000800;
constexpr DWORD DDOVER_KEYSRC = 0x00001000;
constexpr DWORD DDOVER_KEYSRCOVERRIDE = 0x00002000;
constexpr DWORD DDOVER_SHOW = 0x00004000;

struct DDOVERLAYFX {
    DWORD dwSize;
    DWORD dwAlphaEdgeBlendBitDepth;
    DWORD dwAlphaEdgeBlend;
    DWORD dwReserved;
    DWORD dwAlphaDestConstBitDepth;
    DWORD dwAlphaDestConst;
    DWORD dwAlphaSrcConstBitDepth;
    DWORD dwAlphaSrcConst;
    DDCOLORKEY dckDestColorkey;
    DDCOLORKEY dckSrcColorkey;
    DWORD dwDDFX;
    DWORD dwFlags;
};

struct DDHAL_UPDATEOVERLAYDATA {
    DDRAWI_DIRECTDRAW_GBL* lpDD;
    DDRAWI_DDRAWSURFACE_LCL* lpDDDestSurface;
    RECTL rDest;
    DDRAWI_DDRAWSURFACE_LCL* lpDDSrcSurface;
    RECTL rSrc;
    DWORD dwFlags;
    DDOVERLAYFX overlayFX;
    HRESULT ddRVal;
    LPDDHAL_CALLBACK UpdateOverlay;
};

struct DDHAL_SETOVERLAYPOSITIONDATA {
    DDRAWI_DIRECTDRAW_GBL* lpDD;
    DDRAWI_DDRAWSURFACE_LCL* lpDDSrcSurface;
    DDRAWI_DDRAWSURFACE_LCL* lpDDDestSurface;
    LONG lXPos;
    LONG lYPos;
    HRESULT ddRVal;
    LPDDHAL_CALLBACK SetOverlayPosition;
};

constexpr DWORD DDCKEY_DESTBLT = 0x00000002;
constexpr DWORD DDCKEY_DESTOVERLAY = 0x00000004;
constexpr DWORD DDCKEY_SRCBLT = 0x00000008;
constexpr DWORD DDCKEY_SRCOVERLAY = 0x00000010;

struct DDHAL_SETCOLORKEYDATA {
    DDRAWI_DIRECTDRAW_GBL* lpDD;
    DDRAWI_DDRAWSURFACE_LCL* lpDDSurface;
    DWORD dwFlags;
    DDCOLORKEY ckNew;
    HRESULT ddRVal;
    LPDDHAL_CALLBACK SetColorKey;
};

}  // extern "C"
