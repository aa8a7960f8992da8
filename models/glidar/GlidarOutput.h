// GLIDAR's result files: ID.sum with the report block, ID.e2m for MUNDRE, ID.out daily.
#pragma once

#include "models/common/ModelProgram.h"
#include "models/glidar/GlidarSimulation.h"

namespace parvela::models::glidar {

void WriteSummary(const GlidarInput& input, const GlidarResult& result, const RunContext& context);
void WriteHandOver(const GlidarInput& input, const GlidarResult& result, const RunContext& context);
void WriteDailyOutput(const GlidarInput& input, const GlidarResult& result,
                      const RunContext& context);

} // namespace parvela::models::glidar
