#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <map>
#include <string>

#include "backends/linux/XdgUrlSchemeRegistry.h"
#include "shell/ServerLinks.h"
#include "support/FakeServices.h"
#include "support/FakeSocket.h"

namespace squadlink {
namespace {

const char* const kIsolatedVariables[] = {"HOME",
                                          "XDG_DATA_HOME",
                                          "XDG_CONFIG_HOME",
                                          "XDG_DATA_DIRS",
                                          "XDG_CONFIG_DIRS",
                                          "XDG_CURRENT_DESKTOP",
                                          "KDE_FULL_SESSION",
                                          "GNOME_DESKTOP_SESSION_ID",
                                          "DESKTOP_SESSION",
                                          "XDG_SESSION_DESKTOP"};

QString readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

void writeAll(const QString& path, const QString& text) {
    QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

// Runs each test with and without the xdg-mime helper: where it is missing the registry
// writes the user's mimeapps.list itself.
class XdgUrlSchemeTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        for (const char* name : kIsolatedVariables) {
            if (qEnvironmentVariableIsSet(name)) {
                saved[name] = qgetenv(name);
            }
            qunsetenv(name);
        }
        qputenv("HOME", root.path().toLocal8Bit());
        qputenv("XDG_DATA_HOME", (root.path() + "/data").toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (root.path() + "/config").toLocal8Bit());
        qputenv("XDG_DATA_DIRS", (root.path() + "/sysdata").toLocal8Bit());
        qputenv("XDG_CONFIG_DIRS", (root.path() + "/sysconfig").toLocal8Bit());
        const bool withHelper = GetParam();
        if (withHelper && QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty()) {
            GTEST_SKIP() << "xdg-mime is not installed";
        }
        registry = std::make_unique<XdgUrlSchemeRegistry>(
            withHelper ? QStringLiteral("xdg-mime") : root.path() + "/no-such-xdg-mime");
    }

    void TearDown() override {
        for (const char* name : kIsolatedVariables) {
            qunsetenv(name);
        }
        for (const auto& [name, value] : saved) {
            qputenv(name.c_str(), value);
        }
    }

    // Handlers are only honoured when their program exists.
    std::string makeProgram(const QString& relative) const {
        const QString path = root.path() + QLatin1Char('/') + relative;
        writeAll(path, QStringLiteral("#!/bin/sh\nexit 0\n"));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return QFile::encodeName(path).toStdString();
    }

    QString dataDir() const { return root.path() + "/data/applications"; }
    QString mimeApps() const { return root.path() + "/config/mimeapps.list"; }

