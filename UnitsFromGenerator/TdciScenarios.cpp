#include "UnitsFromGenerator/TdciScenarios.h"

#include "UnitsFromGenerator/DetailList.h"
#include "UnitsFromGenerator/TdcAssessments.h"
#include "UnitsFromGenerator/TdcScenarios.h"

namespace parvela {

PARVELA_ITEM_CONSTRUCTOR(Scenarios)

TdciScenarios::~TdciScenarios() = default;

TdcAssessments& TdciScenarios::Assessments() {
    return ProvideDetailList(
        assessments_, *this, TrsdAssessments::SCENARIOID(),
        [this](TdcAssessments& list) { list.SetDefaultScenarioID(key_); },
        [this] { return OwnerList()->Locked(); });
}

TdciScenarios& TdciScenarios::CopyItem() const {
    TdcScenarios& list = OwnerItems();
    list.Insert();
    TdciScenarios& copy = list.Item();
    copy.SetCAPTION(CAPTION());
    copy.SetDESCRIPTION(DESCRIPTION());
    copy.SetSTARTYEAR(STARTYEAR());
    // ENDYEAR has no setter: the copy takes it as its new-row value.
    copy.ENDYEAR_.SetStored(ENDYEAR());
    copy.ENDYEAR_.SetCurrent(ENDYEAR());
    copy.SetGLIDAR_data(GLIDAR_data());
    copy.SetMUNDRE_data(MUNDRE_data());
    copy.SetGLIDAR_meteo(GLIDAR_meteo());
    copy.SetMUNDRE_meteo(MUNDRE_meteo());
    copy.SetGLIDAR_pond(GLIDAR_pond());
    copy.SetMUNDRE_rain(MUNDRE_rain());
    return copy;
}

} // namespace parvela
