// Progress accounting of the copy phase: the running total of copied bytes
// and the progress bar position it gives.
#pragma once

// The total after a file whose copy returned result (bytes written, or a
// negative error): the size is rounded up to a multiple of 2048, as a
// diskette's allocation would; an error or an empty file adds nothing. The
// total is held at the 32-bit maximum instead of wrapping around.
int AddCopiedBytes(int copiedBytes, int result);

// The bar's position when the copy has counted exactly the expected bytes.
const int kProgressEnd = 100;

// copiedBytes * 100 / expectedBytes in 64 bits, truncated, not limited to 100
// but held to the 32-bit range. With no expected size (0 or less) the
// position is 0: the bar stays at its start rather than dividing by zero.
int ProgressPercent(int copiedBytes, int expectedBytes);
