#ifndef UPDATER_IDENTIFY_DRIVER_GUARDED_COPY_H
#define UPDATER_IDENTIFY_DRIVER_GUARDED_COPY_H

#ifdef __cplusplus
extern "C" {
#endif

/* Copies `count` bytes; 1 when done, 0 when reading the source or writing
   the destination faulted (part of the bytes may have been copied). x86 only.
   Works the same in kernel and in user mode: the driver copies the caller's
   buffers with it, and a Wine test exercises it in user mode. */
int pmio_guarded_copy(void *destination, const void *source, unsigned long count);

#ifdef __cplusplus
}
#endif

#endif
