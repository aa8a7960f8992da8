// MUNDRE's daily mass balance of a pond of constant volume and its sediment layer.
#pragma once

#include "models/mundre/MundreInput.h"

#include <vector>

namespace parvela::models::mundre {

struct PondDay {
    Day day = 0;
    double concentration = 0;   // water, ug.L-1
    double sedimentContent = 0; // ug.kg-1 dry sediment
    double outflow = 0;         // m3.d-1
};

// Totals over the simulation period in mg.
struct PondTotals {
    double fromField = 0;
    double fromDrift = 0;
    double outflow = 0;
    double transformedWater = 0;
    double transformedSediment = 0;
    double inWater = 0;    // at the end
    double inSediment = 0; // at the end
};

struct MundreResult {
    std::vector<PondDay> days;
    PondTotals totals;
};

MundreResult Simulate(const MundreInput& input, const MundreForcing& forcing);

// The highest mean concentration over any `window` consecutive days (over all days when
// the period is shorter).
double MaximumTimeWeightedAverage(const std::vector<PondDay>& days, std::size_t window);

} // namespace parvela::models::mundre
