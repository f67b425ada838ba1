/*
 * Thermcore: the infrared image library.
 *
 * A flat C interface of 123 functions named IFR_*. Every function except the
 * constructors (IFR_Init, IFR_LoadFile, IFR_LoadBuffer), the two converters
 * and a few stubs takes a handle first. A handle is valid while the object it
 * names lives: it is not NULL, it was made by a constructor of this library
 * and has not been freed, and its first 32-bit word is 0x66DDDD66. A bad
 * handle (NULL, foreign memory, a stale or doubly freed handle) never reaches
 * the work; the call gives the bad-handle result of its result type:
 *
 *   int results ............ -1
 *   float results .......... -1000.0
 *   no result .............. nothing happens
 *   IFR_ExistSound, IFR_ExistCCD, IFR_ExistRemark, IFR_GetFileLen:
 *                            -1 for NULL, 0 for any other bad handle
 *   IFR_GetTempUnit ........ 0
 *
 * Circle calls check the radius before the handle: a radius <= 0 gives -1
 * (IFR_GetCircleAverageTemp: -1.0 for a non-NULL handle with a radius below
 * 1, -1000.0 for NULL).
 *
 * Ownership: the library owns the object, its gray frame, colour buffer,
 * calibration block and copy of the file; they stay valid until the next frame
 * is read, the file is closed or the object is freed. The caller owns every
 * buffer and path it passes in. Close a handle with IFR_CloseFile, then
 * IFR_Free.
 *
 * Units: temperatures in degrees Celsius (float), emissivity and humidity as
 * fractions, distances in metres. Gray frames are width*height 16-bit values,
 * row by row from the top; the measurement code reads them as signed values.
 *
 * Threads: one handle is used from one thread at a time. The library's own
 * threads touch only the object that started them.
 */
#ifndef THERMCORE_H
#define THERMCORE_H

#include <stddef.h>
#include <stdint.h>

#if defined(THERMCORE_BUILD)
#define THERMCORE_API __attribute__((visibility("default")))
#else
#define THERMCORE_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Opaque handle of one image or sequence. */
typedef void* IfrHandle;

/* File kinds of IFR_LoadFile. */
enum { IFR_KIND_IMAGE = 0, IFR_KIND_SEQUENCE = 1, IFR_KIND_JPEG = 2 };

/* A pixel position. */
typedef struct IfrPoint {
    int32_t x;
    int32_t y;
} IfrPoint;

/* Measurement marks the camera stores in the parameter block. Coordinates
 * refer to an image 640 pixels wide; the IFR_Get...Info calls scale them to
 * the image. A state of 2 marks an unused record. */
typedef struct IfrPointInfo { /* 24 bytes */
    int32_t x;
    int32_t y;
    int32_t state;
    int32_t emissivity100;
    int32_t distance;
    float value100;
} IfrPointInfo;

typedef struct IfrRectInfo { /* 32 bytes */
    int16_t x;
    int16_t y;
    int16_t width;
    int16_t height;
    int32_t state;
    int32_t emissivity100;
    int32_t distance;
    float value100;
    int32_t markX;
    int32_t markY;
} IfrRectInfo;

typedef struct IfrLineInfo { /* 28 bytes */
    int16_t x1;
    int16_t y1;
    int16_t x2;
    int16_t y2;
    int32_t state;
    int32_t emissivity100;
    int32_t distance;
    uint16_t markX;
    uint16_t markY;
    float value100;
} IfrLineInfo;

/* The 428-byte parameter block that begins every infrared file and every
 * parameter chunk of a sequence. On disk it is little-endian and is read and
 * written field by field; this structure is its decoded form. Temperatures,
 * emissivity and correction factors are hundredths. Bytes the library does
 * not interpret are kept so that a block is written back unchanged. */
