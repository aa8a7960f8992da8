#include "framework/Singleton.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace parvela {
namespace {

std::vector<std::string> destroyed;

class TEagerService : public TSingleton<TEagerService> {
public:
    static constexpr const char* ClassName = "TEagerService";
    explicit TEagerService(int value = 0) : value(value) {}
    int value;

protected:
    ~TEagerService() override { destroyed.push_back(ClassName); }
};

class TFailingService : public TSingleton<TFailingService> {
public:
    static constexpr const char* ClassName = "TFailingService";
    TFailingService() { throw Exception("cannot start"); }
};

class TLazyDefs : public TSingleton<TLazyDefs, SingletonKind::Lazy> {
public:
    static constexpr const char* ClassName = "TLazyDefs";
};

class TQualifiedService
    : public TSingleton<TQualifiedService, SingletonKind::Eager, SingletonStyle::Qualified> {
public:
    static constexpr const char* ClassName = "TQualifiedService";
};

class TSlotService : public TSingleton<TSlotService, SingletonKind::SlotOnly> {
public:
    static constexpr const char* ClassName = "TSlotService";
};

class TOtherService : public TSingleton<TOtherService> {
public:
    static constexpr const char* ClassName = "TOtherService";

protected:
    ~TOtherService() override { destroyed.push_back(ClassName); }
};

// Its destructor still uses its own instance, as a service that tidies up through its own
// operations does, and asks for its destruction once more.
class TSelfUsingService : public TSingleton<TSelfUsingService> {
public:
    static constexpr const char* ClassName = "TSelfUsingService";
    static inline bool sawItself = false;

protected:
    ~TSelfUsingService() override {
        sawItself = SingletonExists() && &GetSingleton() == this;
        DestroySingleton();
    }
};

std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "<no failure>";
}

class SingletonTest : public ::testing::Test {
protected:
    void TearDown() override {
        SingletonCleanup::DestroyAll();
        destroyed.clear();
    }
};

TEST_F(SingletonTest, CreateGetDestroyAndCreateAgain) {
    TEagerService& first = TEagerService::CreateSingleton(7);
    EXPECT_EQ(&first, &TEagerService::GetSingleton());
    EXPECT_EQ(7, TEagerService::GetSingleton().value);
    TEagerService::DestroySingleton();
    EXPECT_FALSE(TEagerService::SingletonExists());
    TEagerService::DestroySingleton(); // an empty slot: nothing happens
    EXPECT_EQ(std::vector<std::string>{"TEagerService"}, destroyed);
    EXPECT_EQ(9, TEagerService::CreateSingleton(9).value);
}

TEST_F(SingletonTest, TheSlotIsEmptiedAfterTheDestructorRan) {
    TSelfUsingService::CreateSingleton();
    TSelfUsingService::DestroySingleton();
    EXPECT_TRUE(TSelfUsingService::sawItself);
    EXPECT_FALSE(TSelfUsingService::SingletonExists());
}

TEST_F(SingletonTest, MisuseIsRefusedWithPlainMessages) {
    TEagerService& first = TEagerService::CreateSingleton(1);
    EXPECT_EQ("Error: Object already created, use TEagerService.GetSingleton.",
              MessageOf([] { TEagerService::CreateSingleton(2); }));
    EXPECT_EQ(1, TEagerService::GetSingleton().value) << "the first instance stays in place";
    EXPECT_EQ("Error: Do not use TEagerService.Create, use TEagerService.CreateSingleton.",
              MessageOf([] { (void)new TEagerService(); }));
    EXPECT_EQ("Error: Do not use TEagerService.Destroy, this would destroy the singleton "
              "object, use TEagerService.DestroySingleton !",
              MessageOf([&] { first.Destroy(); }));
    EXPECT_TRUE(TEagerService::SingletonExists());
    EXPECT_TRUE(destroyed.empty()) << "the instance stays alive";
    EXPECT_EQ("Error: Object not created, use TOtherService.CreateSingleton.",
              MessageOf([] { TOtherService::GetSingleton(); }));
}

TEST_F(SingletonTest, FailingConstructorLeavesTheSlotEmpty) {
    EXPECT_EQ("cannot start", MessageOf([] { TFailingService::CreateSingleton(); }));
    EXPECT_FALSE(TFailingService::SingletonExists());
}

TEST_F(SingletonTest, LazyGetSingletonConstructsOnceAndRefusesDirectUse) {
    TLazyDefs& first = TLazyDefs::GetSingleton();
    EXPECT_EQ(&first, &TLazyDefs::GetSingleton());
    EXPECT_EQ("Error: Do not use TLazyDefs.Create, use TLazyDefs.CreateSingleton.",
              MessageOf([] { TLazyDefs direct; }));
}

TEST_F(SingletonTest, QualifiedMessagesNameClassAndOperation) {
    EXPECT_EQ("TQualifiedService.GetSingleton : Error, object not created, use "
              "TQualifiedService.CreateSingleton.",
              MessageOf([] { TQualifiedService::GetSingleton(); }));
    TQualifiedService& instance = TQualifiedService::CreateSingleton();
    EXPECT_EQ("TQualifiedService.CreateSingleton : Error, object already created, use "
              "TQualifiedService.GetSingleton.",
              MessageOf([] { TQualifiedService::CreateSingleton(); }));
    EXPECT_EQ("TQualifiedService.Create : Error, do not use TQualifiedService.Create, use "
              "TQualifiedService.CreateSingleton.",
              MessageOf([] { TQualifiedService direct; }));
    EXPECT_EQ("TQualifiedService.Destroy : Error, do not use TQualifiedService.Destroy, this "
              "would destroy the singleton object, use TQualifiedService.DestroySingleton !",
              MessageOf([&] { instance.Destroy(); }));
}

TEST_F(SingletonTest, SlotOnlyKindGuardsTheSlotButNotTheConstructor) {
    EXPECT_EQ("Error: Object not created, use TSlotService.CreateSingleton.",
              MessageOf([] { TSlotService::GetSingleton(); }));
    TSlotService::CreateSingleton();
    EXPECT_EQ("Error: Object already created, use TSlotService.GetSingleton.",
              MessageOf([] { TSlotService::CreateSingleton(); }));
    EXPECT_EQ("<no failure>", MessageOf([] { TSlotService direct; }));
}

TEST_F(SingletonTest, EndOfProgramDestroysWhatIsLeftNewestFirst) {
    TEagerService::CreateSingleton();
    TOtherService::CreateSingleton();
    SingletonCleanup::DestroyAll();
    EXPECT_EQ((std::vector<std::string>{"TOtherService", "TEagerService"}), destroyed);
    EXPECT_FALSE(TEagerService::SingletonExists());
    EXPECT_FALSE(TOtherService::SingletonExists());
}

} // namespace
} // namespace parvela
