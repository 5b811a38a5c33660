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
#include <tuple>

#include "BannerWidget.h"
#include "ChatBrowser.h"
#include "ReflexArea.h"
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
constexpr int kPaneFrame = 1;
constexpr int kPaneMargin = 2;

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

// Calls back when Enter or Space is pressed on the watched widget.
class KeyActivation : public QObject {
public:
    KeyActivation(QObject* watched, std::function<void()> onActivate)
        : QObject(watched), m_onActivate(std::move(onActivate)) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        (void)watched;
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Space) {
            return false;
        }
        m_onActivate();
        return true;
    }

private:
    std::function<void()> m_onActivate;
};

template <typename Widget>
Widget* named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* fixedLabel(const char* text, QWidget* parent) {
    return new QLabel(QString::fromLatin1(text), parent);
}

// A label showing a value; assistive technology names it after the caption beside it and
// reads the value as its description.
QLabel* valueLabel(const char* name, QWidget* parent, const char* caption) {
    auto* label = named(new QLabel(parent), name);
    label->setAccessibleName(QString::fromLatin1(caption));
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    label->setMinimumWidth(60);
    return label;
}

template <typename Widget>
Widget* accessible(Widget* widget, const char* name) {
    widget->setAccessibleName(QString::fromLatin1(name));
    return widget;
}

// A button with the hint that stands beside it; the hint also describes the button to
// assistive tools.
void addButtonRow(QGridLayout* grid, int row, QPushButton* button, const char* hint,
                  QWidget* parent) {
    button->setAccessibleDescription(QString::fromLatin1(hint));
    grid->addWidget(button, row, 0);
    auto* label = new QLabel(QString::fromLatin1(hint), parent);
    label->setWordWrap(true);
    label->setBuddy(button);
    grid->addWidget(label, row, 1, 1, grid->columnCount() > 2 ? grid->columnCount() - 1 : 1);
}

// The 16 x 16 system pictures beside the server type: bitmap 101 Linux, 102 Windows.
QPixmap serverTypePixmap(const QString& resource) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    if (resource == QLatin1String("101")) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(30, 30, 30));
        painter.drawEllipse(QRectF(3, 1, 10, 13));
        painter.setBrush(Qt::white);
        painter.drawEllipse(QRectF(5, 5, 6, 8));
        painter.setBrush(QColor(240, 180, 20));
        painter.drawEllipse(QRectF(2, 12, 5, 3));
        painter.drawEllipse(QRectF(9, 12, 5, 3));
        painter.drawEllipse(QRectF(7, 4, 2, 2));
    } else if (resource == QLatin1String("102")) {
        painter.fillRect(QRect(1, 1, 6, 6), QColor(240, 80, 30));
        painter.fillRect(QRect(9, 1, 6, 6), QColor(120, 190, 30));
        painter.fillRect(QRect(1, 9, 6, 6), QColor(0, 160, 240));
        painter.fillRect(QRect(9, 9, 6, 6), QColor(255, 190, 0));
    } else {
        return {};
    }
    return pixmap;
}

// A hint label with its button at the end of the row.
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
    pane->setLineWidth(kPaneFrame);
    auto* layout = new QHBoxLayout(pane);
    layout->setContentsMargins(kPaneMargin, 0, kPaneMargin, 0);
    layout->setSpacing(0);
    return pane;
}

// Keeps Tab and Shift+Tab inside the chat input box.
class KeepTabFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        (void)watched;
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            return key == Qt::Key_Tab || key == Qt::Key_Backtab;
        }
        return false;
    }
};

}  // namespace

