// GLIDAR: the paddy-field model. Usage: glidarmodel INPUTFILE (working directory: the
// model directory with the companion files).

#include "models/common/ModelProgram.h"
#include "models/common/StandInVersions.h"
#include "models/glidar/GlidarInput.h"
#include "models/glidar/GlidarOutput.h"
#include "models/glidar/Hydrology.h"

using namespace parvela::models;

namespace {

void RunGlidar(const InputFile& file, const RunContext& context, Issues& issues) {
    const auto input = glidar::ReadGlidarInput(file, issues);
    if (!input)
        return;
    const auto hydrology = glidar::LoadHydrology(*input, context, issues);
    if (!hydrology)
        return;
    const glidar::GlidarResult result = glidar::Simulate(*input, *hydrology);
    glidar::WriteSummary(*input, result, context);
    glidar::WriteHandOver(*input, result, context);
    if (input->dailyOutput)
        glidar::WriteDailyOutput(*input, result, context);
}

} // namespace

int main(int argc, char** argv) {
    return RunModelProgram(ModelProgram{"GLIDAR",
                                        "glidar.ok",
                                        {".sum", ".e2m", ".out"},
                                        RunGlidar,
                                        GlidarStandInVersion,
                                        "paddy model"},
                           argc, argv);
}
