/*
 * Thermjpeg: the JPEG codec inside Thermcore.
 *
 * One caller-owned record, JPEG_PROPERTIES, is one codec context. The caller
 * fills the public block, names a mode and gets an integer result code
 * (JpegErrorText gives its text). Calling order: JpegInit, any number of
 * writes, JpegFree. A write that returned 1 (interrupted) is continued by the
 * same call with the same mode and InterruptFlag clear.
 *
 * This build encodes baseline sequential streams, and progressive streams when
 * Progressive is set (modes 8 to 13), to a file or to memory, and decodes
 * baseline, extended and progressive streams (modes 0 to 7 and 14 to 21):
 * parameters, whole images, reduced images, regions, thumbnails.
 *
 * Caller data is checked before anything is written: every result below zero
 * names the cause, and a failing call closes the file it opened. A read
 * never writes past ImageWidth x |ImageHeight| pixels of the caller's buffer. Faults the
 * codec cannot see (an ImageBytes buffer shorter than the geometry says, a
 * caller table shorter than its counts say) stay the caller's responsibility.
 *
 * The codec is linked into Thermcore and not exported from it; it uses no
 * global state beyond the processor identification, which it computes once.
 */
#ifndef THERMJPEG_H
#define THERMJPEG_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/*
 * The largest picture a caller allocates from a frame header: at most
 * JPEG_MAX_PICTURE_SIDE pixels a side and JPEG_MAX_PICTURE_PIXELS pixels in
 * all, which at 4 bytes a pixel is JPEG_MAX_PICTURE_BYTES (512 MiB). A frame
 * may claim 65535 x 65535 in a few bytes; callers refuse a header beyond
 * these before allocating (JpegPictureFits).
 */
#define JPEG_MAX_PICTURE_SIDE 32768
#define JPEG_MAX_PICTURE_PIXELS (1L << 27)
#define JPEG_MAX_PICTURE_BYTES (1L << 29)

/* 1 when a picture of width x height pixels of the given bytes each lies
 * within the bounds above, else 0. */
static inline int JpegPictureFits(int64_t width, int64_t height, int64_t bytesPerPixel)
{
    return width > 0 && height > 0 && bytesPerPixel > 0 && width <= JPEG_MAX_PICTURE_SIDE &&
           height <= JPEG_MAX_PICTURE_SIDE && width * height <= JPEG_MAX_PICTURE_PIXELS &&
           width * height * bytesPerPixel <= JPEG_MAX_PICTURE_BYTES;
}

/* Result codes; JpegErrorText gives the text of each. */
enum {
    JPEG_ROI_SUCCESS = 2,
    JPEG_INTERRUPTED = 1,
    JPEG_SUCCESS = 0,
    JPEG_EXCEPTION = -1,
    JPEG_INVALID_ENCODER = -2,
    JPEG_BAD_SUBSAMPLING = -3,
    JPEG_BAD_BYTES_PER_PIXEL = -4,
    JPEG_MEMORY_ERROR = -5,
    JPEG_BAD_HUFFMAN_TABLE = -6,
    JPEG_BAD_QUANT_TABLE = -7,
    JPEG_INVALID_PROPERTIES = -8,
    JPEG_CLOSE_ERROR = -9,
    JPEG_INVALID_FILE_NAME = -10,
    JPEG_EOF_ERROR = -11,
    JPEG_NOT_SUPPORTED = -12,
    JPEG_NOT_JPEG = -13,
    JPEG_COMPONENT_ERROR = -14,
    JPEG_SOF_ERROR = -15,
    JPEG_DNL_ERROR = -16,
    JPEG_NO_HUFFMAN_TABLE = -17,
    JPEG_NO_QUANT_TABLE = -18,
    JPEG_NO_FRAME = -19,
    JPEG_MULTIPLE_FRAMES = -20,
    JPEG_DATA_ERROR = -21,
    JPEG_NO_IMAGE = -22,
    JPEG_FILE_ERROR = -23,
    JPEG_INTERNAL_ERROR = -24,
    JPEG_BAD_RST_MARKER = -25,
    JPEG_THUMBNAIL_TOO_SMALL = -26,
    JPEG_THUMBNAIL_WRONG_COLOUR = -27,
    JPEG_OUTPUT_TOO_SMALL = -28,
    JPEG_UNSUPPORTED_FRAME = -29,
    JPEG_COMMENT_ACCESS_ERROR = -30,
    JPEG_RESERVED = -99
};

