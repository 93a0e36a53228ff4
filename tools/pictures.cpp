// Makes the pictures that ship with the program: the application icon in the sizes of the
// desktop's icon theme, and the screenshots of the help pages (run under Xvfb by
// scripts/make-pictures.sh, so they show the program as users see it).
#include "app/ui/GermanUi.h"
#include "app/ui/MainFrame.h"
#include "app/ui/TorvmApp.h"
#include "db/Settings.h"
#include "document/TorvmDoc.h"
#include "exchange/DemoCompetition.h"
#include "fixtures/ui/GruppeDlg.h"
#include "output/ui/AusgabeSheet.h"
#include "results/ui/WettkampfDlg.h"
#include "widgets/CommandIcons.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

bool save(QWidget& window, const QString& path)
{
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    QTest::qWait(100);
    // Without the alpha channel the flat colours of the dialogs compress well.
    const QImage image = window.grab().toImage().convertToFormat(QImage::Format_RGB888);
    return image.save(path, "PNG", 0);
}

int icons(const QString& folder)
{
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1/hicolor/%2x%2/apps").arg(folder).arg(size);
        if (!QDir().mkpath(dir) || !torvm::ui::applicationPicture(size).save(dir + QStringLiteral("/torvm.png")))
            return 2;
    }
    return 0;
}

int screenshots(const QString& folder)
{
    QTemporaryDir work;
    const QString path = work.filePath(QStringLiteral("Kreisliga.mdb"));
    {
        // Made aside: the start page shows only while no last competition is stored.
        const torvm::ScopedReadOnlyWorkplace aside;
        torvm::CTorvmDoc maker;
        QString error;
        if (!maker.OnNewDocument(path) || !torvm::fillDemoCompetition(maker, 1, &error))
            return 2;
    }
    torvm::ui::CTorvmApp app;
    app.setShowSplash(false);
    app.InitInstance();
    torvm::ui::CMainFrame* frame = app.mainFrame();
    frame->resize(720, 440);
    bool ok = save(*frame, QDir(folder).filePath(QStringLiteral("start.png")));
    torvm::CTorvmDoc* doc = app.OpenDocumentFile(path);
    if (!doc)
        return 2;
    frame->resize(900, 640);
    ok = save(*frame, QDir(folder).filePath(QStringLiteral("uebersicht.png"))) && ok;
    {
        torvm::ui::CGruppeDlg dialog(*doc, frame);
        ok = save(dialog, QDir(folder).filePath(QStringLiteral("gruppe.png"))) && ok;
    }
    {
        torvm::ui::CWettkampfDlg dialog(*doc, frame);
        ok = save(dialog, QDir(folder).filePath(QStringLiteral("ergebnis.png"))) && ok;
    }
    {
        torvm::ui::AusgabeSheet dialog(*doc, frame);
        ok = save(dialog, QDir(folder).filePath(QStringLiteral("ausgabe.png"))) && ok;
    }
    return ok ? 0 : 2;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Velmarik"));
    QApplication::setApplicationName(QStringLiteral("torvm-bilder"));
    torvm::ui::installGermanUi(application);
    const QStringList args = QApplication::arguments();
    if (args.size() == 3 && args.at(1) == QLatin1String("icons"))
        return icons(args.at(2));
    if (args.size() == 3 && args.at(1) == QLatin1String("screenshots"))
        return screenshots(args.at(2));
    std::fprintf(stderr, "Aufruf: torvm-bilder icons ORDNER | screenshots ORDNER\n");
    return 1;
}
