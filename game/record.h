// The record file: the most stages cleared in one game, as one signed 32-bit little-endian integer.
#pragma once

// Reads the record into `bestRecord`; false, leaving it untouched, when there is no whole record to read.
bool LoadRecord(const char* path);
// Writes `stage` - 1 when it beats `bestRecord`; true also when there was nothing to write. A failed write
// leaves the old record and is said on standard error (SayFailure), naming the file and why.
bool SaveRecord(const char* path);
