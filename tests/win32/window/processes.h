#pragma once

#include <windows.h>

#include <set>

/// The processes this one started that run now, and what they started.
std::set<DWORD> liveDescendants();

/// Whether the process @p process still runs.
bool stillRuns(DWORD process);
