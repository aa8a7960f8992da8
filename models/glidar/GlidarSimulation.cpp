#include "models/glidar/GlidarSimulation.h"

#include "models/common/Kinetics.h"

#include <algorithm>

namespace parvela::models::glidar {

namespace {

constexpr double MgPerM2PerKgPerHa = 100.0; // 1 kg.ha-1 = 1e6 mg / 1e4 m2
constexpr double LitresPerM3 = 1000.0;

struct Compartments {
    double water = 0; // mg.m-2
    double soil = 0;  // mg.m-2
};

struct DayConditions {
    double depth = 0;       // mm, which is L.m-2
    double drainage = 0;    // mm.d-1
    double percolation = 0; // mm.d-1
    double waterTemperature = 0;
    double soilTemperature = 0;
    double theta = 0;
    bool ponded = false;
};

DayConditions ConditionsOf(const GlidarInput& input, const Hydrology& hydrology, Day day) {
    const std::vector<double>& b = hydrology.boundary.At(day);
    const std::vector<double>& s = hydrology.soil.At(day);
    const bool ponded = b[DepPnd] > input.field.dryDepth && b[DepPnd] > 0;
    return DayConditions{b[DepPnd], b[FlvDra],   b[FlvPer], s[TemWat],
                         s[TemSol], s[ThetaSol], ponded};
}

// Distributes the day's applications of the substance over crop, water, soil and below.
void Apply(const GlidarInput& input, Day day, const DayConditions& conditions, Compartments& parent,
           CompoundTotals& totals) {
    for (const Application& application : input.applications) {
        if (!(application.date == DayMonthOf(day)))
            continue;
        const double dose = application.dosage * MgPerM2PerKgPerHa;
        totals.applied += dose;
        double toSurface = 0;
        double toSoil = 0;
        const double thickness = input.field.topSoilThickness;
        switch (application.kind) {
        case ApplicationKind::Crop:
            totals.intercepted += application.parameter * dose;
            toSurface = (1 - application.parameter) * dose;
            break;
        case ApplicationKind::SoilIncorporated:
            // Mixed evenly down to the given depth; the top soil holds its share of it.
            toSoil = application.parameter <= thickness ? dose
                                                        : dose * thickness / application.parameter;
            break;
        case ApplicationKind::SoilInjected:
            toSoil = application.parameter <= thickness ? dose : 0;
            break;
        }
        totals.belowTopSoil += application.kind == ApplicationKind::Crop ? 0 : dose - toSoil;
        (conditions.ponded ? parent.water : parent.soil) += toSurface;
        parent.soil += toSoil;
    }
}

struct Transformed {
    double water = 0;
    double soil = 0;
};

// One day of one compound; returns the mass transformed in each compartment.
Transformed Step(const GlidarInput& input, const Compound& compound,
                 const DayConditions& conditions, Compartments& mass, CompoundTotals& totals) {
    const Field& field = input.field;
    const double waterRate = compound.transformation.RateAt(conditions.waterTemperature);
    const double soilRate = compound.transformation.RateAt(conditions.soilTemperature) *
                            compound.depthFactorTransformation;
    const double kd = compound.kom * compound.depthFactorSorption * field.organicMatter;
    // Litres of pore water that hold the soil's mass at the pore-water concentration.
    const double soilCapacity =
        field.topSoilThickness * LitresPerM3 * (conditions.theta + field.bulkDensity * kd);
    const double leachRate = conditions.percolation / soilCapacity;
    if (!conditions.ponded) {
        // A field drained empty that day sends its standing water, with what it holds, to the
        // pond; otherwise the water's mass stays behind in the soil.
        if (conditions.drainage > 0) {
            totals.drained += mass.water;
            mass.water = 0;
        }
        mass.soil += mass.water;
        mass.water = 0;
        const double soil = mass.soil / (1 + soilRate + leachRate);
        totals.transformed += soilRate * soil;
        totals.leached += leachRate * soil;
        mass.soil = soil;
        return Transformed{0, soilRate * soil};
    }
    const double exchange = field.exchangeCoefficient * LitresPerM3; // L.m-2.d-1
    const double depth = conditions.depth;
    TwoCompartmentRates rates;
    rates.loss1 = waterRate + conditions.drainage / depth;
    rates.loss2 = soilRate + leachRate;
    rates.exchange12 = (exchange + conditions.percolation) / depth;
    rates.exchange21 = exchange / soilCapacity;
    const TwoCompartmentStep next =
        StepImplicit(TwoCompartmentStep{mass.water, mass.soil}, rates, 1.0);
    mass.water = std::max(0.0, next.mass1);
    mass.soil = std::max(0.0, next.mass2);
    totals.drained += conditions.drainage / depth * mass.water;
    totals.transformed += waterRate * mass.water + soilRate * mass.soil;
    totals.leached += leachRate * mass.soil;
    return Transformed{waterRate * mass.water, soilRate * mass.soil};
}

double SoilContent(const GlidarInput& input, double mass) {
    // mg.m-2 over the top soil's dry mass (kg.m-2)
    return mass / (input.field.topSoilThickness * LitresPerM3 * input.field.bulkDensity);
}

} // namespace

GlidarResult Simulate(const GlidarInput& input, const Hydrology& hydrology) {
    const std::size_t count = input.compounds.size();
    GlidarResult result;
    result.totals.assign(count, CompoundTotals{});
    std::vector<Compartments> mass(count);
    for (Day day = input.start; day <= input.end; ++day) {
        const DayConditions conditions = ConditionsOf(input, hydrology, day);
        Apply(input, day, conditions, mass[0], result.totals[0]);
        DayState state{day, conditions.depth, conditions.drainage, 0, {}, {}};
        state.concentration.assign(count, 0.0);
        state.soilContent.assign(count, 0.0);
        std::vector<Compartments> formed(count);
        for (std::size_t c : input.order) {
            mass[c].water += formed[c].water;
            mass[c].soil += formed[c].soil;
            CompoundTotals& totals = result.totals[c];
            totals.formed += formed[c].water + formed[c].soil;
            const double drainedBefore = totals.drained;
            const Transformed transformed =
                Step(input, input.compounds[c], conditions, mass[c], totals);
            for (const Formation& f : input.formations) {
                if (f.parent != c)
                    continue;
                const double molarRatio =
                    input.compounds[f.daughter].molarMass / input.compounds[c].molarMass;
                formed[f.daughter].water += f.fraction * molarRatio * transformed.water;
                formed[f.daughter].soil += f.fraction * molarRatio * transformed.soil;
            }
            const double concentration = conditions.ponded ? mass[c].water / conditions.depth : 0.0;
            state.concentration[c] = concentration;
            state.soilContent[c] = SoilContent(input, mass[c].soil);
            if (concentration > totals.maxConcentration) {
                totals.maxConcentration = concentration;
                totals.maxDate = day;
            }
            if (c == 0)
                state.substanceDrained = totals.drained - drainedBefore;
        }
        result.days.push_back(std::move(state));
    }
    for (std::size_t c = 0; c < count; ++c) {
        result.totals[c].inWater = mass[c].water;
        result.totals[c].inSoil = mass[c].soil;
    }
    return result;
}

} // namespace parvela::models::glidar
