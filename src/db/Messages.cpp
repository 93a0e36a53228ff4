#include "db/Messages.h"

#include <cstdio>

namespace torvm {

namespace {

void printToStderr(MessageIcon, const QString& text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

MessageHandler& handler()
{
    static MessageHandler h = printToStderr;
    return h;
}

} // namespace

MessageHandler setMessageHandler(MessageHandler h)
{
    MessageHandler previous = std::move(handler());
    handler() = h ? std::move(h) : MessageHandler(printToStderr);
    return previous;
}

void showMessage(MessageIcon icon, const QString& text)
{
    handler()(icon, text);
}

QString databaseErrorText(const QString& engineText)
{
    return QString::fromUtf8(kStrFehler) + QStringLiteral(": \n") + engineText;
}

void showDatabaseError(const QString& engineText)
{
    showMessage(MessageIcon::Exclamation, databaseErrorText(engineText));
}

QString counted(long long count, const char* one, const char* many)
{
    return QString::number(count) + QLatin1Char(' ') + QString::fromUtf8(count == 1 ? one : many);
}

} // namespace torvm
