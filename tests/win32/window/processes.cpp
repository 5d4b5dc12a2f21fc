#include "processes.h"

#include <tlhelp32.h>

#include <map>

std::set<DWORD> liveDescendants()
{
    std::map<DWORD, DWORD> parents;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry))
        parents[entry.th32ProcessID] = entry.th32ParentProcessID;
    CloseHandle(snapshot);
    std::set<DWORD> found;
    for (const auto &[id, first] : parents) {
        DWORD parent = first;
        // Up the parents, a bounded way: an ended parent's id may be some other process's now.
        for (int depth = 0; depth < 8 && parent != 0 && parent != id; ++depth) {
            if (parent == GetCurrentProcessId()) {
                found.insert(id);
                break;
            }
            const auto up = parents.find(parent);
            parent = up == parents.end() ? 0 : up->second;
        }
    }
    return found;
}

bool stillRuns(DWORD process)
{
    const HANDLE handle = OpenProcess(SYNCHRONIZE, FALSE, process);
    if (!handle)
        return false;
    const bool runs = WaitForSingleObject(handle, 0) == WAIT_TIMEOUT;
    CloseHandle(handle);
    return runs;
}
