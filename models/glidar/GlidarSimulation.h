// GLIDAR's daily mass balance of the paddy water and the top soil, per m2 of field.
#pragma once

#include "models/glidar/GlidarInput.h"
#include "models/glidar/Hydrology.h"

#include <vector>

namespace parvela::models::glidar {

// Totals over the simulation period in mg.m-2.
struct CompoundTotals {
    double applied = 0;
    double formed = 0;
    double intercepted = 0;
    double drained = 0;
    double transformed = 0;
    double leached = 0;          // percolated out of the top soil
    double belowTopSoil = 0;     // applied deeper than the top soil
    double inWater = 0;          // at the end
    double inSoil = 0;           // at the end
    double maxConcentration = 0; // paddy water, mg.L-1
    Day maxDate = 0;
};

struct DayState {
    Day day = 0;
    double depth = 0;                  // mm
    double waterDrained = 0;           // mm.d-1
    double substanceDrained = 0;       // mg.m-2.d-1, the parent only
    std::vector<double> concentration; // paddy water per compound, mg.L-1
    std::vector<double> soilContent;   // top soil per compound, mg.kg-1
};

struct GlidarResult {
    std::vector<CompoundTotals> totals; // in compound order
    std::vector<DayState> days;
};

GlidarResult Simulate(const GlidarInput& input, const Hydrology& hydrology);

} // namespace parvela::models::glidar
