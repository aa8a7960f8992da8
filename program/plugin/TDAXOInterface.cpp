#include "program/plugin/TDAXOInterface.h"

#include "framework/Format.h"
#include "program/plugin/DAXOTextList.h"
#include "program/plugin/TDAXORegistry.h"
#include "program/system/FileDigest.h"

#include <dlfcn.h>

#include <cstring>
#include <filesystem>
#include <vector>

namespace parvela {

namespace {

std::string Qualified(const char* operation, const std::string& text) {
    return Format("%s.%s : ", TDAXOInterface::ClassName, operation) + text;
}

// Creates TDAXORegistry when it is missing and destroys it again, unless kept, when it was
// created here.
class TRegistryScope {
public:
    TRegistryScope() {
        if (!TDAXORegistry::SingletonExists()) {
            TDAXORegistry::CreateSingleton(DAXORegistryPath);
            created_ = true;
        }
    }
    ~TRegistryScope() {
        if (created_ && !kept_)
            TDAXORegistry::DestroySingleton();
    }
    void Keep() { kept_ = true; }
    TRegistryScope(const TRegistryScope&) = delete;
    TRegistryScope& operator=(const TRegistryScope&) = delete;

private:
    bool created_ = false;
    bool kept_ = false;
};

std::string LocateLibraryOrFail(const char* operation) {
    std::string path = LocateLibraryPath();
    if (TrimText(path).empty())
        throw Exception(Qualified(operation, "Error locating the DAXO dll path"));
    return path;
}

// Makes a directory the current one and puts the previous one back on every way out.
class TWorkingDirectoryScope {
public:
    explicit TWorkingDirectoryScope(const std::filesystem::path& directory)
        : previous_(std::filesystem::current_path()) {
        std::error_code error;
        std::filesystem::current_path(directory, error);
        if (error)
            throw EOSError(Qualified("Create", "Cannot make " + directory.string() +
                                                   " the current directory: " + error.message()));
    }
    ~TWorkingDirectoryScope() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
    }
    TWorkingDirectoryScope(const TWorkingDirectoryScope&) = delete;
    TWorkingDirectoryScope& operator=(const TWorkingDirectoryScope&) = delete;

private:
    std::filesystem::path previous_;
};

} // namespace

EDAXOException::EDAXOException(const std::string& libraryText)
    : Exception(Format("EDAXOException: %s", libraryText)) {}

void TDAXOInterface::LibraryCloser::operator()(void* handle) const {
    if (handle)
        dlclose(handle);
}

TDAXOInterface& TDAXOInterface::CreateSingleton(const std::string& decimalSeparator) {
    TDAXOInterface& instance = Base::CreateSingleton(decimalSeparator);
    instance.TestForException();
    return instance;
}

TDAXOInterface::TDAXOInterface(const std::string& decimalSeparator) {
    TRegistryScope registry;
    std::string path = LocateLibraryOrFail("Create");
    try {
        librarySha256_ = FileSha256(path);
    } catch (const EOSError&) {
        // the load below tells why the file cannot be read
    }
    library_ = LoadLibrary(path, "Create");
    libraryPath_ = path;
    ResolveExports();
    CallCreate(path, decimalSeparator);
    // From here on the instance's destruction destroys TDAXORegistry.
    registry.Keep();
}

TDAXOInterface::~TDAXOInterface() {
    if (exports_.Destroy && created_)
        exports_.Destroy();
    library_.reset();
    TDAXORegistry::DestroySingleton();
}

TDAXOInterface::LibraryHandle TDAXOInterface::LoadLibrary(const std::string& path,
                                                          const char* operation) {
    dlerror();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        throw Exception(Qualified(operation, Format("Cannot load the DAXO library %s: %s", path,
                                                    reason ? reason : "unknown reason")));
    }
    return LibraryHandle(handle);
}

void* TDAXOInterface::ResolveExport(void* handle, const char* name, const char* operation) {
    dlerror();
    void* address = dlsym(handle, name);
    if (!address || dlerror())
        throw Exception(Qualified(
            operation, Format("Failure locating the addres of procedure / function %s", name)));
    return address;
}

