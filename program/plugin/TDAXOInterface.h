#pragma once
// The one object that talks to the substance plug-in: it loads the library that
// LocateLibraryPath finds, resolves its nineteen exports, turns its text results into lists
// and its error texts into EDAXOException.

#include "framework/Singleton.h"
#include "platform/Exceptions.h"
#include "plugins/daxo/DaxoApi.h"
#include "program/plugin/DAXOTextList.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace parvela {

// An error text that the library reported, untrimmed: "EDAXOException: %s".
class EDAXOException : public Exception {
public:
    explicit EDAXOException(const std::string& libraryText);
    const char* ClassName() const override { return "EDAXOException"; }
};

// Compartment codes of the metabolite lists.
inline constexpr int DAXOSoilCompartment = 1;
inline constexpr int DAXOWaterCompartment = 2;
inline constexpr int DAXOSedimentCompartment = 3;

class TDAXOInterface
    : public TSingleton<TDAXOInterface, SingletonKind::Eager, SingletonStyle::Qualified> {
    using Base = TSingleton<TDAXOInterface, SingletonKind::Eager, SingletonStyle::Qualified>;

public:
    static constexpr const char* ClassName = "TDAXOInterface";

    // Loads and initialises the library, stores the instance and then asks the library for
    // an error of its start (which, when there is one, raises with the instance in place).
    static TDAXOInterface& CreateSingleton(const std::string& decimalSeparator);
    // Calls the library's Destroy, releases the library and destroys TDAXORegistry.
    using Base::DestroySingleton;
    using Base::GetSingleton;

    // Use CreateSingleton.
    explicit TDAXOInterface(const std::string& decimalSeparator);

    // Raises EDAXOException when the library has an error text that is not blank.
    void TestForException();

    void OpenUI(const std::string& substanceGuid, int mode = 0);
    bool SetModelVersions(const std::string& modelVersions);
    // `list`: created when empty, else emptied first (with the attribute lists of its
    // entries). With attributes, every GUID gets its attribute list attached.
    void GetSubstancesGUIDList(bool withAttributes, bool option,
                               std::unique_ptr<TDAXOGUIDList>& list);
    void GetSubstanceInfoListByGUID(const std::string& substanceGuid, bool option,
                                    std::unique_ptr<TDAXOAttributeList>& list);
    // Empty when the plug-in database does not hold the substance.
    std::string GetSubstanceChecksumByGUID(const std::string& substanceGuid);
    // The direct metabolites of the parent formed in the compartment.
    void GetMetaboliteGUIDList(const std::string& parentGuid, int compartment, bool withAttributes,
                               bool option, std::unique_ptr<TDAXOGUIDList>& list);
    void GetMetaboliteInfoListByGUID(const std::string& parentGuid,
                                     const std::string& metaboliteGuid, int compartment,
                                     bool option, std::unique_ptr<TDAXOAttributeList>& list);
    std::string IncompleteAttributeName();
    bool ShowSubstanceErrorMessages(const std::string& substanceGuid);
    std::string BooleanTrue();
    std::string BooleanFalse();

    // The version text of the library, with or without an instance: loads the library on
    // its own, calls nothing but Version and releases it again.
    static std::string Version();
    // The library this instance loaded, and the SHA-256 of its file taken when it was loaded
    // (empty when the file could not be read): a library installed anew while the program
    // runs is not the one that computes.
    const std::string& LibraryPath() const { return libraryPath_; }
    const std::string& LibrarySha256() const { return librarySha256_; }
    // The version text of the library this instance loaded.
    std::string LibraryVersion();

    // Initial sizes of the text-result buffers.
    static constexpr std::int32_t ErrorTextSize = 100;
    static constexpr std::int32_t GUIDListSize = 3901;
    static constexpr std::int32_t InfoListSize = 1501;
    static constexpr std::int32_t ShortTextSize = 100;
    static constexpr std::int32_t BooleanTextSize = 10;

protected:
    ~TDAXOInterface() override;

private:
    struct LibraryCloser {
        void operator()(void* handle) const;
    };
    using LibraryHandle = std::unique_ptr<void, LibraryCloser>;
    using TextCall = std::function<DaxoBool(char**, std::int32_t*)>;

    struct Exports {
        TDaxoCreate Create = nullptr;
        TDaxoDestroy Destroy = nullptr;
        TDaxoOpenUI OpenUI = nullptr;
        TDaxoSetModelVersions SetModelVersions = nullptr;
        TDaxoGetSubstancesGUIDList GetSubstancesGUIDList = nullptr;
        TDaxoGetSubstanceInfoListByGUID GetSubstanceInfoListByGUID = nullptr;
        TDaxoGetSubstanceChecksumByGUID GetSubstanceChecksumByGUID = nullptr;
        TDaxoGetMetabolitesGUIDList GetMetabolitesGUIDList = nullptr;
        TDaxoGetMetaboliteInfoListByGUID GetMetaboliteInfoListByGUID = nullptr;
        TDaxoVersion Version = nullptr;
        TDaxoGetLastError GetLastError = nullptr;
        TDaxoIncompleteAttributeName IncompleteAttributeName = nullptr;
        TDaxoIncompleteMetabsAttributeName IncompleteMetabsAttributeName = nullptr;
        TDaxoVanTHoffTempConversion VanTHoffTempConversion = nullptr;
        TDaxoShowSubstanceErrorMessages ShowSubstanceErrorMessages = nullptr;
        TDaxoBooleanToStr BooleanToStr = nullptr;
        TDaxoStrToBoolean StrToBoolean = nullptr;
        TDaxoBoolTrue BoolTrue = nullptr;
        TDaxoBoolFalse BoolFalse = nullptr;
    };

    static LibraryHandle LoadLibrary(const std::string& path, const char* operation);
    // The address of the export, or the "Failure locating" message naming it.
    static void* ResolveExport(void* handle, const char* name, const char* operation);
    void ResolveExports();
    void CallCreate(const std::string& libraryPath, const std::string& decimalSeparator);
    // The text-result protocol: one call with the initial size, one more with the size the
    // library asks for. TestForException runs after each call when `test` is set.
    std::string FetchText(std::int32_t initialSize, const TextCall& call, bool test);
    static std::string FetchTextWith(std::int32_t initialSize, const TextCall& call,
                                     const std::function<void()>& afterCall);
    void CheckInstance(const char* operation) const;
    void CheckGuid(const std::string& guid, const char* operation, const char* message) const;

    LibraryHandle library_;
    std::string libraryPath_;
    std::string librarySha256_;
    Exports exports_;
    bool created_ = false;
};

} // namespace parvela
