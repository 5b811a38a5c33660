#include "MainWindow.h"

#include "TabBarAccessible.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <tuple>

#include "BannerWidget.h"
#include "ChatBrowser.h"
#include "ClockLabel.h"
#include "ProgramStyle.h"
#include "ReflexArea.h"
#include "TabStopDelegate.h"
#include "WindowParts.h"
#include "update/BuiltInBanner.h"

// Outside any namespace, as Q_INIT_RESOURCE requires.
static void initSquadlinkResources() {
    Q_INIT_RESOURCE(squadlink);
}

namespace squadlink {

namespace {

// An empty tab page that asks for its content the first time it is about to be seen.
class PageHolder : public QWidget {
public:
    PageHolder(QWidget* parent, std::function<void()> build)
        : QWidget(parent), m_build(std::move(build)) {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
    }

protected:
    void showEvent(QShowEvent* event) override {
        QWidget::showEvent(event);
        if (m_build) {
            const auto build = std::move(m_build);
            m_build = nullptr;
            build();
        }
    }

private:
    std::function<void()> m_build;
};

}  // namespace

MainWindow::MainWindow(WindowModel& model, Pages pages, QWidget* parent)
    : QMainWindow(parent), m_model(model), m_binding(new ModelBinding(this)) {
    loadResources();
    TabBarAccessible::install();
    setObjectName(QString::fromStdString(model.frmSQD.name()));
    // The window has a fixed size in pixels, so its font is sized in pixels too: the size of
    // the classic 8-point dialog font at 96 dots per inch.
    QFont compact = font();
    compact.setPixelSize(kFontPixels);
    setFont(compact);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 2);
    layout->setSpacing(3);
    auto* strip = new QFrame(central);
    strip->setAutoFillBackground(true);
    QPalette black = strip->palette();
    black.setColor(QPalette::Window, Qt::black);
    strip->setPalette(black);
    auto* stripRow = new QHBoxLayout(strip);
    stripRow->setContentsMargins(0, 0, 0, 0);
    stripRow->addStretch(1);
    auto* banner = named(new BannerWidget(strip), "wb");
    // Every start shows the built-in banner first.
    banner->prepare(builtInBanner());
    stripRow->addWidget(banner);
    stripRow->addStretch(1);
    layout->addWidget(strip);
    auto* tabs = named(new QTabWidget(central), "Tabek");
    tabs->setUsesScrollButtons(false);
    // Seven captions ending in blanks must fit the fixed width without scroll arrows.
    ProgramStyle::makeTabsCompact(tabs->tabBar());
    for (int i = 0; i < kPageCount; ++i) {
        m_pageHolders[i] = new PageHolder(tabs, [this, i] { buildPage(i); });
        tabs->addTab(m_pageHolders[i], QString());
    }
    layout->addWidget(tabs, 1);
    layout->addWidget(buildStatusBar());
    setCentralWidget(central);
    buildMenus();

    m_unbound = m_binding->bindAll(model.controls(), this);
    std::weak_ptr<bool> alive = m_alive;
    model.frmSQD.changed.connect([this, alive] {
        if (!alive.expired()) {
            mirrorFormVisibility();
        }
    });
    if (pages == Pages::AllAtOnce) {
        buildAllPages();
    }
}

bool MainWindow::pageBuilt(int index) const {
    return index >= 0 && index < kPageCount && m_pageBuilt[static_cast<std::size_t>(index)];
}

void MainWindow::buildAllPages() {
    for (int i = 0; i < kPageCount; ++i) {
        buildPage(i);
    }
}

