#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "MainWindow.h"
#include "core/model/WindowModel.h"

namespace squadlink {
namespace {

// The window as assistive technology (screen readers, voice control) sees it through Qt's
// accessibility interface, the source of what the desktop's AT-SPI bus reports.
class Accessibility : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<MainWindow>(model);
        window->setGuard([](const std::function<void()>& handler) { handler(); });
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    QAccessibleInterface* of(const char* name) {
        QObject* object = window->findChild<QObject*>(QLatin1String(name));
        EXPECT_NE(object, nullptr) << name;
        return object == nullptr ? nullptr : QAccessible::queryAccessibleInterface(object);
    }
    WindowModel model;
    std::unique_ptr<MainWindow> window;
};

TEST_F(Accessibility, ValueLabelsAreNamedAfterTheirCaptionAndReportTheirValue) {
    const std::pair<const char*, const char*> labels[] = {
        {"lServer", "Next game is played on"},
        {"lPassword", "Game server password"},
        {"lProtection", "Game server protection"},
        {"lClientPing", "Your ping to game server"},
        {"lWAAddress", "Your IP address"},
        {"lGameName", "Game server name"},
        {"lGameSecure", "Game server protection"},
        {"lServerPing", "Your ping to game server"},
        {"lMapPlayers", "Map (players / slots)"},
        {"lServerType", "Game server type"},
        {"lCompName", "Computer name"},
        {"lUserIP", "IP address"},
        {"lDate", "Date"},
        {"lTime", "Time"},
    };
    model.lGameName.setCaption("Clan War Server");
    QApplication::processEvents();
    for (const auto& [name, caption] : labels) {
        QAccessibleInterface* label = of(name);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(QAccessible::Name).toStdString(), caption) << name;
        const std::string value = std::string(name) == "lGameName" ? "Clan War Server" : "";
        // An empty label reports nothing, never the title of the frame around it.
        EXPECT_EQ(label->text(QAccessible::Description).toStdString(), value) << name;
    }
}

TEST_F(Accessibility, TextSetThroughAccessibilityActsAsTyped) {
    model.tNick.setMaxLength(23);
    std::vector<int> keys;
    model.tNick.KeyPress.connect([&keys](int& key) {
        keys.push_back(key);
        // As the nick box refuses blanks.
        if (key == ' ') {
            key = 0;
        }
    });
    int changes = 0;
    model.tNick.Change.connect([&changes] { ++changes; });
    QAccessibleInterface* box = of("tNick");
    ASSERT_NE(box, nullptr);
    ASSERT_NE(box->editableTextInterface(), nullptr);
    box->editableTextInterface()->replaceText(0, 0, QStringLiteral("Vi per"));
    QTest::qWait(50);
    EXPECT_EQ(model.tNick.text(), "Viper");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(keys.size(), 6u);
    EXPECT_EQ(window->findChild<QLineEdit*>("tNick")->text(), QStringLiteral("Viper"));
    // Set whole, as a voice-control "type" does.
    box->setText(QAccessible::Value, QStringLiteral("Rogue"));
    QTest::qWait(50);
    EXPECT_EQ(model.tNick.text(), "Rogue");
}

TEST_F(Accessibility, TabsReportSelectionAndEnabledState) {
    model.Tabek.setTabEnabled(tab::Game, false);
    model.Tabek.setSelectedTab(tab::Fighter);
    QApplication::processEvents();
    auto* bar = window->findChild<QTabWidget*>("Tabek")->tabBar();
    QAccessibleInterface* tabs = QAccessible::queryAccessibleInterface(bar);
    ASSERT_NE(tabs, nullptr);
    ASSERT_GE(tabs->childCount(), bar->count());
    for (int i = 0; i < bar->count(); ++i) {
        const QAccessible::State state = tabs->child(i)->state();
        EXPECT_EQ(static_cast<bool>(state.selected), i == tab::Fighter) << i;
        EXPECT_EQ(static_cast<bool>(state.disabled), i == tab::Game) << i;
    }
}

}  // namespace
}  // namespace squadlink
