#pragma once

#include <cstdio>
#include <string>
#include <vector>

class IHidBackend;

// Where doctor looks for Tavrin's udev rule and for the login sessions.
struct DoctorPlaces {
    std::vector<std::string> ruleFolders = {"/etc/udev/rules.d", "/run/udev/rules.d", "/usr/local/lib/udev/rules.d",
                                            "/usr/lib/udev/rules.d", "/lib/udev/rules.d"};
    std::string sessionFolder = "/run/systemd/sessions"; // logind's record of each session
};

// tavrin-cli doctor: for each module present, its interface nodes and whether this user can open
// each; whether the udev rule is installed and where; whether the node carries an access entry
// for this user and whether the user has an active seat; then the one fix that applies. The exit
// status is 0 when a search can open the module, CliExit::kNoModule otherwise.
int RunDoctor(IHidBackend &backend, std::FILE *out, const DoctorPlaces &places = {});