typedef struct IfrParamBlock {
    char model[12];              /*   0 camera model, NUL-padded, "VN410K..." */
    uint16_t width;              /*  12 */
    uint16_t height;             /*  14 */
    uint8_t byte16;              /*  16 not interpreted */
    uint8_t soundCoding;         /*  17 0 PCM, 1 IMA ADPCM, 4 raw */
    uint8_t bytes18[2];          /*  18 not interpreted */
    uint32_t graySize;           /*  20 width*height*2 */
    uint16_t photoWidth;         /*  24 */
    uint16_t photoHeight;        /*  26 */
    uint32_t photoSize;          /*  28 0: no photo */
    uint32_t soundSize;          /*  32 0: no sound */
    uint8_t paletteId;           /*  36 IFR_GetColorID */
    uint8_t deviceByte;          /*  37 */
    uint16_t atmoPercent;        /*  38 0 counts as 100 */
    int32_t ambient100;          /*  40 */
    uint16_t distance;           /*  44 metres*100 or whole metres, by model */
    uint16_t humidity;           /*  46 percent */
    IfrPointInfo points[4];      /*  48 */
    IfrRectInfo rects[3];        /* 144 */
    IfrLineInfo lines[3];        /* 240 */
    int32_t secondCorrection100; /* 324 */
    uint32_t lineTableSize;      /* 328 bytes of gray-to-temperature line table */
    int32_t firstCorrection100;  /* 332 */
    int32_t correctionInt;       /* 336 */
    uint16_t emissivity100;      /* 340 */
    uint8_t bytes342[2];         /* 342 not interpreted */
    int32_t rangeLow100;         /* 344 "VN410K3": i16 low at 344, i16 high at 346 */
    char deviceModel[8];         /* 348 */
    char firmware[16];           /* 356 */
    char serial[16];             /* 372 */
    char dateTime[32];           /* 388 */
    uint32_t rangeHigh100;       /* 420 */
    uint8_t byte424;             /* 424 */
    uint8_t bytes425[3];         /* 425 not interpreted */
} IfrParamBlock;

enum { IFR_PARAM_BLOCK_SIZE = 428 };

/* Frame callback: (handle, frame, size in bytes, time stamp in ms). Called
 * only for objects opened with a window (IFR_ReceiveStream). */
typedef int (*IfrStreamProc)(IfrHandle handle, unsigned short* frame, int size, int timeStamp);

/* The off-screen surface IFR_GetDrawBuffer renders into: 32-bit pixels
 * 0x00RRGGBB, rows from the top, pitch in bytes. Owned by the object. */
typedef struct IfrSurface {
    uint32_t* pixels;
    int32_t width;
    int32_t height;
    int32_t pitch;
    int32_t bitsPerPixel;
} IfrSurface;

/* Receives the surface when IFR_Flip presents an object opened with a
 * window. Runs on the caller's thread inside IFR_Flip. */
typedef void (*ThermcorePresentProc)(void* window, const IfrSurface* surface, void* user);

/* Registers the present hook for the whole process (NULL removes it). */
THERMCORE_API void ThermcoreSetPresentHook(ThermcorePresentProc proc, void* user);

/* Messages of a sequence opened with a window, posted through the post hook:
 * WM_IFR_PLAYBACK once when playback ends (wParam 1: left by IFR_Pause or
 * IFR_Stop, 0: the end was reached and the first frame is shown again;
 * lParam the window); WM_IFR_INDEXREADY once when the frame index is built
 * (wParam 0, or -1 when the sequence has no index entries; lParam 0).
 * Nothing is posted once IFR_CloseFile or IFR_Free has begun. */
enum { WM_IFR_PLAYBACK = 0x9250, WM_IFR_INDEXREADY = 0x9251 };

/* Receives the messages above, on a thread of the library: queue them for
 * the program's own thread and return; the hook must not call back into
 * the library. */
typedef void (*ThermcorePostProc)(void* window, unsigned int message, intptr_t wParam,
                                  intptr_t lParam, void* user);

/* Registers the post hook for the whole process (NULL removes it). */
THERMCORE_API void ThermcoreSetPostHook(ThermcorePostProc proc, void* user);

/* ---- Constructors and destructors -------------------------------------- */

/* An object for live data: width*height in 1..8192 each, else NULL. The
 * handle is returned whatever the display set-up reports. */
THERMCORE_API IfrHandle IFR_Init(void* window, int width, int height);
/* Opens a file of the given kind; NULL when it cannot be opened or read.
 * Kind 0, a still image: width and height 1..8192, the gray frame inside the
 * file; both time stamps (may be NULL) receive the millisecond count of a
 * monotonic clock, truncated to 32 bits.
 * Kind 1, a sequence (.VNV) of layout 0 (fixed frames, 20 ms apart, ending
 * at the time of opening; at most 24001 frames are read) or layouts 1 to 3
 * (chunks; the time stamps of the first frame and of the last chunk). A
 * sequence of layout 1, 2 or 3 is indexed by a thread of the library; with a
 * window, WM_IFR_INDEXREADY is posted when the index is built.
 * Kind 2, a JPEG file (FF D8) with a still image at the first "VN410K" after
 * it, or a sequence 8 bytes after the first "VN410KV". */
