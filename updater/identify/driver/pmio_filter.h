#ifndef UPDATER_IDENTIFY_DRIVER_PMIO_FILTER_H
#define UPDATER_IDENTIFY_DRIVER_PMIO_FILTER_H

/* Which physical pages the memory driver serves. Plain C without any library
   call, so that the driver and the native tests compile the same code. */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define PMIO_PAGE_SIZE 4096u
#define PMIO_BIOS_AREA_BASE 0xE0000u
#define PMIO_BIOS_AREA_SIZE 0x20000u

/* True when the page holding `address` lies in the BIOS area or holds part of
   a structure table that a valid SMBIOS entry point ("_SM_" with its "_DMI_"
   part, or a legacy "_DMI_") in the area names. `area` holds `size` bytes of
   physical memory from PMIO_BIOS_AREA_BASE on (at most PMIO_BIOS_AREA_SIZE are
   looked at); entry points that do not fit wholly inside them are ignored. */
int pmio_page_allowed(const unsigned char *area, uint32_t size, uint32_t address);

#ifdef __cplusplus
}
#endif

#endif
