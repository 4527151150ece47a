#pragma once

#include <stdexcept>
#include <string>

// A failure of the local file side: a file that cannot be opened, read,
// written or renamed. `path` names the file concerned.
class CFileException : public std::runtime_error
{
public:
    CFileException(const std::string& what, std::string path)
        : std::runtime_error(what + ": " + path), path_(std::move(path))
    {}

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};
