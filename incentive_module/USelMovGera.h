#pragma once

#include "Checksum.h"

#include "platform/db/DataSource.h"
#include "platform/db/Query.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/Form.h"
#include "platform/ui/StatusBar.h"

#include <QString>

// The list of validated movements from which the user generates declaration files:
// each selected movement becomes its zipped data packet with the CRC in the comment,
// its protocol image and its queued delivery row.
class TSelMovGera : public vorta::ui::Form {
    Q_OBJECT
public:
    explicit TSelMovGera(vorta::Component* owner = nullptr);

    vorta::db::Query* QryGerar;
    vorta::db::DataSource* dsGerar;
    vorta::ui::DBGrid* dbgMovimento;
    vorta::ui::Edit* Edit_Busca;
    vorta::ui::RadioGroup* RadioGroup_Contribuinte;
    vorta::ui::StatusBar* msgStatus;
    TChecksum* Checksum;
    vorta::ui::Button* BtGerar;
    vorta::ui::Button* btSair;
    vorta::ui::SpeedButton* SpeedButton1;
    vorta::ui::SpeedButton* btPrimeiro;
    vorta::ui::SpeedButton* btAnterior;
    vorta::ui::SpeedButton* btProximo;
    vorta::ui::SpeedButton* btUltimo;

    void FormShow();
    void BtGerarClick();
    void btPrimeiroClick();
    void btAnteriorClick();
    void btProximoClick();
    void btUltimoClick();
    void Edit_BuscaKeyDown(int& key);
    void btSairClick();
    void SpeedButton1Click();
    void QryGerarCalcFields(vorta::db::DataSet& dataSet);

    void LinhasArquivo();
    void CriaNomeArqProt(const QString& tipo);
    void CompactarArquivo();
    void CriaProtocolo();
    static double StringToFloat(const QString& text);

    // The declaration file's 14-character name.
    static QString NomeDeclaracao(const QString& inscricao, int ano, int mes, const QString& tipo);
    // The zip comment: the CRC, CR LF, "Vorta" and three digits of the version.
    static QByteArray ComentarioZip(const QString& crc, const QString& versao);

    // Values of the movement being generated.
    QString VersaoTres, Inscricao, Ano, Mes, Tipo, MesHex, NomeArquivo, CRC;
    int Codigo = 0;

private:
    void habilitaNavegacao(bool first, bool prior, bool next, bool last);
    void descartaTemporarios();
    void gravaEntrega(const QString& versao);
    QString zipTemporario() const;
    QString imagemTemporaria() const;
};

extern vorta::Guarded<TSelMovGera> SelMovGera;

// Opens the generation list modally: the menu calls it, and start-up hands it to the
// validation window as its hook.
void MostraSelMovGera();
