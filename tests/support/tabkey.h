#pragma once

#include <QApplication>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <initializer_list>

// Tab in a multi-line text or a grid moves the focus on, as it does from every other control, and
// types no tab character nor moves to the next cell. Each control must be shown in the active
// window; it is named in a failure by its position in the list.
inline void ExpectTabLeaves(std::initializer_list<QWidget*> Controls)
{
    int position = 0;
    for (QWidget* control : Controls) {
        ++position;
        control->setFocus();
        ASSERT_TRUE(control->hasFocus()) << "control " << position << " takes no focus";
        QTest::keyClick(control, Qt::Key_Tab);
        const QWidget* focus = QApplication::focusWidget();
        EXPECT_TRUE(focus && focus != control && !control->isAncestorOf(focus))
            << "Tab stays in control " << position;
    }
}
