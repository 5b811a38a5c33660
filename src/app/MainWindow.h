#pragma once

#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTextBrowser>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "ModelBinding.h"
#include "QtChatDocument.h"
#include "core/model/WindowModel.h"

namespace squadlink {

class ReflexArea;
class TabStopDelegate;

// The main window: one widget per control model, named as the control, kept in step with the
// model by a ModelBinding. Behaviour stays in the model's handlers; this class only lays the
// controls out and carries the frame (tray icon, closing, hiding into the tray).
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Which tab pages are built with the window. The program builds a page when it is first
    // shown, so that the first frame waits only for the page it shows; the chat page is always
    // built, because start-up writes into the chat view.
    enum class Pages { AllAtOnce, WhenShown };

    explicit MainWindow(WindowModel& model, Pages pages = Pages::AllAtOnce,
                        QWidget* parent = nullptr);
    ~MainWindow() override;

    WindowModel& model() { return m_model; }
    ModelBinding& binding() { return *m_binding; }
    // Every user event (keys, clicks, edits, timer-free window events, tray clicks, closing)
    // runs through this guard.
    void setGuard(ModelBinding::Guard guard);

    // Controls that found no widget of their name (empty when the window is complete).
    const std::vector<std::string>& unboundControls() const { return m_unbound; }
    // Builds and binds the pages not shown yet (tests and tools that look for any widget).
    void buildAllPages();
    bool pageBuilt(int index) const;

    QTextBrowser* chatView() const { return m_chatView; }
    QtChatDocument& chatDocument() { return *m_chatDocument; }
    QMenu* linkMenu() const { return m_linkMenu; }
    QListWidget* roster() const { return m_roster; }
    QMenu* rosterMenu() const { return m_rosterMenu; }
    QMenu* trayMenu() const { return m_trayMenu; }
    // Null until the icon is first shown.
    QSystemTrayIcon* trayIcon() const { return m_tray; }
    static QIcon applicationIcon();
    // The window's icon and the menus' pictures. Each picture is decoded when it is added
    // (the icon has one per size), and the first frame shows none: the program adds them
    // once that frame is on the screen.
    void addPictures();
    // Registers the compiled-in sounds and icons; a static library's resources are not
    // registered by themselves. Safe to call more than once.
    static void loadResources();

    // Closing the window (title-bar button, the tray menu's Close) runs this handler instead of
    // closing at once; the handler ends the program. Without a handler the window just closes.
    void setCloseHandler(std::function<void()> handler) { m_closeHandler = std::move(handler); }
    // A left click on the tray icon runs this handler; by default the window comes back.
    void setTrayClickHandler(std::function<void()> handler) { m_trayClick = std::move(handler); }

    void showTrayIcon();
    void removeTrayIcon();
    // Hides the window into the tray when there is one; otherwise it stays minimised on the
    // taskbar, so that it can always be reached.
    void hideToTray();
    void restoreFromTray();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Builds a tab page into its holder, binds its controls and wires what belongs to it.
    void buildPage(int index);
    QWidget* buildConfigurationTab();
    QWidget* buildFighterTab();
    QWidget* buildConnectionsTab();
    QWidget* buildGameTab();
    QWidget* buildChatTab();
    QWidget* buildToolsTab();
    QWidget* buildMiscTab();
    QWidget* buildPathsFrame(QWidget* page);
    QWidget* buildPlayGameFrame(QWidget* page);
    QWidget* buildColourFrame(QWidget* page);
    QWidget* buildStatusBar();
    void buildMenus();
    void buildTray();
    void layoutRosterCaptions();
    void refreshRosterStops();
    void mirrorFormVisibility();

    static constexpr int kPageCount = 7;
    static constexpr int kChatPage = 4;

    WindowModel& m_model;
    ModelBinding* m_binding = nullptr;
    std::array<QWidget*, kPageCount> m_pageHolders{};
    std::array<bool, kPageCount> m_pageBuilt{};
    std::vector<std::string> m_unbound;
    QTextBrowser* m_chatView = nullptr;
    // Written from the start; shown once the chat page is built.
    std::unique_ptr<QtChatDocument> m_chatDocument = std::make_unique<QtChatDocument>();
    ReflexArea* m_reflexArea = nullptr;
    QMenu* m_linkMenu = nullptr;
    QListWidget* m_roster = nullptr;
    TabStopDelegate* m_rosterDelegate = nullptr;
    QWidget* m_rosterHeader = nullptr;
    QMenu* m_rosterMenu = nullptr;
    QMenu* m_trayMenu = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    std::function<void()> m_closeHandler;
    std::function<void()> m_trayClick;
    bool m_everShown = false;
    bool m_closing = false;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

}  // namespace squadlink