MainWindow::MainWindow(WindowModel& model, QWidget* parent)
    : QMainWindow(parent), m_model(model), m_binding(new ModelBinding(this)) {
    loadResources();
    TabBarAccessible::install();
    setObjectName(QString::fromStdString(model.frmSQD.name()));
    // The window has a fixed size in pixels, so its font is sized in pixels too: the size of
    // the classic 8-point dialog font at 96 dots per inch.
    QFont compact = font();
    compact.setPixelSize(kFontPixels);
    setFont(compact);
    setWindowIcon(applicationIcon());

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
    stripRow->addWidget(named(new BannerWidget(strip), "wb"));
    stripRow->addStretch(1);
    layout->addWidget(strip);
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
    auto runner = [this](const std::function<void()>& handler) { m_binding->run(handler); };
    static_cast<ChatBrowser*>(m_chatView)->attach(model.rtb, runner);
    m_reflexArea->attach(model.pbReflex, runner);

    std::weak_ptr<bool> alive = m_alive;
    model.frmSQD.changed.connect([this, alive] {
        if (!alive.expired()) {
            mirrorFormVisibility();
        }
    });
    refreshRosterStops();
    if (auto* picture = findChild<QLabel*>(QStringLiteral("imgServerType"))) {
        model.imgServerType.changed.connect([picture = QPointer<QLabel>(picture), &model, alive] {
            if (!alive.expired() && !picture.isNull()) {
                picture->setPixmap(
                    serverTypePixmap(QString::fromStdString(model.imgServerType.caption())));
            }
        });
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
    auto* connectGrid = new QGridLayout(connect);
    auto* addressRow = new QHBoxLayout;
    addressRow->addWidget(fixedLabel("Address:", connect));
    addressRow->addWidget(accessible(named(new QLineEdit(connect), "tServer"), "Address"), 1);
    addressRow->addWidget(accessible(named(new QPushButton(connect), "coConnect"), "Connect"));
    connectGrid->addLayout(addressRow, 0, 0, 1, 2);
    addButtonRow(connectGrid, 1,
                 accessible(named(new QPushButton(connect), "coPasteAddress"), "Paste"),
                 "Click to paste War Arranger address from Windows Clipboard", connect);
    connectGrid->setColumnStretch(1, 1);
    layout->addWidget(connect);

    auto* received = new QGroupBox(QStringLiteral("Received game info"), page);
    auto* grid = new QGridLayout(received);
    grid->addWidget(fixedLabel("Next game is played on:", received), 0, 0);
    grid->addWidget(valueLabel("lServer", received, "Next game is played on"), 0, 1);
    grid->addWidget(fixedLabel("Game server password:", received), 1, 0);
    grid->addWidget(valueLabel("lPassword", received, "Game server password"), 1, 1);
    grid->addWidget(fixedLabel("Game server protection:", received), 2, 0);
    grid->addWidget(valueLabel("lProtection", received, "Game server protection"), 2, 1);
    grid->addWidget(fixedLabel("Your ping to game server:", received), 3, 0);
    grid->addWidget(valueLabel("lClientPing", received, "Your ping to game server"), 3, 1);
    grid->setColumnStretch(1, 1);
    layout->addWidget(received);

    auto* actions = new QGroupBox(QStringLiteral("Game server"), page);
    auto* actionGrid = new QGridLayout(actions);
    addButtonRow(actionGrid, 0, accessible(named(new QPushButton(actions), "coPingGame"), "Ping"),
                 "Click to ping received game server", actions);
    addButtonRow(actionGrid, 1, accessible(named(new QPushButton(actions), "coSendPing"), "Report"),
                 "Click to report your game ping to War Arranger", actions);
    addButtonRow(actionGrid, 2,
                 accessible(named(new QPushButton(actions), "coCopyCommand(0)"), "Copy"),
                 "Click to copy Counter-Strike console command to Windows Clipboard", actions);
    actionGrid->addWidget(named(new QPushButton(actions), "coPlay"), 3, 0);
    auto* playHint = named(new QLabel(actions), "lPlay");
    playHint->setWordWrap(true);
    actionGrid->addWidget(playHint, 3, 1);
    actionGrid->setColumnStretch(1, 1);
    layout->addWidget(actions);
    layout->addStretch(1);
    return page;
}

QWidget* MainWindow::buildConnectionsTab() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* info = named(new QGroupBox(page), "fServerInfo");
    auto* infoRow = new QHBoxLayout;
    infoRow->addWidget(fixedLabel("Your IP address:", info));
    infoRow->addWidget(valueLabel("lWAAddress", info, "Your IP address"), 1);
    infoRow->addWidget(named(new QPushButton(info), "coRefresh"));
    auto* infoGrid = new QGridLayout;
    addButtonRow(infoGrid, 0, accessible(named(new QPushButton(info), "coCopyWAIP"), "Copy"),
                 "Click to copy your IP address to Windows Clipboard", info);
    addButtonRow(infoGrid, 1, accessible(named(new QPushButton(info), "coWALink"), "Copy link"),
                 "Click to copy your SQD link (sqd://) to Windows Clipboard", info);
    infoGrid->setColumnStretch(1, 1);
    auto* infoColumn = new QVBoxLayout(info);
    infoColumn->addLayout(infoRow);
    infoColumn->addLayout(infoGrid);
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
    auto* address = new QHBoxLayout;
    address->addWidget(accessible(named(new QLineEdit(game), "tGame"), "Game server address"), 1);
    auto* paste = accessible(named(new QPushButton(game), "coPasteGame"), "Paste");
    paste->setAccessibleDescription(
        QStringLiteral("Click to paste game server address from Windows Clipboard"));
    paste->setToolTip(paste->accessibleDescription());
    address->addWidget(paste);
    grid->addLayout(address, 0, 1);
    grid->addWidget(fixedLabel("Game server password:", game), 1, 0);
    grid->addWidget(accessible(named(new QLineEdit(game), "tPassword"), "Game server password"), 1,
                    1);
    auto* scanRow = new QHBoxLayout;
    auto* scan = accessible(named(new QPushButton(game), "coScan"), "Scan");
    scan->setAccessibleDescription(QStringLiteral("Click to scan game server"));
    scanRow->addWidget(scan);
    scanRow->addWidget(fixedLabel("Click to scan game server", game), 1);
    grid->addLayout(scanRow, 2, 0, 1, 2);
    const std::pair<const char*, const char*> details[] = {
        {"lGameName", "Game server name"},
        {"lGameSecure", "Game server protection"},
        {"lServerPing", "Your ping to game server"},
        {"lMapPlayers", "Map (players / slots)"},
    };
    int row = 3;
    for (const auto& [name, caption] : details) {
        grid->addWidget(new QLabel(QString::fromLatin1(caption) + QLatin1Char(':'), game), row, 0);
        grid->addWidget(valueLabel(name, game, caption), row, 1);
        ++row;
    }
    grid->addWidget(fixedLabel("Game server type:", game), row, 0);
    auto* type = new QHBoxLayout;
    auto* picture = valueLabel("imgServerType", game, "Game server system");
    picture->setProperty("picture", true);
    picture->setFixedSize(16, 16);
    type->addWidget(picture);
    type->addWidget(valueLabel("lServerType", game, "Game server type"), 1);
    grid->addLayout(type, row, 1);
    ++row;
    auto* send = new QHBoxLayout;
    send->addStretch(1);
    send->addWidget(accessible(named(new QPushButton(game), "coSendInfo"), "Send"));
    grid->addLayout(send, row, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    layout->addWidget(game);
    layout->addWidget(buildPlayGameFrame(page));
    layout->addStretch(1);
    return page;
}

QWidget* MainWindow::buildChatTab() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setSpacing(2);
    auto* view = named(new ChatBrowser(page), "rtb");
    m_chatView = view;
    QFont chatFont(QStringLiteral("Courier New"));
    chatFont.setStyleHint(QFont::TypeWriter);
    chatFont.setPointSize(9);
    chatFont.setBold(true);
    view->setFont(chatFont);
    QPalette chatColours = view->palette();
    chatColours.setColor(QPalette::Base, Qt::black);
    chatColours.setColor(QPalette::Text, QColor(224, 224, 224));
    view->setPalette(chatColours);
    view->setAccessibleName(QStringLiteral("Chat"));
    // Tab stops every half inch, as the help and smiley blocks are laid out for.
    view->setTabStopDistance(48);
    m_chatDocument = std::make_unique<QtChatDocument>(*view);
    layout->addWidget(view, 1);
    auto* input = named(new QLineEdit(page), "tChat");
    input->setFont(chatFont);
    input->setPalette(chatColours);
    input->setAccessibleName(QStringLiteral("Chat message"));
    // Tab and Shift+Tab stay in the input box.
    input->installEventFilter(new KeepTabFilter(input));
    layout->addWidget(input);
    auto* smileys = named(new QGroupBox(page), "fSmiley");
    auto* row = new QHBoxLayout(smileys);
    row->setContentsMargins(6, 0, 6, 0);
    for (const char* name : {"oSmiley1", "oSmiley2", "oSmiley3"}) {
        row->addWidget(named(new QRadioButton(smileys), name));
    }
    row->addStretch(1);
    layout->addWidget(smileys);
    return page;
}

