// Scene parameters, gray and temperature, and the line tables.
#include "api_frame.h"
#include "scene_units.h"

using namespace thermcore;

namespace {

// Replaces an owned table by a copy of the caller's bytes; -1 for a negative
// length or a missing buffer.
int loadTable(std::vector<uint8_t>& table, const void* bytes, int length) {
    if (length < 0 || (bytes == nullptr && length > 0)) return -1;
    const auto* p = static_cast<const uint8_t*>(bytes);
    table.assign(p, p + length);
    return 0;
}

}  // namespace

extern "C" {

int IFR_SetEmissDis(IfrHandle h, float emissivity, float distance) {
    return withObject(h, -1, [&](IfrObject& o) {
        o.scene.emissivity100 = toHundredths(emissivity);
        o.scene.distance = distance;
        return 0;
    });
}

int IFR_GetEmissDis(IfrHandle h, float* emissivity, float* distance) {
    return withObject(h, -1, [&](IfrObject& o) {
        if (emissivity != nullptr) *emissivity = fromHundredthsF(o.scene.emissivity100);
        if (distance != nullptr) *distance = o.scene.distance;
        return 0;
    });
}

int IFR_SetAmbHum(IfrHandle h, float ambient, float humidity) {
    return withObject(h, -1, [&](IfrObject& o) {
        o.scene.ambient100 = toHundredths(ambient);
        o.scene.humidity = toHundredths(humidity);  // a fraction, kept in percent
        return 0;
    });
}

int IFR_GetAmbHum(IfrHandle h, float* ambient, float* humidity) {
    return withObject(h, -1, [&](IfrObject& o) {
        if (ambient != nullptr) *ambient = fromHundredthsF(o.scene.ambient100);
        if (humidity != nullptr) *humidity = fromHundredthsF(o.scene.humidity);
        return 0;
    });
}

int IFR_SetAtmoTemp(IfrHandle h, float background) {
    return withObject(h, -1, [&](IfrObject& o) {
        o.scene.background100 = toHundredths(background);
        return 0;
    });
}

// The background temperature for cameras of measurement scheme 3, the
// ambient for the others.
int IFR_GetAtmoTemp(IfrHandle h, float* background) {
    return withObject(h, -1, [&](IfrObject& o) {
        if (background != nullptr) {
            *background = fromHundredthsF(o.scheme == 3 ? o.scene.background100 : o.scene.ambient100);
        }
        return 0;
    });
}

int IFR_SetCorrectParam(IfrHandle h, float first, float second, int integer) {
    return withObject(h, -1, [&](IfrObject& o) {
        o.scene.firstCorrection100 = toHundredths(first);
        o.scene.secondCorrection100 = toHundredths(second);
        o.scene.correctionInt = integer;
        return 0;
    });
}

int IFR_GetCorrectParam(IfrHandle h, float* first, float* second, int* integer) {
    return withObject(h, -1, [&](IfrObject& o) {
        if (first != nullptr) *first = fromHundredthsF(o.scene.firstCorrection100);
        if (second != nullptr) *second = fromHundredthsF(o.scene.secondCorrection100);
        if (integer != nullptr) *integer = o.scene.correctionInt;
        return 0;
    });
}

void IFR_SetAllK(IfrHandle h, float k) {
    withObject(h, [k](IfrObject& o) { o.scene.storedFirstCorrection100 = truncSat(k); });
}

int IFR_SetMeasureTempVersion(IfrHandle h, int version) {
    return withObject(h, -1, [version](IfrObject& o) {
        o.scene.measureVersion = version;
        return 0;
    });
}

int IFR_GetMeasureTempVersion(IfrHandle h) {
    return withObject(h, -1, [](IfrObject& o) { return o.scene.measureVersion; });
}

float IFR_GrayToTemp(IfrHandle h, int gray) {
    return withObject(h, kBadTemperature, [gray](IfrObject& o) { return o.grayToTemp(gray); });
}

int IFR_TempToGray(IfrHandle h, float temperature) {
    return withObject(h, -1, [temperature](IfrObject& o) { return o.tempToGray(temperature); });
}

// The line table is written back by a save, whatever the camera model.
int IFR_LoadGrayToTempLine(IfrHandle h, const void* table, int length) {
    return withObject(h, -1, [&](IfrObject& o) {
        if (loadTable(o.lineTable, table, length) != 0) return -1;
        o.lineTableHeld = !o.lineTable.empty();
        return 0;
    });
}

int IFR_LoadDelicacyLine(IfrHandle h, const void* table, int length) {
    return withObject(h, -1, [&](IfrObject& o) { return loadTable(o.delicacyLine, table, length); });
}

int IFR_LoadZeroLine(IfrHandle h, const void* table, int length) {
    return withObject(h, -1, [&](IfrObject& o) { return loadTable(o.zeroLine, table, length); });
}

}  // extern "C"