    QTemporaryDir root;
    std::map<std::string, QByteArray> saved;
    std::unique_ptr<XdgUrlSchemeRegistry> registry;
};

TEST_P(XdgUrlSchemeTest, NothingRegisteredInAnEmptyHome) {
    EXPECT_EQ(registry->currentCommand(), "");
}

TEST_P(XdgUrlSchemeTest, RegistersTheDesktopEntryAsDefaultHandler) {
    const std::string program = makeProgram("opt/squadlink/bin/squadlink");
    registry->registerHandler(program);

    EXPECT_EQ(XdgUrlSchemeRegistry::desktopFilePath(),
              dataDir() + "/squadlink-sqd-handler.desktop");
    const QStringList lines = readAll(dataDir() + "/squadlink-sqd-handler.desktop").split('\n');
    EXPECT_EQ(lines.value(0), QStringLiteral("[Desktop Entry]"));
    EXPECT_TRUE(lines.contains(QString::fromStdString("Exec=" + program + " %u")));
    for (const char* expected :
         {"MimeType=x-scheme-handler/sqd;", "Name=Squadlink", "Icon=squadlink", "Type=Application",
          "Terminal=false", "Categories=Game;Network;"}) {
        EXPECT_TRUE(lines.contains(QString::fromLatin1(expected))) << expected;
    }
    const QString associations = readAll(mimeApps());
    EXPECT_TRUE(associations.contains("[Default Applications]")) << associations.toStdString();
    EXPECT_TRUE(associations.contains("x-scheme-handler/sqd=squadlink-sqd-handler.desktop"))
        << associations.toStdString();

    EXPECT_EQ(registry->currentCommand(), program);
}

TEST_P(XdgUrlSchemeTest, AwkwardPathsComeBackUnchanged) {
    const std::string path =
        makeProgram(QString::fromUtf8("My Games/squad \"link\" $HOME\\x%1/squadlink \xC3\xA9"));
    registry->registerHandler(path);
    EXPECT_EQ(registry->currentCommand(), path);
}

TEST_P(XdgUrlSchemeTest, RelativePathIsNotRegistered) {
    registry->registerHandler("bin/squadlink");
    EXPECT_FALSE(QFile::exists(dataDir() + "/squadlink-sqd-handler.desktop"));
    EXPECT_EQ(registry->currentCommand(), "");
}

TEST_P(XdgUrlSchemeTest, AnotherProgramsHandlerIsReplacedAtStart) {
    const std::string other = makeProgram("other/run");
    const std::string program = makeProgram("opt/squadlink/bin/squadlink");
    const std::string moved = makeProgram("games/squadlink");
    writeAll(dataDir() + "/other.desktop",
             QString::fromStdString("[Desktop Entry]\nType=Application\nName=Other\nExec=\"" +
                                    other + "\" --open %u\nMimeType=x-scheme-handler/sqd;\n"));
    writeAll(mimeApps(), "[Default Applications]\nx-scheme-handler/sqd=other.desktop;\n");
    ASSERT_EQ(registry->currentCommand(), other);

    WindowModel model;
    FormState form;
    FakeSettings backend;
    SettingsStore settings{backend};
    FakeMessageBox box;
    Messages messages{box, form.sAppCaption};
    FakeWindowSystem windows;
    FakePump pump;
    FakeSound sound;
    FakeSocket socket;
    ServerLinks links{{model, form, settings, messages, windows, pump, sound, socket, *registry},
                      nullptr};
    links.RegisterUrlProtocol(program);
    EXPECT_EQ(registry->currentCommand(), program);

    // Moved to another folder: the next start points the handler at the new place.
    links.RegisterUrlProtocol(moved);
    EXPECT_EQ(registry->currentCommand(), moved);
    EXPECT_TRUE(QFile::exists(dataDir() + "/other.desktop"));
}

TEST_P(XdgUrlSchemeTest, TheDesktopsOwnListComesFirst) {
    const std::string other = makeProgram("other/run");
    const std::string program = makeProgram("opt/squadlink/bin/squadlink");
    writeAll(dataDir() + "/other.desktop",
             QString::fromStdString("[Desktop Entry]\nType=Application\nExec=" + other +
                                    " %u\nMimeType=x-scheme-handler/sqd;\n"));
    registry->registerHandler(program);
    ASSERT_EQ(registry->currentCommand(), program);

    writeAll(root.path() + "/config/xfce-mimeapps.list",
             "[Default Applications]\nx-scheme-handler/sqd=other.desktop;\n");
    qputenv("XDG_CURRENT_DESKTOP", "XFCE");
    EXPECT_EQ(registry->currentCommand(), other);
    qputenv("XDG_CURRENT_DESKTOP", "KDE");
    EXPECT_EQ(registry->currentCommand(), program);
}

TEST_P(XdgUrlSchemeTest, KeepsTheUsersOtherAssociations) {
    writeAll(mimeApps(),
             "[Added Associations]\ntext/plain=editor.desktop;\n\n"
             "[Default Applications]\ntext/html=browser.desktop\n");
    const std::string program = makeProgram("opt/squadlink/bin/squadlink");
    registry->registerHandler(program);
    registry->registerHandler(program);

    const QString associations = readAll(mimeApps());
    EXPECT_TRUE(associations.contains("text/plain=editor.desktop;")) << associations.toStdString();
    EXPECT_TRUE(associations.contains("text/html=browser.desktop")) << associations.toStdString();
    EXPECT_EQ(associations.count("x-scheme-handler/sqd="), 1) << associations.toStdString();
    EXPECT_EQ(registry->currentCommand(), program);
}

TEST_P(XdgUrlSchemeTest, UnregisterRemovesOnlyOurs) {
    writeAll(mimeApps(), "[Default Applications]\ntext/html=browser.desktop\n");
    const std::string program = makeProgram("opt/squadlink/bin/squadlink");
    registry->registerHandler(program);
    ASSERT_EQ(registry->currentCommand(), program);

    EXPECT_TRUE(registry->unregisterHandler());
    EXPECT_FALSE(QFile::exists(dataDir() + "/squadlink-sqd-handler.desktop"));
    const QString associations = readAll(mimeApps());
    EXPECT_FALSE(associations.contains("squadlink-sqd-handler.desktop"))
        << associations.toStdString();
    EXPECT_TRUE(associations.contains("text/html=browser.desktop"));
    EXPECT_EQ(registry->currentCommand(), "");

    // Nothing left to remove is not a failure.
    EXPECT_TRUE(registry->unregisterHandler());
}

// `cmake --install --prefix ~/.local` puts the menu launcher "squadlink.desktop" where the
// registration lives; registering and a reset must leave it as installed.
TEST_P(XdgUrlSchemeTest, InstalledLauncherSurvivesRegistrationAndReset) {
    const QString launcher = dataDir() + "/squadlink.desktop";
    const QString installed =
        "[Desktop Entry]\nType=Application\nName=Squadlink\nExec=squadlink "
        "%u\nMimeType=x-scheme-handler/sqd;\nKeywords=clan;\n";
    writeAll(launcher, installed);
    // An older registration that named the launcher itself as the handler.
    writeAll(mimeApps(), "[Default Applications]\nx-scheme-handler/sqd=squadlink.desktop;\n");
    const std::string program = makeProgram("opt/squadlink/bin/squadlink");
    registry->registerHandler(program);
    EXPECT_EQ(readAll(launcher), installed);
    EXPECT_EQ(registry->currentCommand(), program);

    EXPECT_TRUE(registry->unregisterHandler());
    EXPECT_EQ(readAll(launcher), installed);
    EXPECT_FALSE(readAll(mimeApps()).contains("x-scheme-handler/sqd"));
}

INSTANTIATE_TEST_SUITE_P(Helper, XdgUrlSchemeTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& param) {
                             return std::string(param.param ? "WithXdgMime" : "WithoutXdgMime");
                         });

