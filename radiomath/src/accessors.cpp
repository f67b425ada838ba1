// Field accessors of the parameter block and the curve bookkeeping.
#include <cstddef>
#include <cstring>
#include <type_traits>

#include "active_curve.h"
#include "block_access.h"
#include "checked_math.h"
#include "radiomath.h"

namespace {

// The block travels inside camera files byte for byte: pin its layout.
static_assert(sizeof(MT_Para) == MT_PARA_SIZE);
static_assert(std::is_standard_layout_v<MT_Para>);
#define RM_WORD(field, word) static_assert(offsetof(MT_Para, field) == (word) * 4, #field)
RM_WORD(revision, 1);
RM_WORD(instrumentType, 2);
RM_WORD(gear, 3);
RM_WORD(lens, 4);
RM_WORD(fpaTempFront, 5);
RM_WORD(ambientMeasured, 10);
RM_WORD(ambientUsed, 13);
RM_WORD(backgroundTemp, 14);
RM_WORD(distanceM, 15);
RM_WORD(humidity, 16);
RM_WORD(emissivity, 17);
RM_WORD(emissRevise, 18);
RM_WORD(grayDrift, 20);
RM_WORD(userTempRevise, 21);
RM_WORD(grayBK, 22);
RM_WORD(logicType, 23);
RM_WORD(rangeLow, 24);
RM_WORD(rangeHigh, 27);
RM_WORD(polyA, 30);
RM_WORD(polyB, 75);
RM_WORD(blackBodyTemp, 120);
RM_WORD(calGrayLens0, 135);
RM_WORD(curveTemp, 150);
RM_WORD(curveGray, 177);
RM_WORD(activeTemp, 204);
RM_WORD(activeGray, 213);
RM_WORD(calGrayLens1, 222);
RM_WORD(calGrayLens2, 237);
RM_WORD(distTable, 252);
RM_WORD(distanceCm, 282);
RM_WORD(refPair, 283);
RM_WORD(distCorrTable, 289);
RM_WORD(referenceFlag, 829);
RM_WORD(referenceGray, 830);
RM_WORD(referenceGrayDoZero, 831);
RM_WORD(fpaDriftFactor, 832);
RM_WORD(calibFpaTemp, 835);
RM_WORD(vTempMode, 838);
#undef RM_WORD

using radiomath::validIndex;

int clampHumidity(int v) { return v < 0 ? 0 : (v > 100 ? 100 : v); }

// Rebuilds the active curve of a gear when gear and lens index inside the block.
int rebuild(MT_Para* p, int gear) {
    if (!validIndex(gear) || !validIndex(p->lens)) return 0;
    radiomath::buildActiveCurve(*p, gear);
    return 1;
}

}  // namespace

