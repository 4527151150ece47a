#pragma once

// Result of a picture operation; 0 is success. The numbering follows the
// graphics library the editor was first written against, so stored and logged
// codes keep their meaning.
enum class Status : int
{
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    ObjectBusy = 4,
    InsufficientBuffer = 5,
    NotImplemented = 6,
    Win32Error = 7,
    WrongState = 8,
    Aborted = 9,
    FileNotFound = 10,
    ValueOverflow = 11,
    AccessDenied = 12,
    UnknownImageFormat = 13,
};

inline bool Failed(Status status)
{
    return status != Status::Ok;
}
