#pragma once

#include "db/Recordsets.h"

#include <QString>

#include <functional>
#include <map>
#include <utility>
#include <vector>

class QWidget;

namespace torvm {
class CTorvmDoc;
}

namespace torvm::ui {

// The commands a competition window sends to its document: each opens one dialog or runs one
// operation with the document. The dialogs live in their own subsystems and plug themselves in
// with setOpener(); a command without an opener cannot run and its menu item stays disabled.
class DocumentCommands {
public:
    using Opener = std::function<void(CTorvmDoc& doc, QWidget* parent)>;
    using CloseHandler = std::function<void(CTorvmDoc& doc)>;
    using PairingOpener = std::function<void(CTorvmDoc& doc, QWidget* parent, const EntryPosition& at)>;

    explicit DocumentCommands(CloseHandler close);

    // The ids this table handles, in menu order.
    static const std::vector<int>& ids();
    static bool handles(int id);
    // Whether the command refuses to run on a document whose competition is not open.
    static bool checksOpenFlag(int id);

    void setOpener(int id, Opener opener);
    // True when the command can run at all (closing always can).
    bool isAvailable(int id) const;

    // Runs the command for doc. Returns false when it did not run: no opener, or the open-flag
    // check refused with "Noch kein Wettkampf geöffnet".
    bool execute(int id, CTorvmDoc& doc, QWidget* parent) const;

    // The result entry opened at one pairing (a link of the competition window), refused as the
    // "Ergebnis" command would be.
    void setPairingOpener(PairingOpener opener) { m_pairingOpener = std::move(opener); }
    bool openPairing(CTorvmDoc& doc, QWidget* parent, const EntryPosition& at) const;

    // Called whenever an opener is plugged in, so the menus can enable the command.
    std::function<void()> onChanged;

private:
    CloseHandler m_close;
    std::map<int, Opener> m_openers;
    PairingOpener m_pairingOpener;
};

} // namespace torvm::ui
