#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "Program.h"
#include "support/FakeFileDialog.h"
#include "support/FakeServices.h"
#include "support/FakeShellServices.h"
#include "support/ProgramCopy.h"
#include "support/WaitFor.h"

using namespace squadlink;
using squadlink::test::waitFor;

namespace {

// A stand-in for Steam on the search path: started without arguments it stays running (the
// Steam client), started with "-applaunch" it writes its arguments one a line and ends.
class StandInSteam {
public:
    StandInSteam() {
        const QString script = m_folder.path() + QStringLiteral("/steam");
        QFile file(script);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(
            "#!/bin/sh\n"
            "if [ \"$1\" = -applaunch ]; then\n"
            "  printf '%s\\n' \"$@\" > \"$(dirname \"$0\")/args.part\"\n"
            "  printf '%s\\n' \"$PWD\" >> \"$(dirname \"$0\")/args.part\"\n"
            "  mv \"$(dirname \"$0\")/args.part\" \"$(dirname \"$0\")/args\"\n"
            "  exit 0\n"
            "fi\n"
            "while :; do sleep 1; done\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_oldPath = qgetenv("PATH");
        qputenv("PATH", m_folder.path().toUtf8() + ":" + m_oldPath);
        QDir(m_folder.path()).mkpath(QStringLiteral("Half-Life"));
    }
    ~StandInSteam() {
        if (m_client.state() != QProcess::NotRunning) {
            m_client.kill();
            m_client.waitForFinished(5000);
        }
        qputenv("PATH", m_oldPath);
    }
    // The Steam client, running as a process named "steam".
    void startClient() {
        m_client.start(m_folder.path() + QStringLiteral("/steam"), {});
        ASSERT_TRUE(m_client.waitForStarted(5000));
        // The shell names the process after the script once it runs it.
        ASSERT_TRUE(waitFor([this] {
            QFile comm(QStringLiteral("/proc/%1/comm").arg(m_client.processId()));
            return comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "steam";
        }));
    }
    std::string hlPath() const { return (m_folder.path() + "/Half-Life/hl_linux").toStdString(); }
    // The arguments of the launch, and last the folder it was started in.
    QStringList launched() const {
        QFile file(m_folder.path() + QStringLiteral("/args"));
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        lines.removeLast();
        return lines;
    }
    void forget() { QFile::remove(m_folder.path() + QStringLiteral("/args")); }
    QString folder() const { return m_folder.path(); }

private:
    QTemporaryDir m_folder;
    QByteArray m_oldPath;
    QProcess m_client;
};

struct Copy : test::ProgramCopy {
    Copy() : ProgramCopy("127.0.0.11") {
        options.fileDialog = &files;
        options.homeFolder = "/nonexistent";
        // Play starts the stand-in steam through the real desktop backend.
        options.desktop = nullptr;
        create();
    }
    ~Copy() {
        program->form().close();
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
    }
    void receive(const std::string& address, const std::string& password) {
        auto& ui = program->model();
        ui.lServer.setCaption(address);
        ui.lPassword.setCaption(password);
        ui.lProtection.setCaption("Valve Anti-Cheat (VAC)");
    }

    FakeFileDialog files;
};

}  // namespace

TEST(GameLaunchWindow, PlayStartsSteamWithTheServerAndLeavesTheConsoleCommand) {
    StandInSteam steam;
    Copy copy;
    copy.settings.values["HLPath"] = steam.hlPath();
    ASSERT_TRUE(copy.program->start({}));
    auto* play = copy.widget<QAbstractButton>("coPlay");
    ASSERT_NE(play, nullptr);
    EXPECT_EQ(play->text(), "Play");

    copy.receive("10.0.0.7:27016", "war night");
    steam.startClient();
    QTest::mouseClick(play, Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return !steam.launched().isEmpty(); }));
    EXPECT_EQ(steam.launched(),
              (QStringList{"-applaunch", "10", "+password", "war night", "+connect",
                           "10.0.0.7:27016", steam.folder() + "/Half-Life"}));
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              "password \"war night\"; connect 10.0.0.7:27016");
    EXPECT_EQ(copy.program->model().frmSQD.windowState(), WindowState::Minimized);

    // Without a password the switch still comes, with an empty value.
    steam.forget();
    copy.program->window().showNormal();
    copy.receive("cs.example.org", "");
    QTest::mouseClick(play, Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return !steam.launched().isEmpty(); }));
    EXPECT_EQ(steam.launched(), (QStringList{"-applaunch", "10", "+password", "", "+connect",
                                             "cs.example.org", steam.folder() + "/Half-Life"}));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "connect cs.example.org");

    // Received text that would smuggle switches in never reaches Steam nor the clipboard.
    steam.forget();
    copy.receive("cs.example.org", "x\" +exec evil.cfg");
    QTest::mouseClick(play, Qt::LeftButton);
    QTest::qWait(300);
    EXPECT_TRUE(steam.launched().isEmpty());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "connect cs.example.org");
}

TEST(GameLaunchWindow, PathsFrameShowsWhatBrowseChose) {
    Copy copy;
    copy.settings.values["CDPath"] = "/wine/drive_c/C-D/cdeath.exe";
    ASSERT_TRUE(copy.program->start({}));
    EXPECT_EQ(copy.widget<QGroupBox>("fPaths")->title(), "Paths");
    EXPECT_EQ(copy.widget<QLabel>("lPathCD")->text(), "/wine/drive_c/C-D/cdeath.exe");
    copy.files.answers = {"/srv/steam/steamapps/common/Half-Life/hl_linux"};
    QTest::mouseClick(copy.widget<QAbstractButton>("coHL"), Qt::LeftButton);
    EXPECT_EQ(copy.widget<QLabel>("lPathHL")->text(),
              "/srv/steam/steamapps/common/Half-Life/hl_linux");
    EXPECT_EQ(copy.settings.values["HLPath"], "/srv/steam/steamapps/common/Half-Life/hl_linux");
    EXPECT_EQ(copy.widget<QAbstractButton>("coHL")->accessibleName(),
              "Browse to Half-Life executable");
}

TEST(GameLaunchWindow, ColourManagerWithoutADisplayRampIsDisabled) {
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        GTEST_SKIP() << "an X server may have a ramp";
    }
    Copy copy;
    copy.settings.values["Gamma"] = "350";
    ASSERT_TRUE(copy.program->start({}));
    auto* frame = copy.widget<QGroupBox>("fCM");
    // The display's ramp is asked for once the first frame is on the screen.
    ASSERT_TRUE(waitFor([&] { return copy.program->form().colour().displayAttached(); }));
    EXPECT_EQ(frame->title(), "Color manager (not supported by your display adapter)");
    EXPECT_FALSE(frame->isEnabled());
    EXPECT_EQ(copy.widget<QScrollBar>("hsGamma")->value(), 350);
    EXPECT_EQ(copy.widget<QLabel>("lGValue")->text(), "3.50");
    EXPECT_TRUE(copy.widget<QLabel>("pbGamaUp")->toolTip().contains("'CTRL + SHIFT + Numpad+'"));
    EXPECT_EQ(copy.widget<QScrollBar>("hsGamma")->accessibleName(), "Gamma");
    copy.program->form().close();
    EXPECT_EQ(copy.settings.values["Gamma"], "350");
}
