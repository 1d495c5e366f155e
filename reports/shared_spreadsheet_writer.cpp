#include "reports/shared_spreadsheet_writer.h"

#include "reports/spreadsheet_writer.h"

SpreadsheetWriter &SharedSpreadsheetWriter()
{
    static SpreadsheetWriter writer;
    return writer;
}
