#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextFragment>
#include <QTimer>
#include <QUrl>
#include <memory>
#include <string>
#include <vector>

#include "Program.h"
#include "WindowParts.h"
#include "support/FakeServices.h"
#include "support/FakeShellServices.h"
#include "support/ProgramCopy.h"
#include "support/WaitFor.h"

using namespace squadlink;
using namespace std::string_literals;
using squadlink::test::waitFor;

namespace {

// One copy of the program with its real window and chat view; dialogs, sounds, the settings
// store and the desktop's registration are fakes.
struct ChatCopy : test::ProgramCopy {
    // The chat page is the one shown first unless another is named.
    ChatCopy(const std::string& bindAddress, const std::string& nick, bool arranger,
             const char* firstTab = "4")
        : ProgramCopy(bindAddress) {
        settings.values = {{"Nick", nick},
                           {"ServerMode", arranger ? "True" : "False"},
                           {"ClientMode", arranger ? "False" : "True"},
                           {"LastTab", firstTab}};
        create();
    }
    QTextBrowser* view() { return widget<QTextBrowser>("rtb"); }
    QString lastLine() { return view()->document()->lastBlock().text(); }
    void connectTo(const char* address) {
        auto* box = widget<QLineEdit>("tServer");
        box->setFocus();
        QTest::keyClicks(box, address);
        QTest::mouseClick(widget<QPushButton>("coConnect"), Qt::LeftButton);
    }
};

class ChatWindow : public ::testing::Test {
protected:
    void TearDown() override {
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
    }
};

// The text of every fragment with its format, in document order.
std::vector<QTextFragment> fragments(const QTextDocument& document) {
    std::vector<QTextFragment> out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            out.push_back(it.fragment());
        }
    }
    return out;
}

QPoint pointInside(QTextBrowser& view, const QString& text, int offset) {
    QTextCursor found = view.document()->find(text);
    EXPECT_FALSE(found.isNull()) << text.toStdString();
    QTextCursor at(view.document());
    at.setPosition(found.selectionStart() + offset);
    return view.cursorRect(at).center();
}

void hover(QTextBrowser& view, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, QPointF(at), view.viewport()->mapToGlobal(QPointF(at)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &move);
}

TEST_F(ChatWindow, FighterLineReachesTheArrangerAndTheOtherFighterOverLoopback) {
    ChatCopy arranger("127.0.0.2", "Boss", true);
    ChatCopy viper("127.0.0.11", "Viper", false);
    ChatCopy hawk("127.0.0.12", "Hawk", false);
    ASSERT_TRUE(arranger.program->start({}));
    ASSERT_TRUE(viper.program->start({}));
    ASSERT_TRUE(hawk.program->start({}));
    viper.connectTo("127.0.0.2");
    hawk.connectTo("127.0.0.2");
    auto* roster = arranger.widget<QListWidget>("lbFighters");
    ASSERT_TRUE(waitFor([&] { return roster->count() == 2; }));
    ASSERT_TRUE(waitFor([&] {
        return hawk.program->form().state().sArrangerAddress == "127.0.0.2" &&
               viper.program->form().state().sArrangerAddress == "127.0.0.2";
    }));

    // Connect armed the flood lock that Enter shares.
    ASSERT_TRUE(waitFor([&] { return !viper.program->model().tFlood.running(); }));
    auto* input = viper.widget<QLineEdit>("tChat");
    input->setFocus();
    QTest::keyClicks(input, "hi <b>all</b> :) see http://example.org/x");
    QTest::keyClick(input, Qt::Key_Return);
    EXPECT_EQ(input->text(), "");
    const QString expected = "<Viper> hi <b>all</b> \xEF\xBF\xBC see http://example.org/x ";
    EXPECT_TRUE(viper.lastLine().endsWith(QString::fromUtf8(expected.toUtf8())));
    ASSERT_TRUE(waitFor([&] { return arranger.lastLine().contains("<Viper> hi <b>all</b>"); }));
    ASSERT_TRUE(waitFor([&] { return hawk.lastLine().contains("<Viper> hi <b>all</b>"); }));
    for (ChatCopy* copy : {&arranger, &hawk}) {
        EXPECT_TRUE(copy->lastLine().endsWith(QString::fromUtf8(expected.toUtf8())))
            << copy->lastLine().toStdString();
        int pictures = 0;
        int links = 0;
        for (const QTextFragment& fragment : fragments(*copy->view()->document())) {
            if (fragment.text().contains(QStringLiteral("http://example.org/x"))) {
                EXPECT_TRUE(fragment.charFormat().fontUnderline());
                EXPECT_FALSE(fragment.charFormat().isAnchor());
                ++links;
            }
            if (fragment.charFormat().isImageFormat() &&
                fragment.charFormat().toImageFormat().name() == QStringLiteral("smiley:401")) {
                ++pictures;
            }
        }
        EXPECT_EQ(links, 1);
        // The smiley block of the set-up has one; the line the other.
        EXPECT_EQ(pictures, 2);
    }
    // The War Arranger acknowledged the line, so the Fighter's reply time-out stopped.
    EXPECT_TRUE(waitFor([&] { return !viper.program->model().tTimeout.running(); }));
}

