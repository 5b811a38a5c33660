#include "MainWindow.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <tuple>

#include "Captions.h"
#include "TabStopDelegate.h"

// Outside any namespace, as Q_INIT_RESOURCE requires.
static void initSquadlinkResources() {
    Q_INIT_RESOURCE(squadlink);
}

namespace squadlink {

namespace {

constexpr int kLampSize = 13;
constexpr int kFontPixels = 11;
constexpr int kStatusHeight = 18;

// Calls back when the watched widget is resized.
class ResizeWatch : public QObject {
public:
    ResizeWatch(QObject* watched, std::function<void()> onResize)
        : QObject(watched), m_onResize(std::move(onResize)) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        (void)watched;
        if (event->type() == QEvent::Resize) {
            m_onResize();
        }
        return false;
    }

private:
    std::function<void()> m_onResize;
};

template <typename Widget>
Widget* named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* fixedLabel(const char* text, QWidget* parent) {
    return new QLabel(QString::fromLatin1(text), parent);
}

QLabel* valueLabel(const char* name, QWidget* parent) {
    auto* label = named(new QLabel(parent), name);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    label->setMinimumWidth(60);
    return label;
}

QLabel* notBuiltYet(const char* what, QWidget* parent) {
    auto* label = new QLabel(QString::fromLatin1(what), parent);
    label->setWordWrap(true);
    label->setEnabled(false);
    return label;
}

// A hint label with its button at the end of the row.
QHBoxLayout* buttonRow(const char* label, const char* button, QWidget* parent) {
    auto* row = new QHBoxLayout;
    row->addWidget(named(new QLabel(parent), label), 1);
    row->addWidget(named(new QPushButton(parent), button));
    return row;
}

QPixmap lampPixmap(const QColor& colour) {
    QPixmap pixmap(kLampSize, kLampSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour.darker(170), 1));
    QRadialGradient gradient(QPointF(4.5, 4.5), 8);
    gradient.setColorAt(0, colour.lighter(160));
    gradient.setColorAt(1, colour);
    painter.setBrush(gradient);
    painter.drawEllipse(QRectF(0.5, 0.5, kLampSize - 1.0, kLampSize - 1.0));
    return pixmap;
}

QFrame* sunkenPane(QWidget* parent) {
    auto* pane = new QFrame(parent);
    pane->setFrameShape(QFrame::Panel);
    pane->setFrameShadow(QFrame::Sunken);
    pane->setLineWidth(1);
    auto* layout = new QHBoxLayout(pane);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(0);
    return pane;
}

}  // namespace

