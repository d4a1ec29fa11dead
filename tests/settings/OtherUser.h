#pragma once

#include <filesystem>
#include <functional>

// Another user than the one running the tests, for the POSIX cases on owners and shared folders.

// Runs body in a child process as a user who owns none of the files (nobody, when the tests run
// as root; the same user otherwise) and returns whether body returned true.
bool RunAsOtherUser(const std::function<bool()> &body);
// The user RunAsOtherUser runs as, for files that user has to own.
void GiveToOtherUser(const std::filesystem::path &path);
