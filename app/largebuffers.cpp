#include "largebuffers.h"

#include <cstdlib>  // defines __GLIBC__ where glibc is the C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <mutex>

void mapLargeBuffersSeparately()
{
#if defined(__GLIBC__)
    static std::once_flag once;
    // A fixed threshold also stops glibc from raising it (up to 32 MB) each
    // time such a block is freed, which is what lets them pile up.
    std::call_once(once, [] { mallopt(M_MMAP_THRESHOLD, 1024 * 1024); });
#endif
}
