#ifndef UPDATER_CATALOGUE_RELEASE_KEY_H
#define UPDATER_CATALOGUE_RELEASE_KEY_H

#include "common/crypto/rsa_key_text.h"

// The maker's public key compiled in with -DTESSEL_RELEASE_KEY=path. A build
// with a key trusts only what that key signed; a build without one (the
// default) has none and walks the served tree as before.
bool EmbeddedReleaseKey(RsaPublicKey &key);

#endif
