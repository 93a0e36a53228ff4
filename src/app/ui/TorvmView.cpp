#include "app/ui/TorvmView.h"

#include "widgets/WaitCursor.h"

#include "db/Recordsets.h"
#include "document/TorvmDoc.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPalette>

#include <algorithm>

namespace torvm::ui {

namespace {

// Form 101 measures 311 x 86 dialog units; in the dialog font these are about 466 x 140 pixels.
constexpr QSize kFormPixels(466, 140);
constexpr int kNameTop = 10;
constexpr int kTitleTop = 54;
constexpr int kSideMargin = 8;

} // namespace

CTorvmView::CTorvmView(CTorvmDoc* doc, QWidget* parent)
    : QWidget(parent)
    , m_doc(doc)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(192, 192, 192));
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);

    // A quarter inch high, the size the labels have always had.
    QFont normal;
    normal.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    normal.setStyleHint(QFont::SansSerif);
    normal.setPixelSize(std::max(1, logicalDpiY() * 8 / 32));
    normal.setWeight(QFont::Normal);
    QFont bold = normal;
    bold.setWeight(QFont::Bold);

    const QFontMetrics metrics(normal);
    m_lineHeight = metrics.height() + metrics.leading();

    m_name = new QLabel(QStringLiteral("Velmarik Wettkampfverwaltung"), this);
    m_name->setObjectName(QStringLiteral("programLabel"));
    m_name->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_name->setFont(bold);

    // A long title wraps onto a second line instead of being cut off.
    m_title = new QLabel(doc ? doc->title() : QString(), this);
    m_title->setObjectName(QStringLiteral("titleLabel"));
    m_title->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_title->setWordWrap(true);
    m_title->setFont(bold);

    const int nameWidth = QFontMetrics(bold).horizontalAdvance(m_name->text()) + 2 * kSideMargin;
    m_formSize = kFormPixels.expandedTo(QSize(nameWidth, kTitleTop + 2 * m_lineHeight + 10));
    layoutLabels();

    if (doc)
        connect(doc, &CTorvmDoc::titleChanged, this, &CTorvmView::setTitle);
}

CTorvmView::~CTorvmView() = default;

void CTorvmView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutLabels();
}

void CTorvmView::layoutLabels()
{
    // Both labels are centred over the whole width, the name at the top, the title below it.
    const int width = std::max(0, this->width() - 2 * kSideMargin);
    m_name->setGeometry(kSideMargin, kNameTop, width, m_lineHeight + 5);
    m_title->setGeometry(kSideMargin, kTitleTop, width, 2 * m_lineHeight + 5);
}

QString CTorvmView::programLabel() const
{
    return m_name->text();
}

QString CTorvmView::titleLabel() const
{
    return m_title->text();
}

void CTorvmView::OnInitialUpdate()
{
    if (!m_doc || m_set)
        return;
    const WaitCursor wait;
    m_set = std::make_unique<CTorvmSet>(m_doc.data());
    m_set->Open();
    setTitle(m_doc->title());
}

void CTorvmView::releaseDocument()
{
    m_set.reset();
    if (m_doc)
        disconnect(m_doc, nullptr, this, nullptr);
    m_doc = nullptr;
}

void CTorvmView::setTitle(const QString& title)
{
    m_title->setText(title);
}

} // namespace torvm::ui
