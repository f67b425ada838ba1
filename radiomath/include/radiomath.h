/*
 * Radiomath: the radiometric calibration model.
 *
 * Every piece of state lives in one caller-owned parameter block, MT_Para,
 * of exactly 3356 bytes (839 little-endian 32-bit words). Cameras store this
 * block inside their files, so a block handed to this library is untrusted:
 *
 *  - A gear (word 3) or lens (word 4) outside 0..2 is never used as an index.
 *    Setters still store such a value; curve builds and conversions refuse the
 *    block; accessors that take a gear argument return -1 for a bad gear.
 *  - Every denominator built from block values is guarded: a zero-width
 *    interval takes the value of its lower point.
 *  - MT_GrayToTemp always stores a finite temperature. A refused block (bad
 *    gear or lens, or a non-finite value among the words the model reads)
 *    stores -273 and returns 0. A negative radicand in the emissivity
 *    correction, or emissivity + revise <= 0, stores -273 and returns 1.
 *  - MT_TempToGray on a refused block stores and returns -1.
 *  - Float to integer conversions saturate (NaN gives 0); integer arithmetic
 *    wraps to 32 bits without undefined behaviour.
 *
 * All temperatures are degrees Celsius; absolute zero is taken as 273.
 * The library keeps no global state and starts no threads.
 */
#ifndef RADIOMATH_H
#define RADIOMATH_H

#include <stdint.h>

#if defined(RADIOMATH_BUILD)
#define RADIOMATH_API __attribute__((visibility("default")))
#else
#define RADIOMATH_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

enum {
    MT_PARA_SIZE = 3356,
    MT_VERSION = 2011,
    MT_GEARS = 3,
    MT_LENSES = 3,
    MT_CURVE_POINTS = 9,
    MT_POLY_TERMS = 15,
    MT_DIST_ENTRIES = 30
};

/* Model revisions (word 1). */
enum {
    MT_REVISION_TABLE_A = 10001,     /* exactly this: integer distance table */
    MT_REVISION_TABLE_B = 10002,     /* this and above: floating distance table */
    MT_REVISION_AMBIENT_USER = 10003 /* from here on MT_SetAmbientTemp leaves word 13 */
};

/* The radiometric parameter block, word by word (see the offsets asserted in
 * the library). i32 fields are int32_t, f32 fields float. */