extern "C" {

int MT_GetParaSize(void) { return MT_PARA_SIZE; }
int MT_GetVersion(void) { return MT_VERSION; }
int MT_GetInstrumentType(const MT_Para* p) { return p->instrumentType; }

int MT_ExportData(const MT_Para* p, void* dest) {
    std::memcpy(dest, p, MT_PARA_SIZE);
    return MT_PARA_SIZE;
}

void MT_SetAmbientTemp(MT_Para* p, float t) {
    p->ambientMeasured = t;
    if (p->revision < MT_REVISION_AMBIENT_USER) p->ambientUsed = t;
}
float MT_GetAmbientTemp(const MT_Para* p) { return p->ambientUsed; }
void MT_SetAmbientTempUser(MT_Para* p, float t) { p->ambientUsed = t; }

void MT_SetBackgroundTemp(MT_Para* p, float t) { p->backgroundTemp = t; }
float MT_GetBackgroundTemp(const MT_Para* p) { return p->backgroundTemp; }

int MT_SetDistant(MT_Para* p, int metres) {
    p->distanceM = metres;
    return metres;
}
int MT_GetDistant(const MT_Para* p) { return p->distanceM; }

int MT_SetDistantEx(MT_Para* p, int centimetres) {
    if (p->revision >= MT_REVISION_TABLE_A) p->distanceCm = centimetres;
    p->distanceM = centimetres / 100;
    return p->distanceM;
}
int MT_GetDistantEx(const MT_Para* p) {
    if (p->revision < MT_REVISION_TABLE_A)
        return radiomath::mul32(p->distanceM, 100);
    return p->distanceCm;
}

int MT_SetHumidity(MT_Para* p, int percent) {
    p->humidity = clampHumidity(percent);
    return p->humidity;
}
int MT_GetHumidity(MT_Para* p) {
    p->humidity = clampHumidity(p->humidity);
    return p->humidity;
}

void MT_SetEmissivity(MT_Para* p, float e) { p->emissivity = e; }
float MT_GetEmissivity(const MT_Para* p) { return p->emissivity; }
void MT_SetEmissRevise(MT_Para* p, float r) { p->emissRevise = r; }
float MT_GetEmissRevise(const MT_Para* p) { return p->emissRevise; }
void MT_SetUserTempRevise(MT_Para* p, float r) { p->userTempRevise = r; }
float MT_GetUserTempRevise(const MT_Para* p) { return p->userTempRevise; }

void MT_SetFPATempFront(MT_Para* p, float t) { p->fpaTempFront = t; }
float MT_GetFPATempFront(const MT_Para* p) { return p->fpaTempFront; }
void MT_SetLensTempBack(MT_Para* p, float t) { p->lensTempBack = t; }
float MT_GetLensTempBack(const MT_Para* p) { return p->lensTempBack; }
void MT_SetLensTempFront(MT_Para* p, float t) { p->lensTempFront = t; }
float MT_GetLensTempFront(const MT_Para* p) { return p->lensTempFront; }
void MT_SetFPATempBack(MT_Para* p, float t) { p->fpaTempBack = t; }
float MT_GetFPATempBack(const MT_Para* p) { return p->fpaTempBack; }
void MT_SetCircuitBoardTemp(MT_Para* p, float t) { p->circuitBoardTemp = t; }
float MT_GetCircuitBoardTemp(const MT_Para* p) { return p->circuitBoardTemp; }

void MT_SetTempAll(MT_Para* p, float lensFront, float lensBack, float fpaFront, float fpaBack,
                   float board) {
    p->lensTempFront = lensFront;
    p->lensTempBack = lensBack;
    p->fpaTempFront = fpaFront;
    p->fpaTempBack = fpaBack;
    p->circuitBoardTemp = board;
}

int MT_SetVTemp(MT_Para* p, int mode) {
    p->vTempMode = mode;
    return mode;
}
int MT_GetVTemp(const MT_Para* p) { return p->vTempMode; }

int MT_Init(MT_Para* p) { return rebuild(p, 0); }

int MT_SetDangWei(MT_Para* p, int gear) {
    p->gear = gear;
    rebuild(p, gear);
    return gear;
}
int MT_GetDangWei(const MT_Para* p) { return p->gear; }

int MT_SetLensTypes(MT_Para* p, int lens) {
    p->lens = lens;
    rebuild(p, p->gear);
    return lens;
}
int MT_GetLensTypes(const MT_Para* p) { return p->lens; }

int MT_SetTempRange(MT_Para* p, int /*gear: not consulted*/, float low, float high) {
    if (!validIndex(p->gear)) return -1;
    p->rangeLow[p->gear] = low;
    p->rangeHigh[p->gear] = high;
    return 1;
}

int MT_GetTempRange(const MT_Para* p, int gear, float* low, float* high) {
    if (!validIndex(gear)) return -1;
    if (low) *low = p->rangeLow[gear];
    if (high) *high = p->rangeHigh[gear];
    return 1;
}

int MT_SetLogicTypes(MT_Para* p, int type) {
    p->logicType = type;
    return type;
}

int MT_GetBlackTempRiviseArraySize(const MT_Para*) { return 3; }

int MT_GetBlackTempRiviseArray(const MT_Para* p, float* out) {
    if (!validIndex(p->gear)) return -1;
    for (int i = 0; i < 3; ++i) out[i] = p->blackBodyTemp[p->gear][i];
    return 3;
}

int MT_SetReferenceFlag(MT_Para* p, int value) { return p->referenceFlag = value; }
int MT_SetReferenceGray(MT_Para* p, int value) { return p->referenceGray = value; }
int MT_SetReferenceGrayDoZero(MT_Para* p, int value) { return p->referenceGrayDoZero = value; }

int MT_SetEmbientRevise(MT_Para* p, int gear, int value) {
    if (!validIndex(gear)) return -1;
    return p->fpaDriftFactor[gear] = value;
}
int MT_GetEmbientRevise(const MT_Para* p, int gear) {
    return validIndex(gear) ? p->fpaDriftFactor[gear] : -1;
}

int MT_SetDingBiaoFPA(MT_Para* p, int gear, float value) {
    if (!validIndex(gear)) return -1;
    p->calibFpaTemp[gear] = value;
    return 1;
}
float MT_GetDingBiaoFPA(const MT_Para* p, int gear) {
    return validIndex(gear) ? p->calibFpaTemp[gear] : -1.0f;
}

}  // extern "C"
