#include "results/ui/PunkteDlg.h"
#include "results/CompetitionRules.h"

#include "results/Scoring.h"
#include "widgets/DialogButtons.h"
#include "widgets/WindowPlacement.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace torvm::ui {

namespace {

QLabel* addLabel(QGridLayout* grid, QWidget* parent, const QString& text, int row, int column, const QString& name = {})
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    grid->addWidget(label, row, column);
    return label;
}

} // namespace

CPunkteDlg::CPunkteDlg(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Punktabzug / Gutschrift"));
    auto* layout = new QVBoxLayout(this);
    m_heading = new QLabel(this);
    m_heading->setObjectName(QStringLiteral("heading"));
    m_heading->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_heading);

    auto* grid = new QGridLayout;
    const char* heads[] = {"Mannschaft", "Ringe", "Punkte", "Grund", "+ / -"};
    for (int c = 0; c < 5; ++c)
        addLabel(grid, this, QString::fromUtf8(heads[c]), 0, c);
    for (int s = 0; s < 2; ++s) {
        const QString side = s == 0 ? QStringLiteral("A") : QStringLiteral("B");
        m_team[s] = addLabel(grid, this, {}, s + 1, 0, QStringLiteral("team") + side);
        m_total[s] = addLabel(grid, this, QStringLiteral("0"), s + 1, 1, QStringLiteral("total") + side);
        m_points[s] = addLabel(grid, this, QStringLiteral("0"), s + 1, 2, QStringLiteral("points") + side);
        m_total[s]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_points[s]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_reasonEdit[s] = new QLineEdit(this);
        m_reasonEdit[s]->setObjectName(QStringLiteral("reason") + side);
        m_reasonEdit[s]->setMaxLength(255); // the width of the column that keeps it
        m_reasonEdit[s]->setMinimumWidth(200);
        grid->addWidget(m_reasonEdit[s], s + 1, 3);
        // A list without a text field: only the five entries can be chosen.
        m_adjustmentBox[s] = new QComboBox(this);
        m_adjustmentBox[s]->setObjectName(QStringLiteral("adjust") + side);
        m_adjustmentBox[s]->addItems({QStringLiteral("-2"), QStringLiteral("-1"), QStringLiteral("0"),
                                      QStringLiteral("+1"), QStringLiteral("+2")});
        m_adjustmentBox[s]->setCurrentIndex(-kMinAdjustment);
        grid->addWidget(m_adjustmentBox[s], s + 1, 4);
    }
    layout->addLayout(grid);

    addOkCancelRow(this, layout);

    setTabOrder(m_reasonEdit[0], m_adjustmentBox[0]);
    setTabOrder(m_adjustmentBox[0], m_reasonEdit[1]);
    setTabOrder(m_reasonEdit[1], m_adjustmentBox[1]);
    m_reasonEdit[0]->setFocus();

    adjustSize();
    placeFixedDialog(this, QString::fromLatin1(kPunktePositionSection));
    storeRectOnFinish(this, QString::fromLatin1(kPunktePositionSection));
}

void CPunkteDlg::setGroupName(const QString& name)
{
    m_heading->setText(name);
}

void CPunkteDlg::setTeams(const QString& teamA, const QString& teamB)
{
    m_team[0]->setText(teamA);
    m_team[1]->setText(teamB);
}

void CPunkteDlg::setTotals(std::int64_t totalA, std::int64_t totalB, bool tenths)
{
    m_total[0]->setText(ringText(totalA, tenths));
    m_total[1]->setText(ringText(totalB, tenths));
    const MatchScore score = scoreMatch(totalA, totalB);
    m_points[0]->setText(QString::number(score.pointsA));
    m_points[1]->setText(QString::number(score.pointsB));
}

void CPunkteDlg::setReason(int side, const QString& reason)
{
    m_reason[side] = reason;
    m_reasonEdit[side]->setText(reason);
}

void CPunkteDlg::setAdjustment(int side, int adjustment)
{
    // A value written into the file by another program may lie outside the list; the nearest
    // entry is shown, and only "OK" would store it.
    m_adjustment[side] = adjustment;
    m_adjustmentBox[side]->setCurrentIndex(std::clamp(adjustment, kMinAdjustment, kMaxAdjustment) - kMinAdjustment);
}

void CPunkteDlg::accept()
{
    for (int s = 0; s < 2; ++s) {
        m_reason[s] = m_reasonEdit[s]->text();
        m_adjustment[s] = m_adjustmentBox[s]->currentIndex() + kMinAdjustment;
    }
    QDialog::accept();
}

} // namespace torvm::ui
