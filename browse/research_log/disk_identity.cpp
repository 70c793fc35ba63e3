#include "browse/research_log/disk_identity.h"

#include <cerrno>
#include <cstdio>

#include "store/catalogue.h"
#include "store/content_hash.h"
#include "store/directories.h"
#include "store/disk_format.h"
#include "store/file_fingerprint.h"

namespace research_log {
namespace {

// Appends what of a file's fingerprint depends on its bytes alone.
void AddContent(std::string& hashed, const FileFingerprint& file, bool missing) {
    char text[64];
    if (missing) {
        std::snprintf(text, sizeof text, "absent;");
    } else {
        std::snprintf(text, sizeof text, "%lld:%016llx;", static_cast<long long>(file.size),
                      static_cast<unsigned long long>(file.headTail));
    }
    hashed += text;
}

}  // namespace

StoreError ReadDiskIdentity(const CDirectories& dirs, DiskIdentity& identity) {
    identity = DiskIdentity{};
    StoreError error = ReadDiskLabel(dirs, identity.label);
    if (error.Failed()) return error;
    const std::string folder = dirs.DataDir();
    std::string hashed = "marker:";
    FileFingerprint file;
    bool missing = false;
    error =
        FingerprintFile(folder + disk_format::kMarkerFileName, disk_format::kMarkerFileName, file, missing);
    if (error.Failed()) return error;
    if (missing) return StoreError::Of(StoreErrorKind::OpenFailed, disk_format::kMarkerFileName, ENOENT);
    AddContent(hashed, file, false);
    for (int code = catalogue::kFirstCode; code <= catalogue::kLastCode; ++code) {
        const std::string name = std::string(catalogue::StemOf(code)) + ".tre";
        error = FingerprintFile(folder + name, name, file, missing);
        if (error.Failed()) return error;
        hashed += name + ":";
        AddContent(hashed, file, missing);
    }
    char text[kFingerprintLength + 1];
    std::snprintf(text, sizeof text, "%s%016llx", kFingerprintRecipe,
                  static_cast<unsigned long long>(ContentHash(hashed.data(), hashed.size())));
    identity.fingerprint = text;
    return StoreError{};
}

bool IsFingerprint(const std::string& text) {
    const std::size_t recipe = sizeof kFingerprintRecipe - 1;
    if (text.size() != kFingerprintLength || text.compare(0, recipe, kFingerprintRecipe) != 0) return false;
    for (std::size_t i = recipe; i < text.size(); ++i) {
        const char c = text[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

std::string LabelText(const DiskLabel& label) {
    return label.version.empty() ? label.name : label.name + ", version " + label.version;
}

}  // namespace research_log