void MainWindow::buildPage(int index) {
    if (index < 0 || index >= kPageCount || m_pageBuilt[static_cast<std::size_t>(index)]) {
        return;
    }
    m_pageBuilt[static_cast<std::size_t>(index)] = true;
    using Builder = QWidget* (MainWindow::*)();
    static constexpr std::array<Builder, kPageCount> builders = {
        &MainWindow::buildConfigurationTab, &MainWindow::buildFighterTab,
        &MainWindow::buildConnectionsTab,   &MainWindow::buildGameTab,
        &MainWindow::buildChatTab,          &MainWindow::buildToolsTab,
        &MainWindow::buildMiscTab};
    QWidget* holder = m_pageHolders[static_cast<std::size_t>(index)];
    QWidget* page = (this->*builders[static_cast<std::size_t>(index)])();
    page->setParent(holder);
    holder->layout()->addWidget(page);

    // Only the controls still waiting for a widget can be on the new page.
    std::vector<Control*> waiting;
    for (Control* control : m_model.controls()) {
        if (std::find(m_unbound.begin(), m_unbound.end(), control->name()) != m_unbound.end()) {
            waiting.push_back(control);
        }
    }
    m_unbound = m_binding->bindAll(waiting, page);

    auto runner = [this](const std::function<void()>& handler) { m_binding->run(handler); };
    std::weak_ptr<bool> alive = m_alive;
    if (page->isAncestorOf(m_chatView)) {
        static_cast<ChatBrowser*>(m_chatView)->attach(m_model.rtb, runner);
    }
    if (page->isAncestorOf(m_reflexArea)) {
        m_reflexArea->attach(m_model.pbReflex, runner);
    }
    if (page->isAncestorOf(m_roster)) {
        refreshRosterStops();
    }
    if (auto* picture = page->findChild<QLabel*>(QStringLiteral("imgServerType"))) {
        const auto show = [picture = QPointer<QLabel>(picture), &model = m_model, alive] {
            if (!alive.expired() && !picture.isNull()) {
                picture->setPixmap(
                    serverTypePixmap(QString::fromStdString(model.imgServerType.caption())));
            }
        };
        m_model.imgServerType.changed.connect(show);
        show();
    }
    if (holder->isVisible()) {
        // Built while being shown: shown and laid out now, with the models' state, before its
        // first paint.
        page->show();
        holder->layout()->activate();
    }
    if (page->isAncestorOf(m_chatView)) {
        // The chat was written before its view existed: a clear waits for the view's height
        // to pad, and the view stands at the last line.
        m_binding->run([&model = m_model] { model.rtb.laidOut(); });
        m_chatDocument->showEnd();
    }
}

MainWindow::~MainWindow() {
    *m_alive = false;
}

void MainWindow::setGuard(ModelBinding::Guard guard) {
    m_binding->setGuard(std::move(guard));
}

void MainWindow::loadResources() {
    static const bool loaded = [] {
        initSquadlinkResources();
        return true;
    }();
    (void)loaded;
}

QIcon MainWindow::applicationIcon() {
    QIcon icon;
    for (const int size : {16, 22, 32, 48, 64, 128, 256}) {
        icon.addPixmap(
            QPixmap::fromImage(ownPicture(QStringLiteral(":/icons/squadlink-%1.png").arg(size))));
    }
    return icon;
}

// ---------------------------------------------------------------------------------------------
// Tabs

QWidget* MainWindow::buildStatusBar() {
    auto* bar = new QWidget;
    bar->setFixedHeight(kStatusHeight);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(3);

    auto* lampPane = sunkenPane(bar);
    lampPane->setFixedWidth(kLampSize + 6);
    auto* on = accessible(named(new QLabel(lampPane), "imgStatusOn"), "Connected");
    auto* off = accessible(named(new QLabel(lampPane), "imgStatusOff"), "Not connected");
    for (const auto& [lamp, colour] :
         {std::pair{on, QColor(40, 200, 40)}, std::pair{off, QColor(150, 150, 150)}}) {
        lamp->setProperty("picture", true);
        lamp->setPixmap(lampPixmap(colour));
        lamp->setFixedSize(kLampSize, kLampSize);
        lampPane->layout()->addWidget(lamp);
    }
    row->addWidget(lampPane);

    // Name and address share the room as the classic panes did; date and time get what
    // "dd.mm.yyyy" and "hh:nn:ss" need.
    const QFontMetrics metrics(font());
    // Room for the text, the pane's frame and margins, and the label's own margin.
    const int dateWidth = metrics.horizontalAdvance(QStringLiteral("00.00.0000")) + 20;
    const int timeWidth = metrics.horizontalAdvance(QStringLiteral("00:00:00")) + 20;
    const std::tuple<const char*, const char*, int, int> panes[] = {
        {"lCompName", "Computer name", 2, 0},
        {"lUserIP", "IP address", 1, 0},
        {"lDate", "Date", 0, dateWidth},
        {"lTime", "Time", 0, timeWidth}};
    for (const auto& [name, caption, stretch, width] : panes) {
        auto* pane = sunkenPane(bar);
        // The clock changes every second: its labels draw from characters laid out once.
        auto* label =
            accessible(named(width > 0 ? new ClockLabel(pane) : new QLabel(pane), name), caption);
        label->setMinimumWidth(10);
        pane->layout()->addWidget(label);
        if (width > 0) {
            pane->setFixedWidth(width);
            // The clock changes every second; a label of fixed size repaints itself without
            // asking the window for a new layout (and, being opaque, without its pane).
            label->setFixedSize(width - 2 * (kPaneFrame + kPaneMargin),
                                kStatusHeight - 2 * kPaneFrame);
        }
        row->addWidget(pane, stretch);
    }
    return bar;
}

// ---------------------------------------------------------------------------------------------
// Menus and tray

