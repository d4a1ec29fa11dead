#pragma once

// Exit statuses of tavrin-cli.
namespace CliExit {
inline constexpr int kOk = 0;
inline constexpr int kUsage = 2;    // bad command, option or key map; a value the window refuses too
inline constexpr int kNoModule = 3; // no module, or no permission to open it
inline constexpr int kInvalid = 4;  // the module answered the query with an invalid marker
inline constexpr int kFailed = 5;   // a write did not go through
inline constexpr int kMismatch = 6; // every write went through, but the module holds something else
} // namespace CliExit
