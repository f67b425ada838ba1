// A frame component as the encoder writes it and the decoder reads it.
#ifndef THERMJPEG_FRAME_COMPONENT_H
#define THERMJPEG_FRAME_COMPONENT_H

namespace thermjpeg {

inline constexpr int kMaxBlocksPerMcu = 10; // Y 2x2, Cb, Cr, fourth 2x2

struct FrameComponent {
    int id = 0;
    int h = 1; // horizontal sampling factor
    int v = 1; // vertical sampling factor
    int quantNumber = 0;
};

} // namespace thermjpeg

#endif
