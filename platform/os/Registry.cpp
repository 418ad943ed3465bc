#include "platform/os/Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <vector>

namespace vorta::os {

namespace {

// File layout: "[KEY PATH]" lines, then "name=T:value" lines (T is S, B or I);
// backslashes and line ends inside values are escaped.
struct Key {
    QString path;
    std::vector<std::pair<QString, QString>> values; // name, typed value
};

using Store = std::vector<Key>;

QString escape(const QString& s)
{
    QString out;
    for (QChar c : s) {
        if (c == QLatin1Char('\\')) out += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n')) out += QStringLiteral("\\n");
        else if (c == QLatin1Char('\r')) out += QStringLiteral("\\r");
        else if (c == QLatin1Char('=')) out += QStringLiteral("\\e");
        else out += c;
    }
    return out;
}

QString unescape(const QString& s)
{
    QString out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s.at(i) == QLatin1Char('\\') && i + 1 < s.size()) {
            const QChar n = s.at(++i);
            out += n == QLatin1Char('n') ? QChar('\n') : n == QLatin1Char('r') ? QChar('\r')
                 : n == QLatin1Char('e') ? QChar('=') : n;
        } else {
            out += s.at(i);
        }
    }
    return out;
}

Store parse(const QByteArray& data)
{
    Store store;
    for (const QByteArray& raw : data.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            store.push_back(Key{line.mid(1, line.size() - 2), {}});
            continue;
        }
        if (store.empty())
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        store.back().values.emplace_back(unescape(line.left(eq)), unescape(line.mid(eq + 1)));
    }
    return store;
}

QByteArray serialize(const Store& store)
{
    QByteArray out = "; registry of the installation\n";
    for (const Key& k : store) {
        out += '[' + k.path.toUtf8() + "]\n";
        for (const auto& [name, value] : k.values)
            out += escape(name).toUtf8() + '=' + escape(value).toUtf8() + '\n';
    }
    return out;
}

QString normal(const QString& path)
{
    QStringList parts = path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    return parts.join(QLatin1Char('\\'));
}

bool samePath(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

Store load()
{
    QFile f(Registry::storePath());
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return parse(f.readAll());
}

Key* find(Store& store, const QString& path)
{
    for (Key& k : store)
        if (samePath(k.path, path))
            return &k;
    return nullptr;
}

const Key* find(const Store& store, const QString& path)
{
    for (const Key& k : store)
        if (samePath(k.path, path))
            return &k;
    return nullptr;
}

bool keyPresent(const Store& store, const QString& path)
{
    const QString prefix = path + QLatin1Char('\\');
    for (const Key& k : store)
        if (samePath(k.path, path) || k.path.startsWith(prefix, Qt::CaseInsensitive))
            return true;
    return false;
}

// Runs change on the store under the file lock and writes it back atomically.
template <class F>
void modify(F&& change)
{
    const QString path = Registry::storePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    const int lock = ::open(QFile::encodeName(path + QStringLiteral(".lock")).constData(),
                            O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lock >= 0)
        ::flock(lock, LOCK_EX);
    struct Unlock {
        int fd;
        ~Unlock()
        {
            if (fd >= 0) {
                ::flock(fd, LOCK_UN);
                ::close(fd);
            }
        }
    } unlock{lock};
    Store store = load();
    if (!change(store))
        return;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(serialize(store)) < 0 || !out.commit())
        throw ERegistryException(QStringLiteral("Failed to write the registry file %1").arg(path));
}

} // namespace

Registry::Registry(RootKey root) : m_root(root) {}

QString Registry::storePath()
{
    const QString configured = qEnvironmentVariable("VORTA_REGISTRY");
    if (!configured.isEmpty())
        return configured;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/vorta/registry");
}

QString Registry::absolute(const QString& key) const
{
    const QString root = m_root == RootKey::LocalMachine ? QStringLiteral("HKEY_LOCAL_MACHINE")
                                                         : QStringLiteral("HKEY_CURRENT_USER");
    if (key.startsWith(QLatin1Char('\\')) || m_current.isEmpty())
        return normal(root + QLatin1Char('\\') + key);
    return normal(m_current + QLatin1Char('\\') + key);
}

bool Registry::openKey(const QString& key, bool canCreate)
{
    const QString path = absolute(key);
    if (!keyPresent(load(), path)) {
        if (!canCreate)
            return false;
        modify([&](Store& store) {
            if (find(store, path))
                return false;
            store.push_back(Key{path, {}});
            return true;
        });
    }
    m_current = path;
    m_readOnly = false;
    return true;
}

bool Registry::openKeyReadOnly(const QString& key)
{
    const QString path = absolute(key);
    if (!keyPresent(load(), path))
        return false;
    m_current = path;
    m_readOnly = true;
    return true;
}

void Registry::closeKey()
{
    m_current.clear();
    m_readOnly = false;
}

bool Registry::keyExists(const QString& key) const
{
    return keyPresent(load(), absolute(key));
}

