// What MUNDRE reads from its input file and its companion files.
#pragma once

#include "models/common/Compounds.h"
#include "models/common/DailySeries.h"
#include "models/common/InputFile.h"
#include "models/common/ModelProgram.h"

#include <map>
#include <optional>
#include <string>

namespace parvela::models::mundre {

struct Pond {
    double volume = 0;                // VolWat (m3)
    double depth = 0;                 // DepWat (m)
    double fieldArea = 0;             // AreaFieldDrained (m2), the paddy that drains into it
    double baseFlow = 0;              // FlwBas (m3.d-1), upstream water through the pond
    double sedimentThickness = 0;     // ThiSed (m)
    double sedimentDensity = 0;       // RhoSed (kg.L-1)
    double sedimentPorosity = 0;      // ThetaSed (m3.m-3)
    double sedimentOrganicMatter = 0; // CntOmSed (kg.kg-1)
    double exchangeCoefficient = 0;   // CofMasTraSed (m.d-1)
    double Area() const { return volume / depth; }
};

struct Substance {
    std::string code;
    double molarMass = 0; // g.mol-1
    TransformationParameters water;
    TransformationParameters sediment;
    double komSediment = 0; // L.kg-1
};

// Daily drainage of the paddy per m2 of field, from GLIDAR's ID.e2m.
struct Drainage {
    double water = 0; // mm.d-1
    double mass = 0;  // mg.m-2.d-1
};

struct MundreInput {
    Day start = 0;
    Day end = 0;
    std::string meteoStation;
    Substance substance;
    Pond pond;
    std::map<Day, double> loadings; // spray drift, mg.m-2 of pond
    bool dailyOutput = false;
};

struct MundreForcing {
    DailySeries meteo;
    DailySeries rain;
    std::map<Day, Drainage> drainage;
};

std::optional<MundreInput> ReadMundreInput(const InputFile& input, Issues& issues);
std::optional<MundreForcing> ReadForcing(const MundreInput& input, const RunContext& context,
                                         Issues& issues);

} // namespace parvela::models::mundre
