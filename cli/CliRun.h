#pragma once

#include "cli/Cli.h"
#include "cli/CliArguments.h"
#include "cli/ErrorCode.h"
#include "cli/ModuleWait.h"
#include "device/DeviceLink.h"
#include "keymap/KeyMap.h"
#include "keymap/ModuleConfig.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <optional>
#include <string>
#include <vector>

// One run of a tavrin-cli command: its arguments, the link to the module, the search and query
// every command shares, and the first reason it failed. The commands (Cli.cpp) and the production
// line (ProductionLine.cpp) are written over it.
class CCliRun {
public:
    CCliRun(CliEnvironment &environment, const CliArguments &arguments);

    // A line of the text result; with --json the result is the JSON object alone.
    void Print(const char *source, std::vector<std::string> values = {}, int count = -1) const;

    // The wait, its watcher started on first use, so that a run that finds its module at once
    // pays nothing for it.
    CModuleWait &Wait();

    // A search, and while waiting another each time a module arrives; the last one's result.
    // While waiting, the watcher starts before the first search, so that no module that search
    // finds or misses goes unseen. afterRemoval: a module was just pulled out, and the first
    // search waits for the next arrival, so that a node of the leaving module is never taken for
    // a new one.
    SearchResult Search(bool afterRemoval = false);

    // A search, repeated while waiting; says why when nothing opened: no module, no permission,
    // a module there that would not open, with the reason, or which modules are there when none
    // matches --device or --serial.
    bool Connect();

    // Keeps the first reason the run failed; its exit status.
    int Fail(CliError failure);
    // Why a run with this exit status failed: the reason kept, else the status's own; None for 0.
    CliError ErrorOf(int status) const;

    // Whether an interface with one of these nodes is still listed.
    bool Listed(const std::vector<std::string> &nodes);

    // A search and a valid query, with the exit status when there is none.
    std::optional<int> ConnectValid(std::optional<ValidQuery> &valid);
    // A query of the module that is open; valid holds its proof when it is valid.
    std::optional<int> Query(std::optional<ValidQuery> &valid);
    // Says why a module that did not answer validly cannot be used, with the exit status.
    std::optional<int> Refusal(QueryStatus status);

    // What a write sends for the parameters a command leaves out.
    ModuleParameters Kept(const ModuleSnapshot &module) const;

    CliEnvironment &env;
    CDeviceLink link;
    const CliArguments &args;
    const std::vector<std::string> &words; // the operands
    int keyCount;
    bool bWait;
    long long waitMs;
    bool bReportRefused = false; // a search while waiting returns on a module that will not open
    const ModuleChoice &choice; // --device or --serial
    std::unique_ptr<IModuleWatcher> watcher;
    std::optional<CModuleWait> wait;
    CliError error = CliError::None; // the first reason the run failed, where one is known
    nlohmann::json result;           // what the command tells a script (--json)

private:
    // Names the selector that matched nothing, and the interfaces that are there.
    void ShowUnmatched();
};

// What a key map's write did: the lines that went to the module, and the read-back's differences
// when it was verified.
struct AppliedMap {
    std::vector<std::string> written;
    std::optional<std::vector<ConfigDifference>> differences;
};

// Writes a key map to a module that was found valid, printing each key's log line; with verify,
// queries again and compares what can be read. applied, when given, keeps what was written and
// what differed.
int ApplyTo(CCliRun &run, const KeyMap &map, const ValidQuery &valid, bool verify, AppliedMap *applied = nullptr);

// Lists what differs between the map and the module; kOk when every readable item matches.
int ReportVerify(CCliRun &run, const VerifyReport &report);

// A key map from a file, or from standard input for "-"; what is wrong with it is shown. bytes,
// when given, gets the file's bytes as they were read.
std::optional<KeyMap> LoadKeyMap(CCliRun &run, const std::string &path, std::string *bytes = nullptr);

// "-" as a file: standard input for a key map read, standard output for a dump.
inline constexpr const char *kStandardStream = "-";
