#include "cli/Cli.h"
#include "db/SafeFile.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstring>
#include <memory>

int main(int argc, char** argv)
{
    // Printing needs fonts and so the graphical side of Qt, though never a screen.
    std::unique_ptr<QCoreApplication> app;
    if (argc > 1 && std::strcmp(argv[1], "print-pdf") == 0) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    // File names are taken byte for byte, also when they are not UTF-8.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << torvm::fileNameFromNative(QByteArray(argv[i]));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return torvm::runCli(args, out, err);
}
