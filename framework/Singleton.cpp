#include "framework/Singleton.h"

#include <algorithm>
#include <vector>

namespace parvela {

namespace {
struct Entry {
    void* key;
    std::function<void()> destroy;
};
std::vector<Entry>& Entries() {
    static std::vector<Entry> entries;
    return entries;
}
} // namespace

void SingletonCleanup::Register(void* key, std::function<void()> destroy) {
    Unregister(key);
    Entries().push_back({key, std::move(destroy)});
}

void SingletonCleanup::Unregister(void* key) {
    auto& entries = Entries();
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [key](const Entry& e) { return e.key == key; }),
                  entries.end());
}

void SingletonCleanup::DestroyAll() {
    while (!Entries().empty()) {
        auto destroy = Entries().back().destroy;
        Entries().pop_back();
        destroy();
    }
}

namespace singleton_messages {

std::string AlreadyCreated(SingletonStyle style, const char* className) {
    if (style == SingletonStyle::Plain)
        return Format("Error: Object already created, use %s.GetSingleton.", className);
    return Format("%s.%s : Error, object already created, use %s.GetSingleton.", className,
                  "CreateSingleton", className);
}

std::string NotCreated(SingletonStyle style, const char* className, const char* operation) {
    if (style == SingletonStyle::Plain)
        return Format("Error: Object not created, use %s.CreateSingleton.", className);
    return Format("%s.%s : Error, object not created, use %s.CreateSingleton.", className,
                  operation, className);
}

std::string DoNotCreate(SingletonStyle style, const char* className) {
    if (style == SingletonStyle::Plain)
        return Format("Error: Do not use %s.Create, use %s.CreateSingleton.", className, className);
    return Format("%s.%s : Error, do not use %s.Create, use %s.CreateSingleton.", className,
                  "Create", className, className);
}

std::string DoNotDestroy(SingletonStyle style, const char* className) {
    if (style == SingletonStyle::Plain)
        return Format("Error: Do not use %s.Destroy, this would destroy the singleton object, use "
                      "%s.DestroySingleton !",
                      className, className);
    return Format("%s.%s : Error, do not use %s.Destroy, this would destroy the singleton object, "
                  "use %s.DestroySingleton !",
                  className, "Destroy", className, className);
}

} // namespace singleton_messages
} // namespace parvela
