#pragma once

// The per-user registry keys of the programs ("HKEY_CURRENT_USER\Software\ORG\APP") stood in
// for by one QSettings store per key: the registry itself on Windows, an INI file under the
// user's configuration folder elsewhere. "Open without creating" means the store exists.
//
// An INI store is never written in place: the programs' changes go to a copy, which replaces
// the key's file only when it has been written whole and reads back as what the store held.
// Qt's own writer takes a short write (a full disc) for success, so a crash or a full disc
// during the write would otherwise cost the previous values.

#include <QSettings>
#include <QString>
#include <map>
#include <memory>

namespace platform {

// Ends a store: writes it and puts it in place (or leaves the previous file).
struct UserKeyCommit {
  QString keyFile;                       // empty: the store is the key itself (the registry)
  std::map<QString, QString> unchanged;  // the values as opened: nothing to write if still so
  void operator()(QSettings* store) const;
};
using UserKey = std::unique_ptr<QSettings, UserKeyCommit>;

// The store of one key; nothing when create is false and the key does not exist yet, or when
// create is true and the key can neither be found nor written.
UserKey OpenUserKey(const QString& organisation, const QString& application, bool create);

}  // namespace platform
