// The editor's allocation of large blocks: a block of a few megabytes or more (the document's
// buffer, a plug-in's copy of the selection or of its output) asks the kernel for transparent
// huge pages. Such a block is filled right after it is allocated, and the pages of a fresh
// block are otherwise found one 4 KB page at a time: on a virtual machine each of those faults
// costs microseconds, 0.15 s for a 50 MB block, and with huge pages there are 512 times fewer.
// Where the kernel gives huge pages only on request (its "madvise" setting, Debian's default)
// this is the request; elsewhere it changes nothing. Every other allocation is malloc's, and
// delete stays the library's (it frees what malloc gave).
#include <cstdint>
#include <cstdlib>
#include <new>
#include <sys/mman.h>

namespace {

constexpr std::uintptr_t HugePage = std::uintptr_t(2) << 20;
constexpr std::size_t LargeBlock = 2 * HugePage;

void *allocate(std::size_t size)
{
    for (;;) {
        if (void *block = std::malloc(size == 0 ? 1 : size)) {
            if (size >= LargeBlock) {
                // Only the whole huge pages inside the block: the advice covers their range.
                const auto at = reinterpret_cast<std::uintptr_t>(block);
                const std::uintptr_t begin = (at + HugePage - 1) & ~(HugePage - 1);
                const std::uintptr_t end = (at + size) & ~(HugePage - 1);
                if (end > begin) {
                    // A hint: when the kernel declines, the block simply has small pages.
                    ::madvise(reinterpret_cast<void *>(begin), end - begin, // NOLINT
                              MADV_HUGEPAGE);
                }
            }
            return block;
        }
        const std::new_handler handler = std::get_new_handler();
        if (handler == nullptr)
            throw std::bad_alloc();
        handler();
    }
}

} // namespace

void *operator new(std::size_t size)
{
    return allocate(size);
}

void *operator new[](std::size_t size)
{
    return allocate(size);
}
