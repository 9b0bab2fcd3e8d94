#pragma once
// The per-sample sweep steps derived from the normalised frequencies.
#include <cstdint>
#include <optional>

namespace orv {

// exp((ln final - ln start) / (length - 1)) as a float. Fails unless both
// frequencies are positive, the pass holds two samples and the factor is a
// normal float (its reciprocal must be usable at a bi-directional turn).
std::optional<float> LogStepFactor(float start, float final, int32_t length);

// (final - start) x 2 pi / (length - 1) as a float; fails for a pass of fewer
// than two samples.
std::optional<float> LinearStepAdd(float start, float final, int32_t length);

// norm x 2 x pi.
double PhaseStepOf(float norm);

}  // namespace orv