/* Colour codes (ImageColour, JpegColour). */
enum {
    JPEG_COLOUR_RGB = 1,     /* bytes R, G, B (image) / unconverted, APP14 transform 0 (JPEG) */
    JPEG_COLOUR_BGR = 2,     /* bytes B, G, R; image side only */
    JPEG_COLOUR_YCBCR = 3,   /* Y, Cb, Cr; JFIF */
    JPEG_COLOUR_GRAY = 4,    /* one gray byte / component */
    JPEG_COLOUR_INV_RGBA = 5, /* complemented R, G, B and a fourth channel; APP14 transform 0 */
    JPEG_COLOUR_YCCK = 6,    /* JPEG side only: Y, Cb, Cr and a fourth; APP14 transform 2 */
    JPEG_COLOUR_OTHER = 255  /* copied unchanged */
};

/* Sampling codes (JpegSampling): the first component's factors. */
enum {
    JPEG_SAMPLING_444 = 0,  /* every component 1x1 */
    JPEG_SAMPLING_420 = 1,  /* three components, Y 2x2 */
    JPEG_SAMPLING_422 = 2,  /* three components, Y 2x1 */
    JPEG_SAMPLING_4220 = 3, /* four components, Y and fourth 2x2 */
    JPEG_SAMPLING_4221 = 4, /* four components, Y and fourth 2x1 */
    JPEG_SAMPLING_OTHER = 255
};

/* Modes: even modes use JpegFile, odd modes JpegBytes/JpegSize. */
enum {
    JPEG_MODE_HEADER_FILE = 0,        /* stream parameters up to the first scan */
    JPEG_MODE_HEADER_MEMORY = 1,
    JPEG_MODE_READ_FILE = 2,          /* whole image into ImageBytes */
    JPEG_MODE_READ_MEMORY = 3,
    JPEG_MODE_READ_TABLES_FILE = 4,   /* a stream of tables only; they stay for modes 6 and 7 */
    JPEG_MODE_READ_TABLES_MEMORY = 5,
    JPEG_MODE_READ_ABBREVIATED_FILE = 6, /* image with tables from an earlier read */
    JPEG_MODE_READ_ABBREVIATED_MEMORY = 7,
    JPEG_MODE_WRITE_FILE = 8,         /* whole image */
    JPEG_MODE_WRITE_MEMORY = 9,
    JPEG_MODE_TABLES_FILE = 10,       /* header and tables, then EOI */
    JPEG_MODE_TABLES_MEMORY = 11,
    JPEG_MODE_ABBREVIATED_FILE = 12,  /* image without DQT/DHT, tables from the state */
    JPEG_MODE_ABBREVIATED_MEMORY = 13,
    JPEG_MODE_READ_HALF_FILE = 14,    /* whole image reduced to 1/2, 1/4, 1/8 */
    JPEG_MODE_READ_HALF_MEMORY = 15,
    JPEG_MODE_READ_QUARTER_FILE = 16,
    JPEG_MODE_READ_QUARTER_MEMORY = 17,
    JPEG_MODE_READ_EIGHTH_FILE = 18,
    JPEG_MODE_READ_EIGHTH_MEMORY = 19,
    JPEG_MODE_THUMBNAIL_FILE = 20,    /* parameters, and the JFIF thumbnail into ImageBytes */
    JPEG_MODE_THUMBNAIL_MEMORY = 21
};

enum { JPEG_MAX_COMPONENTS = 4 };

