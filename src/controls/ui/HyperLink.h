#pragma once

#include <QColor>
#include <QLabel>

#include <functional>

namespace torvm::ui {

// A text that opens a URL or a file with the desktop's handler when it is clicked or, with the
// focus on it, when the space bar is pressed. Link, visited, active and hover colours as web
// pages show them; the URL is its tooltip.
class CHyperLink : public QLabel {
    Q_OBJECT
public:
    enum Option {
        Underline = 0x1,
        UseHoverColour = 0x2,
        FitToText = 0x4,
        OpenOnPress = 0x8,
        TakeFocusOnClick = 0x10,
        NoHandCursor = 0x20,
        NoActiveColour = 0x40,
        // A place inside the program: opening emits activated() and hands nothing to the desktop.
        InProgram = 0x80,
    };
    static constexpr int kDefaultOptions = Underline | FitToText | TakeFocusOnClick;

    static const QColor kLinkColour;
    static const QColor kVisitedColour;
    static const QColor kActiveColour;
    static const QColor kHoverColour;

    // How a link reaches the desktop: a result above 32 means opened, anything else is one of
    // the error codes errorText() knows. Tests replace it so nothing starts.
    using Opener = std::function<int(const QString& url)>;
    // An empty opener restores the desktop's; returns the previous one.
    static Opener setOpener(Opener opener);
    static QString errorText(int code);

    // With an empty text the URL is shown; with an empty URL the text is the target.
    explicit CHyperLink(const QString& text = {}, QWidget* parent = nullptr, const QString& url = {});

    void setUrl(const QString& url);
    QString url() const { return m_url; }
    void setOptions(int options);
    int options() const { return m_options; }

    bool visited() const { return m_visited; }
    bool hovering() const { return m_hover; }
    bool active() const { return m_active; }
    // The colour the text is drawn in now.
    QColor currentColour() const;

    // Opens the URL; on failure beeps and says why. True when opened.
    bool open();

signals:
    void activated();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void applyLook();
    void fitToText();

    QString m_url;
    int m_options = kDefaultOptions;
    bool m_visited = false;
    bool m_hover = false;
    bool m_active = false;
};

} // namespace torvm::ui
