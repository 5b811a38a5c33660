#pragma once

#include "platform/FileDialog.h"

class QWidget;

namespace squadlink {

class QtFileDialog : public FileDialog {
public:
    explicit QtFileDialog(QWidget* owner) : m_owner(owner) {}
    std::string openFile(const std::string& title, const std::string& description,
                         const std::vector<std::string>& patterns) override;

private:
    QWidget* m_owner;
};

}  // namespace squadlink