void MainWindow::buildMenus() {
    const auto buildMenu = [this](MenuItem& popup) {
        auto* menu = new QMenu(this);
        menu->setObjectName(QString::fromStdString(popup.name()));
        for (MenuItem* child : popup.children()) {
            auto* action = new QAction(menu);
            action->setObjectName(QString::fromStdString(child->name()));
            menu->addAction(action);
        }
        return menu;
    };
    m_rosterMenu = buildMenu(m_model.mKickBan);
    m_trayMenu = buildMenu(m_model.mSysTray);
    m_linkMenu = buildMenu(m_model.mLinkMenu);
    menuBar()->addMenu(buildMenu(m_model.mFile));
    menuBar()->addMenu(buildMenu(m_model.mHelp));
}

void MainWindow::addPictures() {
    setWindowIcon(applicationIcon());
    // The same picture for a command in the menu bar and in the tray menu.
    const std::pair<const char*, int> pictures[] = {
        {"mUpgradeCheck", 201},  {"mSysUpgradeCheck", 201},
        {"mVisitHomepage", 202}, {"mSysVisitHomepage", 202},
        {"mSendMail", 203},      {"mSysSendMail", 203},
        {"mExit", 204},          {"mSysExit", 204},
        {"mHelpContents", 205},  {"mSysHelp", 205},
        {"mAbout", 206},         {"mSysAbout", 206}};
    for (const auto& [name, picture] : pictures) {
        if (auto* action = findChild<QAction*>(QLatin1String(name))) {
            action->setIcon(QIcon(
                QPixmap::fromImage(ownPicture(QStringLiteral(":/menu/%1.png").arg(picture)))));
        }
    }
}

void MainWindow::buildTray() {
    if (m_tray != nullptr) {
        return;
    }
    m_tray = new QSystemTrayIcon(applicationIcon(), this);
    m_tray->setContextMenu(m_trayMenu);
    connect(m_tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason != QSystemTrayIcon::Trigger) {
                    return;
                }
                m_binding->run([this] {
                    if (m_trayClick) {
                        m_trayClick();
                    } else {
                        restoreFromTray();
                    }
                });
            });
}

void MainWindow::showTrayIcon() {
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        buildTray();
        m_tray->show();
    }
}

void MainWindow::removeTrayIcon() {
    if (m_tray != nullptr) {
        m_tray->hide();
    }
}

void MainWindow::hideToTray() {
    if (QSystemTrayIcon::isSystemTrayAvailable() && m_tray != nullptr && m_tray->isVisible()) {
        hide();
    } else if (!isMinimized()) {
        showMinimized();
    }
}

void MainWindow::restoreFromTray() {
    showNormal();
    raise();
    activateWindow();
}

void MainWindow::mirrorFormVisibility() {
    // The behaviour shows the window once start-up is done, and hides it into the tray when
    // it is minimised; its state (normal, minimised) comes through the binding.
    const bool wanted = m_model.frmSQD.visible();
    if (!wanted && isVisible()) {
        hideToTray();
    } else if (wanted && !isVisible() && !m_closing) {
        show();
    }
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    m_everShown = true;
    if (!m_model.frmSQD.visible()) {
        // Shown by the desktop or the window system while the model thought it hidden.
        m_binding->run([this] { m_model.frmSQD.setVisible(true); });
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!m_closeHandler) {
        m_closing = true;
        event->accept();
        return;
    }
    // The handler runs the shut-down and ends the program; the window stays until then.
    event->ignore();
    m_binding->run(m_closeHandler);
}

// ---------------------------------------------------------------------------------------------
// Roster columns

void MainWindow::refreshRosterStops() {
    m_rosterDelegate->setTabStops(m_model.lbFighters.tabStops(), m_roster->fontMetrics(),
                                  m_roster->viewport()->width());
    layoutRosterCaptions();
}

void MainWindow::layoutRosterCaptions() {
    // The captions stand over the columns the list draws at its tab stops.
    const int origin = m_roster->geometry().left() - m_rosterHeader->geometry().left() +
                       m_roster->frameWidth() + TabStopDelegate::kTextMargin;
    const auto& stops = m_rosterDelegate->pixelStops();
    const int height = m_rosterHeader->height();
    const int width = m_rosterHeader->width();
    const int ip = stops.empty() ? width / 2 : stops[0];
    const int ping = stops.size() < 2 ? width * 3 / 4 : stops[1];
    const std::pair<const char*, int> columns[] = {
        {"lNickCaption", 0}, {"lIPCaption", ip}, {"lPingCaption", ping}};
    for (std::size_t i = 0; i < std::size(columns); ++i) {
        auto* label = m_rosterHeader->findChild<QLabel*>(QLatin1String(columns[i].first));
        const int left = origin + columns[i].second;
        const int right = i + 1 < std::size(columns) ? origin + columns[i + 1].second : width;
        label->setGeometry(left, 0, std::max(0, right - left), height);
    }
}

}  // namespace squadlink
