#include "paths/folder_rows.h"

#include "paths/literal_forms.h"

bool IsFolderRow(const WideText& row) {
    return !row.empty() && row.back() == u'\\';
}

WideText FolderRow(const WideText& folder) {
    return IsFolderRow(folder) ? folder : folder + u'\\';
}

WideText FolderOfRow(const WideText& row) {
    if (!IsFolderRow(row) || IsDriveRoot(OrdinaryPath{row})) {
        return row;
    }
    return row.substr(0, row.size() - 1);
}
