#include "TabStopDelegate.h"

#include <QApplication>
#include <QPainter>
#include <algorithm>

namespace squadlink {

namespace {

// Where a list box has no stops of its own it puts one every 32 dialog units.
constexpr int kDefaultStopDialogUnits = 32;

}  // namespace

TabStopDelegate::TabStopDelegate(QObject* parent) : QStyledItemDelegate(parent) {
}

std::vector<int> TabStopDelegate::mapStops(const std::vector<int>& dialogUnits,
                                           int averageCharWidth,
                                           const std::vector<int>& minimumWidths,
                                           int availableWidth) {
    std::vector<int> pixels;
    for (const int units : dialogUnits) {
        pixels.push_back(units * averageCharWidth / 4);
    }
    int end = availableWidth - kTextMargin;
    for (std::size_t i = pixels.size(); i-- > 0;) {
        const int minimum = i < minimumWidths.size() ? minimumWidths[i] : 0;
        const int floor = i == 0 ? 0 : pixels[i - 1];
        pixels[i] = std::max(std::min(pixels[i], end - minimum), std::min(floor, pixels[i]));
        end = pixels[i];
    }
    return pixels;
}

void TabStopDelegate::setTabStops(const std::vector<int>& dialogUnits, const QFontMetrics& metrics,
                                  int availableWidth) {
    std::vector<int> units = dialogUnits;
    if (units.empty()) {
        for (int stop = kDefaultStopDialogUnits; stop < 8 * kDefaultStopDialogUnits;
             stop += kDefaultStopDialogUnits) {
            units.push_back(stop);
        }
    }
    // Room for the roster's widest address and ping column; other lists get no minimum.
    const std::vector<int> minimums{metrics.horizontalAdvance(QStringLiteral("255.255.255.255 ")),
                                    metrics.horizontalAdvance(QStringLiteral("        999 ms"))};
    auto pixels = mapStops(units, metrics.averageCharWidth(), minimums, availableWidth);
    if (pixels != m_pixelStops) {
        m_pixelStops = std::move(pixels);
        emit tabStopsChanged();
    }
}

void TabStopDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    QStyle* style = opt.widget != nullptr ? opt.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    const bool selected = (opt.state & QStyle::State_Selected) != 0;
    const QPalette::ColorGroup group =
        (opt.state & QStyle::State_Enabled) != 0 ? QPalette::Normal : QPalette::Disabled;
    painter->save();
    painter->setFont(opt.font);
    painter->setPen(
        opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    const QStringList columns = text.split(QLatin1Char('\t'));
    const QRect row = opt.rect;
    // Column k starts at stop k-1; columns beyond the stops share the last one.
    const auto columnStart = [this](qsizetype column) {
        if (column == 0 || m_pixelStops.empty()) {
            return 0;
        }
        const auto stop = std::min(static_cast<std::size_t>(column - 1), m_pixelStops.size() - 1);
        return m_pixelStops[stop];
    };
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const int left = row.left() + kTextMargin + columnStart(i);
        const int right = i + 1 < columns.size() && columnStart(i + 1) > columnStart(i)
                              ? row.left() + kTextMargin + columnStart(i + 1)
                              : row.right();
        const QRect cell(left, row.top(), std::max(0, right - left), row.height());
        painter->drawText(cell, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          opt.fontMetrics.elidedText(columns[i], Qt::ElideRight, cell.width()));
    }
    painter->restore();
}

QSize TabStopDelegate::sizeHint(const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(option.fontMetrics.height());
    return size;
}

}  // namespace squadlink
