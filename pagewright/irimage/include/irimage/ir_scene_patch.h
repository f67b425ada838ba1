// Writing edited scene values (ambient, emissivity, distance, humidity) into
// the parameter block of a listed file's bytes, so that reloading the file,
// or stepping away and back, gives the edited values.
#pragma once

#include <QByteArray>

struct IRSceneValues {
    float ambient = 0;    // Celsius
    float emissivity = 0;
    float distance = 0;   // metres
    float humidity = 0;   // fraction of 1
};

// Where the parameter block of a file's bytes lies: at byte 0 when the bytes
// begin with "VN410K", else at the first "VN410K" that is not a container's
// sequence tag ("VN410KV"); -1 when there is none or the whole 428-byte
// block does not lie inside the bytes.
long SceneBlockOffset(const QByteArray& bytes);

// Patches the block of bytes for a file of measurement scheme `scheme` and
// model version `subKind`: i32 ambient hundredths at 40, u16 emissivity
// hundredths at 340, u16 humidity per cent at 46 and u16 distance at 44, in
// hundredths of a metre for scheme 3 (but model version 6) and in whole
// metres otherwise. Every value is rounded once, halves away from zero, and
// held to its field. False (nothing written) when no whole block is found
// or the scheme has no such block.
bool PatchSceneValues(QByteArray& bytes, int scheme, int subKind, const IRSceneValues& values);
