#ifndef SETUP_RES_RESOURCE_H
#define SETUP_RES_RESOURCE_H

// Resource identifiers of the setup wizard.
#define IDI_MARBOSETUP 128

#endif
