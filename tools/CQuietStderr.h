#pragma once

// Silences standard error while it lives. Some codec libraries print their
// own complaints straight to it; the tool reports the refusal itself in one
// clear line.
class CQuietStderr
{
public:
    CQuietStderr();
    ~CQuietStderr();
    CQuietStderr(const CQuietStderr&) = delete;
    CQuietStderr& operator=(const CQuietStderr&) = delete;

private:
    int saved_ = -1;
};
