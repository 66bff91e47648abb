#include "platform/cursor.h"

#include <QCursor>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

Qt::CursorShape OverrideShape()
{
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor ? cursor->shape() : Qt::BlankCursor;
}

TEST(HourglassCursor, ShownForTheScopeAndRestoredOnFailure)
{
    QGuiApplication::setOverrideCursor(QCursor(Qt::IBeamCursor));
    {
        platform::HourglassCursor hourglass;
        EXPECT_EQ(OverrideShape(), Qt::WaitCursor);
    }
    EXPECT_EQ(OverrideShape(), Qt::IBeamCursor);

    EXPECT_THROW(
        {
            platform::HourglassCursor hourglass;
            platform::HourglassCursor nested;
            throw std::runtime_error("failed");
        },
        std::runtime_error);
    EXPECT_EQ(OverrideShape(), Qt::IBeamCursor);

    QGuiApplication::restoreOverrideCursor();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

}  // namespace
