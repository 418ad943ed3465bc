#pragma once

#include "platform/report/Report.h"

#include <QString>

#include <vector>

// The delivery protocol of one declaration: the image of its first page framed by the
// protocol number, the receiving-office block and, for an Internet delivery, the
// reception data of the server's reply. One report class per declaration kind.
class TProtocoloRel : public vorta::report::Report {
public:
    explicit TProtocoloRel(vorta::Component* owner = nullptr);

    // The values the labels print.
    QString Protocolo, DataEntrega, Nome, Identificacao, Emissao;

    vorta::report::Band* Titulo;
    vorta::report::Image* QRI_RelatNet = nullptr;
    vorta::report::Image* QRI_Carimbo = nullptr;
    vorta::report::Label* Label_Protocolo = nullptr;
    vorta::report::Label* QRL_Matricula = nullptr;
    vorta::report::Label* QRL_Assinatura = nullptr;
    // The reply's identification under its caption ("CNPJ: ...", "NIRE: ...", "N° CPR: ...").
    vorta::report::Label* QRL_Identificacao = nullptr;
    QString MascaraIdentificacao;

    // Enables the labels of the form "INTERNET" or "AGENFA".
    virtual void Forma(bool internet);

protected:
    vorta::report::Label* texto(const QString& nome, const QString& caption, double left, double top, double width,
                                double pt = 9, bool negrito = false, vorta::report::HAlign a = vorta::report::HAlign::Left);
    // A label printing one of the value fields.
    vorta::report::Label* valor(const QString& nome, const QString* campo, double left, double top, double width);
    // A value label on the blank line of a caption "Caption: ____".
    vorta::report::Label* valorSobre(vorta::report::ReportItem* rotulo, const QString& nome, const QString* campo);
    void logo(double left, double top, bool cor, const QString& nome = QStringLiteral("imgLogo"));
    void imagemDeclaracao(double top, double height);
    // The declaration text (after 20 blanks) over the signature caption, and with
    // linhaData the date line under it.
    void declaracao(double top, const QString& declaro, const QString& assinatura, bool linhaData);
    // The receiving-office block and the clerk lines from top.
    void blocoRecebedor(double top, const QString& matricula, const QString& assinatura);
    // The Internet reception block from top; its items are those the "AGENFA" form hides.
    void blocoInternet(double top, const QString& titulo, const QString& idCaption, const QString& idNome);

    std::vector<vorta::report::ReportItem*> m_internet;
    std::vector<vorta::report::ReportItem*> m_agenfa;
};

// "TUV", "WEN", "HAX", "ZIR", "RUX", "LIM": the shared one-page layout.
class TProtNetMovimento : public TProtocoloRel {
public:
    struct Leiaute {
        QString caption, orgao, tituloDeclaracao, recepcao, idCaption, idNome, mascara;
        bool comunicado = false;
    };
    TProtNetMovimento(vorta::Component* owner, const Leiaute& l);
};

// "KOB" reasons "030" and "043".
class TRel_Prot_Net : public TProtocoloRel {
public:
    TRel_Prot_Net(vorta::Component* owner, const QString& motivo);
    vorta::report::Label* QRL_TituloNet;
    vorta::report::Label* Label_Data;
    void Forma(bool internet) override;
};

// "POZ": one form; exactly one of its two logos prints.
class TReProtPOZ : public TProtocoloRel {
public:
    explicit TReProtPOZ(vorta::Component* owner);
    vorta::report::Image* imgKalviCOR;
    vorta::report::Image* imgKalviPB;
};

// The report that holds the report of its saved file ("KOB" reason "051").
class TRel_Prot_Especial : public vorta::report::Report {
public:
    using Report::Report;
};

// The current declaration's protocol in the form "INTERNET" or "AGENFA".
void ImprimeProtocoloKOB(const QString& forma);
void ImprimeProtocoloTUV(const QString& forma);
void ImprimeProtocoloWEN(const QString& forma);
void ImprimeProtocoloHAX(const QString& forma);
void ImprimeProtocoloZIR(const QString& forma);
void ImprimeProtocoloRUX(const QString& forma);
void ImprimeProtocoloLIM(const QString& forma);
void ImprimeProtocoloPOZ(const QString& forma);
// The protocol of the current declaration's kind.
void ImprimeProtocolo(const QString& forma);
// Pages the current declaration will print.
int ContaPaginas();
bool ImpressoraColorida();
// Deletes the image's ".emf" and ".QRP" copies.
void ApagaTemporarios();
// The reprint of the selected rows of the copied ("AGENFA") or sent ("INTERNET") tab.
class TSel_Entrega;
void ReimprimeProtocolos(TSel_Entrega* form);

// Installs the printing into the delivery form's hook.
void InstalaProtocolos();
