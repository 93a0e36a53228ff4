#pragma once

class QWidget;

namespace torvm {
class CTorvmDoc;
}

namespace torvm::ui {

// The "Teilnehmer Import" command: after a warning that existing participants and clubs are
// overwritten and the choice of the association's file, takes its members over while the
// progress window shows the pass number at hand and offers to stop. What was taken over before a
// stop or an error stays stored.
void runTeilnehmerImport(QWidget* parent, CTorvmDoc& doc);

} // namespace torvm::ui
