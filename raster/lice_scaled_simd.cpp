// Vector kernels for scaled blits.
