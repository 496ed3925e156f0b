#pragma once
// The bundled demo project: a complete project folder (settings, database, world map, palette of
// definitions, stages, pictures, sounds and music) written by code, the same bytes on every run.
#include <string>

// The project's title as the game shows it.
extern const char* const DemoGameTitle;
// The stage files the world map leads to.
extern const char* const DemoStageFiles[3];
// The challenge stages, in challenge order.
extern const char* const DemoChallengeFiles[3];

// Writes the project into folder (created when missing). The current directory is the folder
// while it runs and is put back afterwards. False with a reason in error on the first failure.
bool GenerateDemoProject(const std::string& folder, std::string* error);