THERMCORE_API IfrHandle IFR_LoadFile(void* window, const char* path, int kind, int* firstTime,
                                     int* lastTime);
/* Opens a memory image (what IFR_GetFileBuff hands out): a sequence when
 * its first 32-bit word is 1, 2 or 3, else a still image. The bytes go to a
 * temporary file of this object's own (mode 0600, under $TMPDIR or /tmp),
 * removed by IFR_CloseFile or IFR_Free. NULL as IFR_LoadFile. */
THERMCORE_API IfrHandle IFR_LoadBuffer(void* window, const void* data, int length);
/* The first frame of a camera file of the given kind, rendered through the
 * palette BMP with automatic gain, saved as IFR_MemSaveToJPG or
 * IFR_MemSaveToBMP would: their result, -1 when the source, its payload or
 * frame cannot be found or the palette read, -2 when the file is damaged. */
THERMCORE_API int IFR_InfraredFileToJPG(const char* rulerPath, int kind, const char* source,
                                        const char* target, int quality);
THERMCORE_API int IFR_InfraredFileToBMP(const char* rulerPath, int kind, const char* source,
                                        const char* target);
/* Closes the file and drops the calibration block and the frame index; the
 * object stays. A running playback and the index thread are stopped and
 * waited for; neither posts a message once the close has begun. 0. */
THERMCORE_API int IFR_CloseFile(IfrHandle h);
/* Destroys the object; closes its file first when still open. */
THERMCORE_API void IFR_Free(IfrHandle h);

/* ---- Scene parameters --------------------------------------------------- */

THERMCORE_API int IFR_SetEmissDis(IfrHandle h, float emissivity, float distance);
THERMCORE_API int IFR_GetEmissDis(IfrHandle h, float* emissivity, float* distance);
THERMCORE_API int IFR_SetAmbHum(IfrHandle h, float ambient, float humidity);
THERMCORE_API int IFR_GetAmbHum(IfrHandle h, float* ambient, float* humidity);
THERMCORE_API int IFR_SetAtmoTemp(IfrHandle h, float background);
THERMCORE_API int IFR_GetAtmoTemp(IfrHandle h, float* background);
THERMCORE_API int IFR_SetCorrectParam(IfrHandle h, float first, float second, int integer);
THERMCORE_API int IFR_GetCorrectParam(IfrHandle h, float* first, float* second, int* integer);
THERMCORE_API void IFR_SetAllK(IfrHandle h, float k);
THERMCORE_API int IFR_SetMeasureTempVersion(IfrHandle h, int version);
THERMCORE_API int IFR_GetMeasureTempVersion(IfrHandle h);

/* ---- Gray and temperature ----------------------------------------------- */

THERMCORE_API float IFR_GrayToTemp(IfrHandle h, int gray);
THERMCORE_API int IFR_TempToGray(IfrHandle h, float temperature);
THERMCORE_API int IFR_LoadGrayToTempLine(IfrHandle h, const void* table, int length);
THERMCORE_API int IFR_LoadDelicacyLine(IfrHandle h, const void* table, int length);
THERMCORE_API int IFR_LoadZeroLine(IfrHandle h, const void* table, int length);

/* ---- Point, line, rectangle and circle ---------------------------------- */

THERMCORE_API int IFR_GetPointGray(IfrHandle h, int x, int y);
THERMCORE_API float IFR_GetPointTemp(IfrHandle h, int x, int y);
THERMCORE_API int IFR_GetLineMinMaxGray(IfrHandle h, int x1, int y1, int x2, int y2, int* minGray,
                                        IfrPoint* minPos, int* maxGray, IfrPoint* maxPos);
THERMCORE_API int IFR_GetLineMinMaxTemp(IfrHandle h, int x1, int y1, int x2, int y2,
                                        float* minTemp, IfrPoint* minPos, float* maxTemp,
                                        IfrPoint* maxPos);
