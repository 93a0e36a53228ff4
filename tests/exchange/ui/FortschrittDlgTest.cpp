#include "exchange/ui/FortschrittDlg.h"

#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using torvm::ui::CFortschrittDlg;

TEST(FortschrittDlg, ShowsAtOnceWithALoopingAnimation)
{
    CFortschrittDlg dlg;
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_FALSE(dlg.isModal());
    EXPECT_EQ(dlg.status(), QStringLiteral("Text"));
    ASSERT_TRUE(dlg.movie()->isValid()) << "animation resource missing or GIF plugin not loaded";
    EXPECT_GT(dlg.movie()->frameCount(), 1);
    EXPECT_EQ(dlg.movie()->state(), QMovie::Running);
    // loopCount -1: repeats without end
    EXPECT_EQ(dlg.movie()->loopCount(), -1);
}

TEST(FortschrittDlg, CentresOnItsParentWindow)
{
    QWidget parent;
    parent.setGeometry(100, 100, 800, 600);
    parent.show();
    CFortschrittDlg dlg(&parent);
    const QPoint delta = dlg.frameGeometry().center() - parent.frameGeometry().center();
    EXPECT_LE(delta.manhattanLength(), 40);
}

TEST(FortschrittDlg, StatusLineShowsTheCallersText)
{
    CFortschrittDlg dlg;
    dlg.setWindowTitle(QStringLiteral("Import"));
    dlg.setStatus(QStringLiteral("Importiere Teilnehmer 17"));
    EXPECT_EQ(dlg.findChild<QLabel*>(QStringLiteral("status"))->text(), QStringLiteral("Importiere Teilnehmer 17"));
}

// The button and Escape stop the run; the request is seen only when the work polls next, and a
// new window starts the next run without it.
TEST(FortschrittDlg, CancelRequestIsSharedAndClearedByTheNextWindow)
{
    enum class Via { Button, Escape };
    for (Via via : {Via::Button, Via::Escape}) {
        SCOPED_TRACE(via == Via::Button ? "button" : "escape");
        {
            CFortschrittDlg dlg;
            EXPECT_TRUE(dlg.poll());
            if (via == Via::Button)
                QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("abbrechen")), Qt::LeftButton);
            else
                QTest::keyClick(&dlg, Qt::Key_Escape);
            EXPECT_TRUE(CFortschrittDlg::cancelled());
            EXPECT_FALSE(dlg.isVisible());
            EXPECT_FALSE(dlg.poll());
        }
        EXPECT_TRUE(CFortschrittDlg::cancelled()) << "the flag outlives the window until the next run";
        CFortschrittDlg next;
        EXPECT_FALSE(CFortschrittDlg::cancelled());
        EXPECT_TRUE(next.poll());
    }
}

// A click queued while a unit of work runs reaches the window only through poll().
TEST(FortschrittDlg, ClickDuringWorkTakesEffectAtTheNextPoll)
{
    CFortschrittDlg dlg;
    auto* cancel = dlg.findChild<QPushButton*>(QStringLiteral("abbrechen"));
    QTimer::singleShot(0, cancel, &QPushButton::click);
    EXPECT_FALSE(CFortschrittDlg::cancelled()) << "nothing dispatched yet";
    int units = 0;
    while (dlg.poll() && units < 100)
        ++units;
    EXPECT_EQ(units, 0);
    EXPECT_TRUE(CFortschrittDlg::cancelled());
}
