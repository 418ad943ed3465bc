// Windows, forms, menus and the desktop of the general unit.

#include "comum.h"

#include "platform/os/Drives.h"
#include "platform/ui/Application.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Form.h"
#include "platform/ui/Menu.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

vorta::ui::Form* formOfHandle(vorta::ipc::WindowHandle handle)
{
    return dynamic_cast<vorta::ui::Form*>(vorta::ipc::Messenger::instance().target(handle));
}

void postKey(vorta::ipc::WindowHandle handle, QEvent::Type type, int key, const QString& text)
{
    vorta::ui::Form* form = formOfHandle(handle);
    if (!form)
        return;
    QWidget* to = form->activeControl() ? form->activeControl() : form;
    QCoreApplication::postEvent(to, new QKeyEvent(type, key, Qt::NoModifier, text));
}

void processMessages()
{
    if (auto* app = vorta::Application::instance())
        app->processMessages();
    else
        QCoreApplication::processEvents();
}

} // namespace

void SendKey(vorta::ipc::WindowHandle handle, std::uint16_t key)
{
    const int qt = vorta::ui::qtKey(key);
    QString text;
    if (key == vorta::ui::VK_RETURN)
        text = QStringLiteral("\r");
    else if (key == vorta::ui::VK_SPACE || (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        text = QChar(key).toLower();
    postKey(handle, QEvent::KeyPress, qt, text);
    postKey(handle, QEvent::KeyRelease, qt, text);
    processMessages();
}

void SendChar(vorta::ipc::WindowHandle handle, QChar ch)
{
    const int key = ch.isLetterOrNumber() && ch.toUpper().unicode() < 256 ? int(ch.toUpper().unicode()) : int(Qt::Key_unknown);
    postKey(handle, QEvent::KeyPress, key, QString(ch));
    processMessages();
}

int TabOrderOf(const QWidget* control)
{
    if (!control || !control->parentWidget() || qobject_cast<const QLabel*>(control))
        return -1;
    const QWidget* parent = control->parentWidget();
    QList<const QWidget*> order;
    const QWidget* it = parent->nextInFocusChain();
    for (int guard = 0; it && it != parent && guard < 100000; ++guard, it = it->nextInFocusChain())
        if (it->parentWidget() == parent && !qobject_cast<const QLabel*>(it) && !order.contains(it))
            order << it;
    return int(order.indexOf(control));
}

bool wSetFocus(QWidget* sender, QWidget* target)
{
    auto* form = target ? qobject_cast<vorta::ui::Form*>(target->window()) : nullptr;
    QWidget* active = form ? form->activeControl() : nullptr;
    if (active && sender) {
        const auto order = [](const QWidget* w) { return std::int16_t(TabOrderOf(w)); };
        const QWidget* activeParent = active->parentWidget();
        const QWidget* senderParent = sender->parentWidget();
        if (order(active) < order(sender) && order(activeParent) == order(senderParent))
            return false;
        if (order(activeParent) < order(senderParent))
            return false;
    }
    if (!target)
        return false;
    if (form)
        form->setActiveControl(target);
    else
        target->setFocus();
    return true;
}

namespace comum_detail {

int ShowAndFree(vorta::ui::Form* form)
{
    struct Done {
        vorta::ui::Form* form;
        ~Done()
        {
            vorta::Component::free(form);
            vorta::Screen::instance().setCursor(vorta::Screen::Cursor::Default);
        }
    } done{form};
    return form->showModal();
}

} // namespace comum_detail

QKeySequence ShortCutToKey(std::uint16_t shortCut)
{
    const int vk = shortCut & 0xFF;
    if (vk == 0)
        return QKeySequence();
    int key = vorta::ui::qtKey(vk);
    if (key == 0 || key == Qt::Key_unknown)
        key = vk; // letters and digits share their codes
    if (shortCut & 0x2000)
        key |= Qt::SHIFT;
    if (shortCut & 0x4000)
        key |= Qt::CTRL;
    if (shortCut & 0x8000)
        key |= Qt::ALT;
    return QKeySequence(key);
}

vorta::ui::MenuItem* NewMenuItem(const QString& caption, std::uint16_t shortCut, bool checked, bool enabled,
                                 std::function<void(vorta::ui::MenuItem*)> onClick, std::uint16_t helpContext,
                                 const QString& name)
{
    auto* item = new vorta::ui::MenuItem(nullptr);
    item->caption = caption;
    item->shortcut = ShortCutToKey(shortCut);
    item->checked = checked;
    item->enabled = enabled;
    item->OnClick = std::move(onClick);
    item->helpContext = helpContext;
    item->setName(name);
    return item;
}

QString SpecialFolderPath(int root)
{
    using SP = QStandardPaths;
    auto first = [](SP::StandardLocation l) { return SP::writableLocation(l); };
    switch (root) {
    case 0x0000: case 0x0010: return first(SP::DesktopLocation);          // desktop
    case 0x0005: return first(SP::DocumentsLocation);                     // documents
    case 0x000D: return first(SP::MusicLocation);
    case 0x000E: return first(SP::MoviesLocation);
    case 0x0027: return first(SP::PicturesLocation);
    case 0x0014: return first(SP::FontsLocation);
    case 0x0015: return first(SP::HomeLocation) + QStringLiteral("/Templates");
    case 0x001A: return first(SP::GenericConfigLocation);                 // roaming data
    case 0x001C: return first(SP::GenericDataLocation);                   // local data
    case 0x0020: return first(SP::GenericCacheLocation);
    case 0x0028: return first(SP::HomeLocation);                          // profile
    case 0x0011: return QStringLiteral("/");                              // the computer
    case 0x0026: return QStringLiteral("/opt");                           // programs
    case 0x0023: return QStringLiteral("/var/lib");                       // data of all users
    default: return QString();
    }
}

QString GetFolder(int root, const QString& title)
{
    const QString base = SpecialFolderPath(root);
    if (base.isEmpty())
        return QString();
    vorta::ui::FileRequest request;
    request.mode = vorta::ui::FileRequest::Mode::Folder;
    request.caption = title;
    request.directory = base;
    const auto chosen = vorta::ui::dialogService().file(request);
    if (!chosen || chosen->isEmpty() || !QFileInfo(*chosen).isDir())
        return QString();
    const QString path = QDir::cleanPath(QFileInfo(*chosen).absoluteFilePath());
    const QString top = QDir::cleanPath(QFileInfo(base).absoluteFilePath());
    if (path != top && !path.startsWith(top == QLatin1String("/") ? top : top + QLatin1Char('/')))
        return QString();
    return path;
}

bool GetFileIcon(const QString& fileName, QIcon& icon)
{
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == QLatin1String("ico") && QFileInfo(fileName).isFile()) {
        QIcon own(fileName);
        if (!own.availableSizes().isEmpty()) {
            icon = own;
            return true;
        }
    }
    // The type is known from the extension alone; the file is not read.
    const QMimeType mime = QMimeDatabase().mimeTypeForFile(QStringLiteral("x.") + ext, QMimeDatabase::MatchExtension);
    QIcon found = QIcon::fromTheme(mime.iconName(), QIcon::fromTheme(mime.genericIconName()));
    if (found.isNull())
        found = QFileIconProvider().icon(QAbstractFileIconProvider::File);
    if (found.isNull())
        return false;
    icon = found;
    return true;
}

qint64 ExecuteFile(const QString& fileName, const QString& params, const QString& folder, int)
{
    const QString file = vorta::os::resolveDrivePath(fileName).value_or(QString());
    const QString dir = folder.isEmpty() ? QString() : vorta::os::resolveDrivePath(folder).value_or(QString());
    if (!folder.isEmpty() && !QFileInfo(dir).isDir())
        return 3;
    const QFileInfo info(QDir(dir.isEmpty() ? QDir::currentPath() : dir), file);
    if (!info.exists())
        return 2;
    if (info.isFile() && info.isExecutable()) {
        const bool started = QProcess::startDetached(info.absoluteFilePath(), QProcess::splitCommand(params),
                                                     dir.isEmpty() ? info.absolutePath() : dir);
        return started ? 42 : 31;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath())) ? 42 : 31;
}
