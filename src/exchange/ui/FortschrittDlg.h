#pragma once

#include <QDialog>

class QLabel;
class QMovie;

namespace torvm::ui {

// The small window beside a long import or export: a looping animation, one status line and
// "Abbrechen". The work runs on the user-interface thread and calls poll() once per unit of work,
// which lets the window repaint and the button be pressed.
class CFortschrittDlg : public QDialog {
    Q_OBJECT
public:
    // Shows the window at once, centred on the parent, and clears the cancel request of any
    // earlier run. Title and status given here are there from the first paint on.
    explicit CFortschrittDlg(QWidget* parent = nullptr, const QString& title = {},
                             const QString& status = QStringLiteral("Text"));
    ~CFortschrittDlg() override;

    void setStatus(const QString& text);
    QString status() const;
    QMovie* movie() const { return m_movie; }

    // Dispatches pending window events; true while the user has not asked to stop.
    bool poll();

    // One request for all progress windows of the process; set by "Abbrechen" or Escape.
    static bool cancelled();

public slots:
    void reject() override;

private:
    QLabel* m_animation = nullptr;
    QLabel* m_status = nullptr;
    QMovie* m_movie = nullptr;
};

// A long operation dispatches window events between its units of work so that its progress window
// stays alive. Meanwhile a click or key elsewhere must not close the competition (or the program)
// under it, nor start a second operation: such input is dropped and closing is refused for as long
// as the object lives. The progress window and any modal message box stay usable.
class ProgressOnlyInput : public QObject {
public:
    explicit ProgressOnlyInput(const QWidget* progress);
    ~ProgressOnlyInput() override;
    ProgressOnlyInput(const ProgressOnlyInput&) = delete;
    ProgressOnlyInput& operator=(const ProgressOnlyInput&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const QWidget* m_progress;
};

} // namespace torvm::ui
