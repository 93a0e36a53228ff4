#include "app/ui/DialogRegistry.h"
#include "app/ui/GermanUi.h"
#include "app/ui/TorvmApp.h"
#include "widgets/Prompt.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Velmarik"));
    QApplication::setApplicationName(QStringLiteral("torvm"));
    torvm::ui::installGermanUi(application);
    torvm::ui::installCoreMessageHandler();

    torvm::ui::CTorvmApp app;
    torvm::ui::registerDialogs(app.commands());
    torvm::ui::registerPrinting(app);
    app.InitInstance();
    return QApplication::exec();
}
