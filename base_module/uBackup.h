#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/FileControls.h"
#include "platform/ui/Form.h"
#include "platform/ui/ProgressBar.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>

// "BakVorta" + yyyymmdd + ".zip".
QString NomeDoBackup(const QDate& data);

// What a backup or restore reports while it runs, and how the user stops it.
struct TAcompanhamento {
    std::function<void(int percent)> progresso;
    std::function<bool()> cancelado;
    std::function<void(const QString&)> situacao;
    std::function<void(const QString&)> registro; // lines for the restore's log
};

// Writes the backup archive: the data folder (its database as a consistent snapshot)
// as "Dados/..." and the declaration-files folder as "Arquivos/...", the files that
// match a line of semSerCompactados stored without compression. The archive is written
// under a temporary name and replaces destino only once it closed and reads back
// whole; it is readable by its owner only. Raises vorta::Exception when it could not be
// written (EZipCancelled when the user stopped it), leaving destino as it was.
void GravaBackup(const QString& destino, const QStringList& semSerCompactados, const TAcompanhamento& a = {});

// Restores an archive written by GravaBackup into the installed data: see TBackup.
// Raises EAbort after a numbered message has been shown (10, 1417), vorta::Exception
// for any other failure, with the installed data left as it was.
void RestauraBackup(const QString& arquivo, const TAcompanhamento& a = {});

// Backup and restore of the data and declaration-files folders.
class TBackup : public vorta::ui::Form {
    Q_OBJECT
public:
    explicit TBackup(vorta::Component* owner = nullptr);

    vorta::ui::PageControl* PageControl1;
    vorta::ui::TabSheet* TabCopiar;
    vorta::ui::TabSheet* TabRestaurar;
    vorta::ui::DriveComboBox* DriveCopia;
    vorta::ui::DirectoryListBox* DirCopia;
    vorta::ui::Label* LbDirCopia;
    vorta::ui::Button* btCopiar;
    vorta::ui::Button* btCancelar;
    vorta::ui::DriveComboBox* DriveRestaura;
    vorta::ui::DirectoryListBox* DirRestaura;
    vorta::ui::Label* LbDirRestaura;
    vorta::ui::FileListBox* FileRestaura;
    vorta::ui::Button* BitBtn3;
    vorta::ui::Button* BitBtn4;
    vorta::ui::Label* LbImportar;
    vorta::ui::Button* btSair;
    vorta::ui::Button* btRetornar;
    vorta::ui::ProgressBar* ProgressBar1;

    QString Raiz;
    QString PastaBackup;

    void FormCreate(vorta::ui::Form* sender);
    void FormShow(vorta::ui::Form* sender);
    void btCopiarClick(QWidget* sender);
    void btCancelarClick(QWidget* sender);
    void BitBtn3Click(QWidget* sender);
    bool VerificaArquivosAbertos();
    QStringList LeArquivoParametros();

    // Lines the last restore logged (rows kept on purpose).
    QStringList registro() const { return m_registro; }

private:
    TAcompanhamento acompanhamento();
    bool m_cancelar = false;
    QStringList m_registro;
};

extern vorta::Guarded<TBackup> Backup;