THERMCORE_API int IFR_GetLineLen(IfrHandle h, int x1, int y1, int x2, int y2);
THERMCORE_API float IFR_GetLineAverageTemp(IfrHandle h, int x1, int y1, int x2, int y2);
THERMCORE_API int IFR_GetLineGray(IfrHandle h, int x1, int y1, int x2, int y2, int* grays);
THERMCORE_API int IFR_GetLineTemp(IfrHandle h, int x1, int y1, int x2, int y2, float* temps);
THERMCORE_API int IFR_GetRectMinMaxGray(IfrHandle h, int x1, int y1, int x2, int y2, int* minGray,
                                        IfrPoint* minPos, int* maxGray, IfrPoint* maxPos);
THERMCORE_API int IFR_GetRectMinMaxTemp(IfrHandle h, int x1, int y1, int x2, int y2,
                                        float* minTemp, IfrPoint* minPos, float* maxTemp,
                                        IfrPoint* maxPos);
THERMCORE_API int IFR_GetRectLen(IfrHandle h, int x1, int y1, int x2, int y2);
THERMCORE_API float IFR_GetRectAverageTemp(IfrHandle h, int x1, int y1, int x2, int y2);
THERMCORE_API int IFR_GetRectGray(IfrHandle h, int x1, int y1, int x2, int y2, int* grays);
THERMCORE_API int IFR_GetRectTemp(IfrHandle h, int x1, int y1, int x2, int y2, float* temps);
THERMCORE_API int IFR_GetCircleMinMaxGray(IfrHandle h, int x, int y, int radius, int* minGray,
                                          IfrPoint* minPos, int* maxGray, IfrPoint* maxPos);
THERMCORE_API int IFR_GetCircleMinMaxTemp(IfrHandle h, int x, int y, int radius, float* minTemp,
                                          IfrPoint* minPos, float* maxTemp, IfrPoint* maxPos);
THERMCORE_API int IFR_GetCircleLen(IfrHandle h, int x, int y, int radius);
THERMCORE_API float IFR_GetCircleAverageTemp(IfrHandle h, int x, int y, int radius);
THERMCORE_API int IFR_GetCircleGray(IfrHandle h, int x, int y, int radius, int* grays);
THERMCORE_API int IFR_GetCircleTemp(IfrHandle h, int x, int y, int radius, float* temps);

/* ---- Stored measurements ------------------------------------------------ */

THERMCORE_API int IFR_GetPointInfo(IfrHandle h, IfrPointInfo* points /* [4] */);
THERMCORE_API int IFR_GetLineInfo(IfrHandle h, IfrLineInfo* lines /* [3] */);
THERMCORE_API int IFR_GetRectInfo(IfrHandle h, IfrRectInfo* rects /* [3] */);
THERMCORE_API void IFR_GetBoardCoord(IfrHandle h, int* x, int* y, int* width, int* height);

/* ---- Imaging ------------------------------------------------------------
 * The gray frame is mapped to colour through a 256-entry colour ruler:
 * index = clamp(round((g - min) * 255 / (max - min)), 0, 255) with min and max
 * the display grays (max <= min: index 0 for g <= min, 255 above). With
 * automatic gain on (the default), every histogram pass sets min and max to
 * the frame's lowest and highest gray; with it off, the grays set by
 * IFR_SetHistogramMinGray/MaxGray stay. The histogram has 256 bins over
 * [min, max]; grays outside fall into the end bins. Level, gain, contrast,
 * filter, enhancement and non-uniformity settings are stored only. */

THERMCORE_API void IFR_SetHistogramLevel(IfrHandle h, int level);
THERMCORE_API void IFR_SetHistogramGain(IfrHandle h, int gain);
THERMCORE_API int IFR_GetHistogramLevel(IfrHandle h);
THERMCORE_API int IFR_GetHistogramGain(IfrHandle h);
THERMCORE_API void IFR_SetAGCStatus(IfrHandle h, int on);
THERMCORE_API int IFR_GetAGCStatus(IfrHandle h);
/* Applies the display block stored with "VN410K8/9/10" images; nothing
 * without one. */
