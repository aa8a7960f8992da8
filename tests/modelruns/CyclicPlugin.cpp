// A substance library whose metabolite chain returns to an earlier compound: P forms A, A
// forms B and B forms A again. The real library refuses such chains itself; the program must
// not rely on that.

#define DAXO_DECLARE_EXPORTS
#include "plugins/daxo/DaxoApi.h"

#include <cstring>
#include <string>

namespace {

DaxoBool Put(const std::string& text, char** buffer, int32_t* size) {
    const auto needed = static_cast<int32_t>(text.size() + 1);
    if (*size < needed) {
        *size = needed;
        return 0;
    }
    std::memcpy(*buffer, text.c_str(), text.size() + 1);
    return 1;
}

std::string Code(const std::string& guid) {
    return guid == "{P}" ? "P" : guid == "{A}" ? "A" : guid == "{B}" ? "B" : "";
}

std::string Daughter(const std::string& guid) {
    return guid == "{P}" ? "{A}" : guid == "{A}" ? "{B}" : guid == "{B}" ? "{A}" : "";
}

} // namespace

extern "C" {

DaxoBool Create(const char*) {
    return 1;
}
void Destroy(void) {}
void OpenUI(const char*, int32_t) {}
DaxoBool SetModelVersions(const char*) {
    return 1;
}
DaxoBool GetSubstancesGUIDList(char** buffer, int32_t* size) {
    return Put("{P}", buffer, size);
}
DaxoBool GetSubstanceInfoListByGUID(const char* guid, DaxoBool, char** buffer, int32_t* size) {
    const std::string code = Code(guid);
    return Put(code.empty() ? "" : "SubstanceCode=" + code, buffer, size);
}
DaxoBool GetSubstanceChecksumByGUID(const char* guid, char** buffer, int32_t* size) {
    return Put(Code(guid), buffer, size);
}
DaxoBool GetMetabolitesGUIDList(const char* parent, int32_t compartment, char** buffer,
                                int32_t* size) {
    return Put(compartment == 1 ? Daughter(parent) : "", buffer, size);
}
DaxoBool GetMetaboliteInfoListByGUID(const char*, const char* guid, int32_t, DaxoBool,
                                     char** buffer, int32_t* size) {
    return Put("SubstanceCode=" + Code(guid) + ";FraPrtDau=0.5", buffer, size);
}
DaxoBool Version(char** buffer, int32_t* size) {
    return Put("cyclic 1", buffer, size);
}
DaxoBool GetLastError(char** buffer, int32_t* size) {
    return Put("", buffer, size);
}
DaxoBool IncompleteAttributeName(char** buffer, int32_t* size) {
    return Put("DataIncomplete", buffer, size);
}
DaxoBool IncompleteMetabsAttributeName(char** buffer, int32_t* size) {
    return Put("MetabolitesIncomplete", buffer, size);
}
double VanTHoffTempConversion(double halfLife, double, double, double) {
    return halfLife;
}
DaxoBool ShowSubstanceErrorMessages(const char*) {
    return 1;
}
DaxoBool BooleanToStr(DaxoBool value, char** buffer, int32_t* size) {
    return Put(value ? "TRUE" : "FALSE", buffer, size);
}
DaxoBool StrToBoolean(const char* text, DaxoBool* value) {
    *value = std::string(text) == "TRUE";
    return 1;
}
DaxoBool BoolTrue(char** buffer, int32_t* size) {
    return Put("TRUE", buffer, size);
}
DaxoBool BoolFalse(char** buffer, int32_t* size) {
    return Put("FALSE", buffer, size);
}
}