QString Registry::readTyped(const QString& name, bool* found) const
{
    *found = false;
    if (m_current.isEmpty())
        return QString();
    const Store store = load();
    if (const Key* k = find(store, m_current))
        for (const auto& [n, v] : k->values)
            if (samePath(n, name)) {
                *found = true;
                return v;
            }
    return QString();
}

bool Registry::valueExists(const QString& name) const
{
    bool found = false;
    readTyped(name, &found);
    return found;
}

QStringList Registry::getKeyNames() const
{
    QStringList names;
    if (m_current.isEmpty())
        return names;
    const QString prefix = m_current + QLatin1Char('\\');
    for (const Key& k : load()) {
        if (!k.path.startsWith(prefix, Qt::CaseInsensitive))
            continue;
        const QString first = k.path.mid(prefix.size()).section(QLatin1Char('\\'), 0, 0);
        if (!first.isEmpty() && !names.contains(first, Qt::CaseInsensitive))
            names << first;
    }
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return names;
}

QStringList Registry::getValueNames() const
{
    QStringList names;
    const Store store = load();
    if (const Key* k = find(store, m_current))
        for (const auto& [n, v] : k->values)
            names << n;
    return names;
}

QString Registry::readString(const QString& name) const
{
    bool found = false;
    const QString typed = readTyped(name, &found);
    if (!found)
        return QString();
    if (!typed.startsWith(QLatin1String("S:")))
        throw ERegistryException(QStringLiteral("Invalid data type for '%1'").arg(name));
    return typed.mid(2);
}

bool Registry::readBool(const QString& name) const
{
    return readInteger(name) != 0;
}

int Registry::readInteger(const QString& name) const
{
    bool found = false;
    const QString typed = readTyped(name, &found);
    bool ok = false;
    const int value = typed.mid(2).toInt(&ok);
    if (!found || !(typed.startsWith(QLatin1String("I:")) || typed.startsWith(QLatin1String("B:"))) || !ok)
        throw ERegistryException(QStringLiteral("Invalid data type for '%1'").arg(name));
    return value;
}

void Registry::write(const QString& name, const QString& typed)
{
    if (m_current.isEmpty() || m_readOnly)
        throw ERegistryException(QStringLiteral("Failed to set data for '%1'").arg(name));
    const QString path = m_current;
    modify([&](Store& store) {
        Key* k = find(store, path);
        if (!k) {
            store.push_back(Key{path, {}});
            k = &store.back();
        }
        for (auto& [n, v] : k->values)
            if (samePath(n, name)) {
                v = typed;
                return true;
            }
        k->values.emplace_back(name, typed);
        return true;
    });
}

void Registry::writeString(const QString& name, const QString& value)
{
    write(name, QStringLiteral("S:") + value);
}

void Registry::writeBool(const QString& name, bool value)
{
    write(name, value ? QStringLiteral("B:1") : QStringLiteral("B:0"));
}

void Registry::writeInteger(const QString& name, int value)
{
    write(name, QStringLiteral("I:") + QString::number(value));
}

bool Registry::deleteValue(const QString& name)
{
    bool removed = false;
    const QString path = m_current;
    modify([&](Store& store) {
        if (Key* k = find(store, path)) {
            auto it = std::remove_if(k->values.begin(), k->values.end(),
                                     [&](const auto& p) { return samePath(p.first, name); });
            removed = it != k->values.end();
            k->values.erase(it, k->values.end());
        }
        return removed;
    });
    return removed;
}

bool Registry::deleteKey(const QString& key)
{
    const QString path = absolute(key);
    const QString prefix = path + QLatin1Char('\\');
    bool removed = false;
    modify([&](Store& store) {
        auto it = std::remove_if(store.begin(), store.end(), [&](const Key& k) {
            return samePath(k.path, path) || k.path.startsWith(prefix, Qt::CaseInsensitive);
        });
        removed = it != store.end();
        store.erase(it, store.end());
        return removed;
    });
    return removed;
}

bool Registry::moveKey(const QString& oldKey, const QString& newKey)
{
    const QString from = absolute(oldKey);
    const QString to = absolute(newKey);
    if (samePath(from, to) || to.startsWith(from + QLatin1Char('\\'), Qt::CaseInsensitive))
        return false;
    bool moved = false;
    modify([&](Store& store) {
        if (!keyPresent(store, from) || keyPresent(store, to))
            return false;
        const QString prefix = from + QLatin1Char('\\');
        bool hasSelf = false;
        for (Key& k : store) {
            if (samePath(k.path, from)) {
                k.path = to;
                hasSelf = true;
            } else if (k.path.startsWith(prefix, Qt::CaseInsensitive)) {
                k.path = to + k.path.mid(from.size());
            }
        }
        if (!hasSelf)
            store.push_back(Key{to, {}});
        moved = true;
        return true;
    });
    return moved;
}

} // namespace vorta::os
