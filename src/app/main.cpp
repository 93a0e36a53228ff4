#include "app/ui/Prompt.h"
#include "app/ui/TorvmApp.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Velmarik"));
    QApplication::setApplicationName(QStringLiteral("torvm"));
    torvm::ui::installCoreMessageHandler();

    torvm::ui::CTorvmApp app;
    app.InitInstance();
    return QApplication::exec();
}
