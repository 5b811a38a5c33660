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
#include <algorithm>
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
        qputenv("XDG_RUNTIME_DIR", m_home.filePath("run").toUtf8());
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
        env.insert("QT_QPA_PLATFORM", m_platform);
        env.insert("LSAN_OPTIONS", "suppressions=" SQUADLINK_LSAN_SUPP);
        if (m_adjustEnvironment) {
            m_adjustEnvironment(env);
        }
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

    // A War Arranger played by the test on 127.0.0.2:27220: takes the copy's join and accepts
    // it. Returns the address the copy sent from (its answers go there).
    QHostAddress acceptJoin(QUdpSocket& arranger) {
        EXPECT_TRUE(waitFor([&] { return arranger.hasPendingDatagrams(); }));
        QByteArray datagram(static_cast<int>(arranger.pendingDatagramSize()), '\0');
        QHostAddress fighter;
        arranger.readDatagram(datagram.data(), datagram.size(), &fighter);
        sendTo(arranger, fighter, "1\0"s);
        return fighter;
    }
    static void sendTo(QUdpSocket& from, const QHostAddress& to, std::string plain) {
        const std::string wire = codec::scramble(plain);
        from.writeDatagram(wire.data(), static_cast<qint64>(wire.size()), to, 27221);
        from.flush();
    }
    static void pause(int ms) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(5);
        }
    }

    QTemporaryDir m_home;
    QString m_platform = "offscreen";
    std::function<void(QProcessEnvironment&)> m_adjustEnvironment;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

// Where a Squadlink in daily use holds the fixed ports, this run on the machine's own ports
// has nothing to test and steps aside.
bool portsBusyOutsideTheTest() {
    if (qEnvironmentVariableIsEmpty("SQUADLINK_TEST_SKIP_WHEN_PORTS_BUSY")) {
        return false;
    }
    QUdpSocket fighterPort;
    QUdpSocket arrangerPort;
    return !fighterPort.bind(QHostAddress::AnyIPv4, 27221) ||
           !arrangerPort.bind(QHostAddress("127.0.0.2"), 27220);
}

TEST_F(ProgramEndToEnd, InvalidLinkEndsAtOnceWithoutAWindow) {
    for (const QString& argument : {QString("sqd://ab/"), QString("\"sqd://a..b/\""),
                                    QString("--help"), QString("1.2.3.4")}) {
        QProcess& copy = start({argument});
        EXPECT_TRUE(finishes(copy)) << argument.toStdString();
    }
    EXPECT_FALSE(QFile::exists(settingsPath()));
    EXPECT_FALSE(channelAnswers());
}

TEST_F(ProgramEndToEnd, QtsOwnOptionsAreInvalidArgumentsToo) {
    for (const QStringList& arguments : {QStringList{"-style", "fusion"}, QStringList{"-reverse"},
                                         QStringList{"-platform", "offscreen"}}) {
        QProcess& copy = start(arguments);
        EXPECT_TRUE(finishes(copy, 5000)) << arguments.join(' ').toStdString();
    }
    EXPECT_FALSE(QFile::exists(settingsPath()));
}

TEST_F(ProgramEndToEnd, SecondCopyHandsItsLinkToTheRunningCopyWhichConnects) {
    if (portsBusyOutsideTheTest()) {
        GTEST_SKIP() << "a Squadlink on this machine holds the fixed ports";
    }
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
    // A helper the copy was starting (the link registration) holds the channel between its
    // fork and its exec, which on a busy machine can take a moment after the copy has died.
    EXPECT_TRUE(waitFor([] { return !channelAnswers(); }, 2000));

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
        // A bound, not a speed: the sanitizer build on a busy machine needs its time.
        20000))
        // The copy says on standard error why a request of its own failed.
        << "requests " << server.requests() << ", the last for " << server.lastPath();
    EXPECT_EQ(storedValue("Home"), "mirror.test/sl");
    ::kill(static_cast<pid_t>(copy.processId()), SIGTERM);
    EXPECT_TRUE(finishes(copy));
}

TEST_F(ProgramEndToEnd, HandOverWithABoxOpenReleasesTheSecondCopyAndSurvivesItsEnd) {
    writeSettings("Nick=Boss\nClientMode=False\nServerMode=True\n");
    QProcess& first = start({});
    ASSERT_TRUE(waitFor(channelAnswers));

    // A War Arranger cannot connect: the running copy answers the link with a box that stays
    // open, since nobody presses OK. The second copy must not wait for it.
    QProcess& second = start({"sqd://127.0.0.2/"});
    EXPECT_TRUE(finishes(second, 10000));
    pause(500);
    EXPECT_EQ(first.state(), QProcess::Running);

    // The running copy still shuts down properly with the box open.
    ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
    EXPECT_TRUE(finishes(first));
    EXPECT_FALSE(storedValue("Left").isEmpty());
    EXPECT_EQ(storedValue("ServerMode"), "True");
}

