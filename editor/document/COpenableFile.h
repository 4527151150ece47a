#pragma once

#include <QString>

#include <optional>

// What the editor can open by path (a recent-file entry, a dropped file):
// a picture a decoder recognises, or a project file.
class COpenableFile
{
public:
    static const QString kMissing;

    // The message refusing the path, or none when it can be opened: a file
    // that is gone, or one that is neither a picture nor a project.
    static std::optional<QString> Refusal(const QString& path);
};
