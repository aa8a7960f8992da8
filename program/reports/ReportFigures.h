#pragma once
// The figures that the project summary shows from an assessment's report blocks, as the
// model programs printed them: the substance's maximum paddy-water concentration (GLIDAR) and
// the pond's global maximum and highest 21-day time-weighted average (MUNDRE), all in ug.L-1.

#include <optional>
#include <string>

namespace parvela {

struct TReportFigure {
    std::string Text; // as printed
    double Value = 0;
};

struct TReportFigures {
    std::optional<TReportFigure> PaddyWaterMaximum;
    std::optional<TReportFigure> PondMaximum;
    std::optional<TReportFigure> PondTwa21;
};

// Figures that the text does not hold stay empty.
TReportFigures ReadReportFigures(const std::string& assessmentReport);

} // namespace parvela
