// The editor's allocation of large blocks: a block of a few megabytes or more (the document's
// buffer, a plug-in's copy of the selection or of its output) starts on a huge page and asks
// the kernel for transparent huge pages. Such a block is filled right after it is allocated,
// and the pages of a fresh block are otherwise found one 4 KB page at a time: on a virtual
// machine each of those faults costs microseconds, 0.15 s for a 50 MB block, and with huge
// pages there are 512 times fewer. Where the kernel gives huge pages only on request (its
// "madvise" setting, Debian's default) this is the request; elsewhere it changes nothing. Every
// other allocation is malloc's, and delete stays the library's (it frees what malloc gave).
#include <cstdint>
#include <cstdlib>
#include <malloc.h>
#include <new>
#include <sys/mman.h>

namespace {

constexpr std::uintptr_t HugePage = std::uintptr_t(2) << 20;
constexpr std::size_t LargeBlock = 2 * HugePage;

/// Blocks smaller than a large block come from malloc's heap, where what is freed is reused:
/// QScintilla grows its line index by a sixth or more at a time, each time into a new block,
/// and by default malloc maps afresh every block larger than the last one it unmapped, so each
/// step of a large load found all its pages again one fault at a time. Large blocks are still
/// mapped of their own and given back when freed.
struct HeapPolicy
{
    HeapPolicy()
    {
        mallopt(M_MMAP_THRESHOLD, static_cast<int>(LargeBlock));
        mallopt(M_TRIM_THRESHOLD, static_cast<int>(4 * LargeBlock));
    }
};
const HeapPolicy heapPolicy;

void *allocate(std::size_t size)
{
    for (;;) {
        void *block = nullptr;
        if (size < LargeBlock) {
            block = std::malloc(size == 0 ? 1 : size);
        } else if (::posix_memalign(&block, HugePage, size) == 0) {
            // Starting on a huge page, so that only its last part, if any, has small pages.
            // A hint: when the kernel declines, the block simply has small pages.
            ::madvise(block, size & ~(HugePage - 1), MADV_HUGEPAGE);
        }
        if (block)
            return block;
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