TEST_F(ChatWindow, HoveringAndDoubleClickingALinkOpensItThroughTheDesktop) {
    ChatCopy copy("127.0.0.2", "Boss", true);
    ASSERT_TRUE(copy.program->start({}));
    copy.program->window().show();
    auto& view = *copy.view();
    copy.program->form().chat().view().AddChatMessage(
        "Hawk", "join sqd://10.0.0.2/ or see http://example.org/page now", ChatLineKind::Normal);
    QApplication::processEvents();

    const QPoint onLink = pointInside(view, QStringLiteral("http://example.org/page"), 5);
    hover(view, onLink);
    EXPECT_EQ(copy.program->form().chat().links().sHoverLink(), "http://example.org/page");
    EXPECT_EQ(view.viewport()->cursor().shape(), Qt::BitmapCursor);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, onLink);
    ASSERT_EQ(copy.desktop.urls.size(), 1u);
    EXPECT_EQ(copy.desktop.urls[0], "http://example.org/page");

    const QPoint onWord = pointInside(view, QStringLiteral("now"), 1);
    hover(view, onWord);
    EXPECT_EQ(view.viewport()->cursor().shape(), Qt::ArrowCursor);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, onWord);
    EXPECT_EQ(copy.desktop.urls.size(), 1u);

    // The program's own links go to the desktop too, which hands them back to this copy.
    const QPoint onOwnLink = pointInside(view, QStringLiteral("sqd://10.0.0.2/"), 8);
    hover(view, onOwnLink);
    auto* menu = copy.program->window().findChild<QMenu*>("mLinkMenu");
    ASSERT_NE(menu, nullptr);
    QTest::mouseClick(view.viewport(), Qt::RightButton, {}, onOwnLink);
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
    hover(view, onWord);
    QTest::mouseClick(view.viewport(), Qt::RightButton, {}, onWord);
    EXPECT_FALSE(menu->isVisible());
    hover(view, onOwnLink);
    EXPECT_EQ(view.contextMenuPolicy(), Qt::NoContextMenu);
    auto* open = copy.program->window().findChild<QAction*>("mOpenLink");
    ASSERT_NE(open, nullptr);
    open->trigger();
    ASSERT_EQ(copy.desktop.urls.size(), 2u);
    EXPECT_EQ(copy.desktop.urls[1], "sqd://10.0.0.2/");
    auto* copyLink = copy.program->window().findChild<QAction*>("mCopyLink");
    ASSERT_NE(copyLink, nullptr);
    copyLink->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("sqd://10.0.0.2/"));
}

