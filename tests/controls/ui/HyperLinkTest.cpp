#include "controls/ui/HyperLink.h"

#include "support/ScriptedPrompter.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace torvm {
namespace {

using ui::CHyperLink;

// Replaces the desktop while it lives: records every URL and answers with the queued results.
class FakeOpener {
public:
    explicit FakeOpener(std::vector<int> results)
        : m_results(std::move(results))
        , m_previous(CHyperLink::setOpener([this](const QString& url) {
            urls.append(url);
            const int result = m_results.empty() ? 33 : m_results.front();
            if (!m_results.empty())
                m_results.erase(m_results.begin());
            return result;
        }))
    {
    }
    ~FakeOpener() { CHyperLink::setOpener(m_previous); }
    QStringList urls;

private:
    std::vector<int> m_results;
    CHyperLink::Opener m_previous;
};

const QString kIndex = QStringLiteral("/home/liga/web/index.htm");

void showActive(QWidget& w)
{
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
}

TEST(HyperLink, TextAndUrlStandInForEachOther)
{
    const CHyperLink withText(QStringLiteral("Hier klicken"), nullptr, kIndex);
    EXPECT_EQ(withText.text(), QStringLiteral("Hier klicken"));
    EXPECT_EQ(withText.url(), kIndex);
    EXPECT_EQ(withText.toolTip(), kIndex);

    const CHyperLink onlyUrl(QString(), nullptr, kIndex);
    EXPECT_EQ(onlyUrl.text(), kIndex);

    const CHyperLink onlyText(QStringLiteral("https://www.velmarik.de/"));
    EXPECT_EQ(onlyText.url(), QStringLiteral("https://www.velmarik.de/"));

    CHyperLink later(QString(), nullptr);
    later.setUrl(kIndex);
    EXPECT_EQ(later.text(), kIndex);
    EXPECT_EQ(later.toolTip(), kIndex);
}

TEST(HyperLink, DefaultLookIsAnUnderlinedBlueLinkWithTheHandCursor)
{
    const CHyperLink link(QStringLiteral("Website"), nullptr, kIndex);
    EXPECT_EQ(link.options(), 0x15);
    EXPECT_TRUE(link.font().underline());
    EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(link.palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(link.sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);

    CHyperLink plain(QStringLiteral("Website"), nullptr, kIndex);
    plain.setOptions(0x20);
    EXPECT_FALSE(plain.font().underline());
    EXPECT_NE(plain.cursor().shape(), Qt::PointingHandCursor);
}

TEST(HyperLink, SpaceBarAndClickOpenTheLink)
{
    struct Case {
        const char* name;
        std::function<void(CHyperLink&)> act;
    };
    const std::vector<Case> cases{
        {"space bar", [](CHyperLink& l) { QTest::keyClick(&l, Qt::Key_Space); }},
        {"click", [](CHyperLink& l) { QTest::mouseClick(&l, Qt::LeftButton); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::ScriptedPrompter prompter;
        FakeOpener opener({33});
        CHyperLink link(QStringLiteral("Website"), nullptr, kIndex);
        showActive(link);
        link.setFocus();
        c.act(link);
        EXPECT_EQ(opener.urls, QStringList{kIndex});
        EXPECT_TRUE(link.visited());
        EXPECT_TRUE(prompter.messages.empty());
        EXPECT_EQ(prompter.beeps, 0);
    }
}

TEST(HyperLink, OtherKeysDoNotOpen)
{
    FakeOpener opener({});
    CHyperLink link(QStringLiteral("Website"), nullptr, kIndex);
    showActive(link);
    link.setFocus();
    QTest::keyClick(&link, Qt::Key_A);
    QTest::keyClick(&link, Qt::Key_Return);
    EXPECT_TRUE(opener.urls.isEmpty());
}

TEST(HyperLink, ColourFollowsVisitedActiveAndHover)
{
    FakeOpener opener({33});
    QWidget window;
    auto* link = new CHyperLink(QStringLiteral("Website"), &window, kIndex);
    auto* other = new CHyperLink(QStringLiteral("Andere"), &window, kIndex);
    other->move(0, 40);
    showActive(window);
    other->setFocus();
    EXPECT_EQ(link->currentColour(), CHyperLink::kLinkColour);

    link->setFocus();
    EXPECT_TRUE(link->active());
    EXPECT_EQ(link->currentColour(), QColor(0, 128, 128));
    QTest::keyClick(link, Qt::Key_Space);
    EXPECT_EQ(link->currentColour(), QColor(0, 128, 128)) << "focus shows the active colour over the visited one";
    other->setFocus();
    EXPECT_FALSE(link->active());
    EXPECT_EQ(link->currentColour(), QColor(128, 0, 128));
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(128, 0, 128));

    // Hovering shows red only with the hover option.
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(link, &enter);
    EXPECT_TRUE(link->hovering());
    EXPECT_EQ(link->currentColour(), QColor(128, 0, 128));
    link->setOptions(link->options() | CHyperLink::UseHoverColour);
    EXPECT_EQ(link->currentColour(), QColor(255, 0, 0));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(link, &leave);
    EXPECT_FALSE(link->hovering());
    EXPECT_EQ(link->currentColour(), QColor(128, 0, 128));
}

TEST(HyperLink, FailureBeepsAndSaysWhy)
{
    struct Case {
        int code;
        QString text;
    };
    const std::vector<Case> cases{
        {0, QStringLiteral("Das Betriebssystem hat nicht genügend\nSpeicher oder Ressourcen.")},
        {2, QStringLiteral("Die angegebene Datei wurde nicht gefunden.")},
        {3, QStringLiteral("Der angegebene Pfad wurde nicht gefunden.")},
        {26, QStringLiteral("Die Datei wird von einem anderen Programm verwendet.")},
        {31, QStringLiteral("Für diesen Dateityp ist kein Programm zum Öffnen eingerichtet.")},
        {32, QStringLiteral("Eine benötigte Programmbibliothek wurde nicht gefunden.")},
        {12, QStringLiteral("Unbekannter Fehler (12).")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        test::ScriptedPrompter prompter;
        FakeOpener opener({c.code});
        CHyperLink link(QStringLiteral("Website"), nullptr, kIndex);
        EXPECT_FALSE(link.open());
        EXPECT_FALSE(link.visited());
        EXPECT_EQ(prompter.beeps, 1);
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(prompter.messages[0].text, QStringLiteral("Der Verweis kann nicht geöffnet werden:\n\n") + c.text);
    }
}

TEST(HyperLink, DesktopOpenerReportsAMissingFile)
{
    test::ScriptedPrompter prompter;
    CHyperLink link(QStringLiteral("Website"), nullptr, QStringLiteral("/nonexistent-torvm/web/index.htm"));
    EXPECT_FALSE(link.open());
    EXPECT_EQ(prompter.texts(),
              QStringList{QStringLiteral(
                  "Der Verweis kann nicht geöffnet werden:\n\nDer angegebene Pfad wurde nicht gefunden.")});
}

} // namespace
} // namespace torvm
