#include "widgets/HeaderWidths.h"

#include <QHeaderView>

namespace torvm::ui {

void fitSectionsToHeadings(QHeaderView* header)
{
    for (int section = 0; section < header->count(); ++section) {
        // The header's own size hint measures the heading as the style draws it.
        const int needed = header->sectionSizeHint(section);
        if (header->sectionSize(section) < needed)
            header->resizeSection(section, needed);
    }
}

} // namespace torvm::ui
