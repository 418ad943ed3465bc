#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"

#include <QList>
#include <QPlainTextEdit>
#include <QStringList>
#include <QVariantList>

#include <functional>

class TDm_Validar;

// A movement picked for validation, as the list row holds it.
struct TMovimentoValidar {
    int codigo = 0;
    QString inscricao, ano, mes, tipo, situacao;
};

// Runs the validation of one movement (from the movement window) or of the rows picked
// in the list, writes the conference report and passes each movement to 'N' or '?'.
class TValidar : public vorta::ui::Form {
    Q_OBJECT
public:
    explicit TValidar(vorta::Component* owner = nullptr);

    bool UmMovimento = false;
    QString TipoValidacao = QStringLiteral("Movimento");
    QString Chamador;
    int MovimentosVerificados = 0;
    int MovimentosComErros = 0;
    int TotalErros = 0;
    bool MovimentoComErro = false;
    // List mode: the selected rows, in selection order.
    QList<TMovimentoValidar> Selecionados;
    // What "&Gerar" opens: the generation list, modally.
    std::function<void()> AbreGeracao;

    QPlainTextEdit* Memo_Validar;
    vorta::ui::Label* LInscricao;
    vorta::ui::Label* LVerificando;
    vorta::ui::Label* LLidas;
    vorta::ui::Label* LErros;
    vorta::ui::SpeedButton* btSair;
    vorta::ui::SpeedButton* btGerar;
    vorta::ui::SpeedButton* btRelatorio;
    vorta::ui::SpeedButton* btCancelar;
    vorta::ui::SpeedButton* btSairGeral;

    QStringList Linhas() const { return m_linhas; }

    void FormShow(vorta::ui::Form* sender);
    // What the posted start message runs once the window shows.
    void IniciaValidacao();
    void ValidaMovimento();
    void ValidaCadastro();
    void RegrasMovimento();
    void MudarStatusMovimento(int codigo, const QString& inscricao, const QString& tipo, const QString& mes,
                              const QString& ano, const QString& status);
    void BtRelatorioClick(QWidget* sender);
    void btGerarClick(QWidget* sender);
    void btSairClick(QWidget* sender);
    void btSairGeralClick(QWidget* sender);

private:
    TDm_Validar* dm() const;
    void escreve(const QString& linha);
    void erro(const QString& texto);
    // Locates declarant and movement and runs both rule sets; false when the
    // declarant's registration, year or month is empty.
    bool verifica(const TMovimentoValidar& m);
    QStringList m_linhas;
};

extern vorta::Guarded<TValidar> Validar;
