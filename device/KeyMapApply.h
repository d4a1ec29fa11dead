#pragma once

#include "common/UserText.h"
#include "device/ModuleCommands.h"
#include "keymap/KeyMap.h"
#include "keymap/ModuleConfig.h"

#include <functional>
#include <optional>

// A key map written to a module and read back: what tavrin-cli's apply and the window's load do.

// Why a map was refused before its first report.
enum class ApplyRefusal { None, KeyBeyondCount, DebounceTooSmall, DebounceTooLarge };
struct ApplyOutcome {
    WriteResult result = WriteResult::Done;
    ApplyRefusal refusal = ApplyRefusal::None;
    int key = -1; // the key beyond the count, or the key that did not go through
    std::optional<ModuleParameters> parameters; // what the map sends, when it names any parameter
};
// Checks the whole map against the module the valid query found before anything is sent (every
// key within the keys it listed, and the parameters the map will send, those it leaves out taken
// from kept), then writes each key as "键值写入" does, then its parameters. Stops at the first
// failure. written() is told of each key that went through.
ApplyOutcome ApplyKeyMap(CDeviceLink &link, const ValidQuery &valid, const KeyMap &map, const ModuleParameters &kept,
                         const std::function<void(const KeyMapEntry &)> &written);
// What to tell of a map that was refused or did not go through (the transport has told its part).
UserText DescribeApplyFailure(const ApplyOutcome &outcome);

// Queries the module once more and compares: what apply --verify and the window's load do after
// writing. The report is meaningful when status is Valid.
struct ModuleVerification {
    QueryStatus status = QueryStatus::NoReply;
    VerifyReport report;
};
ModuleVerification VerifyModule(CDeviceLink &link, const KeyMap &expected, int keyCount);
