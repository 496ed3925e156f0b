#pragma once
// The first steps of the process: the trace log switched off, the report log created afresh
// beside the program with the version line and the system report. False when the report log
// cannot be created; the program then ends at once without a message.
bool OpenProgramLogs();