THERMCORE_API void IFR_ResetAGCStatus(IfrHandle h);
THERMCORE_API void IFR_DoHistogramProcess(IfrHandle h, const unsigned short* frame);
/* Maps the frame into the object's 32-bit colour buffer. */
THERMCORE_API void IFR_DoIfrProcess(IfrHandle h, const unsigned short* frame);
THERMCORE_API void IFR_SetHistogramMinGray(IfrHandle h, int gray);
THERMCORE_API int IFR_GetHistogramMinGray(IfrHandle h);
THERMCORE_API void IFR_SetHistogramMaxGray(IfrHandle h, int gray);
THERMCORE_API int IFR_GetHistogramMaxGray(IfrHandle h);
THERMCORE_API int IFR_GetHistogramTblLength(IfrHandle h);
/* Writes IFR_GetHistogramTblLength() bin counts. */
THERMCORE_API void IFR_GetHistogramTblData(IfrHandle h, int* bins);
THERMCORE_API void IFR_SetFilterType(IfrHandle h, int type);
THERMCORE_API void IFR_SetEnhanceType(IfrHandle h, int type);
/* 0 none, 1 left-right, 2 top-bottom, 3 both. */
THERMCORE_API void IFR_SetImageFlipMode(IfrHandle h, int mode);
THERMCORE_API void IFR_SetMaxContrastCtrl(IfrHandle h, int value);
THERMCORE_API int IFR_GetMaxContrastCtrl(IfrHandle h);
THERMCORE_API void IFR_SetHistogramComboModeGain(IfrHandle h, int value);
THERMCORE_API void IFR_SetHistogramComboModeLevel(IfrHandle h, int value);
THERMCORE_API void IFR_SetUNCompensateMode(IfrHandle h, int mode);
THERMCORE_API void IFR_UNCCompensateSetColumnThreshold(IfrHandle h, int threshold);
THERMCORE_API void IFR_SetBendiLimmit(IfrHandle h, int limit);
/* Histogram pass, render and present in one. */
THERMCORE_API void IFR_ShowImage(IfrHandle h, const unsigned short* frame);
THERMCORE_API void IFR_SwapColorRulerBuffer(IfrHandle h);

/* ---- Palette ------------------------------------------------------------ */

/* Loads 256 colours from a palette BMP (768 bytes at offset 54, blue, green,
 * red) into the ruler; -1 when the file cannot be read or is shorter than
 * 822 bytes (the ruler is then unchanged), else 0. */
THERMCORE_API int IFR_SetColorRuler(IfrHandle h, const char* path);
THERMCORE_API int IFR_SetIsothermTemp(IfrHandle h, int on, float low, float high, int colour,
                                      int index);
THERMCORE_API void IFR_SetIRInvert(IfrHandle h, int invert);

/* ---- Device information ------------------------------------------------- */

THERMCORE_API void IFR_GetDeviceDate(IfrHandle h, char* model /* [8] */,
                                     char* firmware /* [16] */, char* serial /* [16] */,
                                     char* dateTime /* [32] */, char* deviceByte, int* rangeLow,
                                     int* rangeHigh, char* lastByte);
THERMCORE_API void IFR_GetColorID(IfrHandle h, int* id);
/* Scheme (0..3) and model version (1, 3..8, 11) of the camera model. */
THERMCORE_API void IFR_GetFileVer(IfrHandle h, int* scheme, int* version);
THERMCORE_API int IFR_GetImageWidthHeight(IfrHandle h, int* width, int* height);
/* The photo's size, or 0 and 0 when no photo is held. */
THERMCORE_API void IFR_GetCCDImageWidthHeight(IfrHandle h, int* width, int* height);
THERMCORE_API int IFR_GetSDKVersion(IfrHandle h);

/* ---- Files and parameter blocks ----------------------------------------- */

/* Loads the parameters and line table of another still image of the
 * object's size (exactly 2*w*h + 1252 bytes: block, frame, 824-byte line
 * table); -1 otherwise. */
THERMCORE_API int IFR_LoadInfraredFile(IfrHandle h, const char* path);
/* Copies width*height grays into the object's frame. */
THERMCORE_API int IFR_LoadInfraredData(IfrHandle h, const unsigned short* frame);
/* Applies a parameter block and the line table after it: the caller's memory
 * holds 428 + min(lineTableSize, 824) bytes. The object's size wins. -1 when
 * the block does not begin "VN410K". */
THERMCORE_API int IFR_LoadInfraredParamFromStream(IfrHandle h, const void* block);
/* Applies a parameter block from a sequence and takes the calibration block
 * at offset 428 (its first word is its length, 1008..10240; else -2 and the
 * previous one stays). The caller's memory holds 428 + that length. */
THERMCORE_API int IFR_LoadInfraredParamFromVNVStream(IfrHandle h, const void* block);
/* Writes the current still image; 0, or -1 (an existing file is then left
 * as it was). */