TEST_F(ProgramEndToEnd, ShutDownWithAQuestionOpenAnswersNoAndDoesNothingAfterwards) {
    QUdpSocket arranger;
    ASSERT_TRUE(arranger.bind(QHostAddress("127.0.0.2"), 27220));
    QUdpSocket movedArranger;
    ASSERT_TRUE(movedArranger.bind(QHostAddress("127.0.0.3"), 27220));
    writeSettings("Nick=Viper\nClientMode=True\nAutoconnect=1\n");
    QProcess& fighter = start({"sqd://127.0.0.2/"});
    const QHostAddress fighterAddress = acceptJoin(arranger);
    pause(500);

    // "The War Arranger moved to 127.0.0.3": the question whether to reconnect stays open.
    sendTo(movedArranger, fighterAddress,
           "D\0"
           "127.0.0.2\0"s);
    pause(1000);
    ASSERT_EQ(fighter.state(), QProcess::Running);

    ::kill(static_cast<pid_t>(fighter.processId()), SIGTERM);
    EXPECT_TRUE(finishes(fighter));
    pause(500);
    // Answering "Yes" would have joined the new address after shut-down: a ghost Fighter.
    EXPECT_FALSE(movedArranger.hasPendingDatagrams());
    EXPECT_EQ(storedValue("Nick"), "Viper");
    EXPECT_FALSE(storedValue("Left").isEmpty());
}

TEST_F(ProgramEndToEnd, WithoutASessionBusStartUpTriesToLaunchOneOnlyOnceOnXvfb) {
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen" || qEnvironmentVariableIsEmpty("DISPLAY")) {
        GTEST_SKIP() << "the accessibility bridge needs a real X server: runs under xvfb-run";
    }
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer's allocator is not fork-safe: the launcher's child, forked "
                    "while other threads allocate, can hang before it runs; the release build "
                    "runs this";
#endif
    if (QFile::exists("/usr/bin/dbus-launch")) {
        GTEST_SKIP() << "libdbus runs an installed dbus-launch by its full path, not the "
                        "recording one on PATH";
    }
    m_platform = "xcb";
    // Without a bus address, libdbus runs dbus-launch to start one. The connection made early
    // at start-up must be the one the accessibility bridge uses later: two attempts would mean
    // two forks on the way to the first frame.
    QDir(m_home.path()).mkpath("bin");
    const QString attempts = m_home.filePath("launch-attempts");
    const QString launcher = m_home.filePath("bin/dbus-launch");
    {
        QFile script(launcher);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(("#!/bin/sh\necho \"$*\" >> '" + attempts + "'\nexit 1\n").toUtf8());
    }
    QFile::setPermissions(launcher, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    m_adjustEnvironment = [this](QProcessEnvironment& env) {
        env.remove("DBUS_SESSION_BUS_ADDRESS");
        env.remove("AT_SPI_BUS_ADDRESS");
        env.insert("PATH", m_home.filePath("bin") + ":" + env.value("PATH"));
    };
    QProcess& copy = start({});
    // Listening on its channel: the window has been built and shown.
    ASSERT_TRUE(waitFor([] { return channelAnswers(); }, 15000));
    pause(300);
    QFile record(attempts);
    ASSERT_TRUE(record.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = record.readAll().split('\n');
    EXPECT_EQ(lines.count() - 1, 1) << "dbus-launch ran " << lines.count() - 1 << " times";
    EXPECT_TRUE(lines.front().contains("--autolaunch")) << lines.front().constData();
    ::kill(static_cast<pid_t>(copy.processId()), SIGTERM);
    EXPECT_TRUE(finishes(copy));
}

TEST_F(ProgramEndToEnd, BoxStormKeepsAtMostOneBoxOpenOnXvfb) {
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen" || qEnvironmentVariableIsEmpty("DISPLAY")) {
        GTEST_SKIP() << "counts real windows: runs under xvfb-run";
    }
    m_platform = "xcb";
    QUdpSocket arranger;
    ASSERT_TRUE(arranger.bind(QHostAddress("127.0.0.2"), 27220));
    writeSettings("Nick=Viper\nClientMode=True\nAutoconnect=1\nNotifyFeedback=1\n");
    QProcess& fighter = start({"sqd://127.0.0.2/"});
    const QHostAddress fighterAddress = acceptJoin(arranger);

    const QString caption = QString::fromStdString(MainForm::appCaption()) + " - ";
    auto openBoxes = [&] {
        QProcess tree;
        tree.start("xwininfo", {"-root", "-tree"});
        tree.waitForFinished(5000);
        return static_cast<int>(
            QString::fromLocal8Bit(tree.readAllStandardOutput()).count(caption));
    };
    // About 40 a second stays under the flood limit; each one asks for a box.
    const std::string storm[] = {"7\0"s, "1\0"s, "8\0"s, "5\0"s};
    int most = 0;
    for (int i = 0; i < 180; ++i) {
        sendTo(arranger, fighterAddress, storm[i % 4]);
        pause(25);
        if (i % 15 == 14) {
            most = std::max(most, openBoxes());
        }
    }
    pause(500);
    most = std::max(most, openBoxes());
    EXPECT_EQ(fighter.state(), QProcess::Running);
    EXPECT_GE(most, 1);
    EXPECT_LE(most, 1);
    ::kill(static_cast<pid_t>(fighter.processId()), SIGTERM);
    EXPECT_TRUE(finishes(fighter));
}

}  // namespace
