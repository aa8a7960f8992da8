// The nineteen exports of the stand-in DAXO library. No C++ exception leaves an export: every
// failure becomes the error text that GetLastError hands out.

#define DAXO_DECLARE_EXPORTS
#include "plugins/daxo/DaxoApi.h"

#include "platform/UserDirectories.h"
#include "plugins/daxo/ListText.h"
#include "plugins/daxo/SubstanceChecks.h"
#include "plugins/daxo/SubstanceStore.h"
#include "plugins/daxo/UserInterface.h"

#include <dlfcn.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

static_assert(std::is_same_v<decltype(&Create), TDaxoCreate>);
static_assert(std::is_same_v<decltype(&Destroy), TDaxoDestroy>);
static_assert(std::is_same_v<decltype(&OpenUI), TDaxoOpenUI>);
static_assert(std::is_same_v<decltype(&SetModelVersions), TDaxoSetModelVersions>);
static_assert(std::is_same_v<decltype(&GetSubstancesGUIDList), TDaxoGetSubstancesGUIDList>);
static_assert(
    std::is_same_v<decltype(&GetSubstanceInfoListByGUID), TDaxoGetSubstanceInfoListByGUID>);
static_assert(
    std::is_same_v<decltype(&GetSubstanceChecksumByGUID), TDaxoGetSubstanceChecksumByGUID>);
static_assert(std::is_same_v<decltype(&GetMetabolitesGUIDList), TDaxoGetMetabolitesGUIDList>);
static_assert(
    std::is_same_v<decltype(&GetMetaboliteInfoListByGUID), TDaxoGetMetaboliteInfoListByGUID>);
static_assert(std::is_same_v<decltype(&Version), TDaxoVersion>);
static_assert(std::is_same_v<decltype(&GetLastError), TDaxoGetLastError>);
static_assert(std::is_same_v<decltype(&IncompleteAttributeName), TDaxoIncompleteAttributeName>);
static_assert(
    std::is_same_v<decltype(&IncompleteMetabsAttributeName), TDaxoIncompleteMetabsAttributeName>);
static_assert(std::is_same_v<decltype(&VanTHoffTempConversion), TDaxoVanTHoffTempConversion>);
static_assert(
    std::is_same_v<decltype(&ShowSubstanceErrorMessages), TDaxoShowSubstanceErrorMessages>);
static_assert(std::is_same_v<decltype(&BooleanToStr), TDaxoBooleanToStr>);
#ifndef DAXO_OMIT_STR_TO_BOOLEAN
static_assert(std::is_same_v<decltype(&StrToBoolean), TDaxoStrToBoolean>);
#endif
static_assert(std::is_same_v<decltype(&BoolTrue), TDaxoBoolTrue>);
static_assert(std::is_same_v<decltype(&BoolFalse), TDaxoBoolFalse>);

namespace {

using namespace daxo;

constexpr const char* VersionText = "DAXO stand-in 1.0";
constexpr const char* DatabaseFileName = "daxo_substances.sqlite";
// Tests point the library at a database of their own, and collect its messages in a file
// instead of message boxes.
constexpr const char* DatabaseVariable = "PARVELA_DAXO_DATABASE";
constexpr const char* MessageLogVariable = "PARVELA_DAXO_MESSAGE_LOG";
const char* const KnownModelVersions[] = {"MODEL=GLIDAR/SHELL=PARVELA;1",
                                          "MODEL=MUNDRE/SHELL=PARVELA;1"};
// Attributes the library computes; stored attributes of these names are not handed out.
constexpr const char* ParentGuidAttribute = "ParentGUID";
constexpr const char* CompartmentAttribute = "CompartmentCode";
const char* const ComputedAttributes[] = {GuidAttribute,
                                          IncompleteAttribute,
                                          IncompleteMetabolitesAttribute,
                                          FormationFractionAttribute,
                                          ParentGuidAttribute,
                                          CompartmentAttribute};

struct LibraryState {
    std::unique_ptr<SubstanceStore> store;
    std::string lastError;
    std::string decimalSeparator = ".";
    std::vector<std::string> modelVersions;
};

LibraryState& State() {
    static LibraryState state;
    return state;
}

// Found while the library is being loaded, before any caller can change the working
// directory; a relative load path is resolved against the directory of that moment.
std::filesystem::path FindLibraryDirectory() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&Version), &info) == 0 || !info.dli_fname)
        return std::filesystem::current_path();
    std::error_code ignored;
    return std::filesystem::absolute(info.dli_fname, ignored).parent_path();
}

