#pragma once
// Runs the player executable on the headless host inside a project folder and collects what a
// watcher sees: the exit code, the standard error stream (boxes, notices), and the files left.
#include <string>
#include <vector>

struct PlayerResult {
    int exitCode = -1;
    bool timedOut = false;
    std::string errorText;   // standard error
};

// Starts the player (arguments after the program name) in the folder; the lock files of the
// single running copy live in runtimeDir. Kills it and reports a time-out after the limit.
PlayerResult RunPlayer(const std::string& folder, const std::vector<std::string>& args,
                       const std::string& runtimeDir, int timeoutSeconds = 60);

// The same, started in the background; WaitPlayer collects it.
int StartPlayer(const std::string& folder, const std::vector<std::string>& args, const std::string& runtimeDir,
                const std::string& errorFile);
PlayerResult WaitPlayer(int pid, const std::string& errorFile, int timeoutSeconds = 60);
