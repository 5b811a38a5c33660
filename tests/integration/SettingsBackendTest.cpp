#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <map>
#include <string>

#include "backends/qt/QtSettingsBackend.h"
#include "core/SettingsStore.h"

namespace squadlink {
namespace {

// Every test gets an empty home of its own; the store must never touch the real one.
class SettingsBackendTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        const QString config = home.path() + QStringLiteral("/.config");
        qputenv("HOME", home.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
        // QSettings reads the variables once per process; point it at this home explicitly
        // in case an earlier test in the same process already used it.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);
    }

    QString storeFile() const {
        return home.path() + QStringLiteral("/.config/Squadlink/Squadlink.conf");
    }

    static QSettings direct() {
        return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Squadlink"),
                         QStringLiteral("Squadlink"));
    }

    QTemporaryDir home;
};

TEST_F(SettingsBackendTest, LivesUnderTheProgramsNameInTheUsersConfig) {
    QtSettingsBackend backend;
    backend.write("Nick", "Orvell");
    backend.flush();
    EXPECT_EQ(backend.fileName(), storeFile());
    EXPECT_TRUE(QFile::exists(storeFile()));
    EXPECT_EQ(direct().value(QStringLiteral("Settings/Nick")).toString(), QStringLiteral("Orvell"));
}

TEST_F(SettingsBackendTest, EveryKeyRoundTripsThroughTheStore) {
    std::map<std::string, std::string> written;
    {
        QtSettingsBackend backend;
        SettingsStore store(backend);
        for (std::size_t i = 0; i < SettingsStore::kKeyCount; ++i) {
            const char* name = SettingsStore::kAllKeys[i];
            EXPECT_FALSE(backend.read(name).has_value()) << name;
            // Something different from the default, so a missed write cannot pass.
            const std::string value = "v" + std::to_string(i) + "-" + name;
            store.writeText(name, value);
            written[name] = value;
        }
    }
    QtSettingsBackend reopened;
    for (const auto& [name, value] : written) {
        EXPECT_EQ(reopened.read(name).value_or("<missing>"), value) << name;
    }
}

TEST_F(SettingsBackendTest, TypedValuesRoundTrip) {
    {
        QtSettingsBackend backend;
        SettingsStore store(backend);
        store.writeBool(key::ClientMode, false);
        store.writeBool(key::ServerMode, true);
        store.writeCheck(key::NotifySound, 0);
        store.writeCheck(key::Autoconnect, 0);
        store.writeCheck(key::NotifyPopup, 1);
        store.writeInt(key::LastTab, 4);
        store.writeInt(key::Brightness, 37);
        store.writeNumber(key::Left, 1234.5);
        store.writeNumber(key::Top, -90);
        store.writeText(key::Home, "www.example.org/squad/");
    }
    QtSettingsBackend backend;
    const SettingsStore store(backend);
    EXPECT_FALSE(store.readBool(key::ClientMode, true));
    EXPECT_TRUE(store.readBool(key::ServerMode, false));
    EXPECT_EQ(store.readCheck(key::NotifySound, 1), 0);
    EXPECT_EQ(store.readCheck(key::Autoconnect, 1), 0);
    EXPECT_EQ(store.readCheck(key::NotifyPopup, 0), 1);
    EXPECT_EQ(store.readInt(key::LastTab, 0), 4);
    EXPECT_EQ(store.readInt(key::Brightness, 100), 37);
    EXPECT_DOUBLE_EQ(store.readNumber(key::Left, 0), 1234.5);
    EXPECT_DOUBLE_EQ(store.readNumber(key::Top, 0), -90);
    EXPECT_EQ(store.readText(key::Home), "www.example.org/squad/");
    EXPECT_EQ(direct().value(QStringLiteral("Settings/ClientMode")).toString(),
              QStringLiteral("False"));
    EXPECT_EQ(direct().value(QStringLiteral("Settings/Left")).toString(), QStringLiteral("1234.5"));
}