const std::filesystem::path LibraryDirectory = FindLibraryDirectory();

// Beside the library lies the delivered database, which the users of an installed program
// cannot write; each user works on an own copy of it in the per-user data directory.
std::string DatabasePath() {
    const char* overridden = std::getenv(DatabaseVariable);
    if (overridden && *overridden)
        return overridden;
    const std::string copy = parvela::UserDataDirectory() + DatabaseFileName;
    SeedDatabase((LibraryDirectory / DatabaseFileName).string(), copy);
    return copy;
}

SubstanceStore& Store() {
    if (!State().store)
        throw std::runtime_error("No substance database is open: the library was not created "
                                 "or its database could not be opened.");
    return *State().store;
}

SubstanceLookup StoreLookup() {
    return [&store = Store()](const std::string& guid) { return store.Load(guid); };
}

std::string TextArgument(const char* text) {
    return text ? text : "";
}

void CheckCompartment(int32_t compartment) {
    if (!IsCompartment(compartment))
        throw std::invalid_argument("Invalid compartment code " + std::to_string(compartment) +
                                    ": use 1 (soil), 2 (water) or 3 (sediment).");
}

// Copies the text when it fits; otherwise tells the size it needs. Never writes past *size.
DaxoBool PutText(const std::string& text, char** buffer, int32_t* size) {
    const auto needed = static_cast<int64_t>(text.size()) + 1;
    if (needed > INT32_MAX)
        throw std::length_error("The text does not fit into any buffer.");
    if (*size < needed) {
        *size = static_cast<int32_t>(needed);
        return 0;
    }
    std::memcpy(*buffer, text.c_str(), static_cast<size_t>(needed));
    return 1;
}

void CheckBuffer(char** buffer, int32_t* size) {
    if (!buffer || !size || *size < 0 || (*size > 0 && !*buffer))
        throw std::invalid_argument("Invalid buffer arguments.");
}

void RecordFailure() {
    try {
        throw;
    } catch (const std::exception& e) {
        State().lastError = e.what();
    } catch (...) {
        State().lastError = "Unknown failure.";
    }
    if (State().lastError.empty())
        State().lastError = "Unknown failure.";
}

// Runs an export that answers with a text. After a failure it hands out an empty text (when
// the buffer holds at least the zero) and leaves the failure in the error text.
template <class Producer> DaxoBool TextExport(char** buffer, int32_t* size, Producer&& produce) {
    State().lastError.clear();
    try {
        CheckBuffer(buffer, size);
    } catch (...) {
        RecordFailure();
        return 0;
    }
    std::string text;
    try {
        text = produce();
    } catch (...) {
        RecordFailure();
        text.clear();
    }
    return PutText(text, buffer, size);
}

template <class Action> DaxoBool BooleanExport(Action&& action) {
    State().lastError.clear();
    try {
        return action() ? 1 : 0;
    } catch (...) {
        RecordFailure();
        return 0;
    }
}

bool IsComputed(const std::string& name) {
    for (const char* computed : ComputedAttributes)
        if (SameNameIgnoringCase(name, computed))
            return true;
    return false;
}

std::string Localised(const std::string& value) {
    const std::string& separator = State().decimalSeparator;
    if (separator == "." || !IsDecimalNumber(value))
        return value;
    std::string localised = value;
    if (auto dot = localised.find('.'); dot != std::string::npos)
        localised.replace(dot, 1, separator);
    return localised;
}

std::string Item(const std::string& name, const std::string& value) {
    return name + "=" + value;
}

