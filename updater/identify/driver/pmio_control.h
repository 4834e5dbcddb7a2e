#ifndef PMIO_CONTROL_H
#define PMIO_CONTROL_H

/* The driver's one control code, shared by pmio.sys and its caller: device
   type 0x9C40, function 0x900, METHOD_NEITHER (3), FILE_READ_ACCESS (1). With
   read access in the code the I/O manager refuses the request on a handle that
   was not opened for reading, a second line behind the device's access list. */
#define PMIO_IOCTL_READ_PAGE ((0x9C40u << 16) | (1u << 14) | (0x900u << 2) | 3u)

#endif
