#include "db/build_stamp.h"

#include "build_stamp_values.h"

namespace {
BuildStamp stamp{TABEL_BUILD_DATE, TABEL_BUILD_TIME};
}

BuildStamp currentBuildStamp()
{
    return stamp;
}

void setCurrentBuildStamp(const BuildStamp &value)
{
    stamp = value;
}
