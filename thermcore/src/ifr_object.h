// IfrObject: the one object behind every handle of the interface.
//
// It holds the open file and its copy, the current gray frame, the parameter
// block with the measurement state derived from it, the calibration and
// display blocks, the sequence state, the imaging resource and the screen
// surface of one image or sequence. Buffers are owned by the object and sized
// to width * height when an image is opened or the display is set up.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "calibration.h"
#include "imaging/imaging.h"
#include "sequence_state.h"
#include "temp_table.h"
#include "thermcore.h"
#include "uninitialised_vector.h"

namespace thermcore {

inline constexpr uint32_t kIfrMagic = 0x66DDDD66;
inline constexpr int kMaxImageSide = 8192;
inline constexpr size_t kPlaneTableSize = 112;
inline constexpr size_t kPaletteBytes = 768;

// Measurement state in the object's units: hundredths, percent, metres.
struct SceneState {
    int32_t emissivity100 = 0;
    int32_t humidity = 0;  // percent
    int32_t paramsValid = 0;
    int32_t atmoPercent = 0;
    int32_t firstCorrection100 = 0;
    int32_t correctionInt = 0;
    int32_t ambient100 = 0;
    int32_t background100 = 0;
    float distance = 0.0f;  // metres
    int32_t measureVersion = 0;
    int32_t storedFirstCorrection100 = 0;
    int32_t secondCorrection100 = 0;
    float atmoFactor = 0.0f;
};

// A part of the file (photo, sound) inside the object's copy of the file.
struct HeldPart {
    size_t offset = 0;
    size_t size = 0;
    bool held = false;
};

// Non-uniformity settings of a sequence (16 bytes in the file).
struct NonUniformity {
    uint32_t columnThreshold = 0;
    uint32_t limit = 0;
};

// Up to ten isotherm bands of the colour ruler: isotherm j paints the ruler
// entries between low[j] and high[j] degrees in colour[j] (0x00BBGGRR).
inline constexpr int kIsotherms = 10;
struct IsothermTable {
    std::array<float, kIsotherms> high{};
    std::array<float, kIsotherms> low{};
    std::array<int32_t, kIsotherms> colour{};
};

struct ImagingDeleter {
    void operator()(imaging::Resource* r) const { imaging::IM_FreeResource(r); }
};

struct IfrObject {
    IfrObject();
    ~IfrObject();
    IfrObject(const IfrObject&) = delete;
    IfrObject& operator=(const IfrObject&) = delete;

    uint32_t magic = kIfrMagic;

    // Playback and its one-shot flags.
    std::atomic<int32_t> playStep{50};
    std::atomic<uint8_t> pauseFlag{0};
    std::atomic<uint8_t> stopFlag{0};

    // The open file. A memory image (IFR_LoadBuffer) is read through a
    // stream over the object's own copy of the caller's bytes, memoryBytes
    // (the path is then empty). The copy is held by memoryImage, or by
    // fileCopy once a still image's reader took it over (whoever replaces
    // fileCopy hands it back first: takeBackMemoryImage); it lives until
    // the file is closed.
    std::FILE* file = nullptr;
    std::string path;
    std::vector<uint8_t> memoryImage;
    std::span<const uint8_t> memoryBytes;
    int32_t kind = IFR_KIND_SEQUENCE;  // set again by every open
    int64_t startOffset = 0;
    int64_t firstFrameOffset = 0;
    int64_t irDataLength = 0;
    int32_t embeddedSequence = 0;
    uint32_t openedAtMs = 0;
    int32_t currentTime = 0;
    int32_t firstTime = 0;
    int32_t lastTime = 0;

    // Frame and pictures.
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint16_t> gray;
    UninitialisedVector<uint32_t> rgb;  // cleared when grown, but by renders that write every pixel

    // Parameter blocks and what was derived from them.
    IfrParamBlock block{};
    IfrParamBlock secondBlock{};
    int32_t modelVersion = 0;
    int32_t scheme = 3;
    SceneState scene;