// The set-up's smiley block names its pictures; each is read from the program when the view
// lays it out, and no other name reads anything.
TEST_F(ChatWindow, SmileyPicturesAreReadFromTheProgramWhenShown) {
    ChatCopy copy("127.0.0.11", "Viper", false);
    ASSERT_TRUE(copy.program->start({}));
    copy.program->window().show();
    QTextDocument& document = *copy.view()->document();
    QStringList names;
    for (const QTextFragment& fragment : fragments(document)) {
        if (fragment.charFormat().isImageFormat()) {
            names.append(fragment.charFormat().toImageFormat().name());
        }
    }
    ASSERT_EQ(names.size(), 12);
    for (const QString& name : names) {
        const QVariant picture = document.resource(QTextDocument::ImageResource, QUrl(name));
        ASSERT_EQ(picture.typeId(), QMetaType::QImage) << name.toStdString();
        EXPECT_EQ(picture.value<QImage>(),
                  ownPicture(QStringLiteral(":/smileys/") + name.mid(7) + ".png"));
    }
    for (const char* other :
         {"smiley:9999", "smiley:401/x", "smiley:-401", "smiley:", "SMILEY:401x", "smiley:0401"}) {
        EXPECT_FALSE(
            document.resource(QTextDocument::ImageResource, QUrl(QString::fromLatin1(other)))
                .isValid())
            << other;
    }
}

// The chat page is built when it is first shown; the chat written before then, from the
// opening block on, looks as it would in a page that was there from the start.
TEST_F(ChatWindow, AChatPageShownLateShowsWhatAPageShownFirstShows) {
    ChatCopy early("127.0.0.11", "Viper", false);
    ChatCopy late("127.0.0.12", "Viper", false, "0");
    for (ChatCopy* copy : {&early, &late}) {
        ASSERT_TRUE(copy->program->start({}));
        copy->program->window().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&copy->program->window()));
    }
    ASSERT_NE(early.view(), nullptr);
    EXPECT_EQ(late.program->window().findChild<QTextBrowser*>(QStringLiteral("rtb")), nullptr);
    // Enough lines that the view scrolls.
    for (int i = 0; i < 60; ++i) {
        for (ChatCopy* copy : {&early, &late}) {
            copy->program->form().chat().view().AddChatMessage("Hawk", "line " + std::to_string(i),
                                                               ChatLineKind::Normal);
        }
    }
    late.program->model().Tabek.setSelectedTab(4);
    QTextBrowser* view = late.view();
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(view->isVisible());

    // The two copies stamp their lines with the wall clock, which may pass a second between
    // them; the stamps are compared for their shape, everything else as it stands.
    const auto unstamped = [](QString text) {
        static const QRegularExpression stamp(QStringLiteral("\\[\\d\\d:\\d\\d:\\d\\d\\]"));
        return text.replace(stamp, QStringLiteral("[hh:mm:ss]"));
    };
    // The same text, padded with the same blank lines at the top, and measured the same.
    EXPECT_EQ(unstamped(view->document()->toPlainText()),
              unstamped(early.view()->document()->toPlainText()));
    EXPECT_EQ(view->document()->blockCount(), early.view()->document()->blockCount());
    // Run by run, in the same colours, weight, underline and pictures.
    const std::vector<QTextFragment> shown = fragments(*view->document());
    const std::vector<QTextFragment> expected = fragments(*early.view()->document());
    ASSERT_EQ(shown.size(), expected.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const QTextCharFormat a = shown[i].charFormat();
        const QTextCharFormat b = expected[i].charFormat();
        EXPECT_EQ(unstamped(shown[i].text()), unstamped(expected[i].text())) << i;
        EXPECT_EQ(a.foreground(), b.foreground()) << i;
        EXPECT_EQ(a.fontWeight(), b.fontWeight()) << i;
        EXPECT_EQ(a.fontUnderline(), b.fontUnderline()) << i;
        EXPECT_EQ(a.isImageFormat(), b.isImageFormat()) << i;
        EXPECT_EQ(a.toImageFormat().name(), b.toImageFormat().name()) << i;
    }
    EXPECT_TRUE(view->document()->firstBlock().text().isEmpty());
    EXPECT_EQ(late.program->form().chat().view().richSize(),
              early.program->form().chat().view().richSize());
    // In the chat's own font, scrolled to the last line.
    EXPECT_EQ(view->document()->defaultFont(), early.view()->document()->defaultFont());
    EXPECT_EQ(view->document()->defaultTextOption().tabStopDistance(), 48);
    const QScrollBar* bar = view->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_TRUE(view->viewport()->rect().contains(
        view->cursorRect(QTextCursor(view->document()->lastBlock())).center()));
    // The opening block's smileys are the program's pictures.
    int pictures = 0;
    for (const QTextFragment& fragment : fragments(*view->document())) {
        if (fragment.charFormat().isImageFormat()) {
            const QString name = fragment.charFormat().toImageFormat().name();
            EXPECT_EQ(view->document()->resource(QTextDocument::ImageResource, QUrl(name)).typeId(),
                      QMetaType::QImage);
            ++pictures;
        }
    }
    EXPECT_EQ(pictures, 12);

    // A clear in the shown view pads by the view's own height and moves nothing.
    QWidget* page = view->parentWidget();
    const QSize pageSize = page->size();
    const QSize viewSize = view->size();
    late.program->form().chat().view().ClearChatView();
    EXPECT_EQ(page->size(), pageSize);
    EXPECT_EQ(view->size(), viewSize);
    QFont bold = view->font();
    bold.setBold(true);
    const int lines = view->viewport()->height() / QFontMetrics(bold).lineSpacing();
    EXPECT_EQ(view->document()->toPlainText(), QString(lines, QLatin1Char('\n')));
}

