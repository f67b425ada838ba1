// Sequences: stepping, playback, the frame callback and the post hook.
#include <algorithm>
#include <vector>

#include "api_frame.h"
#include "file_open.h"
#include "post_hook.h"
#include "sequence.h"

using namespace thermcore;

extern "C" {

void ThermcoreSetPostHook(ThermcorePostProc proc, void* user) { setPostHook(proc, user); }

int IFR_Next(IfrHandle h) {
    return withObject(h, -1, [](IfrObject& o) {
        endPlayback(o);
        o.stopFlag = 0;
        o.pauseFlag = 0;
        const int r = readNextFrame(o);
        if (r == 0) imaging::IM_DoHistogramProcess(o.imaging.get(), o.gray.data());
        return r;
    });
}

int IFR_Prior(IfrHandle h) {
    return withObject(h, -1, [](IfrObject& o) {
        endPlayback(o);
        return priorFrame(o);
    });
}

int IFR_GotoTime(IfrHandle h, int timeStamp) {
    return withObject(h, -1, [timeStamp](IfrObject& o) {
        endPlayback(o);
        return gotoTime(o, timeStamp);
    });
}

int IFR_Play(IfrHandle h) {
    return withObject(h, -1, [](IfrObject& o) { return startPlayback(o); });
}

int IFR_Pause(IfrHandle h) {
    return withObject(h, -1, [](IfrObject& o) {
        signalPlayback(o, o.pauseFlag);
        return 0;
    });
}

int IFR_Stop(IfrHandle h) {
    return withObject(h, -1, [](IfrObject& o) {
        signalPlayback(o, o.stopFlag);
        return 0;
    });
}

int IFR_PlaySpeed(IfrHandle h, int speed) {
    return withObject(h, -1, [speed](IfrObject& o) {
        o.playStep = playStepForSpeed(speed);
        return 0;
    });
}

int IFR_ReceiveStream(IfrHandle h, IfrStreamProc proc) {
    return withObject(h, -1, [proc](IfrObject& o) {
        o.streamProc = proc;
        return 0;
    });
}

int IFR_StreamDiff(IfrHandle h, unsigned short* destination, const unsigned short* grayA,
                   const unsigned short* grayB) {
    return withObject(h, -1, [&](IfrObject& o) {
        if (destination == nullptr || grayA == nullptr || grayB == nullptr) return -1;
        // Through a scratch frame, so the destination may be either input.
        std::vector<unsigned short> diff(o.pixelCount());
        for (size_t i = 0; i < diff.size(); ++i) {
            diff[i] = static_cast<unsigned short>(grayB[i] - grayA[i]);
        }
        std::copy(diff.begin(), diff.end(), destination);
        return 0;
    });
}

}  // extern "C"
