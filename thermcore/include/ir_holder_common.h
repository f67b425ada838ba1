// What the programs' image holders share: the owner of one library handle,
// the operations both holders perform the same way (close, palette index,
// picture and photo output, photo file), the bounded line walk of their line
// measurements and the frame callback they hand to IFR_ReceiveStream.
// Header-only: the library exports its C interface and nothing else.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstring>
#include <utility>
#include <vector>

#include "line_dda.h"
#include "thermcore.h"
#include "thermcore_calls.h"

namespace thermcore {

// The float a Thermcore export gives for a bad handle, which is
// also what a temperature model that cannot convert gives (a still image
// whose line table runs past the file's end has no model): never a
// temperature to show.
inline constexpr float kBadHandleTemperature = -1000.0f;

// Whether t is a temperature the library measured: not the bad-handle value
// (nor anything at or below it) and not NaN or infinite.
inline bool IsTemperature(float t) { return std::isfinite(t) && t > kBadHandleTemperature; }

// Owns one handle: closing it closes the file and, when that succeeded,
// frees the object. Destruction closes.
class IfrHandleOwner {
public:
    explicit IfrHandleOwner(const IfrCalls& calls = ExportedCalls()) : calls_(&calls) {}
    ~IfrHandleOwner() { Close(); }
    IfrHandleOwner(const IfrHandleOwner&) = delete;
    IfrHandleOwner& operator=(const IfrHandleOwner&) = delete;
    IfrHandleOwner(IfrHandleOwner&& other) noexcept
        : calls_(other.calls_), handle_(std::exchange(other.handle_, nullptr)) {}
    IfrHandleOwner& operator=(IfrHandleOwner&& other) noexcept {
        if (this != &other) {
            Close();
            calls_ = other.calls_;
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }

    IfrHandle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }
    const IfrCalls& calls() const noexcept { return *calls_; }

    // Takes over h, closing the handle held before.
    void reset(IfrHandle h) {
        if (h == handle_) return;
        Close();
        handle_ = h;
    }

    // With a handle: IFR_CloseFile, then IFR_Free when the close returned 0;
    // the handle is let go and the close's result returned. Without: 1.
    int Close() {
        if (handle_ == nullptr) return 1;
        IfrHandle h = std::exchange(handle_, nullptr);
        const int closed = calls_->CloseFile(h);
        if (closed == 0) calls_->Free(h);
        return closed;
    }

private:
    const IfrCalls* calls_;
    IfrHandle handle_ = nullptr;
};

// The points of the holders' line buffer.
inline constexpr int kLinePointCapacity = 76800;

// Walks the line from (x1, y1) to (x2, y2) by the line DDA (start in, end
// out) into points[0 .. capacity): the number of points, or -1, with nothing
// written, when there are more than capacity.
inline int WalkLine(int x1, int y1, int x2, int y2, IfrPoint* points, int capacity) {
    const int64_t n = lineDdaCount(x1, y1, x2, y2);
    if (n > capacity || (n > 0 && points == nullptr)) return -1;
    int i = 0;
    lineDda(x1, y1, x2, y2, [&](int64_t x, int64_t y) {
        points[i++] = IfrPoint{static_cast<int32_t>(x), static_cast<int32_t>(y)};
    });
    return i;
}

// WalkLine into a holder's line buffer, grown to the line's points as lines
// need them (never past capacity, and never made before the first line).
inline int WalkLine(int x1, int y1, int x2, int y2, std::vector<IfrPoint>& points,
                    int capacity = kLinePointCapacity) {
    const int64_t n = lineDdaCount(x1, y1, x2, y2);
    if (n > capacity) return -1;
    if (static_cast<size_t>(n) > points.size()) points.resize(static_cast<size_t>(n));
    return WalkLine(x1, y1, x2, y2, points.data(), capacity);
}

// The operations both holders perform alike, over the handle they own and
// the palette index they keep.
class IrHolderCommon {
public:
    explicit IrHolderCommon(const IfrCalls& calls = ExportedCalls()) : handle_(calls) {}

