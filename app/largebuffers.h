#pragma once

// Keeps the memory of large freed buffers (pictures, encoded bytes, texts)
// from staying with the process. With glibc, a freed block of a few megabytes
// otherwise stays in the allocator arena of the thread that made it (the
// encoder's workers each have one), so resident memory grows with every
// large picture. Elsewhere it does nothing.

// Makes every block from 1 MB up a mapping of its own, returned to the
// system when freed. Idempotent; takes effect for later allocations.
void mapLargeBuffersSeparately();