QWidget* MainWindow::buildToolsTab() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* reflex = named(new QGroupBox(page), "fReflex");
    auto* grid = new QGridLayout(reflex);
    m_reflexArea = named(new ReflexArea(reflex), "pbReflex");
    m_reflexArea->setAccessibleName(QStringLiteral("Test area"));
    m_reflexArea->setMinimumSize(150, 90);
    named(m_reflexArea->caption(), "lReflexTest");
    grid->addWidget(m_reflexArea, 0, 0, 6, 1);
    for (int i = 0; i < 5; ++i) {
        const QByteArray name = "lReflexTime" + QByteArray::number(i);
        auto* time = named(new QLabel(reflex), name.constData());
        time->setAccessibleName(QStringLiteral("Attempt %1").arg(i + 1));
        grid->addWidget(time, i, 1);
    }
    auto* average = named(new QLabel(reflex), "lReflexAverage");
    average->setAccessibleName(QStringLiteral("Average reaction time"));
    grid->addWidget(average, 5, 1);
    auto* clear = named(new QPushButton(reflex), "coReflexClear");
    clear->setAccessibleName(QStringLiteral("Clear"));
    grid->addWidget(clear, 6, 0);
    auto* reset = named(new QLabel(reflex), "lReflexReset");
    reset->setWordWrap(true);
    grid->addWidget(reset, 6, 1);
    auto* hint = named(new QLabel(reflex), "lReflex");
    hint->setWordWrap(true);
    grid->addWidget(hint, 7, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    layout->addWidget(reflex);
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
    auto* pathHL = valueLabel("lPathHL", paths, "Half-Life executable");
    grid->addWidget(pathHL, 1, 0, 1, 3);
    grid->addWidget(named(new QLabel(paths), "lCD"), 2, 0);
    auto* browseCD = named(new QPushButton(paths), "coCD");
    browseCD->setAccessibleName(QStringLiteral("Browse to Cheating-Death executable"));
    grid->addWidget(browseCD, 2, 2);
    auto* pathCD = valueLabel("lPathCD", paths, "Cheating-Death executable");
    grid->addWidget(pathCD, 3, 0, 1, 3);
    grid->setColumnStretch(0, 1);
    return paths;
}

