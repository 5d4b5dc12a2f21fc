// Library start-up on the Linux stand-in: the library's resources become readable by its
// module handle, as a Windows library's are from the start; nothing else is made.

#include "librarymodule.h"
#include "resources/qt/korvexresources.h"

namespace {

struct LibraryResources
{
    LibraryResources() noexcept
    {
        try {
            registerKorvexResources(LibraryModule::handle());
        } catch (...) {
            // Without resources the host shows no texts; the command still works.
        }
    }
    ~LibraryResources() { unregisterKorvexResources(LibraryModule::handle()); }
    LibraryResources(const LibraryResources &) = delete;
    LibraryResources &operator=(const LibraryResources &) = delete;
};
const LibraryResources resources;

} // namespace
