#pragma once

#include "platform/core/Exceptions.h"

#include <QString>
#include <QStringList>

namespace vorta::os {

VORTA_EXCEPTION_CLASS(ERegistryException, Exception)

enum class RootKey { LocalMachine, CurrentUser };

// The machine's registry as one text file (VORTA_REGISTRY names it) with the same key
// paths and value names. Every write re-reads the file under a lock and replaces it
// atomically, so two processes never lose each other's values.
class Registry {
public:
    explicit Registry(RootKey root = RootKey::LocalMachine);

    // Keys starting with "\" are absolute, others relative to the open key.
    bool openKey(const QString& key, bool canCreate);
    bool openKeyReadOnly(const QString& key);
    void closeKey();
    QString currentPath() const { return m_current; }

    bool keyExists(const QString& key) const;
    bool valueExists(const QString& name) const;
    QStringList getKeyNames() const;   // subkeys of the open key, case-insensitively sorted
    QStringList getValueNames() const;

    QString readString(const QString& name) const; // "" when missing
    bool readBool(const QString& name) const;      // raises when missing
    int readInteger(const QString& name) const;    // raises when missing
    void writeString(const QString& name, const QString& value);
    void writeBool(const QString& name, bool value);
    void writeInteger(const QString& name, int value);
    bool deleteValue(const QString& name);
    bool deleteKey(const QString& key);
    // Moves the key with its values and sub-keys to newKey in one write; false (and
    // nothing changed) when the old key is missing or the new one already exists.
    bool moveKey(const QString& oldKey, const QString& newKey);

    // The file behind the store.
    static QString storePath();

private:
    QString absolute(const QString& key) const;
    void write(const QString& name, const QString& typed);
    QString readTyped(const QString& name, bool* found) const;

    RootKey m_root;
    QString m_current; // full path with root, empty when no key is open
    bool m_readOnly = false;
};

} // namespace vorta::os
