// Gray and temperature of one value, by the object's camera model
// (model_dispatch.h), and the own model's atmospheric factor.
#include <cmath>

#include "ifr_object.h"
#include "model_dispatch.h"
#include "scene_units.h"

namespace thermcore {

float IfrObject::grayToTemp(int value) {
    GrayConversion conversion(*this, calibration ? &calibration->para : nullptr);
    return conversion.toTemp(value);
}

int IfrObject::tempToGray(float temperature) {
    GrayConversion conversion(*this, calibration ? &calibration->para : nullptr);
    return conversion.toGray(temperature);
}

float IfrObject::atmosphericFactor(int distanceMetres) {
    if (scene.atmoPercent == 0) scene.atmoPercent = 100;
    const double t = scene.ambient100 / 100.0;
    const double rh = scene.humidity;
    const double h =
        (rh * 0.01) * std::exp(((6.8455e-7 * t - 0.00027816) * t + 0.06939) * t - 1.5587);
    const double s = std::sqrt(h);
    const double q = std::sqrt(static_cast<double>(distanceMetres));
    const double tau =
        1.89999997615814 * std::exp(-q * (0.00656899996101856 - 0.00227600010111928 * s)) -
        0.8999999761581401 * std::exp(-q * (0.0126200001686811 - 0.00667699985206127 * s));
    const double gain = static_cast<double>(scene.atmoPercent) * scene.firstCorrection100 * 0.01;
    scene.atmoFactor = narrowToFloat(gain / tau);
    return scene.atmoFactor;
}

}  // namespace thermcore
