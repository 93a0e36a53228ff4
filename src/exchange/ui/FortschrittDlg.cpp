#include "exchange/ui/FortschrittDlg.h"

#include "widgets/DialogButtons.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QVBoxLayout>

namespace torvm::ui {

namespace {

bool g_cancelled = false;

} // namespace

CFortschrittDlg::CFortschrittDlg(QWidget* parent, const QString& title, const QString& status)
    : QDialog(parent)
{
    g_cancelled = false;
    setModal(false);
    setWindowTitle(title);

    m_animation = new QLabel(this);
    m_animation->setObjectName(QStringLiteral("animation"));
    m_animation->setAlignment(Qt::AlignCenter);
    m_movie = new QMovie(QStringLiteral(":/torvm/fortschritt.gif"), QByteArray(), this);
    m_movie->setCacheMode(QMovie::CacheAll);
    m_animation->setMovie(m_movie);
    m_animation->setMinimumSize(240, 40);

    m_status = new QLabel(status, this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setMinimumWidth(300);

    auto* cancel = makeButton(this, "Abbrechen", "abbrechen");
    cancel->setDefault(true);
    connect(cancel, &QPushButton::clicked, this, &CFortschrittDlg::reject);

    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(cancel);
    row->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_animation);
    layout->addWidget(m_status);
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // The clip loops by itself; a clip that cannot be read leaves the window without animation
    // rather than without progress.
    if (m_movie->isValid())
        m_movie->start();

    adjustSize();
    if (parent) {
        const QRect outer = parent->window()->frameGeometry();
        move(outer.center() - rect().center());
    }
    show();
    poll();
}

CFortschrittDlg::~CFortschrittDlg() = default;

void CFortschrittDlg::setStatus(const QString& text)
{
    m_status->setText(text);
    m_status->repaint();
}

QString CFortschrittDlg::status() const
{
    return m_status->text();
}

bool CFortschrittDlg::poll()
{
    QCoreApplication::processEvents();
    return !g_cancelled;
}

bool CFortschrittDlg::cancelled()
{
    return g_cancelled;
}

void CFortschrittDlg::reject()
{
    g_cancelled = true;
    hide();
}

ProgressOnlyInput::ProgressOnlyInput(const QWidget* progress)
    : m_progress(progress)
{
    qApp->installEventFilter(this);
}

ProgressOnlyInput::~ProgressOnlyInput()
{
    qApp->removeEventFilter(this);
}

bool ProgressOnlyInput::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Close:
        break;
    default:
        return false;
    }
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr) {
        // Menu commands reach their actions as shortcut events.
        return event->type() == QEvent::Shortcut;
    }
    const QWidget* window = widget->window();
    if (window == m_progress || window->isModal())
        return false;
    // An accepted override keeps the key from triggering a shortcut; the key itself is dropped.
    if (event->type() == QEvent::ShortcutOverride)
        event->accept();
    else
        event->ignore();
    return true;
}

} // namespace torvm::ui
