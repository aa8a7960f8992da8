#include "platform/qt/SingleInstance.h"

#include "tests/platform/QtTestApplication.h"
#include "tests/platform/TestDirectory.h"

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace parvela {
namespace {

const QString Title = QStringLiteral("Parvela_2.4.2_CN");
constexpr int StartTimeoutMs = 15000;

// Starts the probe program (tests/platform/SingleInstanceProbe.cpp) as a real process. All
// probes of a test share a private runtime directory, where their sockets lie.
class TProbe {
public:
    TProbe(const QString& runtimeDirectory, const QString& title, bool minimized = false) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDirectory);
        process_.setProcessEnvironment(environment);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QStringList arguments{title};
        if (minimized)
            arguments << QStringLiteral("--minimized");
        process_.start(QStringLiteral(PARVELA_SINGLE_INSTANCE_PROBE), arguments);
    }
    ~TProbe() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished();
        }
    }

    // The next line the probe reports, or an empty text when it reports none in time.
    QString NextLine(int timeoutMs = StartTimeoutMs) {
        while (!process_.canReadLine())
            if (!process_.waitForReadyRead(timeoutMs))
                return {};
        return QString::fromUtf8(process_.readLine()).trimmed();
    }
    // The exit code after the probe ended by itself, or -1.
    int ExitCode(int timeoutMs = StartTimeoutMs) {
        if (!process_.waitForFinished(timeoutMs) || process_.exitStatus() != QProcess::NormalExit)
            return -1;
        return process_.exitCode();
    }
    int Quit() {
        process_.write("quit\n");
        return ExitCode();
    }
    void Crash() {
        process_.kill(); // SIGKILL: no clean-up at all
        process_.waitForFinished();
    }

private:
    QProcess process_;
};

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::TestApplication();
        ASSERT_TRUE(runtime.isValid());
    }
    QString SocketOf(const QString& title, const QString& directory = "/parvela/") const {
        return runtime.path() + directory + title + QLatin1Char('-') + QString::number(::getuid());
    }

    // Short, private and removed afterwards: socket paths must stay below 108 bytes.
    QTemporaryDir runtime{QStringLiteral("/tmp/parvela-si-XXXXXX")};
};

TEST_F(SingleInstanceTest, ServerNameHoldsTheTitleAndTheUser) {
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    EXPECT_EQ(TSingleInstance::ServerName(Title), SocketOf(Title));
    EXPECT_EQ(TSingleInstance::ServerName(QStringLiteral("a/b c")),
              SocketOf(QStringLiteral("a_b_c")));
    // Without a runtime directory, a private one in the temporary directory: a socket or a
    // lock planted in a shared directory by another user could keep the program from starting.
    qunsetenv("XDG_RUNTIME_DIR");
    const test::TScopedEnvironment tmp("TMPDIR", runtime.path().toStdString());
    EXPECT_EQ(TSingleInstance::ServerName(Title),
              SocketOf(Title, "/parvela-" + QString::number(::geteuid()) + "/"));
    EXPECT_EQ(QFileInfo(runtime.path() + "/parvela-" + QString::number(::geteuid())).permissions(),
              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                  QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
}

TEST_F(SingleInstanceTest, SecondStartBringsTheFirstToTheFrontAndEndsWithoutWindow) {
    TProbe first(runtime.path(), Title);
    EXPECT_EQ(first.NextLine(), QStringLiteral("ready minimized=0 visible=1 active=0"));

    TProbe second(runtime.path(), Title);
    EXPECT_EQ(second.NextLine(), QStringLiteral("secondary windows=0"));
    EXPECT_EQ(second.ExitCode(), 3);
    EXPECT_EQ(first.NextLine(), QStringLiteral("activated minimized=0 visible=1 active=1"));
    EXPECT_EQ(first.Quit(), 0);
}

TEST_F(SingleInstanceTest, AMinimisedFirstInstanceIsRestored) {
    TProbe first(runtime.path(), Title, true);
    EXPECT_EQ(first.NextLine(), QStringLiteral("ready minimized=1 visible=1 active=0"));

    TProbe second(runtime.path(), Title);
    EXPECT_EQ(second.ExitCode(), 3);
    EXPECT_EQ(first.NextLine(), QStringLiteral("activated minimized=0 visible=1 active=1"));
    EXPECT_EQ(first.Quit(), 0);
}

TEST_F(SingleInstanceTest, AnInstanceWithAnotherTitleDoesNotBlockTheStart) {
    TProbe otherVersion(runtime.path(), QStringLiteral("Parvela_2.4.1_CN"));
    EXPECT_TRUE(otherVersion.NextLine().startsWith(QStringLiteral("ready ")));

    TProbe first(runtime.path(), Title);
    EXPECT_TRUE(first.NextLine().startsWith(QStringLiteral("ready ")));
    EXPECT_EQ(first.Quit(), 0);
    EXPECT_EQ(otherVersion.Quit(), 0);
}

TEST_F(SingleInstanceTest, TheSocketOfACrashedInstanceIsReplaced) {
    {
        TProbe crashed(runtime.path(), Title);
        EXPECT_TRUE(crashed.NextLine().startsWith(QStringLiteral("ready ")));
        crashed.Crash();
    }
    ASSERT_TRUE(QFileInfo::exists(SocketOf(Title))) << "the crash left no socket behind";

    TProbe first(runtime.path(), Title);
    EXPECT_TRUE(first.NextLine().startsWith(QStringLiteral("ready ")));
    // The new socket answers.
    TProbe second(runtime.path(), Title);
    EXPECT_EQ(second.ExitCode(), 3);
    EXPECT_TRUE(first.NextLine().startsWith(QStringLiteral("activated ")));
    EXPECT_EQ(first.Quit(), 0);
}

TEST_F(SingleInstanceTest, AfterTheFirstInstanceEndsTheNextStartIsTheFirst) {
    {
        TProbe ended(runtime.path(), Title);
        EXPECT_TRUE(ended.NextLine().startsWith(QStringLiteral("ready ")));
        EXPECT_EQ(ended.Quit(), 0);
    }
    EXPECT_FALSE(QFileInfo::exists(SocketOf(Title)));
    TProbe next(runtime.path(), Title);
    EXPECT_TRUE(next.NextLine().startsWith(QStringLiteral("ready ")));
    EXPECT_EQ(next.Quit(), 0);
}

TEST_F(SingleInstanceTest, SimultaneousStartsGiveExactlyOneFirstInstance) {
    std::vector<std::unique_ptr<TProbe>> probes;
    for (int i = 0; i < 4; ++i)
        probes.push_back(std::make_unique<TProbe>(runtime.path(), Title));
    int firsts = 0;
    int laterStarts = 0;
    TProbe* firstProbe = nullptr;
    for (auto& probe : probes) {
        const QString line = probe->NextLine();
        if (line.startsWith(QStringLiteral("ready "))) {
            ++firsts;
            firstProbe = probe.get();
        } else if (line == QStringLiteral("secondary windows=0") && probe->ExitCode() == 3) {
            ++laterStarts;
        } else {
            ADD_FAILURE() << "unexpected report: " << line.toStdString();
        }
    }
    EXPECT_EQ(firsts, 1);
    EXPECT_EQ(laterStarts, 3);
    if (firstProbe) {
        EXPECT_EQ(firstProbe->Quit(), 0);
    }
}

} // namespace
} // namespace parvela