TEST_F(ChatWindow, SelectionIsCopiedWhenTheButtonIsReleased) {
    ChatCopy copy("127.0.0.2", "Boss", true);
    ASSERT_TRUE(copy.program->start({}));
    copy.program->window().show();
    auto& view = *copy.view();
    copy.program->form().chat().view().AddChatMessage("Hawk", "copy these words",
                                                      ChatLineKind::Normal);
    QApplication::clipboard()->setText(QStringLiteral("before"));
    QTextCursor selection = view.document()->find(QStringLiteral("these words"));
    view.setTextCursor(selection);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("these words"));
    EXPECT_FALSE(view.textCursor().hasSelection());
}

// Received lines are text: whatever markup, control characters or Windows-1252 letters a peer
// sends, the view shows those characters and nothing else.
TEST_F(ChatWindow, HostileReceivedLinesShowExactlyAsSent) {
    ChatCopy copy("127.0.0.11", "Viper", false);
    ASSERT_TRUE(copy.program->start({}));
    auto& view = *copy.view();
    struct Case {
        std::string text;
        QString shown;
    };
    const std::vector<Case> cases = {
        {"<b>x</b>", QStringLiteral("<b>x</b>")},
        {"<img src=\"file:///etc/passwd\">", QStringLiteral("<img src=\"file:///etc/passwd\">")},
        {"&amp; &#65; &nbsp;", QStringLiteral("&amp; &#65; &nbsp;")},
        {"file:///etc/passwd", QStringLiteral("file:///etc/passwd")},
        {"<a href=\"http://evil/\">click</a>",
         QStringLiteral("<a href=\"http://evil/\">click</a>")},
        {"a\x01"
         "b",
         QStringLiteral("a b")},
        {"tab\there\x1b[2J\x7f", QStringLiteral("tab\there [2J\x7f")},
        {"line\r\n[00:00:00] <Boss> forged", QStringLiteral("line  [00:00:00] <Boss> forged")},
        {"\x80 \xe9\xe8 \xff \x9f",
         QString::fromUtf8("\xe2\x82\xac \xc3\xa9\xc3\xa8 \xc3\xbf \xc5\xb8")},
        {std::string(380, 'w'), QString(380, QLatin1Char('w'))},
        {"{\\rtf1\\ansi {\\b bold}}", QStringLiteral("{\\rtf1\\ansi {\\b bold}}")},
    };
    for (const auto& c : cases) {
        const int blocks = view.document()->blockCount();
        copy.program->form().chat().view().ShowReceivedChat("Hawk\0"s + c.text + "\0"s,
                                                            ChatLineKind::Normal);
        EXPECT_EQ(view.document()->blockCount(), blocks + 1) << c.text;
        const QString line = copy.lastLine();
        EXPECT_EQ(line.mid(line.indexOf(QStringLiteral("<Hawk> ")) + 7), c.shown) << c.text;
    }
    for (const QTextFragment& fragment : fragments(*view.document())) {
        EXPECT_FALSE(fragment.charFormat().isAnchor());
        if (fragment.charFormat().isImageFormat()) {
            EXPECT_TRUE(fragment.charFormat().toImageFormat().name().startsWith("smiley:"));
        }
    }
    EXPECT_TRUE(copy.boxes.shown.empty());
}

