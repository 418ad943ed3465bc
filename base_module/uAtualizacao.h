#pragma once

#include "uProxy.h"

#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/Memo.h"

#include <QString>
#include <QStringList>

#include <vector>

// One entry of the update service's list.
struct TUpdate {
    QString Id;
    QString Descricao;
    QString Arquivo;
    QString Extra;
};

// The entries of the service's answer: each ends with "§", its four fields with ";";
// text after the last "§" is ignored, a field without its ";" is empty.
std::vector<TUpdate> LeListaDeAtualizacoes(const QString& resposta);
// Whether a file name from the list may be fetched and run: a plain name of this folder
// (no folder parts, "." or "..", control characters or leading "-").
bool NomeDeAtualizacaoValido(const QString& nome);

// The live-update wizard: lists the updates the service offers, fetches the ticked ones
// into the updates folder and runs them one after the other.
class TuAtualizacao : public vorta::ui::Form {
    Q_OBJECT
public:
    explicit TuAtualizacao(vorta::Component* owner = nullptr);

    vorta::ui::PageControl* PageControl1;
    vorta::ui::TabSheet* TabInicio;
    vorta::ui::TabSheet* TabVerificando;
    vorta::ui::TabSheet* TabBaixando;
    vorta::ui::CheckListBox* CGUpdates;
    vorta::ui::Memo* DisplayMemo;
    vorta::ui::Button* Button1;
    vorta::ui::Button* Button2;
    vorta::ui::Button* Button3;

    std::vector<TUpdate> Updates;
    int QtdUpdates = 0;

    void FormCreate(vorta::ui::Form* sender);
    void Button1Click(QWidget* sender);
    void Button2Click(QWidget* sender);
    void Button3Click(QWidget* sender);
    bool GetProxy();

    // The proxy values GetProxy kept.
    QString ProxyHost;
    int ProxyPort = 0;
    QString ProxyUser;
    QString ProxyPassword;
    bool ProxyBasica = false; // the stored choice switches NTLM off

    // The runs of the last download, in order, with their success.
    QStringList executados() const { return m_executados; }

private:
    QStringList m_executados;
};

extern vorta::Guarded<TuAtualizacao> uAtualizacao;
