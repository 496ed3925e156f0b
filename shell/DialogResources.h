#pragma once
// The program's dialog resources: 102 the ranking-name entry, 103 the start dialog. Registered
// once, before the first dialog opens.
constexpr int kNameEntryDialogResource = 102;
constexpr int kStartDialogResource = 103;

void RegisterProgramDialogs();