TEST_F(ChatWindow, RealViewClearsItselfPastTheLimitAndStaysScrolledToTheEnd) {
    ChatCopy copy("127.0.0.11", "Viper", false);
    ASSERT_TRUE(copy.program->start({}));
    copy.program->window().show();
    auto& view = *copy.view();
    auto& chat = copy.program->form().chat().view();
    int lines = 0;
    while (!view.toPlainText().contains(QStringLiteral("Chat screen automatically cleared")) &&
           lines < 2000) {
        chat.ShowReceivedChat("Hawk\0"s + std::string(150, 'x') + " :) ftp://f.org/x\0"s,
                              ChatLineKind::Normal);
        ++lines;
    }
    EXPECT_GT(lines, 50);
    EXPECT_LT(lines, 2000);
    EXPECT_TRUE(view.toPlainText().trimmed().startsWith(QStringLiteral("*")));
    EXPECT_EQ(copy.lastLine(), QStringLiteral("* Chat screen automatically cleared"));
    for (int i = 0; i < 40; ++i) {
        chat.ShowReceivedChat("Hawk\0line "s + std::to_string(i) + "\0"s, ChatLineKind::Normal);
    }
    QApplication::processEvents();
    EXPECT_EQ(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());
    EXPECT_GT(view.verticalScrollBar()->maximum(), 0);
}

TEST_F(ChatWindow, RightClickInTheInputReplacesItWithTheClipboard) {
    ChatCopy copy("127.0.0.2", "Boss", true);
    ASSERT_TRUE(copy.program->start({}));
    copy.program->window().show();
    auto* input = copy.widget<QLineEdit>("tChat");
    input->setFocus();
    QTest::keyClicks(input, "draft");
    QApplication::clipboard()->setText(QString(300, QLatin1Char('c')));
    QTest::mouseClick(input, Qt::RightButton);
    EXPECT_EQ(input->text(), QString(256, QLatin1Char('c')));
    // Tab keeps the focus in the box.
    QTest::keyClick(input, Qt::Key_Tab);
    EXPECT_TRUE(input->hasFocus());
}

TEST_F(ChatWindow, ReflexAreaTakesTheMouse) {
    ChatCopy copy("127.0.0.2", "Boss", true);
    ASSERT_TRUE(copy.program->start({}));
    copy.program->window().show();
    auto* area = copy.widget<QWidget>("pbReflex");
    auto* caption = copy.widget<QLabel>("lReflexTest");
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(caption->text(), "TEST AREA");
    const QColor light = area->palette().color(QPalette::Window);
    QTest::mousePress(area, Qt::LeftButton, {}, caption->geometry().center());
    EXPECT_EQ(caption->text(), "GET READY");
    EXPECT_NE(area->palette().color(QPalette::Window), light);
    QTest::mouseRelease(area, Qt::LeftButton, {}, caption->geometry().center());
    EXPECT_EQ(caption->text(), "TEST AREA");
    EXPECT_TRUE(copy.boxes.anyContains("do not cheat next time"));
}

}  // namespace
