// The paddy's daily hydrology, derived once per scenario from the ponding and weather files
// and kept in two scenario files that later runs read instead of recomputing them:
//   <station>.bfo  boundary fluxes: ponding depth (mm), drainage outflow (mm.d-1) and
//                  percolation (mm.d-1)
//   <station>.swe  soil water and energy: paddy-water temperature (C), top-soil
//                  temperature (C) and top-soil water content (m3.m-3)
#pragma once

#include "models/common/DailySeries.h"
#include "models/common/ModelProgram.h"
#include "models/glidar/GlidarInput.h"

#include <optional>

namespace parvela::models::glidar {

enum BoundaryColumn { DepPnd = 0, FlvDra = 1, FlvPer = 2, BoundaryColumns = 3 };
enum SoilColumn { TemWat = 0, TemSol = 1, ThetaSol = 2, SoilColumns = 3 };

struct Hydrology {
    DailySeries boundary;
    DailySeries soil;
};

// Reads the scenario files from the working directory, or computes and writes those that
// are not there; reports faults and returns nothing then.
std::optional<Hydrology> LoadHydrology(const GlidarInput& input, const RunContext& context,
                                       Issues& issues);

} // namespace parvela::models::glidar