    IfrHandle handle() const noexcept { return handle_.get(); }
    const IfrCalls& calls() const noexcept { return handle_.calls(); }

    int Close() { return handle_.Close(); }

    int GetPalette(int* index) const {
        if (index != nullptr) *index = palette_;
        return 1;
    }

    // Has the library write the picture as a 24-bit BMP file image into the
    // block (capacity bytes) and moves what follows the 14-byte file header
    // to the block's start, leaving a packed bitmap. *size receives the
    // library's count, the header included. The picture is there only when
    // the result is 0: a block smaller than the image needs is refused
    // before the library writes, and a count that is not between 54 and the
    // capacity moves nothing and gives -1.
    int OutputDIB(unsigned char* block, int capacity, int* size, int flag) {
        int written = 0;
        const int result = OutputBmpFile(block, capacity, &written, flag);
        if (size != nullptr) *size = written;
        if (result != 0) return result;
        std::memmove(block, block + 14, static_cast<size_t>(written - 14));
        return 0;
    }

    // The picture as a BMP file image, its 14-byte file header first (what
    // OutputDIB moves the packed bitmap over); size is the file's bytes.
    int OutputBmpFile(unsigned char* block, int capacity, int* size, int flag) {
        int width = 0;
        int height = 0;
        calls().GetImageWidthHeight(handle(), &width, &height);
        const int need = ThermcoreDibFileSize(width, height);
        if (block == nullptr || need == 0 || capacity < need) {
            if (size != nullptr) *size = 0;
            return -1;
        }
        int written = 0;
        const int result = calls().OutputDIB(handle(), block, &written, flag);
        if (size != nullptr) *size = written;
        if (result != 0) return result;
        if (written < 54 || written > capacity) return -1;
        return 0;
    }

    int OutputCCDDIB(unsigned char** buffer, int* size, int flag) {
        return calls().OutputCCDDIB(handle(), buffer, size, flag);
    }

    int SaveCCDFile(const char* path, int* kind) {
        calls().SaveCCDFile(handle(), path, kind);
        return 1;
    }

protected:
    IfrHandleOwner handle_;
    int palette_ = 0;
};

// Whether the file behind an open handle gives temperatures at all: one of
// a few grays across the 14-bit range converts. A file whose temperature
// model is cut off (its line table or calibration past its end) converts
// none: it is damaged and does not open, in either program.
inline bool GivesTemperatures(const IfrCalls& calls, IfrHandle h) {
    for (const int gray : {8192, 0, 16383, 4096, 12288}) {
        if (IsTemperature(calls.GrayToTemp(h, gray))) return true;
    }
    return false;
}

// The program-wide record of the frame callback: the last frame it was given
// and the window of the last open, with the calls it makes.
struct IrFrameRecord {
    IfrHandle handle = nullptr;
    unsigned short* frame = nullptr;
    int size = 0;
    int timeStamp = 0;
    void* window = nullptr;
    const IfrCalls* calls = nullptr;
};

inline IrFrameRecord& FrameRecord() {
    static IrFrameRecord record;
    return record;
}

// Called by the holders at every open: the window given to it and the calls
// the callback is to make.
inline void SetFrameCallbackTarget(const IfrCalls& calls, void* window) {
    FrameRecord().calls = &calls;
    FrameRecord().window = window;
}

// The frame callback (IfrStreamProc): records the frame; a null handle gives
// -1; otherwise the histogram pass and, when the last open had a window,
// drawing and presenting; 1.
inline int IRFrameCallback(IfrHandle handle, unsigned short* frame, int size, int timeStamp) {
    IrFrameRecord& r = FrameRecord();
    r.handle = handle;
    r.frame = frame;
    r.size = size;
    r.timeStamp = timeStamp;
    if (handle == nullptr) return -1;
    const IfrCalls& calls = r.calls != nullptr ? *r.calls : ExportedCalls();
    calls.DoHistogramProcess(handle, frame);
    if (r.window != nullptr) {
        calls.GetDrawBuffer(handle, frame, nullptr);
        calls.Flip(handle);
    }
    return 1;
}

}  // namespace thermcore
