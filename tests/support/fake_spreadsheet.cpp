#include "fake_spreadsheet.h"

FakeSpreadsheet::FakeSpreadsheet()
{
    m_previous = SpreadsheetApplication::replace({[this] { return available; },
                                                  [this](const QString &path) {
                                                      opened << path;
                                                      return opens;
                                                  }});
}

FakeSpreadsheet::~FakeSpreadsheet()
{
    SpreadsheetApplication::replace(m_previous);
}
