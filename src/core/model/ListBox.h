#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "core/model/Control.h"

namespace squadlink {

enum class MouseButton { Left = 1, Right = 2, Middle = 4 };

// A list box with multiple selection and item data. An index outside the list raises 381,
// which the roster walks rely on to notice that the list changed underneath them.
class ListBox : public Control {
public:
    using Control::Control;

    struct Entry {
        std::string text;
        long itemData = 0;
        bool selected = false;
    };

    int listCount() const { return static_cast<int>(m_entries.size()); }
    bool empty() const { return m_entries.empty(); }
    const std::string& list(int index) const;
    void setList(int index, std::string text);
    long itemData(int index) const;
    void setItemData(int index, long data);
    bool selected(int index) const;
    void setSelected(int index, bool selected);
    int selCount() const;
    int addItem(std::string text);
    void removeItem(int index);
    void clear();
    void selectNone();
    const std::vector<Entry>& entries() const { return m_entries; }
    const std::vector<int>& tabStops() const { return m_tabStops; }
    void setTabStops(std::vector<int> stops) {
        m_tabStops = std::move(stops);
        changed.raise();
    }

    // Pixel height of one row as the window draws it (one text line of the window's font); the
    // window sets it, the behaviour divides pointer positions by it to find the row.
    int rowHeight() const { return m_rowHeight; }
    void setRowHeight(int height) { m_rowHeight = height > 0 ? height : 1; }

    // The entry under a pointer position, -1 for none. The window answers from its own item
    // geometry (rows may be taller than the font, the list may be scrolled); without a
    // window, rows of rowHeight() from the top.
    int rowAt(int x, int y) const {
        if (m_rowLocator) {
            return m_rowLocator(x, y);
        }
        return y < 0 ? -1 : y / m_rowHeight;
    }
    void setRowLocator(std::function<int(int, int)> locator) { m_rowLocator = std::move(locator); }

    // Entry points for the window: pointer position in pixels relative to the list.
    void mouseDown(MouseButton button, int x, int y) { MouseDown.raise(button, x, y); }
    void mouseUp(MouseButton button, int x, int y) { MouseUp.raise(button, x, y); }

    Event<MouseButton, int, int> MouseDown;
    Event<MouseButton, int, int> MouseUp;

private:
    std::size_t checked(int index) const;
    std::vector<Entry> m_entries;
    std::vector<int> m_tabStops;
    int m_rowHeight = 13;
    std::function<int(int, int)> m_rowLocator;
};

}  // namespace squadlink
