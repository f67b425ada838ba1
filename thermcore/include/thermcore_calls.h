// The library's functions as a table of pointers, for the programs' image
// holders: they call the library through a table so that a test can hand
// them a recording fake. ExportedCalls() is the table of the real exports.
#pragma once

#include "thermcore.h"

namespace thermcore {

struct IfrCalls {
    decltype(&IFR_LoadFile) LoadFile;
    decltype(&IFR_LoadBuffer) LoadBuffer;
    decltype(&IFR_CloseFile) CloseFile;
    decltype(&IFR_Free) Free;
    decltype(&IFR_GetImageWidthHeight) GetImageWidthHeight;
    decltype(&IFR_GetCCDImageWidthHeight) GetCCDImageWidthHeight;
    decltype(&IFR_GetFileLen) GetFileLen;
    decltype(&IFR_GetFileBuff) GetFileBuff;
    decltype(&IFR_SetColorRuler) SetColorRuler;
    decltype(&IFR_ReceiveStream) ReceiveStream;
    decltype(&IFR_Next) Next;
    decltype(&IFR_GetFileVer) GetFileVer;
    decltype(&IFR_GetEmissDis) GetEmissDis;
    decltype(&IFR_SetEmissDis) SetEmissDis;
    decltype(&IFR_GetAmbHum) GetAmbHum;
    decltype(&IFR_SetAmbHum) SetAmbHum;
    decltype(&IFR_GetAtmoTemp) GetAtmoTemp;
    decltype(&IFR_SetAtmoTemp) SetAtmoTemp;
    decltype(&IFR_GetPointInfo) GetPointInfo;
    decltype(&IFR_GetLineInfo) GetLineInfo;
    decltype(&IFR_GetRectInfo) GetRectInfo;
    decltype(&IFR_GetDeviceDate) GetDeviceDate;
    decltype(&IFR_GetColorID) GetColorID;
    decltype(&IFR_SetFilterType) SetFilterType;
    decltype(&IFR_GetHistogramMaxGray) GetHistogramMaxGray;
    decltype(&IFR_GetHistogramMinGray) GetHistogramMinGray;
    decltype(&IFR_SetHistogramMaxGray) SetHistogramMaxGray;
    decltype(&IFR_SetHistogramMinGray) SetHistogramMinGray;
    decltype(&IFR_SetAGCStatus) SetAGCStatus;
    decltype(&IFR_DoHistogramProcess) DoHistogramProcess;
    decltype(&IFR_GrayToTemp) GrayToTemp;
    decltype(&IFR_TempToGray) TempToGray;
    decltype(&IFR_GetPointTemp) GetPointTemp;
    decltype(&IFR_GetBoardCoord) GetBoardCoord;
    decltype(&IFR_SetIRInvert) SetIRInvert;
    decltype(&IFR_SetIsothermTemp) SetIsothermTemp;
    decltype(&IFR_OutputDIB) OutputDIB;
    decltype(&IFR_OutputCCDDIB) OutputCCDDIB;
    decltype(&IFR_SaveCCDFile) SaveCCDFile;
    decltype(&IFR_ExistSound) ExistSound;
    decltype(&IFR_GetSoundFile) GetSoundFile;
    decltype(&IFR_ExistCCD) ExistCCD;
    decltype(&IFR_ExistRemark) ExistRemark;
    decltype(&IFR_SaveRemarkFile) SaveRemarkFile;
    decltype(&IFR_MemSaveToVNI) MemSaveToVNI;
    decltype(&IFR_GetDrawBuffer) GetDrawBuffer;
    decltype(&IFR_Flip) Flip;
};

// The real exports.
inline const IfrCalls& ExportedCalls() {
    static const IfrCalls calls{
        .LoadFile = &IFR_LoadFile,
        .LoadBuffer = &IFR_LoadBuffer,
        .CloseFile = &IFR_CloseFile,
        .Free = &IFR_Free,
        .GetImageWidthHeight = &IFR_GetImageWidthHeight,
        .GetCCDImageWidthHeight = &IFR_GetCCDImageWidthHeight,
        .GetFileLen = &IFR_GetFileLen,
        .GetFileBuff = &IFR_GetFileBuff,
        .SetColorRuler = &IFR_SetColorRuler,
        .ReceiveStream = &IFR_ReceiveStream,
        .Next = &IFR_Next,
        .GetFileVer = &IFR_GetFileVer,
        .GetEmissDis = &IFR_GetEmissDis,
        .SetEmissDis = &IFR_SetEmissDis,
        .GetAmbHum = &IFR_GetAmbHum,
        .SetAmbHum = &IFR_SetAmbHum,
        .GetAtmoTemp = &IFR_GetAtmoTemp,
        .SetAtmoTemp = &IFR_SetAtmoTemp,
        .GetPointInfo = &IFR_GetPointInfo,
        .GetLineInfo = &IFR_GetLineInfo,
        .GetRectInfo = &IFR_GetRectInfo,
        .GetDeviceDate = &IFR_GetDeviceDate,
        .GetColorID = &IFR_GetColorID,
        .SetFilterType = &IFR_SetFilterType,
        .GetHistogramMaxGray = &IFR_GetHistogramMaxGray,
        .GetHistogramMinGray = &IFR_GetHistogramMinGray,
        .SetHistogramMaxGray = &IFR_SetHistogramMaxGray,
        .SetHistogramMinGray = &IFR_SetHistogramMinGray,
        .SetAGCStatus = &IFR_SetAGCStatus,
        .DoHistogramProcess = &IFR_DoHistogramProcess,
        .GrayToTemp = &IFR_GrayToTemp,
        .TempToGray = &IFR_TempToGray,
        .GetPointTemp = &IFR_GetPointTemp,
        .GetBoardCoord = &IFR_GetBoardCoord,
        .SetIRInvert = &IFR_SetIRInvert,
        .SetIsothermTemp = &IFR_SetIsothermTemp,
        .OutputDIB = &IFR_OutputDIB,
        .OutputCCDDIB = &IFR_OutputCCDDIB,
        .SaveCCDFile = &IFR_SaveCCDFile,
        .ExistSound = &IFR_ExistSound,
        .GetSoundFile = &IFR_GetSoundFile,
        .ExistCCD = &IFR_ExistCCD,
        .ExistRemark = &IFR_ExistRemark,
        .SaveRemarkFile = &IFR_SaveRemarkFile,
        .MemSaveToVNI = &IFR_MemSaveToVNI,
        .GetDrawBuffer = &IFR_GetDrawBuffer,
        .Flip = &IFR_Flip,
    };
    return calls;
}

}  // namespace thermcore
