#pragma once
/*
 * The C contract between Parvela and the DAXO substance library.
 *
 * Texts are zero-terminated single-byte strings, Booleans one byte (0 false, else true),
 * sizes 32-bit signed integers.
 *
 * Text results ("buffer, size" below) follow one protocol: the caller passes the address of
 * its buffer pointer and the address of the buffer's size in bytes. When the text with its
 * terminating zero fits, the library copies it into the buffer and returns true. Otherwise it
 * writes nothing into the buffer, stores the size it needs (terminating zero included) in
 * *size and returns false; the caller then calls again with a buffer of that size. The
 * library never replaces the buffer pointer and never writes past *size bytes. A buffer that
 * is too small is no error.
 *
 * After every call except GetLastError, GetLastError yields an empty text when the call
 * succeeded and a message when it failed.
 *
 * Lists (GUID lists, attribute lists) are one text: items separated by ";", an item that
 * holds a blank, a ";" or a double quote enclosed in double quotes with inner double quotes
 * doubled. An attribute item is a name, "=" and a value; numbers use the decimal separator
 * given to Create.
 *
 * Exports, in the order in which the program resolves them:
 *
 *   Create(decimalSeparator)                 opens (and at first start fills) the database;
 *                                            the separator is a text of one character
 *   Destroy()                                closes the database
 *   OpenUI(substanceGuid, mode)              modal substance editor; the GUID (may be empty)
 *                                            is selected at start; mode is reserved, pass 0
 *   SetModelVersions(text)                   true for a model-version text the library knows
 *   GetSubstancesGUIDList(buffer, size)      the GUIDs of the active substances
 *   GetSubstanceInfoListByGUID(guid, option, buffer, size)
 *                                            the substance's attribute list; option is
 *                                            reserved, pass false
 *   GetSubstanceChecksumByGUID(guid, buffer, size)
 *                                            a text that changes whenever the substance's
 *                                            attributes or metabolites change
 *   GetMetabolitesGUIDList(parentGuid, compartment, buffer, size)
 *                                            the direct metabolites of the parent formed in
 *                                            the compartment (1 soil/paddy, 2 water,
 *                                            3 sediment)
 *   GetMetaboliteInfoListByGUID(parentGuid, metaboliteGuid, compartment, option, buffer, size)
 *                                            the metabolite's attribute list with its
 *                                            formation fraction FraPrtDau
 *   Version(buffer, size)                    the library's version text; needs no Create
 *   GetLastError(buffer, size)               the error text of the last call
 *   IncompleteAttributeName(buffer, size)    the attribute that tells whether a substance's
 *                                            data are incomplete (value BoolTrue)
 *   IncompleteMetabsAttributeName(buffer, size)
 *                                            the same for the substance's metabolites
 *   VanTHoffTempConversion(halfLife, referenceTemperature, temperature, molarActivationEnergy)
 *                                            the half-life (any time unit) at temperature
 *                                            (degrees C) from the one at the reference
 *                                            temperature (degrees C) with the molar
 *                                            activation energy (kJ/mol), by Arrhenius
 *   ShowSubstanceErrorMessages(guid)         shows what is wrong with the substance's data;
 *                                            true when nothing is wrong
 *   BooleanToStr(value, buffer, size)        the library's word for the Boolean
 *   StrToBoolean(text, value)                reads the library's word (any letter case) into
 *                                            *value; false when the text is no such word
 *   BoolTrue(buffer, size), BoolFalse(buffer, size)
 *                                            the library's words for true and false
 */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint8_t DaxoBool;

typedef DaxoBool (*TDaxoCreate)(const char* decimalSeparator);
typedef void (*TDaxoDestroy)(void);
typedef void (*TDaxoOpenUI)(const char* substanceGuid, int32_t mode);
typedef DaxoBool (*TDaxoSetModelVersions)(const char* modelVersions);
typedef DaxoBool (*TDaxoGetSubstancesGUIDList)(char** buffer, int32_t* size);
typedef DaxoBool (*TDaxoGetSubstanceInfoListByGUID)(const char* substanceGuid, DaxoBool option,
                                                    char** buffer, int32_t* size);
typedef DaxoBool (*TDaxoGetSubstanceChecksumByGUID)(const char* substanceGuid, char** buffer,
                                                    int32_t* size);
typedef DaxoBool (*TDaxoGetMetabolitesGUIDList)(const char* parentGuid, int32_t compartment,
                                                char** buffer, int32_t* size);
