#pragma once

// The program's build stamp: compile date as YYYYMMDD and compile time in seconds since midnight.
struct BuildStamp {
    int date = 0;
    int time = 0;
};

BuildStamp currentBuildStamp();
