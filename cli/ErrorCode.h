#pragma once

#include "cli/ExitStatus.h"

#include <string_view>

// Why a tavrin-cli run failed, as a script reads it: in --json results and in the production log
// the word is "error_code", the same in every language and every version; people read the
// message text beside it. Each failure has one exit status.
enum class CliError {
    None,
    Usage,         // a bad command, option or value
    BadKeyMap,     // a key map that cannot be read or is refused
    NoModule,      // no module present, or none matching --device/--serial
    OpenFailed,    // a module present that may not be opened
    NoReply,       // the module did not answer the query
    InvalidMarker, // the module answered with an invalid marker
    WriteFailed,   // a write did not go through
    Mismatch,      // every write went through, but the module holds something else
    OutputFailed,  // the output or a file could not be written
    LogFailed,     // the production log could not take a line
    Interrupted,   // the production line was ended in the middle of a module
};

struct CliErrorCode {
    CliError error;
    std::string_view word;
    int exitStatus;
};

// The one table of the words and their exit statuses.
inline constexpr CliErrorCode kCliErrorCodes[] = {
    {CliError::None, "", CliExit::kOk},
    {CliError::Usage, "usage", CliExit::kUsage},
    {CliError::BadKeyMap, "bad_key_map", CliExit::kUsage},
    {CliError::NoModule, "no_module", CliExit::kNoModule},
    {CliError::OpenFailed, "open_failed", CliExit::kNoModule},
    {CliError::NoReply, "no_reply", CliExit::kNoModule},
    {CliError::InvalidMarker, "invalid_marker", CliExit::kInvalid},
    {CliError::WriteFailed, "write_failed", CliExit::kFailed},
    {CliError::Mismatch, "mismatch", CliExit::kMismatch},
    {CliError::OutputFailed, "output_failed", CliExit::kFailed},
    {CliError::LogFailed, "log_failed", CliExit::kFailed},
    {CliError::Interrupted, "interrupted", 130}, // 128 + SIGINT, as a shell tells an interrupted program
};

constexpr const CliErrorCode &ErrorCodeOf(CliError error)
{
    return kCliErrorCodes[static_cast<int>(error)];
}
static_assert(ErrorCodeOf(CliError::Interrupted).error == CliError::Interrupted, "the table follows the enum's order");
