#ifndef TESTS_HARNESS_THREAD_COUNT_WIN_H
#define TESTS_HARNESS_THREAD_COUNT_WIN_H

// Threads of this process now (-1 when the system cannot say): a worker that
// outlived its control shows as one thread too many.
int ThreadCount();

#endif