THERMCORE_API int IFR_MemSaveToVNI(IfrHandle h, const char* path);
/* Bytes of the open file's infrared data; 0 without an open file:
 *   still image ............ the whole file
 *   sequence, layout 0 ..... its first frame (a still image)
 *   sequence, layouts 1-3 .. the 16-byte header and every chunk up to and
 *                            including the first gray frame (0 when a header
 *                            without the chunk magic comes first)
 *   JPEG container ......... from the payload to the end of the file
 * Neither call moves the file: the next IFR_Next reads the frame it would
 * have read. A running playback is ended first. */
THERMCORE_API int IFR_GetFileLen(IfrHandle h);
/* Copies IFR_GetFileLen() bytes into the caller's buffer. */
THERMCORE_API void IFR_GetFileBuff(IfrHandle h, void* buffer);

/* ---- Sequences ----------------------------------------------------------
 * Frame reader results (IFR_Next, IFR_Prior):
 *    0  a frame was read
 *   -1  IFR_Stop arrived during the read: the sequence is back at its first
 *       frame
 *   -2  the end, a read error, no open file, or a pause or stop that was
 *       pending before the read
 *   -3  a chunk header without its magic, or (layouts 1 and 3, once
 *       indexed) a chunk later than the last time stamp
 *   -4  a bad chunk: a gray frame of other than width*height*2 bytes, a
 *       parameter chunk shorter than its block or longer than
 *       428 + 10240 + 824 bytes, a calibration chunk longer than 10240
 * After -3 or -4 the sequence stays before the bad chunk.
 * IFR_Next, IFR_Prior, IFR_GotoTime, IFR_GetFileLen and IFR_GetFileBuff end
 * a running playback first (as IFR_Pause does). */

/* Starts the playback thread: one frame every step * 20 ms (IFR_PlaySpeed)
 * until the end, IFR_Pause or IFR_Stop; then WM_IFR_PLAYBACK is posted once
 * (objects opened with a window). At the end the first frame is read again.
 * -1 without an open file or while playing, else 0. */
THERMCORE_API int IFR_Play(IfrHandle h);
/* Ends a playback; the sequence stays where it is. 0. */
THERMCORE_API int IFR_Pause(IfrHandle h);
/* Ends a playback and goes back to the first frame. 0. */
THERMCORE_API int IFR_Stop(IfrHandle h);
/* Reads the next frame (a still image: its one frame again) and runs a
 * histogram pass on it; the reader's result (above). */
THERMCORE_API int IFR_Next(IfrHandle h);
/* Reads the frame before the last one read: the first frame again when that
 * was the first; -1 at the first frame when nothing was read since the open,
 * a stop or IFR_GotoTime; -1 for a still image. */
THERMCORE_API int IFR_Prior(IfrHandle h);
/* Speed 0 or 50: a frame every 20 ms; 1: 520 ms; 2: 220 ms; 5: 120 ms;
 * 10: 60 ms; 25: 40 ms; any other: no wait. 1000 ms until set. 0. */
THERMCORE_API int IFR_PlaySpeed(IfrHandle h, int speed);
/* Positions the sequence at the first index entry at or after the time
 * stamp, for the next IFR_Next; -1 (nothing moves) before the index is
 * built, without entries, or outside the first and last entries' times.
 * Layout 2 indexes its parameter chunks, layouts 1 and 3 every chunk. */
THERMCORE_API int IFR_GotoTime(IfrHandle h, int timeStamp);
/* The frame callback, called for every frame read of an object opened with
 * a window, on the thread that reads it (the playback thread while
 * playing). It must not close or free its handle. 0. */
THERMCORE_API int IFR_ReceiveStream(IfrHandle h, IfrStreamProc proc);
/* destination[i] = grayB[i] - grayA[i] (16-bit, wrapping) for width*height
 * values; destination may be either input. -1 for a NULL pointer. */
THERMCORE_API int IFR_StreamDiff(IfrHandle h, unsigned short* destination,
                                 const unsigned short* grayA, const unsigned short* grayB);

/* ---- Screen ------------------------------------------------------------- */

/* Renders the frame into the object's off-screen surface and hands it out
 * (surface may be NULL); 0, or -1 when there is no frame or surface. */
THERMCORE_API int IFR_GetDrawBuffer(IfrHandle h, const unsigned short* frame,
                                    IfrSurface** surface);
