#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/ListBox.h"

#include <QComboBox>

namespace vorta::ui {

class DirectoryListBox;
class FileListBox;

// The drives of the system (letters that name a folder, see os::drivePath); choosing
// one moves the folder list to the drive's folder.
class DriveComboBox : public QComboBox, public Control {
    Q_OBJECT
public:
    explicit DriveComboBox(QWidget* parent, const QString& name = QString());
    QChar drive() const;
    void setDrive(QChar letter);
    DirectoryListBox* dirList = nullptr;
    // The drive of a folder: the letter whose folder holds it most closely.
    static QChar driveOf(const QString& folder);
};

// The current folder's parent ("..") and sub-folders; Enter or a double-click opens
// the one chosen. The file list follows the folder.
class DirectoryListBox : public ListBox {
    Q_OBJECT
public:
    explicit DirectoryListBox(QWidget* parent, const QString& name = QString());
    // Always ends with "/".
    QString directory() const { return m_directory; }
    void setDirectory(const QString& folder);
    FileListBox* fileList = nullptr;
    Label* dirLabel = nullptr;
    Notify OnChange;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void openCurrent();
    QString m_directory;
};

// The files of a folder that match the mask; the chosen one is fileName().
class FileListBox : public ListBox {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent, const QString& name = QString());
    QString mask = QStringLiteral("*.*");
    QString directory() const { return m_directory; }
    void setDirectory(const QString& folder);
    // The chosen file's full path, "" when none is chosen.
    QString fileName() const;
    void update();

private:
    QString m_directory;
};

} // namespace vorta::ui