std::vector<std::string> AttributeItems(const Substance& substance) {
    SubstanceLookup lookup = StoreLookup();
    bool incomplete = !SubstanceProblems(substance, lookup).empty();
    bool metabolitesIncomplete = MetabolitesIncomplete(substance, lookup);
    std::vector<std::string> items{Item(GuidAttribute, substance.guid)};
    for (const auto& attribute : substance.attributes)
        if (!IsComputed(attribute.name))
            items.push_back(Item(attribute.name, Localised(attribute.value)));
    items.push_back(Item(IncompleteAttribute, incomplete ? TrueWord : FalseWord));
    items.push_back(
        Item(IncompleteMetabolitesAttribute, metabolitesIncomplete ? TrueWord : FalseWord));
    return items;
}

std::string SubstanceInfoText(const std::string& guid) {
    auto substance = Store().Load(guid);
    return substance ? JoinListItems(AttributeItems(*substance)) : std::string();
}

std::string MetabolitesText(const std::string& parentGuid, int32_t compartment) {
    CheckCompartment(compartment);
    auto parent = Store().Load(parentGuid);
    if (!parent)
        return {};
    if (auto repeated = FindMetaboliteCycle(*parent, StoreLookup()))
        throw std::runtime_error("The metabolite chain of " + parentGuid +
                                 " returns to the substance " + *repeated + ".");
    std::vector<std::string> guids;
    for (const auto& link : Store().Metabolites(parentGuid, compartment))
        guids.push_back(link.metaboliteGuid);
    return JoinListItems(guids);
}

std::string MetaboliteInfoText(const std::string& parentGuid, const std::string& metaboliteGuid,
                               int32_t compartment) {
    CheckCompartment(compartment);
    for (const auto& link : Store().Metabolites(parentGuid, compartment)) {
        if (link.metaboliteGuid != metaboliteGuid)
            continue;
        auto metabolite = Store().Load(metaboliteGuid);
        if (!metabolite)
            return {};
        std::vector<std::string> items = AttributeItems(*metabolite);
        items.insert(items.begin() + 1, {Item(FormationFractionAttribute, Localised(link.fraction)),
                                         Item(ParentGuidAttribute, parentGuid),
                                         Item(CompartmentAttribute, std::to_string(compartment))});
        return JoinListItems(items);
    }
    return {};
}

std::string ChecksumText(const std::string& guid) {
    auto substance = Store().Load(guid);
    return substance ? SubstanceChecksum(*substance, StoreLookup()) : std::string();
}

void Report(const std::string& caption, const std::string& text) {
    const char* log = std::getenv(MessageLogVariable);
    if (log && *log) {
        std::ofstream file(log, std::ios::app);
        file << caption << "\n" << text << "\n\n";
        if (!file)
            throw std::runtime_error(std::string("Cannot write the message log ") + log);
        return;
    }
    ShowSubstanceMessage(caption, text);
}

bool ShowProblems(const std::string& guid) {
    auto substance = Store().Load(guid);
    if (!substance) {
        Report("DAXO", "The substance " + guid + " is not in the DAXO database.");
        return false;
    }
    std::vector<std::string> problems = SubstanceProblems(*substance, StoreLookup());
    std::string heading = "Substance " + substance->Code() + " (" + guid + ")";
    if (problems.empty()) {
        Report("DAXO", heading + ": its data are complete.");
        return true;
    }
    std::string text = heading + ":";
    for (const auto& problem : problems)
        text += "\n- " + problem;
    Report("DAXO", text);
    return false;
}

} // namespace

