#pragma once
// Shared pieces of the window tests: the offscreen application, a fresh SQLite database per
// test with the saver on it, scripted dialog answers and small widget helpers.

#include "framework/TDACSaver.h"
#include "platform/ScriptedDialogs.h"
#include "tests/platform/QtTestApplication.h"
#include "tests/support/TestDatabase.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QToolTip>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace parvela::test {

// A database of the program's schema with the saver singleton on it.
class DatabaseWithSaver {
public:
    explicit DatabaseWithSaver(Engine engine = Engine::SQLite) : database_(engine) {
        TDACSaver::CreateSingleton(database_.Database());
    }
    ~DatabaseWithSaver() { TDACSaver::DestroySingleton(); }
    TDACDatabase& Database() { return database_.Database(); }
    TestDatabase& Test() { return database_; }

private:
    TestDatabase database_;
};

// Types one character into the widget as a key press.
inline void TypeCharacter(QWidget* widget, QChar character) {
    QKeyEvent press(QEvent::KeyPress, character.toUpper().unicode(), Qt::NoModifier,
                    QString(character));
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, character.toUpper().unicode(), Qt::NoModifier,
                      QString(character));
    QApplication::sendEvent(widget, &release);
}

// Types the text as a user who first clicked behind the edit's text (the windows show a text
// from its beginning, with the cursor there).
inline void TypeText(QWidget* widget, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->end(false);
    for (QChar character : text)
        TypeCharacter(widget, character);
}

// The reason that a caption edit shows beside itself when it refuses a character.
inline const std::string RefusedCaptionCharacter =
    std::string("invalid character (<space> , . / \\ ( ) : ? ") + "\"" + " < > | * + =)";

// The tooltip shown now; empty when none is.
inline std::string ShownToolTip() {
    return QToolTip::isVisible() ? QToolTip::text().toStdString() : std::string();
}

// Hides the tooltip and waits until it has gone (it lingers a moment).
inline void HideToolTip() {
    QToolTip::hideText();
    if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000))
        ADD_FAILURE() << "the tooltip stayed";
}

template <class Widget> Widget* Child(QWidget& parent, const char* name) {
    Widget* child = parent.findChild<Widget*>(QString::fromLatin1(name));
    if (!child)
        ADD_FAILURE() << "no child " << name;
    return child;
}

} // namespace parvela::test

#include "db/DatabaseScripts.h"
#include "platform/Registry.h"
#include "program/plugin/TDAXOInterface.h"
#include "program/runs/TModelManager.h"
#include "program/startup/Services.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdlib.h>
#include <unistd.h>

namespace parvela::test {

// Sets an environment variable for its lifetime.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::string name, const std::string& value) : name_(std::move(name)) {
        if (const char* previous = getenv(name_.c_str()))
            previous_ = previous;
        setenv(name_.c_str(), value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        if (previous_)
            setenv(name_.c_str(), previous_->c_str(), 1);
        else
            unsetenv(name_.c_str());
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name_;
    std::optional<std::string> previous_;
};

// A fresh directory of the test below the test work directory.
inline std::string FreshTestDirectory(const std::string& area) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "-" + info->name();
    for (char& c : name)
        if (c == '/')
            c = '-';
    const std::filesystem::path path = std::filesystem::path(PARVELA_TEST_WORK_DIR) / area / name;
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    return path.string();
}

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs the statements of a script of the repository.
inline void RunScript(TestDatabase& database, const std::string& repositoryPath) {
    const std::string script =
        ReadWholeFile(std::string(PARVELA_SOURCE_DIR) + "/" + repositoryPath);
    for (const std::string& statement : db::SplitStatements(script, database.GetEngine()))
        database.RunRawSQL(statement);
}

// The engine of a test instantiated for both engines, else SQLite.
inline Engine CurrentTestEngine() {
    const char* parameter = ::testing::UnitTest::GetInstance()->current_test_info()->value_param();
    std::string text = parameter ? parameter : "";
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text.find("postgres") != std::string::npos ? Engine::PostgreSQL : Engine::SQLite;
}

// What the program finds around it: registry stores of the test's own with the plug-in
// library and a data path, a plug-in database, a temporary directory, and a settings file
// naming a fresh database with the delivered scenarios.
class ProgramEnvironment {
public:
    explicit ProgramEnvironment(Engine engine = CurrentTestEngine())
        : directory_(FreshTestDirectory("ui")),
          machine_("PARVELA_MACHINE_REGISTRY", File("machine-registry.ini")),
          user_("PARVELA_USER_REGISTRY", File("user-registry.ini")),
          daxoDatabase_("PARVELA_DAXO_DATABASE", File("daxo.sqlite")),
          daxoMessages_("PARVELA_DAXO_MESSAGE_LOG", File("daxo-messages.log")),
          tmp_("TMPDIR", File("tmp/")), runtime_("XDG_RUNTIME_DIR", ""),
          cache_("XDG_CACHE_HOME", File("cache")), database_(engine) {
        std::filesystem::create_directories(File("tmp"));
        std::filesystem::create_directories(DataPath());
        RunScript(database_, "db/scenarios/scenarios.sql");
        TRegistry machine(HKEY_LOCAL_MACHINE);
        machine.WriteString("SOFTWARE\\Vantiro\\DAXO", "daxo_dll", DAXO_LIBRARY_PATH);
        machine.WriteString(RegistryKey(), "DataPath", DataPath());
        std::ofstream(SettingsFile()) << "[Database]\nDatabaseName=" << database_.ConnectionString()
                                      << "\nUserName=\nPassword=\n";
    }

    std::string File(const std::string& name) const { return directory_ + "/" + name; }
    std::string DataPath() const { return File("data/"); }
    std::string TempDirectory() const { return File("tmp/"); }
    // The user's private directory in it, where the reports go.
    std::string ReportDirectory() const {
        return TempDirectory() + "parvela-" + std::to_string(::geteuid()) + "/";
    }
    std::string CacheDirectory() const { return File("cache/parvela/"); }
    std::string SettingsFile() const { return File("parvela.ini"); }
    TestDatabase& Database() { return database_; }
    std::int64_t Count(const std::string& sql) {
        return database_.QueryRows(sql)[0][0].AsInteger();
    }
    std::string Text(const std::string& sql) {
        const auto rows = database_.QueryRows(sql);
        if (rows.empty())
            return "<none>";
        return rows[0][0].IsNull() ? "<null>" : rows[0][0].AsString();
    }

private:
    std::string directory_;
    ScopedEnvironment machine_;
    ScopedEnvironment user_;
    ScopedEnvironment daxoDatabase_;
    ScopedEnvironment daxoMessages_;
    ScopedEnvironment tmp_;
    ScopedEnvironment runtime_;
    ScopedEnvironment cache_;
    TestDatabase database_;
};

// The program's services on the environment, as the main window starts them.
class RunningServices {
public:
    explicit RunningServices(ProgramEnvironment& environment) {
        try {
            StartServices({environment.SettingsFile()});
            if (!TDAXOInterface::SingletonExists())
                TDAXOInterface::CreateSingleton(".");
            if (!TModelManager::SingletonExists())
                TModelManager::CreateSingleton();
        } catch (...) {
            Stop();
            throw;
        }
    }
    ~RunningServices() { Stop(); }
    static void Stop() {
        StopServices();
        TModelManager::DestroySingleton();
        TDAXOInterface::DestroySingleton();
    }
    RunningServices(const RunningServices&) = delete;
    RunningServices& operator=(const RunningServices&) = delete;
};

} // namespace parvela::test
