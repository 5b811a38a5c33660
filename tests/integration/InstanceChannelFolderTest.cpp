#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "backends/qt/QtInstanceChannel.h"

using namespace squadlink;

namespace {

bool privateToUs(const QString& folder) {
    struct stat info {};
    return ::lstat(QFile::encodeName(folder).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

// Another local user who could create the channel first would receive every later start's
// hand-over. The channel lives where only this user can create anything.
class InstanceChannelFolder : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_root.isValid());
        m_savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        m_savedTemp = qgetenv("TMPDIR");
        m_savedHome = qgetenv("HOME");
        QDir(m_root.path()).mkpath("home");
        QDir(m_root.path()).mkpath("tmp");
        qputenv("HOME", m_root.filePath("home").toUtf8());
        qputenv("TMPDIR", m_root.filePath("tmp").toUtf8());
    }
    void TearDown() override {
        qputenv("XDG_RUNTIME_DIR", m_savedRuntime);
        qputenv("TMPDIR", m_savedTemp);
        qputenv("HOME", m_savedHome);
    }
    QString folderOfChannel() const {
        const QString name = QtInstanceChannel::channelName("Squadlink v1.1.0");
        return name.left(name.lastIndexOf('/'));
    }
    QTemporaryDir m_root;
    QByteArray m_savedRuntime, m_savedTemp, m_savedHome;
};

TEST_F(InstanceChannelFolder, IsTheSessionsRuntimeFolder) {
    const QString runtime = m_root.filePath("run");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    EXPECT_EQ(folderOfChannel(), runtime);
}

TEST_F(InstanceChannelFolder, FallsBackToAPrivateFolderWhenTheRuntimeFolderIsMissingOrOpen) {
    qunsetenv("XDG_RUNTIME_DIR");
    const QString missing = folderOfChannel();
    EXPECT_TRUE(privateToUs(missing)) << missing.toStdString();

    const QString open = m_root.filePath("open");
    QDir().mkpath(open);
    ::chmod(QFile::encodeName(open).constData(), 0777);
    qputenv("XDG_RUNTIME_DIR", open.toUtf8());
    EXPECT_NE(folderOfChannel(), open);
    EXPECT_TRUE(privateToUs(folderOfChannel()));
}

TEST_F(InstanceChannelFolder, AFolderTakenByAnotherUserIsNotUsed) {
    if (::getuid() != 0) {
        GTEST_SKIP() << "needs to hand a folder to another user";
    }
    qunsetenv("XDG_RUNTIME_DIR");
    // Somebody else made the temporary fallback first.
    const QString taken = m_root.filePath("tmp/squadlink-runtime-0");
    QDir().mkpath(taken);
    ASSERT_EQ(::chown(QFile::encodeName(taken).constData(), 65534, 65534), 0);
    const QString used = folderOfChannel();
    EXPECT_NE(used, taken);
    EXPECT_TRUE(privateToUs(used)) << used.toStdString();
    EXPECT_TRUE(used.startsWith(m_root.filePath("home")));
}

}  // namespace
