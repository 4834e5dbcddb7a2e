#ifndef UPDATER_RES_RESOURCE_H
#define UPDATER_RES_RESOURCE_H

// Resource identifiers of the update manager.
#define IDI_TESSEL 128

#endif