extern "C" {

DaxoBool Create(const char* decimalSeparator) {
    return BooleanExport([&] {
        std::string separator = TextArgument(decimalSeparator);
        if (separator.size() != 1)
            throw std::invalid_argument("The decimal separator must be one character, not \"" +
                                        separator + "\".");
        State().store.reset();
        State().decimalSeparator = separator;
        State().store = std::make_unique<SubstanceStore>(DatabasePath());
        return true;
    });
}

void Destroy(void) {
    State().lastError.clear();
    State().store.reset();
    State().modelVersions.clear();
}

void OpenUI(const char* substanceGuid, int32_t /*mode*/) {
    BooleanExport([&] {
        RunSubstanceEditor(Store(), TextArgument(substanceGuid));
        return true;
    });
}

DaxoBool SetModelVersions(const char* modelVersions) {
    return BooleanExport([&] {
        std::string text = TextArgument(modelVersions);
        for (const char* known : KnownModelVersions)
            if (text == known) {
                State().modelVersions.push_back(text);
                return true;
            }
        return false;
    });
}

DaxoBool GetSubstancesGUIDList(char** buffer, int32_t* size) {
    return TextExport(buffer, size, [] { return JoinListItems(Store().ActiveSubstanceGuids()); });
}

DaxoBool GetSubstanceInfoListByGUID(const char* substanceGuid, DaxoBool /*option*/, char** buffer,
                                    int32_t* size) {
    return TextExport(buffer, size, [&] { return SubstanceInfoText(TextArgument(substanceGuid)); });
}

DaxoBool GetSubstanceChecksumByGUID(const char* substanceGuid, char** buffer, int32_t* size) {
    return TextExport(buffer, size, [&] { return ChecksumText(TextArgument(substanceGuid)); });
}

DaxoBool GetMetabolitesGUIDList(const char* parentGuid, int32_t compartment, char** buffer,
                                int32_t* size) {
    return TextExport(buffer, size,
                      [&] { return MetabolitesText(TextArgument(parentGuid), compartment); });
}

DaxoBool GetMetaboliteInfoListByGUID(const char* parentGuid, const char* metaboliteGuid,
                                     int32_t compartment, DaxoBool /*option*/, char** buffer,
                                     int32_t* size) {
    return TextExport(buffer, size, [&] {
        return MetaboliteInfoText(TextArgument(parentGuid), TextArgument(metaboliteGuid),
                                  compartment);
    });
}

DaxoBool Version(char** buffer, int32_t* size) {
    return TextExport(buffer, size, [] { return std::string(VersionText); });
}

// Hands out the error text of the last call and leaves it in place, so that a caller whose
// buffer was too small gets the same text on its second call.
DaxoBool GetLastError(char** buffer, int32_t* size) {
    try {
        CheckBuffer(buffer, size);
        return PutText(State().lastError, buffer, size);
    } catch (...) {
        return 0;
    }
}

DaxoBool IncompleteAttributeName(char** buffer, int32_t* size) {
    return TextExport(buffer, size, [] { return std::string(IncompleteAttribute); });
}

DaxoBool IncompleteMetabsAttributeName(char** buffer, int32_t* size) {
    return TextExport(buffer, size, [] { return std::string(IncompleteMetabolitesAttribute); });
}

double VanTHoffTempConversion(double halfLife, double referenceTemperature, double temperature,
                              double molarActivationEnergy) {
    constexpr double ZeroCelsius = 273.15;
    constexpr double GasConstant = 8.314462618e-3; // kJ mol-1 K-1
    State().lastError.clear();
    if (referenceTemperature <= -ZeroCelsius || temperature <= -ZeroCelsius) {
        State().lastError = "Temperatures must lie above absolute zero.";
        return std::nan("");
    }
    double exponent = molarActivationEnergy / GasConstant *
                      (1 / (temperature + ZeroCelsius) - 1 / (referenceTemperature + ZeroCelsius));
    return halfLife * std::exp(exponent);
}

DaxoBool ShowSubstanceErrorMessages(const char* substanceGuid) {
    return BooleanExport([&] { return ShowProblems(TextArgument(substanceGuid)); });
}

DaxoBool BooleanToStr(DaxoBool value, char** buffer, int32_t* size) {
    return TextExport(buffer, size, [&] { return std::string(value ? TrueWord : FalseWord); });
}

#ifndef DAXO_OMIT_STR_TO_BOOLEAN
DaxoBool StrToBoolean(const char* text, DaxoBool* value) {
    return BooleanExport([&] {
        if (!value)
            throw std::invalid_argument("StrToBoolean needs the address of its result.");
        auto parsed = ParseBooleanWord(TextArgument(text));
        if (parsed)
            *value = *parsed ? 1 : 0;
        return parsed.has_value();
    });
}
#endif

DaxoBool BoolTrue(char** buffer, int32_t* size) {
    return TextExport(buffer, size, [] { return std::string(TrueWord); });
}

DaxoBool BoolFalse(char** buffer, int32_t* size) {
    return TextExport(buffer, size, [] { return std::string(FalseWord); });
}

} // extern "C"
