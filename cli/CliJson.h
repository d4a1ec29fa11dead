#pragma once

#include "cli/ErrorCode.h"
#include "common/UserText.h"
#include "device/DeviceLink.h"
#include "keymap/ModuleConfig.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

// tavrin-cli's results for scripts (--json): one object per run, snake_case keys, values as data
// (paths, serials, key-map lines, numbers; never translated), and on every result the same four
// keys: ok, exit, error_code (ErrorCode.h's word, null on success) and error (the messages shown,
// in their source language, null when none).

// A USB vendor or product id as four lowercase hex digits, as lsusb and udev rules write it.
std::string Hex4(unsigned value);
// Empty text is no value: null, so that every object has the same keys.
nlohmann::json OrNull(const std::string &text);
// The error_code of a result: ErrorCode.h's word, null on success.
nlohmann::json JsonOfErrorCode(CliError error);

// One interface as list sees it: whether the search opens it, and if it was tried and refused,
// why ("denied" for missing permission, else "failed" with the library's words).
struct ListedInterface {
    HidDeviceInfo info;
    int searchOrder = -1; // -1: the search does not use it
    bool opens = false;
    bool tried = false;
    bool denied = false;
    std::string openError;
};
nlohmann::json JsonOfInterfaces(const std::vector<ListedInterface> &interfaces);

// info: the module that was opened and what its query gave.
nlohmann::json JsonOfModule(const std::string &node, const std::string &serial, const ModuleSnapshot &module,
                            int keyCount);

// verify: every difference, the keys that could not be compared, and the verdict.
nlohmann::json JsonOfVerify(const VerifyReport &report);
// The differences alone, as the production log keeps them.
nlohmann::json JsonOfDifferences(const std::vector<ConfigDifference> &differences);

// dump: the parameters and each readable key (its key-map line, text and record bytes).
nlohmann::json JsonOfDump(const KeyMap &map, const ModuleSnapshot &module);

// The result object with the four keys every result has; one line, invalid UTF-8 replaced.
std::string JsonResult(nlohmann::json result, int exitStatus, CliError error, const std::vector<UserText> &messages);

// A JSON text of one line, whatever bytes the values hold: invalid UTF-8 becomes U+FFFD instead
// of an exception.
std::string JsonText(const nlohmann::json &value);
