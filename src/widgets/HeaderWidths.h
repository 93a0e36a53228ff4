#pragma once

class QHeaderView;

namespace torvm::ui {

// Widens every section of header that is narrower than its heading needs (the text in the bold
// face a highlighted heading takes, the margins and, where a click sorts, the sort arrow), so no
// column heading is cut off. Wider sections stay as they are.
void fitSectionsToHeadings(QHeaderView* header);

} // namespace torvm::ui
