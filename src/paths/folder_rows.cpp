#include "paths/folder_rows.h"

namespace {

bool IsDriveRoot(const WideText& path) {
    return path.size() == 3 && path[1] == u':' && path[2] == u'\\';
}

}  // namespace

bool IsFolderRow(const WideText& row) {
    return !row.empty() && row.back() == u'\\';
}

WideText FolderRow(const WideText& folder) {
    return IsFolderRow(folder) ? folder : folder + u'\\';
}

WideText FolderOfRow(const WideText& row) {
    if (!IsFolderRow(row) || IsDriveRoot(row)) {
        return row;
    }
    return row.substr(0, row.size() - 1);
}
