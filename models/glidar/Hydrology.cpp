#include "models/glidar/Hydrology.h"

#include "models/common/Text.h"

#include <cmath>

namespace parvela::models::glidar {

namespace {

struct Sources {
    DailySeries meteo;
    DailySeries ponding;
    Day first = 0;
    Day last = -1;
};

std::optional<Sources> ReadSources(const GlidarInput& input, const RunContext& context,
                                   Issues& issues) {
    Sources sources{ReadMeteo(context.Companion(input.meteoStation, ".met"), issues),
                    DailySeries::Read(context.Companion(input.pondingFile, ".pnd"), 2, issues)};
    if (sources.meteo.Empty() || sources.ponding.Empty())
        return std::nullopt;
    for (Day day = sources.ponding.First(); day <= sources.ponding.Last(); ++day)
        if (sources.ponding.At(day)[0] < 0 || sources.ponding.At(day)[1] < 0) {
            issues.Add("File " + sources.ponding.FileName() + ", " + FormatDate(day) +
                       ": negative ponding depth or outflow");
            return std::nullopt;
        }
    sources.first = std::max(sources.meteo.First(), sources.ponding.First());
    sources.last = std::min(sources.meteo.Last(), sources.ponding.Last());
    if (sources.last < sources.first) {
        issues.Add("Files " + sources.meteo.FileName() + " and " + sources.ponding.FileName() +
                   " have no day in common");
        return std::nullopt;
    }
    return sources;
}

DailySeries ComputeBoundary(const Field& field, const Sources& sources, const std::string& name) {
    DailySeries boundary(name, sources.first);
    for (Day day = sources.first; day <= sources.last; ++day) {
        const double depth = sources.ponding.At(day)[0];
        const double outflow = sources.ponding.At(day)[1];
        boundary.Append({depth, outflow, field.Ponded(depth) ? field.percolation : 0.0});
    }
    return boundary;
}

// The top soil follows the air temperature with a first-order lag.
DailySeries ComputeSoil(const Field& field, const Sources& sources, const std::string& name) {
    DailySeries soil(name, sources.first);
    const double follow =
        field.soilTemperatureLag > 0 ? 1 - std::exp(-1.0 / field.soilTemperatureLag) : 1.0;
    double soilTemperature = MeanTemperature(sources.meteo, sources.first);
    for (Day day = sources.first; day <= sources.last; ++day) {
        const double air = MeanTemperature(sources.meteo, day);
        soilTemperature += follow * (air - soilTemperature);
        const bool ponded = field.Ponded(sources.ponding.At(day)[0]);
        soil.Append(
            {air, soilTemperature, ponded ? field.thetaSaturated : field.thetaFieldCapacity});
    }
    return soil;
}

void Save(const DailySeries& series, const std::string& title, const std::string& header,
          const std::filesystem::path& path) {
    TextFile file;
    file.Add("* " + title);
    file.Add("* Date        " + header);
    for (Day day = series.First(); day <= series.Last(); ++day) {
        const std::vector<double>& row = series.At(day);
        file.Add(
            Printf("%s %12.4f %12.4f %12.4f", FormatDate(day).c_str(), row[0], row[1], row[2]));
    }
    file.Save(path);
}

bool CheckCached(const DailySeries& series, std::size_t column, double low, double high,
                 Issues& issues) {
    for (Day day = series.First(); day <= series.Last(); ++day) {
        const double value = series.At(day)[column];
        if (value < low || value > high) {
            issues.Add("File " + series.FileName() + ", " + FormatDate(day) +
                       Printf(": value %g out of range", value));
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<Hydrology> LoadHydrology(const GlidarInput& input, const RunContext& context,
                                       Issues& issues) {
    const std::string bfoName = input.meteoStation + ".bfo";
    const std::string sweName = input.meteoStation + ".swe";
    const bool haveBfo = std::filesystem::exists(context.File(bfoName));
    const bool haveSwe = std::filesystem::exists(context.File(sweName));
    std::optional<Sources> sources;
    if (!haveBfo || !haveSwe) {
        sources = ReadSources(input, context, issues);
        if (!sources)
            return std::nullopt;
    }
    // Computed files are read back like cached ones, so that every run of the scenario works
    // with the same (written) numbers.
    if (!haveBfo)
        Save(ComputeBoundary(input.field, *sources, bfoName),
             "GLIDAR boundary fluxes of " + input.meteoStation,
             "DepPnd (mm)  FlvDra (mm.d-1)  FlvPer (mm.d-1)", context.File(bfoName));
    if (!haveSwe)
        Save(ComputeSoil(input.field, *sources, sweName),
             "GLIDAR soil water and temperature of " + input.meteoStation,
             "TemWat (C)  TemSol (C)  ThetaSol (m3.m-3)", context.File(sweName));
    DailySeries boundary = DailySeries::Read(context.File(bfoName), BoundaryColumns, issues);
    DailySeries soil = DailySeries::Read(context.File(sweName), SoilColumns, issues);
    if (boundary.Empty() || soil.Empty())
        return std::nullopt;
    bool valid = true;
    for (std::size_t column : {DepPnd, FlvDra, FlvPer})
        valid = CheckCached(boundary, column, 0, 1e6, issues) && valid;
    valid = CheckCached(soil, ThetaSol, 1e-6, 1, issues) && valid;
    for (std::size_t column : {TemWat, TemSol})
        valid = CheckCached(soil, column, -60, 60, issues) && valid;
    valid = boundary.RequireCoverage(input.start, input.end, issues) && valid;
    valid = soil.RequireCoverage(input.start, input.end, issues) && valid;
    if (!valid)
        return std::nullopt;
    return Hydrology{std::move(boundary), std::move(soil)};
}

} // namespace parvela::models::glidar
