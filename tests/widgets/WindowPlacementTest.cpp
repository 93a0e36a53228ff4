#include "widgets/WindowPlacement.h"
#include "db/Placement.h"
#include "support/Fixtures.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

namespace torvm {
namespace {

const QString kSection = QStringLiteral("VMEditPlanPosition");

QSize screenSize()
{
    return QGuiApplication::primaryScreen()->geometry().size();
}

TEST(WindowPlacement, FixedDialogStoredOffScreenIsPulledBackAndStoredAgainOnCancel)
{
    test::ScopedSettings settings;
    storeRect(kSection, QRect(QPoint(screenSize().width() + 400, 30), QSize(10, 10)));
    QDialog dialog;
    dialog.resize(300, 200);
    ui::placeFixedDialog(&dialog, kSection);
    ui::storeRectOnFinish(&dialog, kSection);
    EXPECT_EQ(dialog.pos(), QPoint(screenSize().width() - 300, 30));
    EXPECT_EQ(dialog.size(), QSize(300, 200));

    dialog.show();
    dialog.move(25, 35);
    dialog.reject();
    const StoredRect stored = loadStoredRect(kSection);
    EXPECT_EQ(stored.x, 25);
    EXPECT_EQ(stored.y, 35);
    EXPECT_EQ(stored.xend, 325);
    EXPECT_EQ(stored.yend, 235);
}

TEST(WindowPlacement, SizedDialogOpensCentredAtTheCallersSizeAndReturnsWhereItWasLeft)
{
    test::ScopedSettings settings;
    const QString section = QStringLiteral("VMWettkampfPosition");
    {
        QDialog dialog;
        ui::placeSizedDialog(&dialog, section, 500, 300);
        ui::storeRectOnFinish(&dialog, section);
        EXPECT_EQ(dialog.geometry(), QRect(screenSize().width() / 2 - 250, screenSize().height() / 2 - 150, 500, 300));
        dialog.show();
        dialog.move(40, 50);
        dialog.accept();
    }
    QDialog again;
    ui::placeSizedDialog(&again, section, 500, 300);
    EXPECT_EQ(again.pos(), QPoint(40, 50));
    EXPECT_EQ(again.size(), QSize(500, 300));
}

} // namespace
} // namespace torvm
