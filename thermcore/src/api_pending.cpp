// Exports whose work is not wired in yet: sequence playback and extracts.
// Each checks its handle and gives its failure result; objects without the
// work behind them answer as an object without that data would.
#include "api_frame.h"

using namespace thermcore;

namespace {

int failInt(IfrHandle h) {
    return withObject(h, -1, [](IfrObject&) { return -1; });
}

int nothingHeld(IfrHandle h) {
    return withObjectCounting(h, [](IfrObject&) { return 0; });
}

}  // namespace

extern "C" {

int IFR_Play(IfrHandle h) { return failInt(h); }
int IFR_Pause(IfrHandle h) { return failInt(h); }
int IFR_Stop(IfrHandle h) { return failInt(h); }
int IFR_Prior(IfrHandle h) { return failInt(h); }
int IFR_PlaySpeed(IfrHandle h, int) { return failInt(h); }
int IFR_GotoTime(IfrHandle h, int) { return failInt(h); }
int IFR_ReceiveStream(IfrHandle h, IfrStreamProc) { return failInt(h); }
int IFR_StreamDiff(IfrHandle h, unsigned short*, const unsigned short*, const unsigned short*) {
    return failInt(h);
}

int IFR_ExistSound(IfrHandle h) { return nothingHeld(h); }
int IFR_ExistCCD(IfrHandle h) { return nothingHeld(h); }
int IFR_ExistRemark(IfrHandle h) { return nothingHeld(h); }
int IFR_GetSoundFile(IfrHandle h, const char*) { return failInt(h); }
int IFR_OutputCCDDIB(IfrHandle h, unsigned char**, int*, int) { return failInt(h); }
int IFR_SaveCCDFile(IfrHandle h, const char*, int*) { return failInt(h); }
int IFR_SaveRemarkFile(IfrHandle h, const char*) { return failInt(h); }
int IFR_OutputDIB(IfrHandle h, unsigned char*, int*, int) { return failInt(h); }
int IFR_MemSaveToBMP(IfrHandle h, const char*) { return failInt(h); }
int IFR_MemSaveToJPG(IfrHandle h, const char*, int) { return failInt(h); }
int IFR_MemSaveToBuff(IfrHandle h, void*, int) { return failInt(h); }

}  // extern "C"