typedef DaxoBool (*TDaxoGetMetaboliteInfoListByGUID)(const char* parentGuid,
                                                     const char* metaboliteGuid,
                                                     int32_t compartment, DaxoBool option,
                                                     char** buffer, int32_t* size);
typedef DaxoBool (*TDaxoVersion)(char** buffer, int32_t* size);
typedef DaxoBool (*TDaxoGetLastError)(char** buffer, int32_t* size);
typedef DaxoBool (*TDaxoIncompleteAttributeName)(char** buffer, int32_t* size);
typedef DaxoBool (*TDaxoIncompleteMetabsAttributeName)(char** buffer, int32_t* size);
typedef double (*TDaxoVanTHoffTempConversion)(double halfLife, double referenceTemperature,
                                              double temperature, double molarActivationEnergy);
typedef DaxoBool (*TDaxoShowSubstanceErrorMessages)(const char* substanceGuid);
typedef DaxoBool (*TDaxoBooleanToStr)(DaxoBool value, char** buffer, int32_t* size);
typedef DaxoBool (*TDaxoStrToBoolean)(const char* text, DaxoBool* value);
typedef DaxoBool (*TDaxoBoolTrue)(char** buffer, int32_t* size);
typedef DaxoBool (*TDaxoBoolFalse)(char** buffer, int32_t* size);

#define DAXO_EXPORT_COUNT 19

/* The export names, in resolution order. */
static const char* const DaxoExportNames[DAXO_EXPORT_COUNT] = {
    "Create",
    "Destroy",
    "OpenUI",
    "SetModelVersions",
    "GetSubstancesGUIDList",
    "GetSubstanceInfoListByGUID",
    "GetSubstanceChecksumByGUID",
    "GetMetabolitesGUIDList",
    "GetMetaboliteInfoListByGUID",
    "Version",
    "GetLastError",
    "IncompleteAttributeName",
    "IncompleteMetabsAttributeName",
    "VanTHoffTempConversion",
    "ShowSubstanceErrorMessages",
    "BooleanToStr",
    "StrToBoolean",
    "BoolTrue",
    "BoolFalse",
};

/* The library itself defines DAXO_DECLARE_EXPORTS to get the prototypes; the program only
   needs the typedefs and keeps these plain names out of its global namespace. */
#ifdef DAXO_DECLARE_EXPORTS
#define DAXO_API __attribute__((visibility("default")))
DAXO_API DaxoBool Create(const char* decimalSeparator);
DAXO_API void Destroy(void);
DAXO_API void OpenUI(const char* substanceGuid, int32_t mode);
DAXO_API DaxoBool SetModelVersions(const char* modelVersions);
DAXO_API DaxoBool GetSubstancesGUIDList(char** buffer, int32_t* size);
DAXO_API DaxoBool GetSubstanceInfoListByGUID(const char* substanceGuid, DaxoBool option,
                                             char** buffer, int32_t* size);
DAXO_API DaxoBool GetSubstanceChecksumByGUID(const char* substanceGuid, char** buffer,
                                             int32_t* size);
DAXO_API DaxoBool GetMetabolitesGUIDList(const char* parentGuid, int32_t compartment, char** buffer,
                                         int32_t* size);
DAXO_API DaxoBool GetMetaboliteInfoListByGUID(const char* parentGuid, const char* metaboliteGuid,
                                              int32_t compartment, DaxoBool option, char** buffer,
                                              int32_t* size);
DAXO_API DaxoBool Version(char** buffer, int32_t* size);
DAXO_API DaxoBool GetLastError(char** buffer, int32_t* size);
DAXO_API DaxoBool IncompleteAttributeName(char** buffer, int32_t* size);
DAXO_API DaxoBool IncompleteMetabsAttributeName(char** buffer, int32_t* size);
DAXO_API double VanTHoffTempConversion(double halfLife, double referenceTemperature,
                                       double temperature, double molarActivationEnergy);
DAXO_API DaxoBool ShowSubstanceErrorMessages(const char* substanceGuid);
DAXO_API DaxoBool BooleanToStr(DaxoBool value, char** buffer, int32_t* size);
DAXO_API DaxoBool StrToBoolean(const char* text, DaxoBool* value);
DAXO_API DaxoBool BoolTrue(char** buffer, int32_t* size);
DAXO_API DaxoBool BoolFalse(char** buffer, int32_t* size);
#endif

#ifdef __cplusplus
}
#endif
