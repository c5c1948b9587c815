#pragma once

#include <string>
#include <utility>

#include "base/message.h"

namespace dedur {

// How an operation that can fail went. A failure says what kind it was (the
// few kinds callers treat apart), the system's error where there was one, and
// always the message for the user.
enum class Failure {
    None,
    // A file that is not there, too large to load, or not a regular file.
    NotFound,
    TooLarge,
    NotRegularFile,
    // Contents, numbers or a request that cannot be taken as they are; or a
    // write refused before any byte of the old file was touched (read-only, a
    // link at a program's own name).
    BadContent,
    Refused,
    // The step of a write that failed.
    Open,
    Write,
    Sync,
    Close,
    Replace,
};

// Refusal codes that stand in `error` beside errno values: the file is
// read-only, a link stands at a program's own name, a user's link leads
// nowhere, the target is not a file.
inline constexpr int ReadOnlyFile = -1;
inline constexpr int PlantedLink = -2;
inline constexpr int DanglingLink = -3;
inline constexpr int NotRegularFile = -4;

struct Outcome {
    Failure failure = Failure::None;
    int error = 0; // errno, or one of the refusal codes above
    Message message;

    bool ok() const { return failure == Failure::None; }
    // A write that failed before anything was written: the callers' "could
    // not open" messages.
    bool failedToOpen() const { return failure == Failure::Refused || failure == Failure::Open; }
    // The cause alone, for a person: "no space left on device", "it is a
    // symbolic link"; empty when the message says all.
    std::string reason() const;

    static Outcome refused(Message message) { return {Failure::BadContent, 0, std::move(message)}; }
};

} // namespace dedur
