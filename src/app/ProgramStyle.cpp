#include "ProgramStyle.h"

#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleFactory>
#include <QTabBar>
#include <QWidget>
#include <functional>
#include <memory>

namespace squadlink {

namespace {

// An icon made the first time anything needs its pictures.
class DeferredIconEngine : public QIconEngine {
public:
    explicit DeferredIconEngine(std::function<QIcon()> make)
        : m_state(std::make_shared<State>(State{std::move(make), {}, false})) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    // The style's own arrow is never empty; answering without making it keeps it unmade.
    bool isNull() override { return m_state->made ? icon().isNull() : false; }
    QString key() const override { return QStringLiteral("squadlink-deferred"); }
    // Copies share the one picture, made once.
    QIconEngine* clone() const override { return new DeferredIconEngine(m_state); }

private:
    struct State {
        std::function<QIcon()> make;
        QIcon icon;
        bool made;
    };
    explicit DeferredIconEngine(std::shared_ptr<State> state) : m_state(std::move(state)) {}

    const QIcon& icon() {
        if (!m_state->made) {
            m_state->made = true;
            m_state->icon = m_state->make();
            m_state->make = nullptr;
        }
        return m_state->icon;
    }

    std::shared_ptr<State> m_state;
};

const char* const kCompactTabs = "squadlinkCompactTabs";
constexpr int kTabPaddingX = 4;
constexpr int kTabPaddingY = 3;

bool compactTabs(const QWidget* widget) {
    return widget != nullptr && widget->property(kCompactTabs).toBool();
}

}  // namespace

ProgramStyle::ProgramStyle() = default;
ProgramStyle::~ProgramStyle() = default;

void ProgramStyle::makeTabsCompact(QTabBar* bar) {
    bar->setProperty(kCompactTabs, true);
}

int ProgramStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                              const QWidget* widget) const {
    switch (metric) {
        case PM_TabBarTabHSpace:
        case PM_TabBarTabVSpace:
        case PM_TabBarTabShiftHorizontal:
        case PM_TabBarTabShiftVertical:
            // The padding alone makes the room, and the chosen tab's caption does not move.
            if (compactTabs(widget)) {
                return 0;
            }
            break;
        default:
            break;
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

QSize ProgramStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                     const QSize& size, const QWidget* widget) const {
    if (type == CT_TabBarTab && compactTabs(widget)) {
        return size + QSize(2 * kTabPaddingX, 2 * kTabPaddingY);
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

void ProgramStyle::drawControl(ControlElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
    if (element == CE_TabBarTabShape && compactTabs(widget)) {
        if (!m_flatTabs) {
            m_flatTabs.reset(QStyleFactory::create(QStringLiteral("Windows")));
        }
        if (m_flatTabs) {
            m_flatTabs->drawControl(element, option, painter, widget);
            return;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

QIcon ProgramStyle::standardIcon(StandardPixmap which, const QStyleOption* option,
                                 const QWidget* widget) const {
    if (which != SP_ToolBarHorizontalExtensionButton &&
        which != SP_ToolBarVerticalExtensionButton) {
        return QProxyStyle::standardIcon(which, option, widget);
    }
    // Made later: the style or the widget may be gone by then, the option certainly is.
    QPointer<QStyle> base(baseStyle());
    QPointer<const QWidget> owner(widget);
    return QIcon(new DeferredIconEngine([base, which, owner] {
        return base.isNull() ? QIcon() : base->standardIcon(which, nullptr, owner.data());
    }));
}

}  // namespace squadlink
