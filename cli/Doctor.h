#pragma once

#include "device/ModuleWatcher.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

class IHidBackend;

// Whether a user has an active session on a seat: the seat's devices are theirs then (Linux).
struct SeatState {
    enum class Kind { Active, None, Unknown };
    Kind kind = Kind::Unknown; // Unknown: no login manager to ask
    std::string seat;          // the seat of the active session
};

// A device of the module that the system has but does not run: disabled, or without a working
// driver (Windows). Its HID interfaces are then missing from the enumeration.
struct DeviceProblem {
    std::string instanceId; // the system's name for the device, "USB\VID_0B05&PID_185F&MI_02\..."
    unsigned problem = 0;   // the system's problem code
};

// What doctor asks the system, each a function so that a test can give its own answers. Each
// system's half sets the probes it uses; the others stay empty.
struct DoctorProbes {
    // Every system. The module a node belongs to, as the watcher identifies it; an empty USB device
    // when unknown.
    std::function<ModuleIdentity(const std::string &node)> moduleOf;
    // The system's error number of opening the node for reading and writing as a search does; 0
    // when it opens.
    std::function<int(const std::string &node)> openError;

    // Linux. Where Tavrin's udev rule may be installed, in udev's order.
    std::vector<std::string> ruleFolders;
    // The optional group rule as the package installs it, to copy.
    std::string groupRule;
    // This user's seat.
    std::function<SeatState()> seat;
    // Whether this user's rights on the node allow reading and writing.
    std::function<bool(const std::string &node)> mayReadWrite;

    // Windows. The devices of the module's vendor and product the system has but does not run.
    std::function<std::vector<DeviceProblem>()> deviceProblems;

    DoctorProbes();
};

// tavrin-cli doctor: for each module present, its interfaces and whether a search can open each;
// what the system says about why one does not (Linux: the udev rule, this user's rights on the
// node, the seat; Windows: the module's devices that are disabled or lack a working driver, and
// another program holding an interface); then the one fix that applies. With json, the same as
// one JSON object with stable keys and untranslated values. The exit status is 0 when a search can
// open the module, CliExit::kNoModule otherwise.
int RunDoctor(IHidBackend &backend, std::FILE *out, bool json, const DoctorProbes &probes = {});
