#include "widgets/OutputNotifier.h"

namespace torvm::ui {

OutputNotifier& OutputNotifier::instance()
{
    static OutputNotifier notifier;
    return notifier;
}

void reportOutputWritten(const QString& path)
{
    emit OutputNotifier::instance().written(path);
}

} // namespace torvm::ui
