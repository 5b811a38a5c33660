#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <QUdpSocket>
#include <functional>
#include <memory>

#include "backends/qt/QtInstanceChannel.h"
#include "link/Codec.h"
#include "shell/MainForm.h"
#include "support/LoopbackHttpServer.h"
#include "support/WaitFor.h"

using namespace squadlink;
using squadlink::test::waitFor;
using namespace std::string_literals;

namespace {

// The real executable, started with a home, configuration and temporary folder of its own so
// that it neither sees nor disturbs the user's copy.
class ProgramEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_home.isValid());
        for (const char* sub : {"config", "data", "tmp", "run"}) {
            QDir(m_home.path()).mkpath(sub);
        }
        QFile::setPermissions(m_home.filePath("run"), QFileDevice::ReadOwner |
                                                          QFileDevice::WriteOwner |
                                                          QFileDevice::ExeOwner);
        // The channel name is derived from the caption; the test reaches it through the same
        // temporary folder as the copies.
        qputenv("TMPDIR", m_home.filePath("tmp").toUtf8());
    }
    void TearDown() override {
        for (auto& process : m_processes) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
    }

    QString settingsPath() const { return m_home.filePath("config/Squadlink/Squadlink.conf"); }
    void writeSettings(const QString& text) {
        QDir(m_home.path()).mkpath("config/Squadlink");
        QFile file(settingsPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(("[Settings]\n" + text).toUtf8());
    }
    QString storedValue(const QString& key) const {
        QSettings settings(settingsPath(), QSettings::IniFormat);
        return settings.value("Settings/" + key).toString();
    }

    QProcess& start(const QStringList& arguments) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", m_home.path());
        env.insert("XDG_CONFIG_HOME", m_home.filePath("config"));
        env.insert("XDG_DATA_HOME", m_home.filePath("data"));
        env.insert("XDG_RUNTIME_DIR", m_home.filePath("run"));
        env.insert("TMPDIR", m_home.filePath("tmp"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("LSAN_OPTIONS", "suppressions=" SQUADLINK_LSAN_SUPP);
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(SQUADLINK_EXE, arguments);
        EXPECT_TRUE(process->waitForStarted(10000));
        m_processes.push_back(std::move(process));
        return *m_processes.back();
    }

    static bool channelAnswers() {
        QLocalSocket probe;
        probe.connectToServer(QtInstanceChannel::channelName(MainForm::appCaption()));
        const bool connected = probe.waitForConnected(500);
        probe.abort();
        return connected;
    }

    static bool finishes(QProcess& process, int timeoutMs = 15000) {
        return waitFor([&] { return process.state() == QProcess::NotRunning; }, timeoutMs) &&
               process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }

    QTemporaryDir m_home;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

TEST_F(ProgramEndToEnd, InvalidLinkEndsAtOnceWithoutAWindow) {
    for (const QString& argument : {QString("sqd://ab/"), QString("\"sqd://a..b/\""),
                                    QString("--help"), QString("1.2.3.4")}) {
        QProcess& copy = start({argument});
        EXPECT_TRUE(finishes(copy)) << argument.toStdString();
    }
    EXPECT_FALSE(QFile::exists(settingsPath()));
    EXPECT_FALSE(channelAnswers());
}

TEST_F(ProgramEndToEnd, SecondCopyHandsItsLinkToTheRunningCopyWhichConnects) {
    QUdpSocket arranger;
    ASSERT_TRUE(arranger.bind(QHostAddress("127.0.0.2"), 27220));
    writeSettings("Nick=Viper\nClientMode=True\nAutoconnect=1\n");
    QProcess& first = start({});
    ASSERT_TRUE(waitFor(channelAnswers));

    QProcess& second = start({"sqd://127.0.0.2/"});
    EXPECT_TRUE(finishes(second));

    ASSERT_TRUE(waitFor([&] { return arranger.hasPendingDatagrams(); }));
    QByteArray datagram(static_cast<int>(arranger.pendingDatagramSize()), '\0');
    arranger.readDatagram(datagram.data(), datagram.size());
    std::string join = datagram.toStdString();
    codec::unscramble(join);
    EXPECT_EQ(join, "1\0Viper\0"s);

    // The desktop session ending runs the same shut-down as closing the window.
    ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
    EXPECT_TRUE(finishes(first));
    EXPECT_EQ(storedValue("Server"), "127.0.0.2");
    EXPECT_EQ(storedValue("Nick"), "Viper");
    EXPECT_FALSE(storedValue("Left").isEmpty());
    EXPECT_TRUE(storedValue("Temp").isEmpty());
}

TEST_F(ProgramEndToEnd, SecondCopyWithoutArgumentsEndsAndLeavesTheFirstRunning) {
    QProcess& first = start({});
    ASSERT_TRUE(waitFor(channelAnswers));
    QProcess& second = start({});
    EXPECT_TRUE(finishes(second));
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_TRUE(channelAnswers());
}

TEST_F(ProgramEndToEnd, ChannelLeftByAKilledCopyDoesNotBlockTheNextStart) {
    QProcess& crashed = start({});
    ASSERT_TRUE(waitFor(channelAnswers));
    crashed.kill();
    ASSERT_TRUE(crashed.waitForFinished(5000));
    EXPECT_FALSE(channelAnswers());

    QProcess& next = start({});
    ASSERT_TRUE(waitFor(channelAnswers));
    QThread::msleep(300);
    EXPECT_EQ(next.state(), QProcess::Running);
}

TEST_F(ProgramEndToEnd, MonthlyCheckAsksTheUpdateServerNamedInTheEnvironment) {
    test::LoopbackHttpServer server;
    ASSERT_TRUE(server.listening());
    server.serve("/Squadlink/update.txt", {"200 OK", "mirror.test/sl\n12"});
    qputenv("SQUADLINK_UPDATE_URL", QByteArray::fromStdString(server.base()));
    QProcess& copy = start({});
    qunsetenv("SQUADLINK_UPDATE_URL");
    // Five seconds after start-up, as nothing was checked this month yet.
    ASSERT_TRUE(waitFor([&] { return server.requests() >= 1; }, 20000));
    EXPECT_EQ(server.lastUserAgent(), "Squadlink v1.1.0");
    EXPECT_TRUE(waitFor(
        [&] { return storedValue("MonthCheck") == QString::number(QDate::currentDate().month()); },
        5000));
    EXPECT_EQ(storedValue("Home"), "mirror.test/sl");
    ::kill(static_cast<pid_t>(copy.processId()), SIGTERM);
    EXPECT_TRUE(finishes(copy));
}

}  // namespace
