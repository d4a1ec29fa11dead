#pragma once

#include "device/ModuleWatcher.h"

#include <sys/types.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

class IHidBackend;

// Whether a user has an active session on a seat: the seat's devices are theirs then.
struct SeatState {
    enum class Kind { Active, None, Unknown };
    Kind kind = Kind::Unknown; // Unknown: no login manager to ask
    std::string seat;          // the seat of the active session
};

// What doctor asks the system, each a function so that a test can give its own answers.
struct DoctorProbes {
    // Where Tavrin's udev rule may be installed, in udev's order.
    std::vector<std::string> ruleFolders = {"/etc/udev/rules.d", "/run/udev/rules.d", "/usr/local/lib/udev/rules.d",
                                            "/usr/lib/udev/rules.d", "/lib/udev/rules.d"};
    // The optional group rule as the package installs it, to copy.
    std::string groupRule;
    std::function<SeatState(uid_t)> seat;
    // The module a node belongs to, as the watcher identifies it; an empty USB device when unknown.
    std::function<ModuleIdentity(const std::string &node)> moduleOf;
    // The error of opening the node as a search does; 0 when it opens.
    std::function<int(const std::string &node)> openError;
    // Whether this user's rights on the node allow reading and writing.
    std::function<bool(const std::string &node)> mayReadWrite;
    DoctorProbes();
};

// tavrin-cli doctor: for each module present, its interface nodes and whether this user can open
// each; whether the udev rule is installed and where; whether the user's rights allow opening the
// node and whether the user has an active seat; then the one fix that applies. With json, the
// same as one JSON object with stable keys and untranslated values. The exit status is 0 when a
// search can open the module, CliExit::kNoModule otherwise.
int RunDoctor(IHidBackend &backend, std::FILE *out, bool json, const DoctorProbes &probes = {});
