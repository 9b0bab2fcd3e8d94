#include "generator/synth/SweepSteps.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace orv {

namespace {

bool FitsFloat(double x)
{
    return std::isfinite(x) && std::fabs(x) <= std::numeric_limits<float>::max();
}

}  // namespace

std::optional<float> LogStepFactor(float start, float final, int32_t length)
{
    if (!(start > 0.0f) || !(final > 0.0f) || length < 2)
        return std::nullopt;
    const double factor = std::exp((std::log(static_cast<double>(final)) -
                                    std::log(static_cast<double>(start))) /
                                   (static_cast<double>(length) - 1.0));
    if (!FitsFloat(factor) || !std::isnormal(static_cast<float>(factor)))
        return std::nullopt;
    return static_cast<float>(factor);
}

std::optional<float> LinearStepAdd(float start, float final, int32_t length)
{
    if (length < 2)
        return std::nullopt;
    const double add = (static_cast<double>(final) - start) * 2.0 * std::numbers::pi /
                       (static_cast<double>(length) - 1.0);
    if (!FitsFloat(add))
        return std::nullopt;
    return static_cast<float>(add);
}

double PhaseStepOf(float norm) { return static_cast<double>(norm) * 2.0 * std::numbers::pi; }

}  // namespace orv
