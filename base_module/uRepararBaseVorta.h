#pragma once

#include "platform/db/Database.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"
#include "platform/ui/Memo.h"
#include "platform/ui/ProgressBar.h"

// Verifies every table of the data folder, repairs the damaged ones and runs the
// installation's index scripts.
class TRepararBaseVorta : public vorta::ui::Form {
    Q_OBJECT
public:
    explicit TRepararBaseVorta(vorta::Component* owner = nullptr);

    vorta::db::Database* REPAIR;
    vorta::db::Table* Table;
    vorta::db::Query* Q_Index;
    vorta::ui::Label* lbVerificando;
    vorta::ui::Label* lbReparando;
    vorta::ui::Label* lbIndices;
    vorta::ui::ProgressBar* pbVerify;
    vorta::ui::ProgressBar* pbRepair;
    vorta::ui::ProgressBar* ProgressBar1;
    vorta::ui::Memo* Memo1;
    vorta::ui::Button* btVerificaRepara;
    vorta::ui::Button* btRetornar;
    vorta::ui::Button* btSair;

    void btVerificaReparaClick(QWidget* sender);
    void CriaIndex();
    void TableVerifyLog(vorta::db::Table& table, const QString& line);
    void TableVerifyProgress(vorta::db::Table& table, int percent, bool& stop);
    void TableRepairProgress(vorta::db::Table& table, int percent, bool& stop);

    // The counts of the last run.
    int reparadas() const { return m_reparadas; }
    int danificadas() const { return m_danificadas; }
    // The copy of the database kept before the last run's first repair ("" when none).
    QString copiaDoBanco() const { return m_copia; }

    // The index scripts of a folder: every "*.Conf" but "Backup.Conf", in name order.
    static QStringList scripts(const QString& pasta);

private:
    void habilita(bool on);
    // The dated copy, made once per run before the first repair; false when it failed.
    bool guardaCopia();
    int m_reparadas = 0;
    int m_danificadas = 0;
    QString m_copia;
};

extern vorta::Guarded<TRepararBaseVorta> RepararBaseVorta;
