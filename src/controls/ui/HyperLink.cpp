#include "controls/ui/HyperLink.h"

#include "widgets/Prompt.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QProcess>
#include <QUrl>

namespace torvm::ui {

namespace {

// Results in the manner of the shell: above 32 is success.
constexpr int kOpened = 33;
constexpr int kFileNotFound = 2;
constexpr int kPathNotFound = 3;
constexpr int kNoAssociation = 31;

bool isLocalPath(const QString& target)
{
    return QDir::isAbsolutePath(target) || target.startsWith(QLatin1String("file:"));
}

int openWithDesktop(const QString& target)
{
    QUrl url;
    if (isLocalPath(target)) {
        url = target.startsWith(QLatin1String("file:")) ? QUrl(target) : QUrl::fromLocalFile(target);
        const QFileInfo file(url.toLocalFile());
        if (!file.dir().exists())
            return kPathNotFound;
        if (!file.exists())
            return kFileNotFound;
    } else {
        url = QUrl::fromUserInput(target);
    }
    if (QDesktopServices::openUrl(url))
        return kOpened;
    // The desktop's own opener did not take it; xdg-open may still know a browser.
    return QProcess::startDetached(QStringLiteral("xdg-open"), {url.toString()}) ? kOpened : kNoAssociation;
}

CHyperLink::Opener& installedOpener()
{
    static CHyperLink::Opener opener;
    return opener;
}

} // namespace

const QColor CHyperLink::kLinkColour(0, 0, 255);
const QColor CHyperLink::kVisitedColour(128, 0, 128);
const QColor CHyperLink::kActiveColour(0, 128, 128);
const QColor CHyperLink::kHoverColour(255, 0, 0);

CHyperLink::Opener CHyperLink::setOpener(Opener opener)
{
    Opener previous = std::move(installedOpener());
    installedOpener() = std::move(opener);
    return previous;
}

QString CHyperLink::errorText(int code)
{
    switch (code) {
    case 0:
        return QStringLiteral("Das Betriebssystem hat nicht genügend\nSpeicher oder Ressourcen.");
    case 2:
        return QStringLiteral("Die angegebene Datei wurde nicht gefunden.");
    case 3:
        return QStringLiteral("Der angegebene Pfad wurde nicht gefunden.");
    case 5:
        return QStringLiteral("Das Betriebssystem hat den Zugriff\nauf die Datei verweigert.");
    case 8:
        return QStringLiteral("Für diesen Vorgang ist nicht genügend Speicher vorhanden.");
    case 11:
        return QStringLiteral("Die Programmdatei ist ungültig.");
    case 26:
        return QStringLiteral("Die Datei wird von einem anderen Programm verwendet.");
    case 27:
        return QStringLiteral("Die Zuordnung des Dateityps zu einem Programm\nist unvollständig oder ungültig.");
    case 28:
        return QStringLiteral("Das Programm hat nicht rechtzeitig geantwortet.");
    case 29:
        return QStringLiteral("Das Programm konnte die Adresse nicht übernehmen.");
    case 30:
        return QStringLiteral("Das Programm ist mit einer anderen Anfrage beschäftigt.");
    case 31:
        return QStringLiteral("Für diesen Dateityp ist kein Programm zum Öffnen eingerichtet.");
    case 32:
        return QStringLiteral("Eine benötigte Programmbibliothek wurde nicht gefunden.");
    default:
        return QStringLiteral("Unbekannter Fehler (%1).").arg(code);
    }
}

CHyperLink::CHyperLink(const QString& text, QWidget* parent, const QString& url)
    : QLabel(text, parent)
    , m_url(url)
{
    if (m_url.isEmpty())
        m_url = text;
    if (text.isEmpty())
        setText(m_url);
    setTextFormat(Qt::PlainText);
    setToolTip(m_url);
    applyLook();
}

void CHyperLink::setUrl(const QString& url)
{
    m_url = url;
    if (text().isEmpty())
        setText(url);
    setToolTip(url);
    fitToText();
}

void CHyperLink::setOptions(int options)
{
    m_options = options;
    applyLook();
}

QColor CHyperLink::currentColour() const
{
    if (m_hover && (m_options & UseHoverColour))
        return kHoverColour;
    if (!(m_options & NoActiveColour) && m_active)
        return kActiveColour;
    return m_visited ? kVisitedColour : kLinkColour;
}

void CHyperLink::applyLook()
{
    QFont f = font();
    f.setUnderline((m_options & Underline) != 0);
    setFont(f);
    if (m_options & NoHandCursor)
        unsetCursor();
    else
        setCursor(Qt::PointingHandCursor);
    setFocusPolicy((m_options & TakeFocusOnClick) ? Qt::StrongFocus : Qt::TabFocus);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, currentColour());
    setPalette(p);
    fitToText();
    update();
}

void CHyperLink::fitToText()
{
    // A fitted link takes clicks on its text only, not on the empty rest of a wide row.
    setSizePolicy((m_options & FitToText) ? QSizePolicy::Fixed : QSizePolicy::Preferred, QSizePolicy::Fixed);
    if (m_options & FitToText)
        adjustSize();
    updateGeometry();
}

bool CHyperLink::open()
{
    if (m_options & InProgram) {
        m_visited = true;
        applyLook();
        emit activated();
        return true;
    }
    const Opener& opener = installedOpener();
    const int code = opener ? opener(m_url) : openWithDesktop(m_url);
    if (code > 32) {
        m_visited = true;
        applyLook();
        return true;
    }
    beep();
    message(this, MessageIcon::Exclamation,
            QStringLiteral("Der Verweis kann nicht geöffnet werden:\n\n") + errorText(code));
    return false;
}

void CHyperLink::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QLabel::mousePressEvent(event);
        return;
    }
    if (m_options & TakeFocusOnClick)
        setFocus(Qt::MouseFocusReason);
    if (m_options & OpenOnPress)
        open();
    m_active = true;
    applyLook();
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QLabel::mouseReleaseEvent(event);
        return;
    }
    if (m_active && !(m_options & OpenOnPress))
        open();
}

void CHyperLink::enterEvent(QEnterEvent* event)
{
    m_hover = true;
    applyLook();
    QLabel::enterEvent(event);
}

void CHyperLink::leaveEvent(QEvent* event)
{
    m_hover = false;
    applyLook();
    QLabel::leaveEvent(event);
}

void CHyperLink::focusInEvent(QFocusEvent* event)
{
    m_active = true;
    applyLook();
    QLabel::focusInEvent(event);
}

void CHyperLink::focusOutEvent(QFocusEvent* event)
{
    m_hover = false;
    m_active = false;
    applyLook();
    QLabel::focusOutEvent(event);
}

void CHyperLink::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        open();
        return;
    }
    QLabel::keyPressEvent(event);
}

} // namespace torvm::ui
