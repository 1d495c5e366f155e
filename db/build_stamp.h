#pragma once

// The program's build stamp: compile date as YYYYMMDD and compile time in seconds since midnight.
struct BuildStamp {
    int date = 0;
    int time = 0;
};

// The stamp the version gate and the login caption use. Until the program sets its own at start-up
// it is the time the build folder was first configured (what the tests see).
BuildStamp currentBuildStamp();
void setCurrentBuildStamp(const BuildStamp &stamp);

// Defined only in the executable, by a source regenerated on every build: so a rebuild without a
// source change recompiles one tiny object and relinks the executable alone.
extern const BuildStamp programBuildStamp;