struct ExecCase {
    const char* program;
    const char* exec;
};

TEST(XdgExecLineTest, QuotesAndEscapesAsDesktopEntriesRequire) {
    const ExecCase cases[] = {
        {"/usr/bin/squadlink", "/usr/bin/squadlink %u"},
        {"/opt/My Games/squadlink", "\"/opt/My Games/squadlink\" %u"},
        {"/opt/a\"b/squadlink", "\"/opt/a\\\\\"b/squadlink\" %u"},
        {"/opt/50%/squadlink", "/opt/50%%/squadlink %u"},
        {"/opt/a$b/squadlink", "\"/opt/a\\\\$b/squadlink\" %u"},
    };
    for (const ExecCase& c : cases) {
        const QString exec = XdgUrlSchemeRegistry::execLine(QString::fromUtf8(c.program));
        EXPECT_EQ(exec.toStdString(), c.exec);
        EXPECT_EQ(XdgUrlSchemeRegistry::programOfExec(exec).toStdString(), c.program);
    }
    EXPECT_EQ(XdgUrlSchemeRegistry::programOfExec("  /usr/bin/x --flag %U").toStdString(),
              "/usr/bin/x");
    EXPECT_EQ(XdgUrlSchemeRegistry::programOfExec("").toStdString(), "");
}

}  // namespace
}  // namespace squadlink
