#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMovie>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "BannerWidget.h"
#include "Program.h"
#include "support/FakeServices.h"
#include "support/FakeShellServices.h"
#include "support/LoopbackHttpServer.h"
#include "support/ProgramCopy.h"
#include "support/WaitFor.h"
#include "update/BuiltInBanner.h"

using namespace squadlink;
using squadlink::test::LoopbackHttpServer;
using squadlink::test::waitFor;

namespace {

std::string pngBytes() {
    QImage image(472, 64, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

// One copy of the program whose desktop, dialogs and settings are fakes and whose update
// server is a real one on loopback.
struct UpdateCopy : test::ProgramCopy {
    UpdateCopy() : ProgramCopy("127.0.0.11") {
        options.executablePath = (folder.path() + "/squadlink").toStdString();
        options.updateBaseUrl = server.base();
        options.httpTimeoutMs = 2000;
        create();
    }
    void trigger(const char* action) {
        QAction* found = widget<QAction>(action);
        ASSERT_NE(found, nullptr) << action;
        ASSERT_TRUE(found->isEnabled()) << action;
        found->trigger();
    }

    QTemporaryDir folder;
    LoopbackHttpServer server;
};

class UpdateAndMenus : public ::testing::Test {
protected:
    void TearDown() override {
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
    }
};

// A window whose banner strip counts the pages it could not show.
struct BannerWindow {
    WindowModel model;
    MainWindow window{model};
    BannerWidget* banner = window.findChild<BannerWidget*>(QStringLiteral("wb"));
    int errors = 0;
    BannerWindow() {
        model.wb.NavigateError.connect([this] { ++errors; });
    }
};

TEST_F(UpdateAndMenus, BannerShowsAnimatedGifAndStillPng) {
    WindowModel model;
    MainWindow window(model);
    auto* banner = window.findChild<BannerWidget*>(QStringLiteral("wb"));
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->size(), QSize(472, 64));
    EXPECT_TRUE(window.unboundControls().empty());

    // The window read the built-in banner's first frame while it was built: the frame stands
    // in the strip at once, and the animation starts from it after the first paint.
    QBuffer builtIn;
    builtIn.setData(QByteArray::fromStdString(std::string(builtInBanner())));
    builtIn.open(QIODevice::ReadOnly);
    const QImage firstFrame = QImageReader(&builtIn).read();
    ASSERT_FALSE(firstFrame.isNull());
    model.wb.showPicture("file:///tmp/banner.gif", std::string(builtInBanner()));
    EXPECT_EQ(banner->animation(), nullptr);
    EXPECT_EQ(banner->pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
              firstFrame.convertToFormat(QImage::Format_ARGB32));
    window.show();
    ASSERT_TRUE(waitFor([&] { return banner->animation() != nullptr; }, 2000));
    EXPECT_GT(banner->animation()->frameCount(), 1);
    EXPECT_EQ(banner->animation()->state(), QMovie::Running);
    EXPECT_TRUE(banner->pixmap().isNull());
    window.hide();
    EXPECT_EQ(banner->animation()->state(), QMovie::Paused);

    // Shown again, the picture is read as any other: nobody sees the animation before the
    // window is shown or once it is hidden.
    model.wb.showPicture("file:///tmp/banner.gif", std::string(builtInBanner()));
    ASSERT_NE(banner->animation(), nullptr);
    EXPECT_EQ(banner->animation()->state(), QMovie::Paused);
    window.show();
    EXPECT_EQ(banner->animation()->state(), QMovie::Running);
    EXPECT_EQ(banner->animation()->currentPixmap().size(), QSize(472, 64));

    model.wb.showPicture("http://pics.test/b.png", pngBytes());
    EXPECT_EQ(banner->animation(), nullptr);
    EXPECT_EQ(banner->pixmap().size(), QSize(472, 64));

    int errors = 0;
    model.wb.NavigateError.connect([&] { ++errors; });
    model.wb.showPicture("http://pics.test/c.gif", "this is no picture");
    EXPECT_TRUE(waitFor([&] { return errors == 1; }, 2000));
    EXPECT_TRUE(banner->pixmap().isNull());

    // A picture far larger than the strip (here wider than any screen) is refused like a
    // broken one: its size, not its file, decides how much memory decoding takes.
    QImage wide(5000, 10, QImage::Format_RGB32);
    wide.fill(Qt::red);
    QByteArray hugeBytes;
    QBuffer hugeBuffer(&hugeBytes);
    hugeBuffer.open(QIODevice::WriteOnly);
    wide.save(&hugeBuffer, "PNG");
    model.wb.showPicture("http://pics.test/huge.png", hugeBytes.toStdString());
    EXPECT_TRUE(waitFor([&] { return errors == 2; }, 2000));
    EXPECT_TRUE(banner->pixmap().isNull());

    model.wb.showBlank();
    EXPECT_TRUE(banner->pixmap().isNull());
    EXPECT_EQ(banner->animation(), nullptr);
}

// The built-in banner plays once and then stands on its last frame, so a copy left open all
// evening is not woken to redraw it; showing the window again does not replay it.
TEST_F(UpdateAndMenus, BannerAnimationPlaysOnceAndRests) {
    QBuffer builtIn;
    builtIn.setData(QByteArray::fromStdString(std::string(builtInBanner())));
    builtIn.open(QIODevice::ReadOnly);
    EXPECT_EQ(QImageReader(&builtIn).loopCount(), 0);

    WindowModel model;
    MainWindow window(model);
    auto* banner = window.findChild<BannerWidget*>(QStringLiteral("wb"));
    ASSERT_NE(banner, nullptr);
    // Two frames of 2 x 2 pixels with no loop extension, as the built-in banner is made.
    static const unsigned char twoFrames[] = {
        0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x02, 0x00, 0x02, 0x00, 0xf0, 0x00, 0x00, 0xff, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x21, 0xf9, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00,
        0x00, 0x00, 0x02, 0x00, 0x02, 0x00, 0x00, 0x02, 0x02, 0x84, 0x51, 0x00, 0x21, 0xf9, 0x04,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x02, 0x00, 0x80,
        0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0x02, 0x02, 0x84, 0x51, 0x00, 0x3b};
    model.wb.showPicture("file:///tmp/banner.gif",
                         std::string(reinterpret_cast<const char*>(twoFrames), sizeof twoFrames));
    ASSERT_NE(banner->animation(), nullptr);
    window.show();
    EXPECT_TRUE(waitFor([&] { return banner->animation()->state() == QMovie::NotRunning; }, 2000));
    window.hide();
    window.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(banner->animation()->state(), QMovie::NotRunning);
    EXPECT_FALSE(banner->animation()->currentPixmap().isNull());
}

// Bytes read ahead that turn out still, broken or different from what the model then shows
// are shown as any other picture.
TEST_F(UpdateAndMenus, APreparedBannerThatIsNoAnimationIsShownAsAnyOther) {
    BannerWindow rig;
    auto& [model, window, banner, errors] = rig;
    ASSERT_NE(banner, nullptr);
    model.wb.showBlank();

    const std::string still = pngBytes();
    banner->prepare(still);
    model.wb.showPicture("http://pics.test/b.png", still);
    EXPECT_EQ(banner->animation(), nullptr);
    EXPECT_EQ(banner->pixmap().size(), QSize(472, 64));

    banner->prepare("this is no picture");
    model.wb.showPicture("http://pics.test/c.gif", "this is no picture");
    EXPECT_TRUE(waitFor([&] { return errors == 1; }, 2000));
    EXPECT_TRUE(banner->pixmap().isNull());

    banner->prepare(still);
    model.wb.showPicture("file:///tmp/banner.gif", std::string(builtInBanner()));
    ASSERT_NE(banner->animation(), nullptr);
    EXPECT_EQ(banner->animation()->state(), QMovie::Paused);
    // A widget that goes away while it reads ahead waits for the thread.
    {
        BannerWidget early;
        early.prepare(builtInBanner());
    }
}

// Banners are GIF, PNG or JPEG; another picture format counts as a failed page.
TEST_F(UpdateAndMenus, BannerTakesJpegAndRefusesOtherFormats) {
    BannerWindow rig;
    auto& [model, window, banner, errors] = rig;
    ASSERT_NE(banner, nullptr);
    const auto encoded = [](const char* format) {
        QImage picture(472, 64, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, format);
        return bytes.toStdString();
    };
    model.wb.showPicture("http://pics.test/a.jpg", encoded("JPEG"));
    EXPECT_EQ(banner->pixmap().size(), QSize(472, 64));
    model.wb.showPicture("http://pics.test/b.bmp", encoded("BMP"));
    EXPECT_TRUE(waitFor([&] { return errors == 1; }, 2000));
    EXPECT_TRUE(banner->pixmap().isNull());
}

TEST_F(UpdateAndMenus, ClickOnTheBannerOpensItsLink) {
    UpdateCopy copy;
    const std::string picture = pngBytes();
    copy.server.serve("/Squadlink/banner.txt",
                      {"200 OK", "1\n" + copy.server.base() + "b.png\nhttp://news.test/b.html\n"});
    copy.server.serve("/Squadlink/b.png", {"200 OK", picture});
    copy.server.serve("/Squadlink/test.txt", {"200 OK", "ok"});
    ASSERT_TRUE(copy.program->start({}));
    auto* banner = copy.widget<BannerWidget>("wb");
    // The built-in picture first, written beside the executable: clicking it opens nothing.
    EXPECT_TRUE(waitFor([&] { return banner->animation() != nullptr; }, 2000));
    EXPECT_TRUE(QFile::exists(copy.folder.path() + "/data/banner.gif"));
    QTest::mouseClick(banner, Qt::LeftButton);
    EXPECT_TRUE(copy.desktop.urls.empty());

    copy.program->form().guard().run([&] { copy.program->form().banner().tBanner_Timer(); });
    EXPECT_EQ(banner->pixmap().size(), QSize(472, 64));
    QTest::mouseClick(banner, Qt::RightButton);
    EXPECT_TRUE(copy.desktop.urls.empty());
    QTest::mouseClick(banner, Qt::LeftButton);
    EXPECT_EQ(copy.desktop.urls, (std::vector<std::string>{"http://news.test/b.html"}));
}

TEST_F(UpdateAndMenus, MenuBarAndTrayItemsRunTheirCommands) {
    UpdateCopy copy;
    copy.server.serve("/Squadlink/update.txt", {"200 OK", "www.squadlink.org/Squadlink\n12"});
    ASSERT_TRUE(copy.program->start({}));
    auto& window = copy.program->window();
    // The pictures come once the first frame is on the screen.
    EXPECT_TRUE(waitFor([&] { return !window.windowIcon().isNull(); }, 3000));
    const QList<QAction*> menus = window.menuBar()->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->text(), "&File");
    EXPECT_EQ(menus[1]->text(), "&Help");
    const QStringList trayItems = [&] {
        QStringList texts;
        for (QAction* action : window.trayMenu()->actions()) {
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        return texts;
    }();
    EXPECT_EQ(trayItems,
              (QStringList{"Check for updates", "Go to homepage", "Send e-mail to Orvell", "-",
                           "Help", "-", "About", "-", "Close"}));
    for (const char* name : {"mUpgradeCheck", "mSysUpgradeCheck", "mVisitHomepage",
                             "mSysVisitHomepage", "mSendMail", "mSysSendMail", "mExit", "mSysExit",
                             "mHelpContents", "mSysHelp", "mAbout", "mSysAbout"}) {
        EXPECT_FALSE(copy.widget<QAction>(name)->icon().isNull()) << name;
    }

    for (const char* name : {"mUpgradeCheck", "mSysUpgradeCheck"}) {
        copy.boxes.shown.clear();
        copy.trigger(name);
        ASSERT_EQ(copy.boxes.shown.size(), 1u) << name;
        EXPECT_EQ(copy.boxes.shown[0].text, "This is the latest version of Squadlink   ");
    }
    copy.trigger("mVisitHomepage");
    copy.trigger("mSysVisitHomepage");
    copy.trigger("mSendMail");
    copy.trigger("mSysSendMail");
    EXPECT_EQ(copy.desktop.urls,
              (std::vector<std::string>{
                  "http://www.squadlink.org/Squadlink", "http://www.squadlink.org/Squadlink",
                  "mailto:orvell@squadlink.org?subject=- - - Squadlink - - -",
                  "mailto:orvell@squadlink.org?subject=- - - Squadlink - - -"}));
    copy.trigger("mHelpContents");
    copy.trigger("mSysHelp");
    const std::string help = (copy.folder.path() + "/Help.txt").toStdString();
    EXPECT_EQ(copy.desktop.files, (std::vector<std::string>{help, help}));
    copy.boxes.shown.clear();
    copy.trigger("mAbout");
    copy.trigger("mSysAbout");
    ASSERT_EQ(copy.boxes.shown.size(), 2u);
    EXPECT_EQ(copy.boxes.shown[1].caption, "Squadlink v1.1.0 - About");

    EXPECT_FALSE(copy.program->form().ended());
    copy.trigger("mExit");
    EXPECT_TRUE(copy.program->form().ended());
}

TEST_F(UpdateAndMenus, QuickLinksAndFocusBoxOnTheMiscTab) {
    UpdateCopy copy;
    ASSERT_TRUE(copy.program->start({}));
    auto* irc = copy.widget<QLabel>("lIRCLinks(5)");
    ASSERT_NE(irc, nullptr);
    EXPECT_EQ(irc->text(), "IRC channel #esl.match");
    EXPECT_EQ(irc->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(irc, Qt::LeftButton);
    auto* web = copy.widget<QLabel>("lWWWLink(1)");
    QTest::mouseClick(web, Qt::LeftButton);
    web->setFocus();
    QTest::keyClick(web, Qt::Key_Return);
    EXPECT_EQ(copy.desktop.urls,
              (std::vector<std::string>{"irc:///esl.match", "http://www.eslgaming.com",
                                        "http://www.eslgaming.com"}));

    copy.desktop.succeed = false;
    QTest::mouseClick(irc, Qt::LeftButton);
    ASSERT_EQ(copy.boxes.shown.size(), 1u);
    EXPECT_EQ(copy.boxes.shown[0].text, "Launching default internet relay chat program failed   ");

    auto* focus = copy.widget<QCheckBox>("chFocus");
    ASSERT_NE(focus, nullptr);
    EXPECT_FALSE(focus->isEnabled());
    EXPECT_FALSE(focus->isChecked());
    EXPECT_FALSE(focus->toolTip().isEmpty());
}

}  // namespace
