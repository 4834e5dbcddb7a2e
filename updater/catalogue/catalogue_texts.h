#ifndef UPDATER_CATALOGUE_CATALOGUE_TEXTS_H
#define UPDATER_CATALOGUE_CATALOGUE_TEXTS_H

#include "common/localized_text.h"
#include "updater/catalogue/catalogue_walk.h"

// The search page's heading after a search that found nothing to offer; null for
// a search that found rows.
const LocalizedText *SearchOutcomeMessage(SearchOutcome outcome);

#endif