MainWindow::MainWindow(WindowModel& model, QWidget* parent)
    : QMainWindow(parent), m_model(model), m_binding(new ModelBinding(this)) {
    loadResources();
    setObjectName(QString::fromStdString(model.frmSQD.name()));
    // The window has a fixed size in pixels, so its font is sized in pixels too: the size of
    // the classic 8-point dialog font at 96 dots per inch.
    QFont compact = font();
    compact.setPixelSize(kFontPixels);
    setFont(compact);
    setWindowIcon(applicationIcon());
    applyCaptions(model);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 2);
    layout->setSpacing(3);
    auto* tabs = named(new QTabWidget(central), "Tabek");
    tabs->setUsesScrollButtons(false);
    // Seven captions ending in blanks must fit the fixed width without scroll arrows.
    tabs->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 4px; }"));
    tabs->addTab(buildConfigurationTab(), QString());
    tabs->addTab(buildFighterTab(), QString());
    tabs->addTab(buildConnectionsTab(), QString());
    tabs->addTab(buildGameTab(), QString());
    tabs->addTab(buildChatTab(), QString());
    tabs->addTab(buildToolsTab(), QString());
    tabs->addTab(buildMiscTab(), QString());
    layout->addWidget(tabs, 1);
    layout->addWidget(buildStatusBar());
    setCentralWidget(central);
    buildMenus();
    buildTray();

    m_unbound = m_binding->bindAll(model.controls(), this);

    std::weak_ptr<bool> alive = m_alive;
    model.frmSQD.changed.connect([this, alive] {
        if (!alive.expired()) {
            mirrorFormVisibility();
        }
    });
    refreshRosterStops();
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
        icon.addFile(QStringLiteral(":/icons/squadlink-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

// ---------------------------------------------------------------------------------------------
// Tabs

QWidget* MainWindow::buildConfigurationTab() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* settings = named(new QGroupBox(page), "fSettings");
    auto* grid = new QGridLayout(settings);
    grid->addWidget(named(new QLabel(settings), "lNick"), 0, 0);
    auto* nick = named(new QLineEdit(settings), "tNick");
    nick->setFixedWidth(180);
    grid->addWidget(nick, 0, 1, Qt::AlignLeft);

    auto* modes = new QButtonGroup(settings);
    auto* server = named(new QRadioButton(settings), "oServer");
    auto* client = named(new QRadioButton(settings), "oClient");
    modes->addButton(server);
    modes->addButton(client);
    grid->addWidget(server, 1, 0, 1, 2);
    grid->addWidget(client, 2, 0, 1, 2);

    auto* notify = new QHBoxLayout;
    notify->addWidget(named(new QCheckBox(settings), "chSound"));
    notify->addWidget(named(new QCheckBox(settings), "chPop"));
    notify->addWidget(named(new QCheckBox(settings), "chFeedback"));
    notify->addStretch(1);
    grid->addLayout(notify, 3, 0, 1, 2);
    auto* autoConnect = named(new QCheckBox(settings), "chAutoConnect");
    autoConnect->setProperty("wrapWidth", 400);
    grid->addWidget(autoConnect, 4, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    layout->addWidget(settings);

    layout->addWidget(buildPathsFrame(page));

    auto* firewall = named(new QLabel(page), "lFirewall");
    firewall->setWordWrap(true);
    layout->addWidget(firewall);
    layout->addStretch(1);
    return page;
}

QWidget* MainWindow::buildFighterTab() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* connect = named(new QGroupBox(page), "fClientConnect");
    auto* row = new QHBoxLayout(connect);
    row->addWidget(fixedLabel("Address:", connect));
    row->addWidget(named(new QLineEdit(connect), "tServer"), 1);
    row->addWidget(named(new QPushButton(connect), "coConnect"));
    layout->addWidget(connect);

    auto* received = new QGroupBox(QStringLiteral("Received game info"), page);
    auto* grid = new QGridLayout(received);
    grid->addWidget(fixedLabel("Next game is played on:", received), 0, 0);
    grid->addWidget(valueLabel("lServer", received), 0, 1);
    grid->addWidget(fixedLabel("Game server password:", received), 1, 0);
    grid->addWidget(valueLabel("lPassword", received), 1, 1);
    grid->addWidget(fixedLabel("Game server protection:", received), 2, 0);
    grid->addWidget(valueLabel("lProtection", received), 2, 1);
    grid->addWidget(fixedLabel("Your ping to game server:", received), 3, 0);
    grid->addWidget(valueLabel("lClientPing", received), 3, 1);
    grid->setColumnStretch(1, 1);
    layout->addWidget(received);
    layout->addWidget(notBuiltYet("Ping, Report and Play are not built yet.", page));
    layout->addLayout(buttonRow("lPlay", "coPlay", page));
    layout->addStretch(1);
    return page;
}

QWidget* MainWindow::buildConnectionsTab() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* info = named(new QGroupBox(page), "fServerInfo");
    auto* infoRow = new QHBoxLayout(info);
    infoRow->addWidget(fixedLabel("Your IP address:", info));
    infoRow->addWidget(valueLabel("lWAAddress", info), 1);
    infoRow->addWidget(named(new QPushButton(info), "coRefresh"));
    layout->addWidget(info);

    auto* clients = named(new QGroupBox(page), "fConnectedClients");
    auto* clientsLayout = new QVBoxLayout(clients);
    clientsLayout->setSpacing(2);
    m_rosterHeader = new QWidget(clients);
    m_rosterHeader->setFixedHeight(fontMetrics().height() + 2);
    named(new QLabel(m_rosterHeader), "lNickCaption");
    named(new QLabel(m_rosterHeader), "lIPCaption");
    named(new QLabel(m_rosterHeader), "lPingCaption");
    new ResizeWatch(m_rosterHeader, [this] { layoutRosterCaptions(); });
    clientsLayout->addWidget(m_rosterHeader);

    m_roster = named(new QListWidget(clients), "lbFighters");
    m_rosterDelegate = new TabStopDelegate(m_roster);
    m_roster->setItemDelegate(m_rosterDelegate);
    m_roster->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Ten entries, the most the roster holds, fit without scrolling.
    m_roster->setFixedHeight(10 * m_roster->fontMetrics().height() + 2 * m_roster->frameWidth());
    connect(m_rosterDelegate, &TabStopDelegate::tabStopsChanged, this, [this] {
        layoutRosterCaptions();
        m_roster->viewport()->update();
    });
    new ResizeWatch(m_roster->viewport(), [this] { refreshRosterStops(); });
    clientsLayout->addWidget(m_roster);

    auto* actions = new QHBoxLayout;
    auto* hint = named(new QLabel(clients), "lKickBanHint");
    actions->addWidget(hint, 1);
    actions->addWidget(named(new QPushButton(clients), "coKick"));
    actions->addWidget(named(new QPushButton(clients), "coBan"));
    clientsLayout->addLayout(actions);
    layout->addWidget(clients);
    layout->addStretch(1);
    return page;
}

