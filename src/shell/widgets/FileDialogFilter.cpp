#include "shell/widgets/FileDialogFilter.h"

#include "text/widgets/QtText.h"

#include <QStringList>

namespace cvx {

QString DialogFilter(const FileDialogSetup& setup) {
    QStringList filters;
    for (const FileFilter& f : setup.filters) {
        filters << FromCp1252(f.label);
    }
    // The preselected kind comes first: the toolkit's dialog starts on the first filter.
    if (setup.selected > 0 && setup.selected < filters.size()) {
        filters.move(setup.selected, 0);
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace cvx
