#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "backends/qt/QtMessageBox.h"

using namespace squadlink;

namespace {

// Shut-down ends every running event loop, a box's too, without any button being pressed.
// Such a close must answer what changes nothing: callers test only for No.
TEST(QtMessageBoxClosedWithoutAButton, AnswersTheSafeChoice) {
    const struct {
        int flags;
        int answer;
    } cases[] = {
        {mb::YesNoInformation, mb::No},
        {mb::YesNoInformationDefaultNo, mb::No},
        {mb::Information, mb::Ok},
        {5 | mb::Warning, mb::Cancel},
        {3, mb::Cancel},
    };
    for (const auto& c : cases) {
        QTimer::singleShot(100, [] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
                    box->hide();
                }
            }
        });
        QtMessageBox box(nullptr);
        EXPECT_EQ(box.show("Are you sure?", "Squadlink - Question", c.flags), c.answer) << c.flags;
    }
}

}  // namespace