QWidget* MainWindow::buildGameTab() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* game = named(new QGroupBox(page), "fMakeGame");
    auto* grid = new QGridLayout(game);
    grid->addWidget(fixedLabel("Game server address:", game), 0, 0);
    grid->addWidget(named(new QLineEdit(game), "tGame"), 0, 1);
    grid->addWidget(fixedLabel("Game server password:", game), 1, 0);
    grid->addWidget(named(new QLineEdit(game), "tPassword"), 1, 1);
    grid->addWidget(fixedLabel("Game server name:", game), 2, 0);
    grid->addWidget(valueLabel("lGameName", game), 2, 1);
    grid->addWidget(fixedLabel("Game server protection:", game), 3, 0);
    grid->addWidget(valueLabel("lGameSecure", game), 3, 1);
    grid->addWidget(fixedLabel("Your ping to game server:", game), 4, 0);
    grid->addWidget(valueLabel("lServerPing", game), 4, 1);
    grid->addWidget(fixedLabel("Map (players / slots):", game), 5, 0);
    grid->addWidget(valueLabel("lMapPlayers", game), 5, 1);
    grid->addWidget(fixedLabel("Game server type:", game), 6, 0);
    auto* type = new QHBoxLayout;
    type->addWidget(valueLabel("lServerType", game), 1);
    type->addWidget(valueLabel("imgServerType", game));
    grid->addLayout(type, 6, 1);
    auto* send = new QHBoxLayout;
    send->addWidget(notBuiltYet("Scan is not built yet.", game), 1);
    send->addWidget(named(new QPushButton(game), "coSendInfo"));
    grid->addLayout(send, 7, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    layout->addWidget(game);
    layout->addWidget(buildPlayGameFrame(page));
    layout->addStretch(1);
    return page;
}

QWidget* MainWindow::buildChatTab() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    m_chatView = named(new QTextBrowser(page), "rtb");
    // Links are the program's to handle, not the browser's.
    m_chatView->setOpenLinks(false);
    m_chatView->setOpenExternalLinks(false);
    m_chatView->setReadOnly(true);
    layout->addWidget(m_chatView, 1);
    layout->addWidget(named(new QLineEdit(page), "tChat"));
    return page;
}

QWidget* MainWindow::buildToolsTab() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(notBuiltYet("The reflex tester is not built yet.", page));
    layout->addWidget(buildColourFrame(page));
    layout->addStretch(1);
    return page;
}

QWidget* MainWindow::buildPathsFrame(QWidget* page) {
    auto* paths = named(new QGroupBox(page), "fPaths");
    auto* grid = new QGridLayout(paths);
    grid->addWidget(named(new QLabel(paths), "lHL"), 0, 0);
    grid->addWidget(named(new QPushButton(paths), "coSearchHL"), 0, 1);
    auto* browseHL = named(new QPushButton(paths), "coHL");
    browseHL->setAccessibleName(QStringLiteral("Browse to Half-Life executable"));
    grid->addWidget(browseHL, 0, 2);
    auto* pathHL = valueLabel("lPathHL", paths);
    pathHL->setAccessibleName(QStringLiteral("Half-Life executable"));
    grid->addWidget(pathHL, 1, 0, 1, 3);
    grid->addWidget(named(new QLabel(paths), "lCD"), 2, 0);
    auto* browseCD = named(new QPushButton(paths), "coCD");
    browseCD->setAccessibleName(QStringLiteral("Browse to Cheating-Death executable"));
    grid->addWidget(browseCD, 2, 2);
    auto* pathCD = valueLabel("lPathCD", paths);
    pathCD->setAccessibleName(QStringLiteral("Cheating-Death executable"));
    grid->addWidget(pathCD, 3, 0, 1, 3);
    grid->setColumnStretch(0, 1);
    return paths;
}

