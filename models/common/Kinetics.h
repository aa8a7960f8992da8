// Rate laws and the daily step shared by the paddy and the pond model.
#pragma once

namespace parvela::models {

// First-order rate (d-1) at a temperature (C) from the half-life (d) at the reference
// temperature (C) and the molar activation energy (kJ.mol-1), by Arrhenius.
double TransformationRate(double dt50, double temperature, double referenceTemperature,
                          double molarActivationEnergy);

// Masses (any unit) of two compartments that exchange with each other and lose mass by
// first-order processes:
//   dM1/dt = S1 - l1 M1 - x12 M1 + x21 M2
//   dM2/dt = S2 - l2 M2 - x21 M2 + x12 M1
// with loss rates l (d-1), exchange rates x (d-1) and sources S (mass.d-1). One implicit
// (backward Euler) day keeps every mass non-negative whatever the rates.
struct TwoCompartmentStep {
    double mass1 = 0;
    double mass2 = 0;
};
struct TwoCompartmentRates {
    double loss1 = 0;
    double loss2 = 0;
    double exchange12 = 0;
    double exchange21 = 0;
};
TwoCompartmentStep StepImplicit(const TwoCompartmentStep& start, const TwoCompartmentRates& rates,
                                double days);

} // namespace parvela::models
