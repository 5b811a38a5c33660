#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

#include "platform/MessageBox.h"

class QMessageBox;
class QAbstractButton;

namespace squadlink {

// Modal message box owned by the main window. Flags and answers keep their Windows values:
// low nibble the buttons (0 OK, 1 OK/Cancel, 2 Abort/Retry/Ignore, 3 Yes/No/Cancel, 4 Yes/No,
// 5 Retry/Cancel), next nibble the icon (16 error, 32 question, 48 warning, 64 information),
// then the default button (256 the second, 512 the third).
class QtMessageBox : public MessageBox {
public:
    explicit QtMessageBox(QWidget* owner);
    int show(const std::string& text, const std::string& caption, int flags) override;

    // The box as show() presents it, without running it.
    static std::unique_ptr<QMessageBox> build(const std::string& text, const std::string& caption,
                                              int flags, QWidget* owner);
    // The Windows answer a pressed button stands for (1 OK when the box was closed otherwise).
    static int answerOf(const QAbstractButton* button);

private:
    QPointer<QWidget> m_owner;
};

}  // namespace squadlink
