#pragma once

#include <QStyledItemDelegate>
#include <vector>

namespace squadlink {

// Draws list entries whose columns are separated by TAB, each column starting at a tab stop,
// as a list box with tab stops does. Rows are one text line of the list's font high.
class TabStopDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TabStopDelegate(QObject* parent = nullptr);

    // Stops in dialog units (a quarter of the font's average character width), mapped to
    // pixels; moved left where an address or a ping would not fit into availableWidth.
    void setTabStops(const std::vector<int>& dialogUnits, const QFontMetrics& metrics,
                     int availableWidth);
    const std::vector<int>& pixelStops() const { return m_pixelStops; }
    // Left padding of the first column inside a row.
    static constexpr int kTextMargin = 3;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Each column after a stop keeps at least its minimum width (minimumWidths[i] for the
    // column starting at stop i): stops move left, never past the previous column's start.
    static std::vector<int> mapStops(const std::vector<int>& dialogUnits, int averageCharWidth,
                                     const std::vector<int>& minimumWidths, int availableWidth);

signals:
    void tabStopsChanged();

private:
    std::vector<int> m_pixelStops;
};

}  // namespace squadlink
