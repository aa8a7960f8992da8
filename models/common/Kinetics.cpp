#include "models/common/Kinetics.h"

#include <cmath>

namespace parvela::models {

namespace {

constexpr double GasConstant = 8.314e-3; // kJ.mol-1.K-1
constexpr double ZeroCelsius = 273.15;

} // namespace

double TransformationRate(double dt50, double temperature, double referenceTemperature,
                          double molarActivationEnergy) {
    const double arrhenius =
        std::exp(-molarActivationEnergy / GasConstant *
                 (1.0 / (temperature + ZeroCelsius) - 1.0 / (referenceTemperature + ZeroCelsius)));
    return std::log(2.0) / dt50 * arrhenius;
}

TwoCompartmentStep StepImplicit(const TwoCompartmentStep& start, const TwoCompartmentRates& r,
                                double days) {
    // (1 + dt(l1 + x12)) M1 - dt x21 M2 = M1(0)
    // -dt x12 M1 + (1 + dt(l2 + x21)) M2 = M2(0)
    const double a11 = 1 + days * (r.loss1 + r.exchange12);
    const double a12 = -days * r.exchange21;
    const double a21 = -days * r.exchange12;
    const double a22 = 1 + days * (r.loss2 + r.exchange21);
    const double determinant = a11 * a22 - a12 * a21;
    return TwoCompartmentStep{(start.mass1 * a22 - a12 * start.mass2) / determinant,
                              (a11 * start.mass2 - a21 * start.mass1) / determinant};
}

} // namespace parvela::models
