// A library with the nineteen exports that breaks the text protocol on purpose: its Version
// never fits, its BoolTrue fits only at the second call, and its error text is only blanks.
// It counts the calls of GetLastError so that tests can see when the program asks.
#define DAXO_DECLARE_EXPORTS
#include "plugins/daxo/DaxoApi.h"

#include <cstring>
#include <string>

extern "C" {

DAXO_API int DaxoTestGetLastErrorCalls = 0;

static DaxoBool Put(const char* text, char** buffer, int32_t* size) {
    auto needed = static_cast<int32_t>(std::strlen(text) + 1);
    if (*size < needed) {
        *size = needed;
        return 0;
    }
    std::memcpy(*buffer, text, static_cast<size_t>(needed));
    return 1;
}

DaxoBool Create(const char*) {
    return 1;
}
void Destroy(void) {}
void OpenUI(const char*, int32_t) {}
DaxoBool SetModelVersions(const char*) {
    return 1;
}
DaxoBool GetSubstancesGUIDList(char** b, int32_t* s) {
    return Put("", b, s);
}
DaxoBool GetSubstanceInfoListByGUID(const char*, DaxoBool, char** b, int32_t* s) {
    return Put("", b, s);
}
DaxoBool GetSubstanceChecksumByGUID(const char*, char** b, int32_t* s) {
    return Put("", b, s);
}
DaxoBool GetMetabolitesGUIDList(const char*, int32_t, char** b, int32_t* s) {
    return Put("", b, s);
}
DaxoBool GetMetaboliteInfoListByGUID(const char*, const char*, int32_t, DaxoBool, char** b,
                                     int32_t* s) {
    return Put("", b, s);
}
// Asks for more room on every call.
DaxoBool Version(char**, int32_t* size) {
    *size += 1;
    return 0;
}
DaxoBool GetLastError(char** b, int32_t* s) {
    ++DaxoTestGetLastErrorCalls;
    return Put("   ", b, s);
}
DaxoBool IncompleteAttributeName(char** b, int32_t* s) {
    return Put("DataIncomplete", b, s);
}
DaxoBool IncompleteMetabsAttributeName(char** b, int32_t* s) {
    return Put("", b, s);
}
double VanTHoffTempConversion(double halfLife, double, double, double) {
    return halfLife;
}
DaxoBool ShowSubstanceErrorMessages(const char*) {
    return 1;
}
DaxoBool BooleanToStr(DaxoBool, char** b, int32_t* s) {
    return Put("", b, s);
}
DaxoBool StrToBoolean(const char*, DaxoBool*) {
    return 0;
}
// Longer than the program's first buffer of 10 bytes.
DaxoBool BoolTrue(char** b, int32_t* s) {
    return Put("DEFINITELY-TRUE", b, s);
}
DaxoBool BoolFalse(char** b, int32_t* s) {
    return Put("NO", b, s);
}
}