void TDAXOInterface::ResolveExports() {
    // In the order of DaxoExportNames, which is the order of the fields.
    void** slots[DAXO_EXPORT_COUNT] = {
        reinterpret_cast<void**>(&exports_.Create),
        reinterpret_cast<void**>(&exports_.Destroy),
        reinterpret_cast<void**>(&exports_.OpenUI),
        reinterpret_cast<void**>(&exports_.SetModelVersions),
        reinterpret_cast<void**>(&exports_.GetSubstancesGUIDList),
        reinterpret_cast<void**>(&exports_.GetSubstanceInfoListByGUID),
        reinterpret_cast<void**>(&exports_.GetSubstanceChecksumByGUID),
        reinterpret_cast<void**>(&exports_.GetMetabolitesGUIDList),
        reinterpret_cast<void**>(&exports_.GetMetaboliteInfoListByGUID),
        reinterpret_cast<void**>(&exports_.Version),
        reinterpret_cast<void**>(&exports_.GetLastError),
        reinterpret_cast<void**>(&exports_.IncompleteAttributeName),
        reinterpret_cast<void**>(&exports_.IncompleteMetabsAttributeName),
        reinterpret_cast<void**>(&exports_.VanTHoffTempConversion),
        reinterpret_cast<void**>(&exports_.ShowSubstanceErrorMessages),
        reinterpret_cast<void**>(&exports_.BooleanToStr),
        reinterpret_cast<void**>(&exports_.StrToBoolean),
        reinterpret_cast<void**>(&exports_.BoolTrue),
        reinterpret_cast<void**>(&exports_.BoolFalse),
    };
    for (int i = 0; i < DAXO_EXPORT_COUNT; ++i)
        *slots[i] = ResolveExport(library_.get(), DaxoExportNames[i], "Create");
}

void TDAXOInterface::CallCreate(const std::string& libraryPath,
                                const std::string& decimalSeparator) {
    std::filesystem::path directory = std::filesystem::absolute(libraryPath).parent_path();
    TWorkingDirectoryScope workingDirectory(directory);
    created_ = true;
    exports_.Create(decimalSeparator.c_str());
}

void TDAXOInterface::CheckInstance(const char* operation) const {
    CheckSingletonExists(operation);
}

void TDAXOInterface::CheckGuid(const std::string& guid, const char* operation,
                               const char* message) const {
    if (TrimText(guid).empty())
        throw Exception(Qualified(operation, message));
}

