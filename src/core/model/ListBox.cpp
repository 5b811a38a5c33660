#include "core/model/ListBox.h"

#include "platform/RuntimeError.h"

namespace squadlink {

std::size_t ListBox::checked(int index) const {
    if (index < 0 || index >= listCount()) {
        throw RuntimeError(err::InvalidPropertyArrayIndex);
    }
    return static_cast<std::size_t>(index);
}

const std::string& ListBox::list(int index) const {
    return m_entries[checked(index)].text;
}

void ListBox::setList(int index, std::string text) {
    m_entries[checked(index)].text = std::move(text);
    changed.raise();
}

long ListBox::itemData(int index) const {
    return m_entries[checked(index)].itemData;
}

void ListBox::setItemData(int index, long data) {
    m_entries[checked(index)].itemData = data;
}

bool ListBox::selected(int index) const {
    return m_entries[checked(index)].selected;
}

void ListBox::setSelected(int index, bool selected) {
    auto& entry = m_entries[checked(index)];
    if (entry.selected != selected) {
        entry.selected = selected;
        changed.raise();
    }
}

int ListBox::selCount() const {
    int count = 0;
    for (const auto& entry : m_entries) {
        count += entry.selected ? 1 : 0;
    }
    return count;
}

int ListBox::addItem(std::string text) {
    m_entries.push_back(Entry{std::move(text), 0, false});
    changed.raise();
    return listCount() - 1;
}

void ListBox::removeItem(int index) {
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(checked(index)));
    changed.raise();
}

void ListBox::clear() {
    if (!m_entries.empty()) {
        m_entries.clear();
        changed.raise();
    }
}

void ListBox::selectNone() {
    bool any = false;
    for (auto& entry : m_entries) {
        any = any || entry.selected;
        entry.selected = false;
    }
    if (any) {
        changed.raise();
    }
}

}  // namespace squadlink
