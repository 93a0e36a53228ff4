#include "results/ui/PunkteDlg.h"
#include "masterdata/ui/DialogDriver.h"
#include "support/Fixtures.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace torvm::ui {
namespace {

using test::child;
using test::click;

TEST(PunkteDlgTest, PointsShownAreThoseOfTheTotalsAlone)
{
    test::ScopedSettings settings;
    struct Case {
        std::int64_t a, b;
        const char* pointsA;
        const char* pointsB;
    };
    const Case cases[] = {
        {0, 0, "0", "0"}, {1150, 1150, "1", "1"}, {1149, 1150, "0", "2"}, {1150, 1149, "2", "0"}, {0, 1, "0", "2"}};
    for (const Case& c : cases) {
        CPunkteDlg dlg;
        dlg.setTotals(c.a, c.b);
        // Adjustments never go into the points shown.
        dlg.setAdjustment(0, -2);
        dlg.setAdjustment(1, 2);
        EXPECT_EQ(child<QLabel>(&dlg, "pointsA")->text(), QString::fromLatin1(c.pointsA)) << c.a << ':' << c.b;
        EXPECT_EQ(child<QLabel>(&dlg, "pointsB")->text(), QString::fromLatin1(c.pointsB)) << c.a << ':' << c.b;
        EXPECT_EQ(child<QLabel>(&dlg, "totalB")->text(), QString::number(c.b));
    }
}

class PunkteDlgRun : public ::testing::Test {
protected:
    test::ScopedSettings settings;

    static void prepare(CPunkteDlg& dlg)
    {
        dlg.setGroupName(QStringLiteral("Kreisliga"));
        dlg.setTeams(QStringLiteral("SV Nord 1"), QStringLiteral("SG Süd 1"));
        dlg.setTotals(1149, 1150);
        dlg.setReason(0, QStringLiteral("zu spät"));
        dlg.setAdjustment(0, -1);
        dlg.setReason(1, QString());
        dlg.setAdjustment(1, 0);
    }
};

TEST_F(PunkteDlgRun, OpensOnTheStoredAdjustmentAndOkHandsBackTheChoice)
{
    CPunkteDlg dlg;
    prepare(dlg);
    test::showActive(&dlg);
    auto* adjustA = child<QComboBox>(&dlg, "adjustA");
    ASSERT_EQ(adjustA->count(), 5);
    EXPECT_FALSE(adjustA->isEditable());
    EXPECT_EQ(adjustA->currentText(), QStringLiteral("-1"));
    EXPECT_EQ(child<QComboBox>(&dlg, "adjustB")->currentText(), QStringLiteral("0"));
    EXPECT_EQ(child<QLineEdit>(&dlg, "reasonA")->text(), QStringLiteral("zu spät"));
    EXPECT_EQ(child<QLabel>(&dlg, "teamB")->text(), QStringLiteral("SG Süd 1"));
    adjustA->setCurrentIndex(adjustA->findText(QStringLiteral("+2")));
    QTest::keyClicks(child<QLineEdit>(&dlg, "reasonB"), QStringLiteral("Gutschrift"));
    click(&dlg, "ok");
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.adjustment(0), 2);
    EXPECT_EQ(dlg.adjustment(1), 0);
    EXPECT_EQ(dlg.reason(1), QStringLiteral("Gutschrift"));
}

TEST_F(PunkteDlgRun, CancelHandsBackWhatCameIn)
{
    CPunkteDlg dlg;
    prepare(dlg);
    test::showActive(&dlg);
    auto* adjustA = child<QComboBox>(&dlg, "adjustA");
    adjustA->setCurrentIndex(adjustA->findText(QStringLiteral("+2")));
    QTest::keyClicks(child<QLineEdit>(&dlg, "reasonA"), QStringLiteral(" und mehr"));
    click(&dlg, "cancel");
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(dlg.adjustment(0), -1);
    EXPECT_EQ(dlg.reason(0), QStringLiteral("zu spät"));
}

} // namespace
} // namespace torvm::ui