/* Hands the surface to the present hook; only for objects with a window. */
THERMCORE_API void IFR_Flip(IfrHandle h);

/* ---- Extracts ----------------------------------------------------------- */

/* The voice note, photo and remark: IFR_Exist... answer 0 and the extracts
 * -1 without an open file and while a sequence's frame index is still being
 * built. A refused or failed extract leaves an existing target file as it
 * was. Extracts neither move a sequence nor change its frame count.
 *
 * IFR_GetSoundFile writes a WAV file: 1, or -1 (no note, a layout-0
 * sequence, the file cannot be written). IFR_SaveCCDFile writes the photo:
 * a still image's raw photo as a 24-bit BMP (width rounded down to a
 * multiple of 4) when the path ends ".bmp" (any case), else its stored
 * bytes; a sequence's photo chunks as stored. IFR_SaveRemarkFile writes a
 * sequence's remark in GBK (a still image has none: -1).
 *
 * IFR_OutputDIB writes the false-colour image as a 24-bit BMP file image of
 * ThermcoreDibFileSize(width, height) bytes: size the buffer with it.
 * IFR_OutputCCDDIB writes the raw photo as a packed 24-bit DIB (info header
 * and rows, no file header) into *buffer, which holds *size bytes: at least
 * ThermcoreDibFileSize(photo width, photo height) - 14; *size receives the
 * bytes written (0 without a raw photo). BMP and DIB rows are padded to 4
 * bytes. */
static inline int ThermcoreDibFileSize(int width, int height) {
    if (width < 1 || height < 1 || width > 8192 || height > 8192) return 0;
    return 54 + ((width * 3 + 3) / 4 * 4) * height;
}

THERMCORE_API int IFR_ExistSound(IfrHandle h);
THERMCORE_API int IFR_GetSoundFile(IfrHandle h, const char* path);
THERMCORE_API int IFR_ExistCCD(IfrHandle h);
THERMCORE_API int IFR_OutputCCDDIB(IfrHandle h, unsigned char** buffer, int* size, int flag);
/* Declared int although the original table gives it no result: 1 written,
 * -1 otherwise, and -1 for a bad handle. */
THERMCORE_API int IFR_SaveCCDFile(IfrHandle h, const char* path, int* kind);
THERMCORE_API int IFR_ExistRemark(IfrHandle h);
THERMCORE_API int IFR_SaveRemarkFile(IfrHandle h, const char* path);
THERMCORE_API int IFR_OutputDIB(IfrHandle h, unsigned char* buffer, int* size, int flag);
/* The colour image as last rendered (black before any render) as a 24-bit
 * BMP file: 0 or -1. */
THERMCORE_API int IFR_MemSaveToBMP(IfrHandle h, const char* path);
/* The same as a JPEG file (JFIF, 4:2:0); a quality outside 1..100 is 80.
 * 0, the codec's negative result (-10: the file cannot be created), or -1. */
THERMCORE_API int IFR_MemSaveToJPG(IfrHandle h, const char* path, int quality);
/* The first length bytes of the colour image's pixels (blue, green, red, 0
 * each, rows from the top): 0, or -1 when length is negative or more than
 * width * height * 4. */
THERMCORE_API int IFR_MemSaveToBuff(IfrHandle h, void* buffer, int length);

/* ---- Stubs -------------------------------------------------------------- */

THERMCORE_API int IFR_SetImageSize(IfrHandle h, int width, int height);
/* IFR_SetTempUnit and IFR_Set9PointMeasure are one function. */
THERMCORE_API int IFR_SetTempUnit(IfrHandle h, int value);
THERMCORE_API int IFR_Set9PointMeasure(IfrHandle h, int value);
THERMCORE_API int IFR_GetTempUnit(IfrHandle h);
THERMCORE_API int IFR_GetDeviceModel(IfrHandle h);
THERMCORE_API int IFR_GetDeviceScheme(IfrHandle h, int a, int b);
/* Writes -20.0 and 250.0. */
THERMCORE_API int IFR_GetDeviceSoftInfo(IfrHandle h, float* low, float* high);
THERMCORE_API void IFR_SetPoint(IfrHandle h, int x, int y);
/* IFR_SetLine and IFR_SetArea are one function. */
THERMCORE_API void IFR_SetLine(IfrHandle h, int x1, int y1, int x2, int y2);
THERMCORE_API void IFR_SetArea(IfrHandle h, int x1, int y1, int x2, int y2);
THERMCORE_API void IFR_SetCircle(IfrHandle h, int x, int y, int radius);

