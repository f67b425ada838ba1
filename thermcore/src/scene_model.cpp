// Gray and temperature by camera model.
//
// The models themselves (Radiomath for "VN410K8/9/10", Framegrid for
// "VN410K11", the line-table model for every other camera) are not wired in
// yet: every gray reads as -1000.0 and every temperature as gray -10000. The
// atmospheric factor of the line-table model is computed already, since
// reading a block keeps it.
#include <cmath>

#include "ifr_object.h"

namespace thermcore {

float IfrObject::grayToTemp(int /*gray*/) { return -1000.0f; }

int IfrObject::tempToGray(float /*temperature*/) { return -10000; }

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
    scene.atmoFactor = static_cast<float>(gain / tau);
    return scene.atmoFactor;
}

}  // namespace thermcore
