// The imaging layer: gray frames to 32-bit false colour.
//
// A small stand-in for the outside imaging library the camera software was
// built on, with the operations (and names) the image object calls. One
// resource per image object; every call takes it first, and a NULL resource
// makes a call do nothing (getters then return 0).
//
// Rules the rest of the library relies on:
//  - Display range. The display grays min and max map to ruler indices 0 and
//    255. With automatic gain on (the default), every histogram pass sets them
//    to the frame's lowest and highest gray, so the temperature range a
//    program shows is read from IM_GetHistogramMinGray/MaxGray. With it off,
//    the grays given to IM_SetHistogramMinGray/MaxGray stay. Before any pass
//    they are 0 and 16383.
//  - Colour of a gray g: ruler[clamp(round((g - min) * 255 / (max - min)),
//    0, 255)], rounding halves up; when max <= min, index 0 for g <= min and
//    255 above. Grays are read as signed 16-bit values.
//  - Flip mode: 0 none, 1 left-right, 2 top-bottom, 3 both; applied when
//    writing the colour image.
//  - Colour ruler: 256 entries 0x00RRGGBB, index 0 the lowest display gray.
//    IM_GetBufferColorRuler gives a writable back buffer; IM_SwapColorRulerBuffer
//    copies it into the current ruler (the back buffer keeps its contents).
//    Both start as a gray ramp (entry i = i * 0x010101).
//  - Histogram: 256 bins over [min, max] of the last pass, bin =
//    (g - min) * 256 / (max - min + 1); grays outside fall into the end bins.
//  - Any display range may be set (a file's display block converts to grays
//    that need not fit a frame's); the colour and bin tables cover only the
//    grays a 16-bit frame can hold, at most 65536 entries.
//  - Level, gain, contrast, combo modes, filter, enhancement and the
//    non-uniformity settings are stored and read back; they do not change
//    the picture.
#pragma once

#include <cstdint>

namespace thermcore::imaging {

struct Resource;
using ImHandle = Resource*;

inline constexpr int kHistogramBins = 256;
inline constexpr int kRulerEntries = 256;

int IM_Init();
ImHandle IM_AllocResource();
void IM_FreeResource(ImHandle h);
void IM_SetImageResolution(ImHandle h, int width, int height);

void IM_DoHistogramProcess(ImHandle h, const uint16_t* frame);
void IM_DoIfrProcess(ImHandle h, const uint16_t* frame, uint32_t* rgb);
// The same written into two buffers in one pass (copy may be NULL).
void IM_DoIfrProcessTwice(ImHandle h, const uint16_t* frame, uint32_t* rgb, uint32_t* copy);
// IM_DoHistogramProcess, then IM_DoIfrProcessTwice, with the histogram
// counted in the colour pass (rgb NULL: the histogram alone).
void IM_DoHistogramAndIfrProcess(ImHandle h, const uint16_t* frame, uint32_t* rgb, uint32_t* copy);

uint32_t* IM_GetBufferColorRuler(ImHandle h);
void IM_SwapColorRulerBuffer(ImHandle h);

int IM_GetHistogramMinGray(ImHandle h);
int IM_GetHistogramMaxGray(ImHandle h);
void IM_SetHistogramMinGray(ImHandle h, int gray);
void IM_SetHistogramMaxGray(ImHandle h, int gray);

void IM_SetHistogramLevel(ImHandle h, int v);
void IM_SetHistogramGain(ImHandle h, int v);
void IM_SetAGCStatus(ImHandle h, int v);
void IM_SetFilterMode(ImHandle h, int v);
void IM_SetEnhanceMode(ImHandle h, int v);
void IM_SetImageFlipMode(ImHandle h, int v);
void IM_SetMaxContrastCtrl(ImHandle h, int v);
void IM_SetHistogramComboModeGain(ImHandle h, int v);
void IM_SetHistogramComboModeLevel(ImHandle h, int v);

int IM_GetHistogramLevel(ImHandle h);
int IM_GetHistogramGain(ImHandle h);
int IM_GetAGCStatus(ImHandle h);
int IM_GetMaxContrastCtrl(ImHandle h);
int IM_GetHistogramTblLength(ImHandle h);
int IM_GetHistogramTblData(ImHandle h, int index);  // 0 outside 0..255

void IM_SetUNCompensateMode(ImHandle h, int v);
void IM_UNCCompensateSetColumnThreshold(ImHandle h, int v);
void IM_SetBendiLimmit(ImHandle h, int v);

}  // namespace thermcore::imaging