// Nicks and paths carry characters the native format treats specially, and Windows-1252
// letters the logic keeps as single bytes.
TEST_F(SettingsBackendTest, AwkwardTextSurvives) {
    const std::string values[] = {
        "[SQD] Orvell, the 1st",
        "@first",
        "a=b;c#d",
        "  blanks around  ",
        "C:\\Games\\Half-Life\\hl.exe",
        "caf\xE9 \x80\x8A\x9F\xFF",
        "",
    };
    for (const std::string& value : values) {
        {
            QtSettingsBackend backend;
            backend.write("Nick", value);
        }
        QtSettingsBackend backend;
        EXPECT_EQ(backend.read("Nick").value_or("<missing>"), value);
    }
    EXPECT_EQ(direct().value(QStringLiteral("Settings/Nick")).toString(), QString());
}

TEST_F(SettingsBackendTest, MissingKeysGiveTheDefaults) {
    QtSettingsBackend backend;
    const SettingsStore store(backend);
    EXPECT_TRUE(store.readBool(key::ClientMode, true));
    EXPECT_FALSE(store.readBool(key::ServerMode, false));
    EXPECT_EQ(store.readCheck(key::Autoconnect, 1), 1);
    EXPECT_EQ(store.readCheck(key::NotifyPopup, 0), 0);
    EXPECT_EQ(store.readText(key::Home, SettingsStore::defaultText(key::Home)),
              "www.squadlink.org/Squadlink");
    EXPECT_FALSE(backend.read("Nick").has_value());
}

TEST_F(SettingsBackendTest, CorruptValuesReadAsDefaults) {
    {
        QSettings settings = direct();
        settings.setValue(QStringLiteral("Settings/NotifySound"), QStringLiteral("banana"));
        settings.setValue(QStringLiteral("Settings/Left"), QStringLiteral("abc"));
        settings.setValue(QStringLiteral("Settings/LastTab"), QStringLiteral("x"));
        settings.setValue(QStringLiteral("Settings/ClientMode"), QStringLiteral("maybe"));
        settings.setValue(QStringLiteral("Settings/Gamma"), 12.5);
        settings.setValue(QStringLiteral("Settings/Contrast"),
                          QStringList{QStringLiteral("1"), QStringLiteral("2")});
    }
    QtSettingsBackend backend;
    const SettingsStore store(backend);
    EXPECT_EQ(store.readCheck(key::NotifySound, 1), 1);
    EXPECT_DOUBLE_EQ(store.readNumber(key::Left, 64), 64);
    EXPECT_EQ(store.readInt(key::LastTab, 0), 0);
    EXPECT_TRUE(store.readBool(key::ClientMode, true));
    // Values stored as other types by hand still read as their text.
    EXPECT_DOUBLE_EQ(store.readNumber(key::Gamma, 100), 12.5);
    EXPECT_EQ(store.readText(key::Contrast), "1,2");
    EXPECT_EQ(store.readInt(key::Contrast, 100), 100);
}

TEST_F(SettingsBackendTest, RemovingReportsWhetherAnythingWasThere) {
    QtSettingsBackend backend;
    EXPECT_FALSE(backend.remove("Temp"));
    EXPECT_FALSE(backend.removeSection());
    backend.write("Temp", "1.2.3.4");
    EXPECT_TRUE(backend.remove("Temp"));
    EXPECT_FALSE(backend.read("Temp").has_value());
    EXPECT_FALSE(backend.remove("Temp"));
}

TEST_F(SettingsBackendTest, RemoveSectionLeavesNothingBehind) {
    {
        QSettings settings = direct();
        settings.setValue(QStringLiteral("Other/Keep"), QStringLiteral("yes"));
    }
    QtSettingsBackend backend;
    SettingsStore store(backend);
    for (std::size_t i = 0; i < SettingsStore::kKeyCount; ++i) {
        store.writeText(SettingsStore::kAllKeys[i], "1");
    }
    EXPECT_TRUE(store.removeSection());
    EXPECT_FALSE(store.removeSection());

    QSettings settings = direct();
    EXPECT_FALSE(settings.childGroups().contains(QStringLiteral("Settings")));
    settings.beginGroup(QStringLiteral("Settings"));
    EXPECT_TRUE(settings.allKeys().isEmpty());
    settings.endGroup();
    EXPECT_EQ(settings.value(QStringLiteral("Other/Keep")).toString(), QStringLiteral("yes"));

    QFile file(storeFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("[Settings]"));
}

