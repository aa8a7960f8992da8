// MUNDRE: the pond model. Usage: Mundremodel INPUTFILE (working directory: the model
// directory with the companion files and GLIDAR's ID.e2m).

#include "models/common/ModelProgram.h"
#include "models/common/StandInVersions.h"
#include "models/mundre/MundreInput.h"
#include "models/mundre/MundreOutput.h"
#include "models/mundre/MundreSimulation.h"

using namespace parvela::models;

namespace {

void RunMundre(const InputFile& file, const RunContext& context, Issues& issues) {
    const auto input = mundre::ReadMundreInput(file, issues);
    if (!input)
        return;
    const auto forcing = mundre::ReadForcing(*input, context, issues);
    if (!forcing)
        return;
    const mundre::MundreResult result = mundre::Simulate(*input, *forcing);
    mundre::WriteSummary(*input, result, context);
    if (input->dailyOutput)
        mundre::WriteDailyOutput(result, context);
}

} // namespace

int main(int argc, char** argv) {
    return RunModelProgram(
        ModelProgram{
            "MUNDRE", "mundre.ok", {".sum", ".out"}, RunMundre, MundreStandInVersion, "pond model"},
        argc, argv);
}