typedef struct MT_Para {
    int32_t word0;                   /*   0 0x000 not read by the model */
    int32_t revision;                /*   1 0x004 model revision */
    int32_t instrumentType;          /*   2 0x008 instrument type */
    int32_t gear;                    /*   3 0x00C current range gear, 0..2 */
    int32_t lens;                    /*   4 0x010 current lens, 0..2 */
    float fpaTempFront;              /*   5 0x014 */
    float lensTempBack;              /*   6 0x018 */
    float lensTempFront;             /*   7 0x01C */
    float fpaTempBack;               /*   8 0x020 */
    float circuitBoardTemp;          /*   9 0x024 */
    float ambientMeasured;           /*  10 0x028 input of the polynomials */
    int32_t reserved11[2];           /*  11 0x02C */
    float ambientUsed;               /*  13 0x034 ambient of the corrections */
    float backgroundTemp;            /*  14 0x038 reflected temperature */
    int32_t distanceM;               /*  15 0x03C object distance, metres */
    int32_t humidity;                /*  16 0x040 relative humidity, percent */
    float emissivity;                /*  17 0x044 */
    float emissRevise;               /*  18 0x048 added to the emissivity */
    int32_t reserved19;              /*  19 0x04C */
    int32_t grayDrift;               /*  20 0x050 written by every conversion */
    float userTempRevise;            /*  21 0x054 added to every temperature */
    int32_t grayBK;                  /*  22 0x058 reference gray, 1..16383 */
    int32_t logicType;               /*  23 0x05C stored only */
    float rangeLow[3];               /*  24 0x060 per gear */
    float rangeHigh[3];              /*  27 0x06C per gear */
    float polyA[3][15];              /*  30 0x078 per gear */
    float polyB[3][15];              /*  75 0x12C per gear */
    float blackBodyTemp[3][5];       /* 120 0x1E0 per gear */
    float calGrayLens0[3][5];        /* 135 0x21C per gear, slot i <-> black body i */
    float curveTemp[3][9];           /* 150 0x258 per gear */
    float curveGray[3][9];           /* 177 0x2C4 nominal grays per gear */
    float activeTemp[9];             /* 204 0x330 active curve T0..T8 */
    float activeGray[9];             /* 213 0x354 active curve G0..G8 */
    float calGrayLens1[3][5];        /* 222 0x378 */
    float calGrayLens2[3][5];        /* 237 0x3B4 */
    int32_t distTable[30];           /* 252 0x3F0 D0..D29, centimetres */
    int32_t distanceCm;              /* 282 0x468 object distance, centimetres */
    int32_t refPair[3][2];           /* 283 0x46C per gear (low, high), hundredths */
    int32_t distCorrTable[9][60];    /* 289 0x484 per 3*gear+lens: table A[30], table B[30] */
    int32_t referenceFlag;           /* 829 0xCF4 stored only */
    int32_t referenceGray;           /* 830 0xCF8 stored only */
    int32_t referenceGrayDoZero;     /* 831 0xCFC stored only */
    int32_t fpaDriftFactor[3];       /* 832 0xD00 per gear */
    float calibFpaTemp[3];           /* 835 0xD0C FPA temperature at calibration, per gear */
    int32_t vTempMode;               /* 838 0xD18 1 = linear FPA drift compensation */
} MT_Para;

/* Information and copying */
RADIOMATH_API int MT_GetParaSize(void);
RADIOMATH_API int MT_GetVersion(void);
RADIOMATH_API int MT_GetInstrumentType(const MT_Para* p);
/* Copies the 3356 bytes of the block into dest; returns 3356. */
RADIOMATH_API int MT_ExportData(const MT_Para* p, void* dest);

/* Scene values */
RADIOMATH_API void MT_SetAmbientTemp(MT_Para* p, float t);
RADIOMATH_API float MT_GetAmbientTemp(const MT_Para* p);
RADIOMATH_API void MT_SetAmbientTempUser(MT_Para* p, float t);
RADIOMATH_API void MT_SetBackgroundTemp(MT_Para* p, float t);
RADIOMATH_API float MT_GetBackgroundTemp(const MT_Para* p);
RADIOMATH_API int MT_SetDistant(MT_Para* p, int metres);
RADIOMATH_API int MT_GetDistant(const MT_Para* p);
RADIOMATH_API int MT_SetDistantEx(MT_Para* p, int centimetres);
RADIOMATH_API int MT_GetDistantEx(const MT_Para* p);
RADIOMATH_API int MT_SetHumidity(MT_Para* p, int percent);
RADIOMATH_API int MT_GetHumidity(MT_Para* p); /* writes a clamped value back */
RADIOMATH_API void MT_SetEmissivity(MT_Para* p, float e);
RADIOMATH_API float MT_GetEmissivity(const MT_Para* p);
RADIOMATH_API void MT_SetEmissRevise(MT_Para* p, float r);
RADIOMATH_API float MT_GetEmissRevise(const MT_Para* p);
RADIOMATH_API void MT_SetUserTempRevise(MT_Para* p, float r);
RADIOMATH_API float MT_GetUserTempRevise(const MT_Para* p);

