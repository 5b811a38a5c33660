// The main window's tab pages: widgets named after their control models, laid out as the
// pages show them. The binding to the models happens once every page is built.
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <tuple>

#include "BannerWidget.h"
#include "ChatBrowser.h"
#include "MainWindow.h"
#include "ReflexArea.h"
#include "TabStopDelegate.h"
#include "WindowParts.h"

namespace squadlink {

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
    // The chat written so far; the view's font and tab stops below become the document's.
    m_chatDocument->attach(*view);
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
    auto* reflexLayout = new QVBoxLayout(reflex);
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(0);
    reflexLayout->addLayout(grid);
    m_reflexArea = named(new ReflexArea(reflex), "pbReflex");
    m_reflexArea->setAccessibleName(QStringLiteral("Test area"));
    m_reflexArea->setMinimumSize(150, 60);
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
    reflexLayout->addWidget(hint);
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

}  // namespace squadlink
