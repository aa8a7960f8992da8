#include "models/mundre/MundreSimulation.h"

#include "models/common/Kinetics.h"

#include <algorithm>

namespace parvela::models::mundre {

namespace {

constexpr double M3PerMmM2 = 1e-3;
constexpr double LitresPerM3 = 1000.0;
constexpr double MicrogramsPerMilligram = 1000.0;

} // namespace

MundreResult Simulate(const MundreInput& input, const MundreForcing& forcing) {
    const Pond& pond = input.pond;
    const Substance& substance = input.substance;
    const double area = pond.Area();
    const double kd = substance.komSediment * pond.sedimentOrganicMatter; // L.kg-1
    const double sedimentVolume = area * pond.sedimentThickness;          // m3
    // m3 of pore water that hold the sediment's mass at the pore-water concentration
    const double sedimentCapacity =
        sedimentVolume * (pond.sedimentPorosity + pond.sedimentDensity * kd);
    const double sedimentMass = sedimentVolume * LitresPerM3 * pond.sedimentDensity; // kg
    const double exchange = pond.exchangeCoefficient * area;                         // m3.d-1
    MundreResult result;
    TwoCompartmentStep mass; // mg in water and sediment
    for (Day day = input.start; day <= input.end; ++day) {
        const double temperature = MeanTemperature(forcing.meteo, day);
        const Drainage& drainage = forcing.drainage.at(day);
        const auto loading = input.loadings.find(day);
        const double fromField = drainage.mass * pond.fieldArea;
        const double fromDrift = loading == input.loadings.end() ? 0 : loading->second * area;
        // Constant volume: what flows in (base flow, paddy drainage, rain) flows out.
        const double outflow = pond.baseFlow + drainage.water * M3PerMmM2 * pond.fieldArea +
                               forcing.rain.At(day)[0] * M3PerMmM2 * area;
        mass.mass1 += fromField + fromDrift;
        TwoCompartmentRates rates;
        const double waterRate = substance.water.RateAt(temperature);
        const double sedimentRate = substance.sediment.RateAt(temperature);
        rates.loss1 = waterRate + outflow / pond.volume;
        rates.loss2 = sedimentRate;
        rates.exchange12 = exchange / pond.volume;
        rates.exchange21 = exchange / sedimentCapacity;
        mass = StepImplicit(mass, rates, 1.0);
        mass.mass1 = std::max(0.0, mass.mass1);
        mass.mass2 = std::max(0.0, mass.mass2);
        PondTotals& t = result.totals;
        t.fromField += fromField;
        t.fromDrift += fromDrift;
        t.outflow += outflow / pond.volume * mass.mass1;
        t.transformedWater += waterRate * mass.mass1;
        t.transformedSediment += sedimentRate * mass.mass2;
        // mg.m-3 is ug.L-1
        result.days.push_back(PondDay{day, mass.mass1 / pond.volume,
                                      mass.mass2 * MicrogramsPerMilligram / sedimentMass, outflow});
    }
    result.totals.inWater = mass.mass1;
    result.totals.inSediment = mass.mass2;
    return result;
}

double MaximumTimeWeightedAverage(const std::vector<PondDay>& days, std::size_t window) {
    if (days.empty())
        return 0;
    const std::size_t width = std::min(window, days.size());
    double sum = 0;
    for (std::size_t i = 0; i < width; ++i)
        sum += days[i].concentration;
    double highest = sum;
    for (std::size_t i = width; i < days.size(); ++i) {
        sum += days[i].concentration - days[i - width].concentration;
        highest = std::max(highest, sum);
    }
    return std::max(0.0, highest / static_cast<double>(width));
}

} // namespace parvela::models::mundre
