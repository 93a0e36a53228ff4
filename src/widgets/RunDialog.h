#pragma once

#include "document/TorvmDoc.h"
#include "widgets/Prompt.h"

#include <utility>

namespace torvm::ui {

// Opens a competition dialog modally; without an open competition it says so instead. What follows
// the parent is handed on to the dialog.
template <typename Dialog, typename... Args> void runDialog(QWidget* parent, CTorvmDoc& doc, Args&&... args)
{
    if (!doc.IsOpen()) {
        message(parent, MessageIcon::Exclamation, QString::fromUtf8(kStrNoCompetition));
        return;
    }
    Dialog dialog(doc, parent, std::forward<Args>(args)...);
    dialog.exec();
}

} // namespace torvm::ui
