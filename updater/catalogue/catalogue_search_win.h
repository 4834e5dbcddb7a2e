#ifndef UPDATER_CATALOGUE_CATALOGUE_SEARCH_WIN_H
#define UPDATER_CATALOGUE_CATALOGUE_SEARCH_WIN_H

#include "updater/catalogue/catalogue_walk.h"
#include "updater/transfer/ftp_endpoint.h"

// The search the search page runs: connects to `server` (the secondary update
// server unless a caller says otherwise), walks the catalogue of the process's
// device profile into `list` and closes the connection again. Runs on the calling
// thread; a failed connection leaves `list` empty.
SearchOutcome SearchCatalogue(ComponentList &list, const FtpEndpoint &server = SecondaryServer());

#endif