// The hand-over of a link: a second copy writes "Temp" and the running copy, which has had
// its store open all along, reads it at once.
TEST_F(SettingsBackendTest, AnotherProcessesWriteIsSeenAtOnce) {
    QtSettingsBackend running;
    running.write("Nick", "Orvell");
    EXPECT_FALSE(running.read("Temp").has_value());

    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        QtSettingsBackend second;
        second.write("Temp", "1.2.3.4:27220");
        // The hand-over flushes before it tells the running copy; _exit skips destructors.
        second.flush();
        _exit(second.read("Temp") == std::optional<std::string>("1.2.3.4:27220") ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);

    EXPECT_EQ(running.read("Temp").value_or("<missing>"), "1.2.3.4:27220");
    EXPECT_TRUE(running.remove("Temp"));
    EXPECT_EQ(running.read("Nick").value_or("<missing>"), "Orvell");

    QtSettingsBackend fresh;
    EXPECT_FALSE(fresh.read("Temp").has_value());

    // With nothing of its own waiting, the running copy still sees a hand edit made behind
    // its back.
    running.flush();
    ASSERT_FALSE(running.pending());
    QFile file(storeFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray text = file.readAll();
    file.close();
    ASSERT_TRUE(text.contains("Nick=Orvell"));
    text.replace("Nick=Orvell", "Nick=Arvellian");
    QFile edited(storeFile());
    ASSERT_TRUE(edited.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(edited.write(text), text.size());
    edited.close();
    EXPECT_EQ(running.read("Nick").value_or("<missing>"), "Arvellian");
}

// Start-up changes several values in a row; they reach the file together once the event loop
// runs, and nothing is lost when the program ends before that.
TEST_F(SettingsBackendTest, ChangesAreGatheredUntilTheLoopRunsAndNeverLost) {
    // Read as bytes: QSettings objects of one process share what they have not written yet.
    const auto onDisk = [this] {
        QFile file(storeFile());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    {
        QtSettingsBackend backend;
        backend.write("Nick", "first");
        backend.write("Server", "1.2.3.4");
        EXPECT_TRUE(backend.pending());
        EXPECT_EQ(backend.read("Nick").value_or("<missing>"), "first");
        EXPECT_TRUE(onDisk().isEmpty());
        QCoreApplication::processEvents();
        EXPECT_FALSE(backend.pending());
        EXPECT_TRUE(onDisk().contains(QStringLiteral("Nick=first")));
        EXPECT_TRUE(onDisk().contains(QStringLiteral("Server=1.2.3.4")));

        backend.write("Nick", "second");
        EXPECT_TRUE(backend.remove("Server"));
        EXPECT_TRUE(onDisk().contains(QStringLiteral("Nick=first")));
    }
    EXPECT_TRUE(onDisk().contains(QStringLiteral("Nick=second")));
    EXPECT_FALSE(onDisk().contains(QStringLiteral("Server")));

    // Held for the first frame: the loop runs and nothing is written until the release, a flush
    // (the hand-over to a running copy) writes at once, and the end writes what is left.
    {
        QtSettingsBackend backend;
        backend.holdWrites();
        backend.write("Nick", "held");
        QCoreApplication::processEvents();
        EXPECT_TRUE(backend.pending());
        EXPECT_TRUE(onDisk().contains(QStringLiteral("Nick=second")));
        backend.releaseWrites();
        QCoreApplication::processEvents();
        EXPECT_FALSE(backend.pending());
        EXPECT_TRUE(onDisk().contains(QStringLiteral("Nick=held")));

        backend.holdWrites();
        backend.write("Nick", "flushed");
        backend.flush();
        EXPECT_TRUE(onDisk().contains(QStringLiteral("Nick=flushed")));
        backend.write("Nick", "at the end");
        QCoreApplication::processEvents();
        EXPECT_TRUE(onDisk().contains(QStringLiteral("Nick=flushed")));
    }
    EXPECT_TRUE(onDisk().contains(QStringLiteral("Nick=at the end")));
}

}  // namespace
}  // namespace squadlink
