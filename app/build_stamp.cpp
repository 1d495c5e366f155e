#include "app/build_stamp.h"

#include "build_stamp_values.h"

BuildStamp currentBuildStamp()
{
    return {TABEL_BUILD_DATE, TABEL_BUILD_TIME};
}