QWidget* MainWindow::buildPlayGameFrame(QWidget* page) {
    auto* play = named(new QGroupBox(page), "fPlayGame");
    auto* grid = new QGridLayout(play);
    grid->addWidget(named(new QPushButton(play), "coWAPlayGame"), 0, 0);
    auto* hint = named(new QLabel(play), "lWAPlayGame");
    hint->setWordWrap(true);
    grid->addWidget(hint, 0, 1);
    addButtonRow(grid, 1, accessible(named(new QPushButton(play), "coCopyCommand(1)"), "Copy"),
                 "Click to copy Counter-Strike console command to Windows Clipboard", play);
    auto* note = named(new QLabel(play), "lNoteCD");
    note->setWordWrap(true);
    grid->addWidget(note, 2, 0, 1, 2);
    grid->setColumnStretch(1, 1);
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
        const QByteArray valueName = QByteArray(name) + " value";
        auto* shown = valueLabel(value, colour, valueName.constData());
        shown->setMinimumWidth(40);
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
    auto* links = named(new QGroupBox(page), "fQuickLinks");
    auto* linkGrid = new QGridLayout(links);
    const auto linkLabel = [this, links](Label& model) {
        auto* label = named(new QLabel(links), model.name().c_str());
        label->setCursor(Qt::PointingHandCursor);
        label->setStyleSheet(QStringLiteral("color: palette(link); text-decoration: underline;"));
        // Reachable from the keyboard too: Tab to the link, Enter or Space opens it.
        label->setFocusPolicy(Qt::StrongFocus);
        new KeyActivation(label,
                          [this, &model] { m_binding->run([&model] { model.Click.raise(); }); });
        return label;
    };
    for (std::size_t i = 0; i < m_model.lIRCLinks.size(); ++i) {
        linkGrid->addWidget(linkLabel(m_model.lIRCLinks[i]), static_cast<int>(i), 0);
    }
    for (std::size_t i = 0; i < m_model.lWWWLink.size(); ++i) {
        linkGrid->addWidget(linkLabel(m_model.lWWWLink[i]), static_cast<int>(i), 1);
    }
    layout->addWidget(links);
    auto* focus = named(new QGroupBox(page), "fFocus");
    auto* focusRow = new QVBoxLayout(focus);
    auto* steal = named(new QCheckBox(focus), "chFocus");
    steal->setProperty("wrapWidth", 440);
    steal->setToolTip(
        QStringLiteral("Has no effect on Linux: the window manager decides which "
                       "window may come to the front."));
    focusRow->addWidget(steal);
    layout->addWidget(focus);
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
            // The clock changes every second; a label of fixed size repaints itself without
            // asking the window for a new layout.
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
            action->setIcon(QIcon(QStringLiteral(":/menu/%1.png").arg(picture)));
        }
    }
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
