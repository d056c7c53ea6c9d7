#pragma once

// The per-user registry keys of the programs ("HKEY_CURRENT_USER\Software\ORG\APP") stood in
// for by one QSettings store per key: the registry itself on Windows, an INI file under the
// user's configuration folder elsewhere. "Open without creating" means the store exists.

#include <QSettings>
#include <QString>
#include <memory>

namespace platform {

// The store of one key; nothing when create is false and the key does not exist yet, or when
// create is true and the key can neither be found nor written.
std::unique_ptr<QSettings> OpenUserKey(const QString& organisation, const QString& application,
                                       bool create);

}  // namespace platform