#ifdef __cplusplus
}
#endif

/* The decoded layouts match the file's offsets (asserted for every user). */
#if defined(__cplusplus)
#define THERMCORE_STATIC_ASSERT(c, m) static_assert(c, m)
#else
#define THERMCORE_STATIC_ASSERT(c, m) _Static_assert(c, m)
#endif
THERMCORE_STATIC_ASSERT(sizeof(IfrPointInfo) == 24, "point record");
THERMCORE_STATIC_ASSERT(sizeof(IfrRectInfo) == 32, "rectangle record");
THERMCORE_STATIC_ASSERT(sizeof(IfrLineInfo) == 28, "line record");
THERMCORE_STATIC_ASSERT(offsetof(IfrRectInfo, markX) == 24, "rectangle mark");
THERMCORE_STATIC_ASSERT(offsetof(IfrLineInfo, markX) == 20, "line mark");
THERMCORE_STATIC_ASSERT(sizeof(IfrParamBlock) == 428, "parameter block");
THERMCORE_STATIC_ASSERT(offsetof(IfrParamBlock, width) == 12, "width");
THERMCORE_STATIC_ASSERT(offsetof(IfrParamBlock, soundCoding) == 17, "sound coding");
THERMCORE_STATIC_ASSERT(offsetof(IfrParamBlock, graySize) == 20, "gray size");
THERMCORE_STATIC_ASSERT(offsetof(IfrParamBlock, photoWidth) == 24, "photo width");
THERMCORE_STATIC_ASSERT(offsetof(IfrParamBlock, photoSize) == 28, "photo size");
THERMCORE_STATIC_ASSERT(offsetof(IfrParamBlock, soundSize) == 32, "sound size");
THERMCORE_STATIC_ASSERT(offsetof(IfrParamBlock, paletteId) == 36, "palette");
THERMCORE_STATIC_ASSERT(offsetof(IfrParamBlock, atmoPercent) == 38, "atmospheric percentage");
THERMCORE_STATIC_ASSERT(offsetof(IfrParamBlock, ambient100) == 40, "ambient");
THERMCORE_STATIC_ASSERT(offsetof(IfrParamBlock, distance) == 44, "distance");
THERMCORE_STATIC_ASSERT(offsetof(IfrParamBlock, humidity) == 46, "humidity");
THERMCORE_STATIC_ASSERT(offsetof(IfrParamBlock, points) == 48, "points");
THERMCORE_STATIC_ASSERT(offsetof(IfrParamBlock, rects) == 144, "rectangles");
THERMCORE_STATIC_ASSERT(offsetof(IfrParamBlock, lines) == 240, "lines");
THERMCORE_STATIC_ASSERT(offsetof(IfrParamBlock, secondCorrection100) == 324, "second correction");
THERMCORE_STATIC_ASSERT(offsetof(IfrParamBlock, lineTableSize) == 328, "line table size");
THERMCORE_STATIC_ASSERT(offsetof(IfrParamBlock, firstCorrection100) == 332, "first correction");
THERMCORE_STATIC_ASSERT(offsetof(IfrParamBlock, correctionInt) == 336, "correction integer");
THERMCORE_STATIC_ASSERT(offsetof(IfrParamBlock, emissivity100) == 340, "emissivity");
THERMCORE_STATIC_ASSERT(offsetof(IfrParamBlock, rangeLow100) == 344, "range low");
THERMCORE_STATIC_ASSERT(offsetof(IfrParamBlock, deviceModel) == 348, "device model");
THERMCORE_STATIC_ASSERT(offsetof(IfrParamBlock, firmware) == 356, "firmware");
THERMCORE_STATIC_ASSERT(offsetof(IfrParamBlock, serial) == 372, "serial");
THERMCORE_STATIC_ASSERT(offsetof(IfrParamBlock, dateTime) == 388, "date");
THERMCORE_STATIC_ASSERT(offsetof(IfrParamBlock, rangeHigh100) == 420, "range high");
THERMCORE_STATIC_ASSERT(offsetof(IfrParamBlock, byte424) == 424, "byte 424");
#undef THERMCORE_STATIC_ASSERT

#endif /* THERMCORE_H */