std::string TDAXOInterface::FetchTextWith(std::int32_t initialSize, const TextCall& call,
                                          const std::function<void()>& afterCall) {
    std::int32_t size = initialSize;
    std::vector<char> buffer(static_cast<size_t>(size), '\0');
    char* data = buffer.data();
    bool fitted = call(&data, &size) != 0;
    afterCall();
    if (!fitted) {
        // The library has put the size it needs, terminating zero included, into size.
        Assert(size > 0);
        buffer.assign(static_cast<size_t>(size), '\0');
        data = buffer.data();
        fitted = call(&data, &size) != 0;
        afterCall();
        Assert(fitted);
    }
    // Never read past the buffer, even when the library forgot the terminating zero.
    return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

std::string TDAXOInterface::FetchText(std::int32_t initialSize, const TextCall& call, bool test) {
    return FetchTextWith(initialSize, call, [this, test] {
        if (test)
            TestForException();
    });
}

void TDAXOInterface::TestForException() {
    CheckInstance("TestForException");
    std::string text = FetchText(ErrorTextSize, exports_.GetLastError, false);
    if (!TrimText(text).empty())
        throw EDAXOException(text);
}

void TDAXOInterface::OpenUI(const std::string& substanceGuid, int mode) {
    CheckInstance("OpenUI");
    exports_.OpenUI(substanceGuid.c_str(), mode);
    TestForException();
}

bool TDAXOInterface::SetModelVersions(const std::string& modelVersions) {
    CheckInstance("SetModelVersions");
    bool accepted = exports_.SetModelVersions(modelVersions.c_str()) != 0;
    TestForException();
    return accepted;
}

void TDAXOInterface::GetSubstancesGUIDList(bool withAttributes, bool option,
                                           std::unique_ptr<TDAXOGUIDList>& list) {
    CheckInstance("GetSubstancesGUIDList");
    std::string text = FetchText(GUIDListSize, exports_.GetSubstancesGUIDList, true);
    std::vector<std::string> guids = ReadDAXOTextList(text);
    if (list)
        list->Clear();
    else
        list = std::make_unique<TDAXOGUIDList>();
    for (const auto& guid : guids) {
        std::unique_ptr<TDAXOAttributeList> attributes;
        if (withAttributes)
            GetSubstanceInfoListByGUID(guid, option, attributes);
        list->Add(guid, std::move(attributes));
    }
}

namespace {
void PrepareList(std::unique_ptr<TDAXOAttributeList>& list) {
    if (list)
        list->Clear();
    else
        list = std::make_unique<TDAXOAttributeList>();
}
} // namespace

void TDAXOInterface::GetSubstanceInfoListByGUID(const std::string& substanceGuid, bool option,
                                                std::unique_ptr<TDAXOAttributeList>& list) {
    const char* operation = "GetSubstanceInfoListByGUID";
    CheckInstance(operation);
    CheckGuid(substanceGuid, operation, "Error, empty substance guid");
    std::string text = FetchText(
        InfoListSize,
        [&](char** buffer, std::int32_t* size) {
            return exports_.GetSubstanceInfoListByGUID(substanceGuid.c_str(), option, buffer, size);
        },
        true);
    PrepareList(list);
    list->ReadText(text);
}

std::string TDAXOInterface::GetSubstanceChecksumByGUID(const std::string& substanceGuid) {
    const char* operation = "GetSubstanceChecksumByGUID";
    CheckInstance(operation);
    CheckGuid(substanceGuid, operation, "Error, empty substance guid");
    return FetchText(
        ShortTextSize,
        [&](char** buffer, std::int32_t* size) {
            return exports_.GetSubstanceChecksumByGUID(substanceGuid.c_str(), buffer, size);
        },
        true);
}

void TDAXOInterface::GetMetaboliteGUIDList(const std::string& parentGuid, int compartment,
                                           bool withAttributes, bool option,
                                           std::unique_ptr<TDAXOGUIDList>& list) {
    const char* operation = "GetMetaboliteGUIDList";
    CheckInstance(operation);
    CheckGuid(parentGuid, operation, "Error, empty substance guid");
    std::string text = FetchText(
        GUIDListSize,
        [&](char** buffer, std::int32_t* size) {
            return exports_.GetMetabolitesGUIDList(parentGuid.c_str(), compartment, buffer, size);
        },
        true);
    std::vector<std::string> guids = ReadDAXOTextList(text);
    if (list)
        list->Clear();
    else
        list = std::make_unique<TDAXOGUIDList>();
    for (const auto& guid : guids) {
        std::unique_ptr<TDAXOAttributeList> attributes;
        if (withAttributes)
            GetMetaboliteInfoListByGUID(parentGuid, guid, compartment, option, attributes);
        list->Add(guid, std::move(attributes));
    }
}

void TDAXOInterface::GetMetaboliteInfoListByGUID(const std::string& parentGuid,
                                                 const std::string& metaboliteGuid, int compartment,
                                                 bool option,
                                                 std::unique_ptr<TDAXOAttributeList>& list) {
    const char* operation = "GetMetaboliteInfoListByGUID";
    CheckInstance(operation);
    CheckGuid(parentGuid, operation, "Error, empty parent guid");
    CheckGuid(metaboliteGuid, operation, "Error, empty metabolite guid");
    std::string text = FetchText(
        InfoListSize,
        [&](char** buffer, std::int32_t* size) {
            return exports_.GetMetaboliteInfoListByGUID(parentGuid.c_str(), metaboliteGuid.c_str(),
                                                        compartment, option, buffer, size);
        },
        true);
    PrepareList(list);
    list->ReadText(text);
}

std::string TDAXOInterface::IncompleteAttributeName() {
    CheckInstance("IncompleteAttributeName");
    return FetchText(ShortTextSize, exports_.IncompleteAttributeName, true);
}

bool TDAXOInterface::ShowSubstanceErrorMessages(const std::string& substanceGuid) {
    const char* operation = "ShowSubstanceErrorMessages";
    CheckInstance(operation);
    CheckGuid(substanceGuid, operation, "Error, empty substance guid");
    bool result = exports_.ShowSubstanceErrorMessages(substanceGuid.c_str()) != 0;
    TestForException();
    return result;
}

std::string TDAXOInterface::BooleanTrue() {
    CheckInstance("BooleanTrue");
    return FetchText(BooleanTextSize, exports_.BoolTrue, true);
}

std::string TDAXOInterface::BooleanFalse() {
    CheckInstance("BooleanFalse");
    return FetchText(BooleanTextSize, exports_.BoolFalse, true);
}

std::string TDAXOInterface::LibraryVersion() {
    CheckInstance("Version");
    return FetchTextWith(ShortTextSize, exports_.Version, [] {});
}

std::string TDAXOInterface::Version() {
    const char* operation = "Version";
    TRegistryScope registry;
    std::string path = LocateLibraryOrFail(operation);
    LibraryHandle library = LoadLibrary(path, operation);
    auto version =
        reinterpret_cast<TDaxoVersion>(ResolveExport(library.get(), "Version", operation));
    return FetchTextWith(ShortTextSize, version, [] {});
}

} // namespace parvela
