#pragma once
// The singleton pattern of every long-lived service. A class T derives from
// TSingleton<T, Kind, Style> and names itself with `static constexpr const char* ClassName`.
//
//   Eager:    CreateSingleton constructs; constructing or destroying any other way is refused.
//   Lazy:     GetSingleton constructs on first use; there is no CreateSingleton.
//   SlotOnly: like Eager, but constructor and destructor carry no guard.
//
// Direct destruction goes through Destroy(), which refuses unless DestroySingleton (or the
// end-of-program clean-up) runs; the destructor itself is protected.

#include "framework/Format.h"
#include "platform/Exceptions.h"

#include <functional>
#include <utility>

namespace parvela {

enum class SingletonKind { Eager, Lazy, SlotOnly };
// Plain: "Error: Object ..."; Qualified: "%s.%s : Error, object ..." with class and operation.
enum class SingletonStyle { Plain, Qualified };

// Destroys, at the end of the program, every singleton whose slot is still filled.
class SingletonCleanup {
public:
    static void Register(void* key, std::function<void()> destroy);
    static void Unregister(void* key);
    // Newest first.
    static void DestroyAll();
};

namespace singleton_messages {
std::string AlreadyCreated(SingletonStyle style, const char* className);
std::string NotCreated(SingletonStyle style, const char* className, const char* operation);
std::string DoNotCreate(SingletonStyle style, const char* className);
std::string DoNotDestroy(SingletonStyle style, const char* className);
} // namespace singleton_messages

template <class T, SingletonKind Kind = SingletonKind::Eager,
          SingletonStyle Style = SingletonStyle::Plain>
class TSingleton {
public:
    TSingleton(const TSingleton&) = delete;
    TSingleton& operator=(const TSingleton&) = delete;

    template <class... Args> static T& CreateSingleton(Args&&... args) {
        static_assert(Kind != SingletonKind::Lazy, "lazy singletons are created by GetSingleton");
        if (slot_)
            throw Exception(singleton_messages::AlreadyCreated(Style, T::ClassName));
        return Construct(std::forward<Args>(args)...);
    }

    static T& GetSingleton() {
        if (!slot_) {
            if constexpr (Kind == SingletonKind::Lazy)
                return Construct();
            else
                throw Exception(
                    singleton_messages::NotCreated(Style, T::ClassName, "GetSingleton"));
        }
        return *slot_;
    }

    // The slot holds the instance while its destructor runs (a destructor may still use the
    // instance's own operations) and is emptied after it; a second call meanwhile does nothing.
    static void DestroySingleton() {
        if (!slot_ || destroying_)
            return;
        destroying_ = true;
        SingletonCleanup::Unregister(&slot_);
        delete static_cast<TSingleton*>(slot_);
        slot_ = nullptr;
        destroying_ = false;
    }

    static bool SingletonExists() { return slot_ != nullptr; }

    // Destroying the instance other than through DestroySingleton is refused; the instance
    // stays alive.
    void Destroy() {
        if (!destroying_ && Kind != SingletonKind::SlotOnly)
            throw Exception(singleton_messages::DoNotDestroy(Style, T::ClassName));
        if (slot_ == this)
            DestroySingleton();
        else
            delete this;
    }

protected:
    TSingleton() {
        if (Kind != SingletonKind::SlotOnly && !creating_)
            throw Exception(singleton_messages::DoNotCreate(Style, T::ClassName));
    }
    virtual ~TSingleton() = default;

    // For instance operations that work on shared state: raises the not-created message.
    static void CheckSingletonExists(const char* operation = "GetSingleton") {
        if (!slot_)
            throw Exception(singleton_messages::NotCreated(Style, T::ClassName, operation));
    }

private:
    template <class... Args> static T& Construct(Args&&... args) {
        creating_ = true;
        destroying_ = true;
        struct Reset {
            ~Reset() { creating_ = destroying_ = false; }
        } reset;
        T* instance = new T(std::forward<Args>(args)...);
        slot_ = instance;
        SingletonCleanup::Register(&slot_, [] { DestroySingleton(); });
        return *instance;
    }

    static inline T* slot_ = nullptr;
    static inline bool creating_ = false;
    static inline bool destroying_ = false;
};

} // namespace parvela
