// What GLIDAR reads from its input file.
#pragma once

#include "models/common/Compounds.h"
#include "models/common/InputFile.h"

#include <optional>
#include <string>
#include <vector>

namespace parvela::models::glidar {

struct Compound {
    std::string code;
    double molarMass = 0; // g.mol-1
    TransformationParameters transformation;
    double depthFactorTransformation = 1; // FacZTra of the top horizon (-)
    double kom = 0;                       // KomEql (L.kg-1)
    double depthFactorSorption = 1;       // FacZSor of the top horizon (-)
};

struct Formation {
    std::size_t parent = 0;
    std::size_t daughter = 0;
    double fraction = 0; // mol.mol-1
};

enum class ApplicationKind { Crop, SoilIncorporated, SoilInjected };

struct Application {
    DayMonth date;
    ApplicationKind kind = ApplicationKind::Crop;
    std::string code;
    double dosage = 0;    // kg.ha-1
    double parameter = 0; // intercepted fraction (-) or depth (m)
};

// The paddy's top soil and water management, from the template.
struct Field {
    double organicMatter = 0;       // CntOm (kg.kg-1)
    double bulkDensity = 0;         // RhoSol (kg.L-1)
    double thetaSaturated = 0;      // ThetaSat (m3.m-3)
    double thetaFieldCapacity = 0;  // ThetaFc (m3.m-3)
    double topSoilThickness = 0;    // ThiTopSol (m)
    double percolation = 0;         // FlvPerPnd (mm.d-1), while ponded
    double exchangeCoefficient = 0; // CofMasTraWatSol (m.d-1)
    double soilTemperatureLag = 0;  // TimConTemSol (d)
    double dryDepth = 0;            // DepPndMin (mm): shallower water counts as dry
    bool Ponded(double depth) const { return depth > dryDepth && depth > 0; }
};

struct GlidarInput {
    Day start = 0;
    Day end = 0;
    std::string scheme;
    std::string meteoStation;
    std::string pondingFile;
    std::vector<Compound> compounds; // the substance first
    std::vector<Formation> formations;
    std::vector<std::size_t> order; // compounds with every parent before its daughters
    std::vector<Application> applications;
    Field field;
    bool dailyOutput = false;
};

std::optional<GlidarInput> ReadGlidarInput(const InputFile& input, Issues& issues);

} // namespace parvela::models::glidar
