// MUNDRE's result files: ID.sum with the report block and, on request, ID.out daily.
#pragma once

#include "models/common/ModelProgram.h"
#include "models/mundre/MundreSimulation.h"

namespace parvela::models::mundre {

void WriteSummary(const MundreInput& input, const MundreResult& result, const RunContext& context);
void WriteDailyOutput(const MundreResult& result, const RunContext& context);

} // namespace parvela::models::mundre
