// Imaging, screen output and the colour ruler from a palette file.
#include <algorithm>

#include "api_frame.h"
#include "palette_bmp.h"
#include "screen.h"

using namespace thermcore;
namespace im = thermcore::imaging;

namespace {

template <void (*Setter)(im::ImHandle, int)>
void passInt(IfrHandle h, int v) {
    withObject(h, [v](IfrObject& o) { Setter(o.imaging.get(), v); });
}

template <int (*Getter)(im::ImHandle)>
int readInt(IfrHandle h) {
    return withObject(h, -1, [](IfrObject& o) { return Getter(o.imaging.get()); });
}

}  // namespace

extern "C" {

void IFR_SetHistogramLevel(IfrHandle h, int v) { passInt<im::IM_SetHistogramLevel>(h, v); }
void IFR_SetHistogramGain(IfrHandle h, int v) { passInt<im::IM_SetHistogramGain>(h, v); }
int IFR_GetHistogramLevel(IfrHandle h) { return readInt<im::IM_GetHistogramLevel>(h); }
int IFR_GetHistogramGain(IfrHandle h) { return readInt<im::IM_GetHistogramGain>(h); }
void IFR_SetAGCStatus(IfrHandle h, int v) { passInt<im::IM_SetAGCStatus>(h, v); }
int IFR_GetAGCStatus(IfrHandle h) { return readInt<im::IM_GetAGCStatus>(h); }
void IFR_SetHistogramMinGray(IfrHandle h, int v) { passInt<im::IM_SetHistogramMinGray>(h, v); }
int IFR_GetHistogramMinGray(IfrHandle h) { return readInt<im::IM_GetHistogramMinGray>(h); }
void IFR_SetHistogramMaxGray(IfrHandle h, int v) { passInt<im::IM_SetHistogramMaxGray>(h, v); }
int IFR_GetHistogramMaxGray(IfrHandle h) { return readInt<im::IM_GetHistogramMaxGray>(h); }
int IFR_GetHistogramTblLength(IfrHandle h) { return readInt<im::IM_GetHistogramTblLength>(h); }
void IFR_SetFilterType(IfrHandle h, int v) { passInt<im::IM_SetFilterMode>(h, v); }
void IFR_SetEnhanceType(IfrHandle h, int v) { passInt<im::IM_SetEnhanceMode>(h, v); }
void IFR_SetImageFlipMode(IfrHandle h, int v) { passInt<im::IM_SetImageFlipMode>(h, v); }
void IFR_SetMaxContrastCtrl(IfrHandle h, int v) { passInt<im::IM_SetMaxContrastCtrl>(h, v); }
int IFR_GetMaxContrastCtrl(IfrHandle h) { return readInt<im::IM_GetMaxContrastCtrl>(h); }
void IFR_SetHistogramComboModeGain(IfrHandle h, int v) {
    passInt<im::IM_SetHistogramComboModeGain>(h, v);
}
void IFR_SetHistogramComboModeLevel(IfrHandle h, int v) {
    passInt<im::IM_SetHistogramComboModeLevel>(h, v);
}
void IFR_SetUNCompensateMode(IfrHandle h, int v) { passInt<im::IM_SetUNCompensateMode>(h, v); }
void IFR_UNCCompensateSetColumnThreshold(IfrHandle h, int v) {
    passInt<im::IM_UNCCompensateSetColumnThreshold>(h, v);
}
void IFR_SetBendiLimmit(IfrHandle h, int v) { passInt<im::IM_SetBendiLimmit>(h, v); }

void IFR_GetHistogramTblData(IfrHandle h, int* bins) {
    withObject(h, [bins](IfrObject& o) {
        if (bins == nullptr) return;
        const int n = im::IM_GetHistogramTblLength(o.imaging.get());
        for (int i = 0; i < n; ++i) bins[i] = im::IM_GetHistogramTblData(o.imaging.get(), i);
    });
}

void IFR_ResetAGCStatus(IfrHandle h) {
    withObject(h, [](IfrObject& o) {
        if (!o.display) return;
        const DisplayBlock d = *o.display;
        im::IM_SetAGCStatus(o.imaging.get(), d.agcState);
        im::IM_SetHistogramMaxGray(o.imaging.get(), o.tempToGray(d.upper100 / 100.0f));
        im::IM_SetHistogramMinGray(o.imaging.get(), o.tempToGray(d.lower100 / 100.0f));
        if (o.gray.size() == o.pixelCount()) {
            im::IM_DoHistogramProcess(o.imaging.get(), o.gray.data());
        }
    });
}

void IFR_DoHistogramProcess(IfrHandle h, const unsigned short* frame) {
    withObject(h, [frame](IfrObject& o) { im::IM_DoHistogramProcess(o.imaging.get(), frame); });
}

void IFR_DoIfrProcess(IfrHandle h, const unsigned short* frame) {
    withObject(h, [frame](IfrObject& o) {
        im::IM_DoIfrProcess(o.imaging.get(), frame, o.colourBuffer());
    });
}

void IFR_ShowImage(IfrHandle h, const unsigned short* frame) {
    withObject(h, [frame](IfrObject& o) {
        if (o.renderToSurface(frame, true) == 0) o.present();
    });
}

void IFR_SwapColorRulerBuffer(IfrHandle h) {
    withObject(h, [](IfrObject& o) { im::IM_SwapColorRulerBuffer(o.imaging.get()); });
}

int IFR_GetDrawBuffer(IfrHandle h, const unsigned short* frame, IfrSurface** surface) {
    return withObject(h, -1, [&](IfrObject& o) {
        const int r = o.renderToSurface(frame);
        if (r == 0 && surface != nullptr) *surface = &o.surface;
        return r;
    });
}

void ThermcoreSetPresentHook(ThermcorePresentProc proc, void* user) {
    setPresentHook({proc, user});
}

void IFR_Flip(IfrHandle h) {
    withObject(h, [](IfrObject& o) { o.present(); });
}

int IFR_SetColorRuler(IfrHandle h, const char* path) {
    return withObject(h, -1, [path](IfrObject& o) {
        std::array<uint8_t, kPaletteBytes> bytes;
        std::array<uint32_t, im::kRulerEntries> entries;
        if (readPaletteBmp(path, bytes, entries) != 0) return -1;
        o.paletteBytes = bytes;
        o.paletteHeld = true;
        uint32_t* ruler = im::IM_GetBufferColorRuler(o.imaging.get());
        if (ruler != nullptr) std::copy(entries.begin(), entries.end(), ruler);
        im::IM_SwapColorRulerBuffer(o.imaging.get());
        return 0;
    });
}

}  // extern "C"

