#include "db/connection_string.h"

QString composeConnectionString(const QStringList &arguments, const QString &defaultServer)
{
    const QString server = arguments.value(1);
    const bool serverGiven = !server.isEmpty();
    const QString database = serverGiven ? arguments.value(0) : QStringLiteral("plant_db");
    return QStringLiteral("DRIVER={PostgreSQL UNICODE};DATABASE=") + database
        + QStringLiteral(";SERVER=") + (serverGiven ? server : defaultServer)
        + QStringLiteral(";PORT=5432;UID=sys;PWD=") + QStringLiteral("wubzelk")
        + QStringLiteral(";SSLmode=allow;")
        + QStringLiteral("ReadOnly=0;Protocol=7.4;FakeOidIndex=0;ShowOidColumn=0;RowVersioning=0;"
                         "ShowSystemTables=0;Fetch=100;UnknownSizes=0;MaxVarcharSize=255;"
                         "MaxLongVarcharSize=8190;")
        + QStringLiteral("Debug=0;CommLog=0;UseDeclareFetch=0;TextAsLongVarchar=1;"
                         "UnknownsAsLongVarchar=0;BoolsAsChar=1;Parse=0;ExtraSysTablePrefixes=;"
                         "LFConversion=1;UpdatableCursors=1;")
        + QStringLiteral("TrueIsMinus1=0;BI=0;ByteaAsLongVarBinary=1;UseServerSidePrepare=1;"
                         "LowerCaseIdentifier=0;D6=-101;OptionalErrors=0;XaOpt=1");
}
