// MCU preparers: from the caller's interleaved pixel rows to the level-shifted
// blocks of one MCU, with colour conversion, chroma reduction and edge fill.
#ifndef THERMJPEG_MCU_PREPARERS_H
#define THERMJPEG_MCU_PREPARERS_H

#include "codec_state.h"

namespace thermjpeg {

// Fast-path codes recorded by the selection (0: general preparer or none).
enum FastPathCode {
    kPathRgb = 1,
    kPathBgr = 2,
    kPathRgbH2V2 = 3,
    kPathBgrH2V2 = 4,
    kPathRgbH2V1 = 5,
    kPathBgrH2V1 = 6,
    kPathInvRgbA = 10,
    kPathInvRgbAH2V2 = 11,
    kPathInvRgbAH2V1 = 12,
    kPath4 = 14,
    kPathYcc = 15,
    kPathYccH2V2 = 16,
    kPathYccH2V1 = 17,
    kPathYcbycr = 18,
    kPathGray = 20
};

// Picks the preparer for the frame and the pixel layout and installs it in
// prepareMcu (cleared first, so a combination without a preparer leaves it
// empty). With SingleBlockMcu nothing is installed. Returns 0, or -14 for a
// component count outside 1..255 with conversion and resampling both on.
int JpegSelectMcuPreparer(CodecState& state);

// The preparers, exposed for tests. Each fills state.mcuBuffer.
void JpegPrepareMcuRgb(CodecState& state, int mcuColumn, int mcuRow);
void JpegPrepareMcuBgr(CodecState& state, int mcuColumn, int mcuRow);
void JpegPrepareMcuRgbH2V1(CodecState& state, int mcuColumn, int mcuRow);
void JpegPrepareMcuRgbH2V2(CodecState& state, int mcuColumn, int mcuRow);
void JpegPrepareMcuBgrH2V1(CodecState& state, int mcuColumn, int mcuRow);
void JpegPrepareMcuBgrH2V2(CodecState& state, int mcuColumn, int mcuRow);
void JpegPrepareMcuInvRgbA(CodecState& state, int mcuColumn, int mcuRow);
void JpegPrepareMcuInvRgbAH2V1(CodecState& state, int mcuColumn, int mcuRow);
void JpegPrepareMcuInvRgbAH2V2(CodecState& state, int mcuColumn, int mcuRow);
void JpegPrepareMcuYcc(CodecState& state, int mcuColumn, int mcuRow);
void JpegPrepareMcuYccH2V1(CodecState& state, int mcuColumn, int mcuRow);
void JpegPrepareMcuYccH2V2(CodecState& state, int mcuColumn, int mcuRow);
void JpegPrepareMcuYcbycr(CodecState& state, int mcuColumn, int mcuRow);
void JpegPrepareMcuGray(CodecState& state, int mcuColumn, int mcuRow);
void JpegPrepareMcu4(CodecState& state, int mcuColumn, int mcuRow);
void JpegPrepareMcuLuma(CodecState& state, int mcuColumn, int mcuRow);
void JpegPrepareMcuGeneral(CodecState& state, int mcuColumn, int mcuRow);
void JpegPrepareMcuSampled(CodecState& state, int mcuColumn, int mcuRow);
void JpegPrepareMcuPlain(CodecState& state, int mcuColumn, int mcuRow);

} // namespace thermjpeg

#endif