/* Instrument temperatures */
RADIOMATH_API void MT_SetFPATempFront(MT_Para* p, float t);
RADIOMATH_API float MT_GetFPATempFront(const MT_Para* p);
RADIOMATH_API void MT_SetLensTempBack(MT_Para* p, float t);
RADIOMATH_API float MT_GetLensTempBack(const MT_Para* p);
RADIOMATH_API void MT_SetLensTempFront(MT_Para* p, float t);
RADIOMATH_API float MT_GetLensTempFront(const MT_Para* p);
RADIOMATH_API void MT_SetFPATempBack(MT_Para* p, float t);
RADIOMATH_API float MT_GetFPATempBack(const MT_Para* p);
RADIOMATH_API void MT_SetCircuitBoardTemp(MT_Para* p, float t);
RADIOMATH_API float MT_GetCircuitBoardTemp(const MT_Para* p);
RADIOMATH_API void MT_SetTempAll(MT_Para* p, float lensFront, float lensBack, float fpaFront,
                                 float fpaBack, float board);
RADIOMATH_API int MT_SetVTemp(MT_Para* p, int mode);
RADIOMATH_API int MT_GetVTemp(const MT_Para* p);

/* Gear, lens and calibration bookkeeping.
 * Curve builders return 1 when the active curve was rebuilt and 0 when the
 * block was refused (gear or lens out of 0..2); the setters return the value
 * they stored, as the other integer setters do. */
RADIOMATH_API int MT_Init(MT_Para* p);
RADIOMATH_API int MT_SetDangWei(MT_Para* p, int gear);
RADIOMATH_API int MT_GetDangWei(const MT_Para* p);
RADIOMATH_API int MT_SetLensTypes(MT_Para* p, int lens);
RADIOMATH_API int MT_GetLensTypes(const MT_Para* p);
/* Stores the range of the current gear (word 3); the gear argument is not
 * consulted. Returns 1, or -1 when the current gear is out of range. */
RADIOMATH_API int MT_SetTempRange(MT_Para* p, int gear, float low, float high);
/* Returns 1, or -1 for a gear out of range (nothing is written). */
RADIOMATH_API int MT_GetTempRange(const MT_Para* p, int gear, float* low, float* high);
RADIOMATH_API int MT_SetLogicTypes(MT_Para* p, int type);
RADIOMATH_API int MT_GetBlackTempRiviseArraySize(const MT_Para* p);
/* Copies three black-body temperatures of the current gear; returns 3, or -1
 * when the current gear is out of range. */
RADIOMATH_API int MT_GetBlackTempRiviseArray(const MT_Para* p, float* out);
RADIOMATH_API int MT_SetReferenceFlag(MT_Para* p, int value);
RADIOMATH_API int MT_SetReferenceGray(MT_Para* p, int value);
RADIOMATH_API int MT_SetReferenceGrayDoZero(MT_Para* p, int value);
/* FPA drift factor of a gear; -1 for a gear out of range. */
RADIOMATH_API int MT_SetEmbientRevise(MT_Para* p, int gear, int value);
RADIOMATH_API int MT_GetEmbientRevise(const MT_Para* p, int gear);
/* FPA temperature at calibration of a gear. The setter returns 1, or -1 for a
 * gear out of range; the getter returns -1.0 for a gear out of range. */
RADIOMATH_API int MT_SetDingBiaoFPA(MT_Para* p, int gear, float value);
RADIOMATH_API float MT_GetDingBiaoFPA(const MT_Para* p, int gear);

/* Model.
 * MT_SetGrayBK: -2 for a value outside 1..16383, -1 for a refused block, else 1.
 * MT_DoEvent, MT_SetBlackGray: 1, or -1 for a refused block (nothing changes).
 * MT_GrayToTemp: 1 (temperature stored), 0 for a refused block (-273 stored).
 * MT_TempToGray: the gray (also stored), -1 for a refused block. */
RADIOMATH_API int MT_SetGrayBK(MT_Para* p, int value);
RADIOMATH_API int MT_DoEvent(MT_Para* p, int flag);
RADIOMATH_API int MT_SetBlackGray(MT_Para* p, float temperature, int gray, float weight);
RADIOMATH_API int MT_GrayToTemp(MT_Para* p, int gray, float* result);
RADIOMATH_API int MT_TempToGray(MT_Para* p, float temperature, int* result);

#ifdef __cplusplus
}
#endif

#endif /* RADIOMATH_H */