    // Copy of the file's infrared data (or of the last stream block), with
    // the photo and sound inside it.
    std::vector<uint8_t> fileCopy;
    HeldPart photo;
    HeldPart sound;

    // Line tables: the gray-to-temperature line of the file (read by the own
    // model, written back by every save) and the two that are stored only.
    std::vector<uint8_t> lineTable;
    bool lineTableHeld = false;
    std::vector<uint8_t> delicacyLine;
    std::vector<uint8_t> zeroLine;

    std::unique_ptr<CalibrationPayload> calibration;
    std::optional<DisplayBlock> display;
    std::array<uint8_t, kPlaneTableSize> planeTable{};
    NonUniformity nonUniformity;

    // Sequence bookkeeping.
    std::atomic<uint8_t> indexReady{1};
    std::atomic<uint8_t> indexStop{0};
    uint8_t hasSound = 0;
    uint8_t hasPhoto = 0;
    uint8_t hasRemark = 0;
    int32_t frameCount = 0;
    std::atomic<IfrStreamProc> streamProc{nullptr};
    SequenceState seq;

    // Display.
    void* window = nullptr;
    int32_t screenDepth = 32;
    std::unique_ptr<imaging::Resource, ImagingDeleter> imaging;
    std::vector<uint32_t> surfacePixels;  // the surface's own copy, when it has one
    IfrSurface surface{};
    bool surfaceRendered = false;

    // Palette.
    std::array<uint8_t, kPaletteBytes> paletteBytes{};
    bool paletteHeld = false;

    // Temperatures of every gray for whole-area statistics; colour ruler
    // order and isotherms.
    TemperatureTable tempTable;
    int32_t irInvert = 0;
    IsothermTable isotherms;

    size_t pixelCount() const {
        return static_cast<size_t>(width) * static_cast<size_t>(height);
    }
    bool hasFile() const { return file != nullptr; }
    bool isMemoryImage() const { return file != nullptr && !memoryBytes.empty(); }
    // Before fileCopy is replaced: a memory image's bytes held there go
    // back to memoryImage (the same storage, so the stream stays valid).
    void takeBackMemoryImage() {
        if (!memoryBytes.empty() && fileCopy.data() == memoryBytes.data()) memoryImage = std::move(fileCopy);
    }

    // Imaging resource, buffers and (with a window) the screen surface for a
    // width x height image. 0, or -1 when the imaging resource cannot be had.
    int initDisplay(void* window, int width, int height);
    // Sizes the gray buffer to the image.
    void allocateImageBuffers();

    // Closes the file, drops the calibration block; the object stays.
    void closeFile();

    // The colour buffer sized for the image, for any writer other than the
    // surface's render, and for readers: a surface that shares it is given
    // a copy of its own first, so it keeps the frame it was rendered from.
    uint32_t* colourBuffer();
    // The same for a render that writes every pixel (the imaging resource's
    // renders of a frame): grown without being cleared first.
    uint32_t* renderTarget();
    // The same for readers alone: shared with the surface as it is, unless
    // the buffer must be sized again.
    const uint32_t* colourPixels() { return rgb.size() == pixelCount() ? rgb.data() : colourBuffer(); }

    // Renders a gray frame into the colour buffer, which the surface then
    // shows (each pixel is stored once); 0 or -1. With the histogram: the
    // histogram counted in the same pass over the frame, as IFR_ShowImage
    // does.
    int renderToSurface(const uint16_t* frame, bool withHistogram = false);
    // Hands the rendered surface to the present hook (objects with a window).
    void present();

    // Conversions by camera model.
    float grayToTemp(int gray);
    int tempToGray(float temperature);
    // The own model's atmospheric factor for a whole-metre distance; kept in
    // the scene state (an atmospheric percentage of 0 becomes 100).
    float atmosphericFactor(int distanceMetres);
};

}  // namespace thermcore
