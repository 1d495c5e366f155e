#pragma once

class SpreadsheetWriter;

// The writer that lives for the whole run and serves both the operation-price export and the
// report centre's product export. Each export sets its own export name before openWorkbook.
SpreadsheetWriter &SharedSpreadsheetWriter();
