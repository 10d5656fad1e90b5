// Looks for a running Mach3 before actions that need the profile on disk to
// be current, or that rewrite it.
#pragma once

// How the check answers when Mach3 runs.
enum Mach3CheckMode : int { Mach3AskToContinue = 0, Mach3Refuse = 1 };

// True when the caller must not go on: Mach3 runs and the user declined
// (ask mode) or Mach3 runs at all (refuse mode). A failing check answers
// false after saying what failed.
bool CheckMach3Running(int mode);

// True when a process list entry's executable name is Mach3's.
bool IsMach3ExecutableName(const wchar_t* exeName);

// The same look at the process list, silent: for a display that only says
// whether Mach3 runs. False when the list cannot be read.
bool Mach3IsRunning();
