#pragma once

#include "ProjectContent.h"

#include <QByteArray>
#include <QString>

#include <utility>
#include <vector>

// Writes a project package: manifest.json (deflated) and each distinct
// bitmap once as bitmaps/<BLAKE2b-256 of its PNG>.png (stored: PNG is packed
// already). The package goes to a temporary file beside the target, which
// replaces the target only once complete.
class CProjectWriter
{
public:
    // The encoded entries of a package, ready to be written.
    struct Package
    {
        QByteArray manifest;
        std::vector<std::pair<QString, QByteArray>> bitmaps; // entry name, PNG
    };

    // Encodes the bitmaps (several at once) and the manifest; false, with
    // the reason in `error`, when a bitmap cannot be encoded.
    static bool Pack(const ProjectContent& content, Package* package, QString* error);
    // Writes a packed project to `path`; the old file stays on failure.
    static bool Write(const Package& package, const QString& path, QString* error);
    // Both; nothing is thrown.
    static bool Save(const ProjectContent& content, const QString& path, QString* error);
};