QWidget* MainWindow::buildPlayGameFrame(QWidget* page) {
    auto* play = named(new QGroupBox(page), "fPlayGame");
    auto* layout = new QVBoxLayout(play);
    layout->addLayout(buttonRow("lWAPlayGame", "coWAPlayGame", play));
    auto* note = named(new QLabel(play), "lNoteCD");
    note->setWordWrap(true);
    layout->addWidget(note);
    return play;
}

QWidget* MainWindow::buildColourFrame(QWidget* page) {
    auto* colour = named(new QGroupBox(page), "fCM");
    auto* grid = new QGridLayout(colour);
    grid->addWidget(named(new QLabel(colour), "lCM"), 0, 0, 1, 2);
    grid->addWidget(named(new QPushButton(colour), "coTurn"), 0, 2, 1, 2);
    const std::tuple<const char*, const char*, const char*, const char*> sliders[] = {
        {"lBrightness", "hsBrightness", "lBValue", "Brightness"},
        {"lContrast", "hsContrast", "lCValue", "Contrast"},
        {"lGamma", "hsGamma", "lGValue", "Gamma"}};
    int row = 1;
    for (const auto& [caption, slider, value, name] : sliders) {
        grid->addWidget(named(new QLabel(colour), caption), row, 0);
        auto* bar = named(new QScrollBar(Qt::Horizontal, colour), slider);
        bar->setSingleStep(1);
        bar->setAccessibleName(QString::fromLatin1(name));
        grid->addWidget(bar, row, 1);
        auto* shown = valueLabel(value, colour);
        shown->setMinimumWidth(40);
        shown->setAccessibleName(QStringLiteral("%1 value").arg(QLatin1String(name)));
        grid->addWidget(shown, row, 2);
        ++row;
    }
    // The hot-key hints beside the gamma slider.
    auto* hints = new QHBoxLayout;
    hints->setSpacing(2);
    for (const auto& [hint, accessible] : {std::pair{"pbGamaUp", "Gamma up hot key"},
                                           std::pair{"pbGamaDown", "Gamma down hot key"}}) {
        auto* picture = named(new QLabel(colour), hint);
        picture->setFixedSize(14, 14);
        picture->setAlignment(Qt::AlignCenter);
        picture->setAccessibleName(QString::fromLatin1(accessible));
        hints->addWidget(picture);
    }
    grid->addLayout(hints, row - 1, 3);
    grid->addWidget(named(new QCheckBox(colour), "chAutoCM"), row++, 0, 1, 4);
    grid->addWidget(named(new QLabel(colour), "lResetCM"), row, 0, 1, 2);
    grid->addWidget(named(new QPushButton(colour), "coResetCM"), row++, 2, 1, 2);
    auto* note = named(new QLabel(colour), "lNoteCM");
    note->setWordWrap(true);
    grid->addWidget(note, row, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    return colour;
}

QWidget* MainWindow::buildMiscTab() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(notBuiltYet("Quick links and the focus setting are not built yet.", page));
    auto* reset = named(new QGroupBox(page), "fReset");
    auto* row = new QHBoxLayout(reset);
    auto* label = named(new QLabel(reset), "lReset");
    label->setWordWrap(true);
    row->addWidget(label, 1);
    row->addWidget(named(new QPushButton(reset), "coDelete"));
    layout->addWidget(reset);
    layout->addStretch(1);
    return page;
}

QWidget* MainWindow::buildStatusBar() {
    auto* bar = new QWidget;
    bar->setFixedHeight(kStatusHeight);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(3);

    auto* lampPane = sunkenPane(bar);
    lampPane->setFixedWidth(kLampSize + 6);
    auto* on = named(new QLabel(lampPane), "imgStatusOn");
    auto* off = named(new QLabel(lampPane), "imgStatusOff");
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
    const std::tuple<const char*, int, int> panes[] = {
        {"lCompName", 2, 0}, {"lUserIP", 1, 0}, {"lDate", 0, dateWidth}, {"lTime", 0, timeWidth}};
    for (const auto& [name, stretch, width] : panes) {
        auto* pane = sunkenPane(bar);
        auto* label = named(new QLabel(pane), name);
        label->setMinimumWidth(10);
        pane->layout()->addWidget(label);
        if (width > 0) {
            pane->setFixedWidth(width);
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
}

void MainWindow::buildTray() {
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
        m_tray->show();
    }
}

void MainWindow::removeTrayIcon() {
    m_tray->hide();
}

void MainWindow::hideToTray() {
    if (QSystemTrayIcon::isSystemTrayAvailable() && m_tray->isVisible()) {
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