/* Caller-supplied component planes (PlaneInput). Each plane covers the whole
 * MCU grid: MCUs per row x H x 8 values per line, MCU rows x V x 8 lines.
 * Mode non-zero: samples 0..255; mode 0: quantised coefficients, each block
 * in natural order in its 8x8 square. */
typedef struct JpegPlaneInput {
    int32_t Mode;
    const int16_t* Planes[JPEG_MAX_COMPONENTS];
} JpegPlaneInput;

typedef struct JpegOwnQuantTable {
    const uint8_t* Values; /* 64 base values in zig-zag order, scaled by Quality */
    int32_t Number;        /* table number 0..3 */
} JpegOwnQuantTable;

typedef struct JpegOwnQuantTables {
    int32_t Enabled;
    JpegOwnQuantTable Tables[4];
} JpegOwnQuantTables;

typedef struct JpegOwnHuffmanTable {
    const uint8_t* Bits;   /* 16 counts of codes of length 1..16 */
    const uint8_t* Values; /* the symbols, as many as the counts add up to */
    uint8_t Class;         /* 0 DC, 1 AC */
    uint8_t Number;        /* table number 0..3 */
} JpegOwnHuffmanTable;

/* Entries 2k (DC) and 2k+1 (AC) form pair k; a pair is used when all four of
 * its addresses are set. DcNumber/AcNumber give each component's tables. */
typedef struct JpegOwnHuffmanTables {
    int32_t Enabled;
    JpegOwnHuffmanTable Tables[8];
    uint8_t DcNumber[JPEG_MAX_COMPONENTS];
    uint8_t AcNumber[JPEG_MAX_COMPONENTS];
} JpegOwnHuffmanTables;

/* An output region: left, top, right, bottom (right and bottom exclusive). */
typedef struct JpegRegion {
    int32_t Left;
    int32_t Top;
    int32_t Right;
    int32_t Bottom;
} JpegRegion;

struct JpegCodecState; /* the codec's own working state */

