#include "store/data_disk.h"

#include <cstdio>
#include <cstring>

#include "store/data_file.h"
#include "store/directories.h"
#include "store/path_buffer.h"

bool FindDataDisk(const CDirectories& dirs) {
    if (!dirs.DataDirFits()) return false;
    char path[260];
    if (!FormatPath(path, "%s%s", dirs.DataDir(), kMarkerFileName)) return false;
    // Opened for reading; a folder of that name is no marker, and a marker
    // that cannot be opened counts as absent.
    CDataFile marker;
    return marker.Open(path) == CDataFile::OpenOutcome::Opened;
}

platform::MessageAnswer PromptForDataDisk() {
    char text[256];
    std::snprintf(text, sizeof text, "%s", kInsertDiskText);
    return platform::ShowMessageBox(text, platform::kAppTitle, platform::MessageButtons::OkCancel,
                                    platform::MessageIcon::Exclamation);
}

bool CheckDataDisk(const CDirectories& dirs) {
    if (FindDataDisk(dirs)) return true;
    for (;;) {
        platform::MessageAnswer answer = PromptForDataDisk();
        if (answer == platform::MessageAnswer::Cancel) return false;
        if (answer != platform::MessageAnswer::Ok) return true;
        if (FindDataDisk(dirs)) return true;
    }
}
