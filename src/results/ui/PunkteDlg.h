#pragma once

#include <QDialog>

#include <array>
#include <cstdint>

class QComboBox;
class QLabel;
class QLineEdit;

namespace torvm::ui {

inline constexpr auto kPunktePositionSection = "VMEditPunktePosition";

// Point deduction or credit (-2 ... +2) with its reason for both teams of one pairing. The
// caller copies the values in, runs the dialog and, after "OK", copies them out again; the
// pairing stores them with its next save.
class CPunkteDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMinAdjustment = -2;
    static constexpr int kMaxAdjustment = 2;

    explicit CPunkteDlg(QWidget* parent = nullptr);

    void setGroupName(const QString& name);
    void setTeams(const QString& teamA, const QString& teamB);
    // Also shows the match points the totals give, without adjustments. tenths: the totals are
    // in tenths of a ring.
    void setTotals(std::int64_t totalA, std::int64_t totalB, bool tenths = false);
    // side 0 = A (home, left), 1 = B.
    void setReason(int side, const QString& reason);
    void setAdjustment(int side, int adjustment);

    QString reason(int side) const { return m_reason[side]; }
    int adjustment(int side) const { return m_adjustment[side]; }

public slots:
    void accept() override;

private:
    QLabel* m_heading;
    std::array<QLabel*, 2> m_team{};
    std::array<QLabel*, 2> m_total{};
    std::array<QLabel*, 2> m_points{};
    std::array<QLineEdit*, 2> m_reasonEdit{};
    std::array<QComboBox*, 2> m_adjustmentBox{};
    std::array<QString, 2> m_reason;
    std::array<int, 2> m_adjustment{};
};

} // namespace torvm::ui
