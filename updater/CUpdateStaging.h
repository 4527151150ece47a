#pragma once

#include "CDescriptor.h"

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <vector>

// An update's files on their way into the installation folder. They are
// downloaded and unpacked into a staging folder inside the installation
// folder (the same file system), and move into place by rename only once
// all of them are there: a running program's file is replaced without ever
// being opened for writing, and a failure before the first rename changes
// nothing. One update at a time holds the installation (a lock file); the
// staging folders an ended updater left behind are removed.
class CUpdateStaging
{
public:
    // Takes the installation's update lock and makes a fresh staging
    // folder. Throws CFileException when another update holds the lock or
    // the folder cannot be made.
    explicit CUpdateStaging(const std::filesystem::path& installFolder);
    // Removes the staging folder with whatever is left in it.
    ~CUpdateStaging();
    CUpdateStaging(const CUpdateStaging&) = delete;
    CUpdateStaging& operator=(const CUpdateStaging&) = delete;

    // Where the staged files go: a mirror of the installation folder.
    const std::filesystem::path& Files() const { return files_; }
    // Whether a file of the staging folder can move into `folder` by
    // rename (a probe file is moved there and back).
    bool AcceptsRename(const std::filesystem::path& folder);
    // Moves every staged file to its place in the installation folder.
    // First checks that each can go there (inside the folder, not a
    // read-only file or a folder in the way, its folder taking renames),
    // and keeps the files to be replaced, then runs `beforeMoving` (stopping
    // the programs) and renames. A failure puts back everything moved so far.
    bool Commit(const std::function<void()>& beforeMoving);

private:
    struct Move
    {
        std::filesystem::path staged;
        std::filesystem::path target;
        std::optional<std::filesystem::path> kept; // the file it replaces
    };

    std::optional<std::vector<Move>> PlanMoves();
    bool KeepReplacedFiles(std::vector<Move>& moves);
    bool MoveAll(const std::vector<Move>& moves);

    std::filesystem::path install_;
    std::filesystem::path folder_;
    std::filesystem::path files_;
    platform::CDescriptor lock_; // held open while the object lives: the update lock
    std::map<std::filesystem::path, bool> renameChecked_;
};