typedef struct JPEG_PROPERTIES {
    /* Public block. */
    int32_t ReuseSettings;  /* non-zero: continue with the settings of the previous call */
    uint8_t* ImageBytes;    /* pixel buffer */
    int32_t ImageWidth;     /* 1..65535 */
    int32_t ImageHeight;    /* 1..65535, or negative: the last row in memory is the top */
    int32_t ImagePadBytes;  /* bytes after each row */
    int32_t ImageChannels;  /* bytes per pixel, 1..255 */
    int32_t ImageColour;    /* colour code */
    int32_t ImageSampling;  /* 0, or 2 for packed Y Cb Y Cr (ImageColour 3, even width) */
    const char* JpegFile;   /* file modes */
    uint8_t* JpegBytes;     /* memory modes */
    int32_t JpegSize;       /* memory size; after a write, the bytes written */
    int32_t JpegWidth;      /* frame width 1..65535, at most ImageWidth */
    int32_t JpegHeight;     /* frame height 1..65535, at most |ImageHeight| */
    int32_t JpegChannels;   /* frame components, 1..4 */
    int32_t JpegColour;     /* colour code */
    int32_t JpegSampling;   /* sampling code */
    int32_t ThumbWidth;     /* set by a read */
    int32_t ThumbHeight;
    int32_t ConvertColour;  /* colour-conversion flag */
    int32_t Resample;       /* sampling flag */
    int32_t Quality;        /* 1..100; <= 0 acts as 1, > 100 makes every value 1 */
    int32_t Reserved;       /* never read or written by the codec */

    /* Working state: the fields a caller may set between JpegInit and a call. */
    int32_t Mode;            /* mode of the current call; -1 after JpegInit */
    int32_t DctMethod;       /* 0 fast, 1 accurate */
    int32_t InterruptFlag;   /* read at MCU boundaries (atomically; another thread may set it) */
    int32_t RestartInterval; /* MCUs between restart markers, 0..65535 */
    int32_t SingleBlockMcu;  /* one 8x8 block per MCU (PlaneInput only) */
    JpegOwnQuantTables OwnQuantTables;
    JpegOwnHuffmanTables OwnHuffmanTables;
    int32_t CpuCode;         /* processor code chosen by JpegInit, 0..6 */
    struct JpegCodecState* Codec; /* everything else; owned by the codec */

    /* Extension fields. */
    const JpegPlaneInput* PlaneInput;
    int32_t Progressive;    /* non-zero: progressive stream (SOF2); no DRI, no restart markers */
    uint16_t AdobeVersion;
    uint16_t AdobeFlags0;
    uint16_t AdobeFlags1;
    int32_t JfifFound;
    uint16_t JfifVersion;
    uint8_t JfifUnits;
    uint16_t JfifXDensity;
    uint16_t JfifYDensity;
    char* CommentBytes;     /* write: the comment to store; header reads: the buffer a comment is copied into */
    uint16_t CommentLength; /* write: its length; header reads: the buffer's size on entry, the comment's length after */

    /* Read extensions. */
    JpegRegion OutputRegion;  /* output pixels (of the reduced image for modes 14 to 19); all zero: whole image.
                                 Right or bottom 0 reaches the image's edge. The region's corner lands at the
                                 buffer's first pixel; a region read returns 2 when the region is complete. */
    int32_t SmoothUpsampling; /* non-zero: 2x1 and 2x2 chroma through the triangle filters, else replicated */
    int32_t InterruptColumn;  /* after a read returned 1: output pixels finished in the MCU row ... */
    int32_t InterruptRow;     /* ... and output rows finished, both measured from the image's corner */
    int32_t PlaneOutput;      /* full-size reads: 1 samples, 2 quantised coefficients into the planes
                                 below instead of pixels (ImageBytes unused) */
    const int16_t* OutputPlanes[JPEG_MAX_COMPONENTS]; /* owned by the codec until the next read or JpegFree;
                                 laid out as JpegPlaneInput's planes */
    int32_t OutputPlaneWidth[JPEG_MAX_COMPONENTS];    /* values a line: MCUs per row x H x 8 */
    int32_t OutputPlaneHeight[JPEG_MAX_COMPONENTS];   /* lines: MCU rows x V x 8 */

    /* Strips: non-zero makes ImageBytes a buffer of this many rows (ImageWidth pixels
     * each, ImageHeight positive and still the whole image's), passed through the
     * image a strip of whole MCU rows at a time. Image writes (no planes): the
     * first call takes image rows 0 .. StripRows - 1 (fewer at the image's end);
     * each call that returns 1 has consumed the rows before InterruptRow, and the
     * next call of the same mode takes the rows from InterruptRow on in
     * ImageBytes; the call that takes the last rows finishes the stream (a
     * progressive one writes its scans then). Image reads (modes 2, 3, 6, 7, 14
     * to 19, no region, no smoothing, no planes): each call that returns 1 has
     * put output rows from the previous InterruptRow (0 at first) up to
     * InterruptRow into the buffer's first rows; the call after the last strip
     * returns the read's result. A stream that needs the coefficient store
     * (progressive, one component a scan) is read whole into the store by the
     * first call, its strips going out at the stream's end; a second scan after
     * a sequential scan of every component gives -12. StripRows below the MCU
     * height (and the image's) is refused with -8. InterruptFlag is not read in
     * strip calls. */
    int32_t StripRows;
} JPEG_PROPERTIES;

int JpegInit(JPEG_PROPERTIES* properties);
int JpegRead(JPEG_PROPERTIES* properties, int mode);
int JpegWrite(JPEG_PROPERTIES* properties, int mode);
int JpegFree(JPEG_PROPERTIES* properties);
const char* JpegErrorText(int code);

typedef struct JpegVersionRecord {
    int32_t Major;
    int32_t Minor;
    int32_t Build;
    const char* LibraryName;
    const char* ShortVersion;
    const char* FullVersion;
    const char* BuildDate;
} JpegVersionRecord;

const JpegVersionRecord* JpegLibraryVersion(void);

#ifdef __cplusplus
}
#endif

#endif
