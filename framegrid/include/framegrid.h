/*
 * Framegrid: the linear per-frame gray/temperature model.
 *
 * Three stateless functions. A base temperature, a reference gray (the
 * brightest gray of a reference board in the frame) and a gain k give the
 * temperature; the emissivity square law, a distance-times-humidity term and a
 * user offset correct it. Absolute zero is taken as 273. No result is ever NaN
 * or infinite:
 *
 *  MT_GrayToTempPlane   k zero or non-finite: returns base (as for
 *                       gray == reference gray); a non-finite result: -273.
 *  DisHumEnvRevisePlane emissivity + revise <= 0, a negative radicand or a
 *                       non-finite result: returns -273 + user offset
 *                       (-273 when the offset itself is not finite).
 *  MT_TempToGrayPlane   the truncation to an integer saturates; a non-finite
 *                       intermediate gives the reference gray.
 *
 * Output pointers may be NULL; the result is returned all the same.
 */
#ifndef FRAMEGRID_H
#define FRAMEGRID_H

#if defined(FRAMEGRID_BUILD)
#define FRAMEGRID_API __attribute__((visibility("default")))
#else
#define FRAMEGRID_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

FRAMEGRID_API float MT_GrayToTempPlane(float* out, float base, int gray, int referenceGray,
                                       float k);

FRAMEGRID_API float DisHumEnvRevisePlane(float t, float distance, int humidity, float ambient,
                                         float background, float emissivity,
                                         float emissivityRevise, float userOffset);

FRAMEGRID_API int MT_TempToGrayPlane(int* out, float base, float t, int referenceGray, float k,
                                     float distance, int humidity, float ambient,
                                     float background, float emissivity,
                                     float emissivityRevise, float userOffset);

#ifdef __cplusplus
}
#endif

#endif /* FRAMEGRID_H */
