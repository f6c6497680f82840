#pragma once
// Trace points: the framework marks its events with Trace calls. Tracing is
// switched off in this build: nothing is written and the name functions give "".

// Receives the calling operation, a source line and a printf-style message.
void Trace(const char* funcName, int line, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// Local time and UTC offset as "YYYYMMDD HH:MM +HHMM" in a static buffer that
// every call overwrites.
const char* CurrentTime();

const char* VSTOpcodeStr(int opcode);
const char* AUSelectStr(int select);
const char* AUPropertyStr(int propID);
const char* AUScopeStr(int scope);
