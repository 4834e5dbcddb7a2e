#ifndef UPDATER_CATALOGUE_CATALOGUE_SEARCH_WIN_H
#define UPDATER_CATALOGUE_CATALOGUE_SEARCH_WIN_H

#include <functional>

#include "updater/catalogue/catalogue_walk.h"
#include "updater/transfer/ftp_endpoint.h"

// The search the search page runs on its worker: connects to `server` (the
// secondary update server unless a caller says otherwise), walks the catalogue
// of the process's device profile into `list` and closes the connection again.
// It blocks for as long as the server takes; once `stopRequested` says so, no
// further connection attempt or listing is made and the walk ends with what it
// has. A failed connection leaves `list` empty.
SearchOutcome SearchCatalogue(ComponentList &list, const FtpEndpoint &server = SecondaryServer(),
                              const std::function<bool()> &stopRequested = {});

#endif
