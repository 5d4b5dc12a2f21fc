#pragma once

#include "platform/platform_export.h"

/**
 * Held by a program's main() ahead of its QApplication: when it goes, after the application,
 * every thread of Qt's global thread pool has ended for good.
 *
 * Qt paints large fills and converts images on its global pool. ~QCoreApplication waits for the
 * pool's threads to finish, but they are detached native threads that still have to run their
 * thread-specific destructors, which free their thread data. If the process exits first, Qt's
 * own exit code deletes the key of those destructors under them and the data is never freed: a
 * LeakSanitizer report of 152 bytes that came and went with the machine's load.
 */
class PLATFORM_EXPORT PooledThreadsDrain
{
public:
    PooledThreadsDrain() = default;
    /// Returns once no thread of Qt's pool is left in the process (or after 10 s).
    ~PooledThreadsDrain();
    PooledThreadsDrain(const PooledThreadsDrain &) = delete;
    PooledThreadsDrain &operator=(const PooledThreadsDrain &) = delete;

    /// The number of threads of Qt's global pool alive in the process now.
    static int pooledThreads();
};
