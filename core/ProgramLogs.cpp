#include "core/ProgramLogs.h"

#include <string>

#include "core/Log.h"
#include "core/Path.h"
#include "core/SystemReport.h"

bool OpenProgramLogs()
{
    SetTraceLog(0, "EC_Game.txt");
    // The report path is made absolute; the trace path stays relative.
    std::string reportPath = "Report_Game.txt";
    MakePathAbsolute(reportPath);
    if (!CreateReportLog(reportPath.c_str())) return false;
    WriteReportLog("App : ver %s", "751");
    WriteSystemReport();
    return true;
}
