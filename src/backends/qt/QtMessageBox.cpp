#include "backends/qt/QtMessageBox.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QVariant>
#include <utility>
#include <vector>

#include "backends/qt/Cp1252.h"

namespace squadlink {

namespace {

constexpr const char* kAnswerProperty = "windowsAnswer";

constexpr int kAnswerCancel = 2;
constexpr int kAnswerAbort = 3;
constexpr int kAnswerRetry = 4;
constexpr int kAnswerIgnore = 5;

struct ButtonSpec {
    QMessageBox::StandardButton button;
    int answer;
};

std::vector<ButtonSpec> buttonsFor(int flags) {
    switch (flags & 0x0F) {
        case 1:
            return {{QMessageBox::Ok, mb::Ok}, {QMessageBox::Cancel, kAnswerCancel}};
        case 2:
            return {{QMessageBox::Abort, kAnswerAbort},
                    {QMessageBox::Retry, kAnswerRetry},
                    {QMessageBox::Ignore, kAnswerIgnore}};
        case 3:
            return {{QMessageBox::Yes, mb::Yes},
                    {QMessageBox::No, mb::No},
                    {QMessageBox::Cancel, kAnswerCancel}};
        case 4:
            return {{QMessageBox::Yes, mb::Yes}, {QMessageBox::No, mb::No}};
        case 5:
            return {{QMessageBox::Retry, kAnswerRetry}, {QMessageBox::Cancel, kAnswerCancel}};
        default:
            return {{QMessageBox::Ok, mb::Ok}};
    }
}

QMessageBox::Icon iconFor(int flags) {
    switch (flags & 0xF0) {
        case 16:
            return QMessageBox::Critical;
        case 32:
            return QMessageBox::Question;
        case 48:
            return QMessageBox::Warning;
        case 64:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

QString boxText(const std::string& text) {
    QString converted = Cp1252::toUnicode(text);
    converted.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return converted;
}

}  // namespace

QtMessageBox::QtMessageBox(QWidget* owner) : m_owner(owner) {
}

std::unique_ptr<QMessageBox> QtMessageBox::build(const std::string& text,
                                                 const std::string& caption, int flags,
                                                 QWidget* owner) {
    auto box = std::make_unique<QMessageBox>(owner);
    box->setWindowTitle(Cp1252::toUnicode(caption));
    // Texts carry nicks and addresses from the network: never let them become markup.
    box->setTextFormat(Qt::PlainText);
    box->setText(boxText(text));
    box->setIcon(iconFor(flags));
    const auto specs = buttonsFor(flags);
    std::vector<QPushButton*> buttons;
    for (const auto& spec : specs) {
        QPushButton* button = box->addButton(spec.button);
        button->setProperty(kAnswerProperty, spec.answer);
        buttons.push_back(button);
    }
    const auto defaultIndex = static_cast<std::size_t>((flags >> 8) & 0x0F);
    box->setDefaultButton(buttons[defaultIndex < buttons.size() ? defaultIndex : 0]);
    return box;
}

int QtMessageBox::answerOf(const QAbstractButton* button) {
    if (button == nullptr) {
        return mb::Ok;
    }
    const QVariant answer = button->property(kAnswerProperty);
    return answer.isValid() ? answer.toInt() : mb::Ok;
}

int QtMessageBox::show(const std::string& text, const std::string& caption, int flags) {
    const auto box = build(text, caption, flags, m_owner.data());
    box->exec();
    // No button pressed: the box was closed by the program shutting down (which ends every
    // running event loop), and that must never count as a Yes.
    if (box->clickedButton() == nullptr) {
        return mb::safeAnswer(flags);
    }
    return answerOf(box->clickedButton());
}

}  // namespace squadlink
