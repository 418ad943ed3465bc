#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace vorta::os {

// The four parts of a file version, as a version resource holds them.
struct FileVersion {
    std::uint16_t major = 0, minor = 0, release = 0, build = 0;
};

// Reads the version embedded in a file at build time (see vorta_embed_version);
// nothing when the file cannot be read or carries none.
std::optional<FileVersion> readFileVersion(const QString& path);

// The bytes that mark an embedded version inside a file, for writers of test files.
QByteArray versionMarker();

} // namespace vorta::os
