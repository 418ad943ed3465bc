#include "platform/ui/FileControls.h"

#include "platform/os/Drives.h"
#include "platform/os/FileSearch.h"

#include <QDir>
#include <QKeyEvent>

namespace vorta::ui {

namespace {
QString withSlash(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}
} // namespace

DriveComboBox::DriveComboBox(QWidget* parent, const QString& name) : QComboBox(parent), Control(this, parent, name)
{
    for (char c = 'A'; c <= 'Z'; ++c)
        if (!os::drivePath(QChar::fromLatin1(c)).isEmpty())
            addItem(QStringLiteral("%1:").arg(QChar::fromLatin1(c).toLower()));
    connect(this, &QComboBox::activated, this, [this] {
        if (dirList)
            dirList->setDirectory(os::drivePath(drive()));
    });
}

QChar DriveComboBox::drive() const
{
    const QString t = currentText();
    return t.isEmpty() ? QChar() : t.at(0).toUpper();
}

void DriveComboBox::setDrive(QChar letter)
{
    const int i = findText(QStringLiteral("%1:").arg(letter.toLower()));
    if (i >= 0)
        setCurrentIndex(i);
}

QChar DriveComboBox::driveOf(const QString& folder)
{
    const QString f = withSlash(QDir::cleanPath(folder));
    QChar best = QLatin1Char('C');
    int longest = -1;
    for (char c = 'A'; c <= 'Z'; ++c) {
        const QString p = os::drivePath(QChar::fromLatin1(c));
        if (p.isEmpty())
            continue;
        const QString root = withSlash(QDir::cleanPath(p));
        if (f.startsWith(root) && root.size() > longest) {
            longest = int(root.size());
            best = QChar::fromLatin1(c);
        }
    }
    return best;
}

DirectoryListBox::DirectoryListBox(QWidget* parent, const QString& name) : ListBox(parent, name)
{
    connect(this, &QListWidget::itemDoubleClicked, this, [this] { openCurrent(); });
}

void DirectoryListBox::setDirectory(const QString& folder)
{
    m_directory = withSlash(QDir::cleanPath(QDir(folder).absolutePath()));
    clear();
    if (QDir(m_directory).cdUp())
        addItem(QStringLiteral(".."));
    const QStringList subs = QDir(m_directory).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& s : subs)
        addItem(s);
    if (count() > 0)
        setCurrentRow(0);
    if (dirLabel)
        dirLabel->setCaption(m_directory);
    if (fileList)
        fileList->setDirectory(m_directory);
    if (OnChange)
        OnChange(this);
}

void DirectoryListBox::openCurrent()
{
    if (!currentItem())
        return;
    const QString item = currentItem()->text();
    setDirectory(item == QLatin1String("..") ? m_directory + QStringLiteral("..") : m_directory + item);
}

void DirectoryListBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        openCurrent();
        event->accept();
        return;
    }
    ListBox::keyPressEvent(event);
}

FileListBox::FileListBox(QWidget* parent, const QString& name) : ListBox(parent, name) {}

void FileListBox::setDirectory(const QString& folder)
{
    m_directory = withSlash(folder);
    update();
}

void FileListBox::update()
{
    clear();
    for (const os::SearchRec& r : os::findEntries(m_directory + mask, 0))
        addItem(r.name);
}

QString FileListBox::fileName() const
{
    return currentItem() && currentItem()->isSelected() ? m_directory + currentItem()->text() : QString();
}

} // namespace vorta::ui
