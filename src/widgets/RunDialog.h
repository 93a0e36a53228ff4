#pragma once

#include "document/TorvmDoc.h"
#include "widgets/Prompt.h"

namespace torvm::ui {

// Opens a competition dialog modally; without an open competition it says so instead.
template <typename Dialog> void runDialog(QWidget* parent, CTorvmDoc& doc)
{
    if (!doc.IsOpen()) {
        message(parent, MessageIcon::Exclamation, QString::fromUtf8(kStrNoCompetition));
        return;
    }
    Dialog dialog(doc, parent);
    dialog.exec();
}

} // namespace torvm::ui
