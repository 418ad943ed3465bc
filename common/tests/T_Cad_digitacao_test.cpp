// The register forms typed as a user types them: every field by key presses and Tab,
// saved with Alt+G, then the stored row read back.
#include "T_Cad_Contabilista.h"
#include "T_Cad_Municipio.h"
#include "T_Cad_RespnsavelLegal.h"
#include "T_DM_Comuns.h"
#include "Ufuncoes.h"
#include "uDmVortaModule.h"

#include "platform/db/Database.h"
#include "platform/db/Query.h"
#include "platform/ui/Form.h"
#include "testing/QtMessages.h"
#include "testing/ScriptedDialogs.h"
#include "testing/TempInstallation.h"
#include "testing/UserInput.h"

#include <QApplication>
#include <QMap>

#include <functional>

#include <gtest/gtest.h>

namespace user = vorta::testing::user;
using vorta::db::DataSetState;
using vorta::testing::ScriptedDialogs;
using vorta::ui::MessageKind;

namespace {

using Linha = QMap<QString, QString>;

// One step of the user's typing: the control that must have the focus, then the text
// typed into it ("" types nothing), then Tab.
struct Passo {
    QString controle;
    QString texto;
};

class CadDigitacao : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedDirDados = DirDados;
        m_inst.installDatabase();
        // Every message the forms may show, as "<n> - M<n>".
        vorta::db::executeScript(m_inst.folder(QStringLiteral("dados")), QStringLiteral(
            "DELETE FROM mensagem;"
            "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 2000)"
            " INSERT INTO mensagem (Men_Codigo, Men_Descricao) SELECT x, 'M' || x FROM n;"
            "INSERT INTO Municipio (Mun_Codigo, Mun_Descricao, Mun_CEPInicial, Mun_CEPFinal, Mun_UF) VALUES"
            " (999000, 'NOVA ESPERANCA', '77700000', '77709999', 'QX');"));
        vorta::ui::createForm(DM_Comuns);
        ASSERT_TRUE(DM_Comuns);
    }
    void TearDown() override
    {
        for (vorta::db::DataSet* ds : {static_cast<vorta::db::DataSet*>(DM_Comuns->Tb_Municipio),
                                       static_cast<vorta::db::DataSet*>(DM_Comuns->Tb_Responsavel),
                                       static_cast<vorta::db::DataSet*>(DM_Comuns->Tb_RespEmpresa)})
            if (ds->active() && ds->state() != DataSetState::Browse)
                ds->cancel();
        vorta::Component::free(Cad_Municipio);
        vorta::Component::free(Cad_RespnsavelLegal);
        vorta::Component::free(Cad_Contabilista);
        vorta::Component::free(DM_Comuns);
        DirDados = m_savedDirDados;
    }

    template <class T>
    T* abre(vorta::Guarded<T>& ref)
    {
        T* f = vorta::createInto<T>(ref, vorta::Application::instance());
        f->show();
        user::activate(f);
        return f;
    }

    // Types the steps from the control that has the focus now.
    void digita(QWidget* form, const QList<Passo>& passos)
    {
        for (const Passo& p : passos) {
            QWidget* agora = user::focused();
            ASSERT_TRUE(agora && form->isAncestorOf(agora)) << "no control of the form has the focus";
            // A lookup list has its own line edit or view as the focused child.
            QWidget* controle = agora;
            while (controle && controle->objectName().isEmpty())
                controle = controle->parentWidget();
            ASSERT_EQ(p.controle, controle->objectName()) << "focus before typing " << p.texto.toStdString();
            user::type(p.texto);
            user::tab();
        }
    }

    Linha linha(const QString& tabela, const QString& chave, const QVariant& valor)
    {
        vorta::db::Query q;
        q.setDatabase(DM_Comuns->DB_Comuns);
        q.setSql(QStringLiteral("select * from %1 where %2 = :v").arg(tabela, chave));
        q.paramByName(QStringLiteral("v"))->setValue(valor);
        q.open();
        Linha out;
        if (q.isEmpty())
            return out;
        for (const QString& nome : q.fieldNames())
            out.insert(nome, q.fieldByName(nome)->asString());
        return out;
    }

    // A CRC with the check digit that ChkCRC accepts for the lead.
    static QString crcValido(const QString& semDigito, const QString& lead)
    {
        for (int d = 0; d <= 9; ++d)
            if (ChkCRC(semDigito + QString::number(d), lead))
                return semDigito + QString::number(d);
        ADD_FAILURE() << "no check digit for " << semDigito.toStdString();
        return {};
    }

    // Alt+G: the save, refused with the error message and the focus on the control.
    void recusado(QWidget* form, int mensagem, const QString& controle)
    {
        {
            ScriptedDialogs dialogs;
            dialogs.expectMessage(MessageKind::Error, QStringLiteral("%1 - M%1").arg(mensagem), 1);
            user::alt(QLatin1Char('G'));
        }
        QWidget* foco = user::focused();
        ASSERT_TRUE(foco);
        while (foco && foco->objectName().isEmpty())
            foco = foco->parentWidget();
        EXPECT_EQ(controle, foco ? foco->objectName() : QString());
        EXPECT_TRUE(form->isVisible());
    }

    vorta::testing::TempInstallation m_inst;

private:
    QString m_savedDirDados;
};

TEST_F(CadDigitacao, LegalRepresentativeTypedSavedAndAlteredIsStoredAsTyped)
{
    TCad_RespnsavelLegal* f = abre(Cad_RespnsavelLegal);
    user::alt(QLatin1Char('I'));
    digita(f, {{QStringLiteral("DBEdit_ResEmp_CPF"), QStringLiteral("12345678909")},
               {QStringLiteral("DBEdit_ResEmp_Nome"), QStringLiteral("joana prado")},
               {QStringLiteral("DBEdit_ResEmp_Cargo"), QStringLiteral("sócia")}});
    user::alt(QLatin1Char('G'));
    ASSERT_EQ(DataSetState::Browse, DM_Comuns->Tb_RespEmpresa->state());
    const Linha incluida{{QStringLiteral("ResEmp_CPF"), QStringLiteral("12345678909")},
                         {QStringLiteral("ResEmp_Nome"), QStringLiteral("JOANA PRADO")},
                         {QStringLiteral("ResEmp_Cargo"), QStringLiteral("SÓCIA")}};
    EXPECT_EQ(incluida, linha(QStringLiteral("RespEmpresa"), QStringLiteral("ResEmp_CPF"), QStringLiteral("12345678909")));

    // Reopened: the CPF is the key and stays; the name changes.
    vorta::Component::free(f);
    f = abre(Cad_RespnsavelLegal);
    ASSERT_TRUE(DM_Comuns->Tb_RespEmpresa->locate(QStringLiteral("ResEmp_CPF"), QStringLiteral("12345678909")));
    user::alt(QLatin1Char('A'));
    f->DBEdit_ResEmp_Nome->setFocus();
    user::key(Qt::Key_End);
    user::type(QStringLiteral(" lima"));
    user::alt(QLatin1Char('G'));
    Linha alterada = incluida;
    alterada[QStringLiteral("ResEmp_Nome")] = QStringLiteral("JOANA PRADO LIMA");
    EXPECT_EQ(alterada, linha(QStringLiteral("RespEmpresa"), QStringLiteral("ResEmp_CPF"), QStringLiteral("12345678909")));
    EXPECT_EQ(DataSetState::Browse, DM_Comuns->Tb_RespEmpresa->state());
}

TEST_F(CadDigitacao, LegalRepresentativeRefusesABadCpf)
{
    struct Caso {
        const char* nome;
        QString cpf;
        int mensagem;
    };
    const Caso casos[] = {
        {"wrong check digits", QStringLiteral("12345678900"), 23},
        {"letters the mask refuses", QStringLiteral("abc"), 15},
        {"all zeros", QStringLiteral("00000000000"), 23},
    };
    TCad_RespnsavelLegal* f = abre(Cad_RespnsavelLegal);
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        user::alt(QLatin1Char('I'));
        digita(f, {{QStringLiteral("DBEdit_ResEmp_CPF"), c.cpf},
                   {QStringLiteral("DBEdit_ResEmp_Nome"), QStringLiteral("JOANA")},
                   {QStringLiteral("DBEdit_ResEmp_Cargo"), QStringLiteral("SOCIA")}});
        recusado(f, c.mensagem, QStringLiteral("DBEdit_ResEmp_CPF"));
        EXPECT_EQ(DataSetState::Insert, DM_Comuns->Tb_RespEmpresa->state());
        user::alt(QLatin1Char('C'));
    }
}

TEST_F(CadDigitacao, AccountantTypedSavedAndAlteredIsStoredAsTyped)
{
    const QString crc = crcValido(QStringLiteral("SP654321O"), QStringLiteral("1"));
    const QString crcEscritorio = crcValido(QStringLiteral("QX112233S"), QStringLiteral("3"));
    TCad_Contabilista* f = abre(Cad_Contabilista);
    user::alt(QLatin1Char('I'));
    digita(f, {{QStringLiteral("DBEdit_Resp_CPF"), QStringLiteral("98765432100")},
               {QStringLiteral("DBEdit_Resp_CRC"), crc},
               {QStringLiteral("DBEdit_Resp_Nome"), QStringLiteral("marta assis")},
               {QStringLiteral("DBLookup_Logradouro"), QStringLiteral("RUA")},
               {QStringLiteral("DBEdit_Resp_Logradouro"), QStringLiteral("das flores")},
               {QStringLiteral("DBEdit_Resp_Numero"), QStringLiteral("120")},
               {QStringLiteral("DBEdit_Resp_Complemento"), QStringLiteral("sala 2")},
               {QStringLiteral("DBLookup_Bairro"), QStringLiteral("JARDIM")},
               {QStringLiteral("DBEdit_Resp_Bairro"), QStringLiteral("primavera")},
               // A municipality with a CEP range: the CEP is typed next.
               {QStringLiteral("DBLookup_Municipio"), QStringLiteral("PORTO")},
               {QStringLiteral("DBEditCEP"), QStringLiteral("77010000")},
               {QStringLiteral("DBEdit_Resp_DDDFone"), QStringLiteral("63")},
               {QStringLiteral("DBEdit_Resp_Fone"), QStringLiteral("32145678")},
               {QStringLiteral("DBEdit_Resp_Email"), QStringLiteral("marta@contas.com.br")},
               {QStringLiteral("DBEdit_Resp_DDDFAX"), QStringLiteral("63")},
               {QStringLiteral("DBEdit_Resp_FAX"), QStringLiteral("32145679")},
               {QStringLiteral("DBEdit_Resp_CRC_Empresa"), crcEscritorio},
               {QStringLiteral("DBLookup_TipoResp"), QStringLiteral("ESC")},
               {QStringLiteral("DBEdit_Resp_NomeEscritorio"), QStringLiteral("assis contábil")}});
    user::alt(QLatin1Char('G'));
    ASSERT_EQ(DataSetState::Browse, DM_Comuns->Tb_Responsavel->state());
    Linha esperada{{QStringLiteral("Resp_CPF"), QStringLiteral("98765432100")},
                   {QStringLiteral("Resp_CRC"), crc},
                   {QStringLiteral("Resp_Nome"), QStringLiteral("MARTA ASSIS")},
                   {QStringLiteral("Resp_DDDFone"), QStringLiteral("63")},
                   {QStringLiteral("Resp_Fone"), QStringLiteral("32145678")},
                   {QStringLiteral("Resp_Email"), QStringLiteral("MARTA@CONTAS.COM.BR")},
                   {QStringLiteral("Resp_TipoCRC"), QStringLiteral("1")},
                   {QStringLiteral("Resp_DDDFAX"), QStringLiteral("63")},
                   {QStringLiteral("Resp_FAX"), QStringLiteral("32145679")},
                   {QStringLiteral("Resp_CRC_Empresa"), crcEscritorio},
                   {QStringLiteral("Resp_NomeEscritorio"), QStringLiteral("ASSIS CONTÁBIL")},
                   {QStringLiteral("Resp_TipoCRCEmpresa"), QStringLiteral("3")},
                   {QStringLiteral("TipLog_Codigo"), QStringLiteral("R")},
                   {QStringLiteral("Resp_Logradouro"), QStringLiteral("DAS FLORES")},
                   {QStringLiteral("Resp_Numero"), QStringLiteral("120")},
                   {QStringLiteral("Resp_Complemento"), QStringLiteral("SALA 2")},
                   {QStringLiteral("TipBai_Codigo"), QStringLiteral("JD")},
                   {QStringLiteral("Resp_Bairro"), QStringLiteral("PRIMAVERA")},
                   {QStringLiteral("Resp_CEP"), QStringLiteral("77010000")},
                   {QStringLiteral("Mun_Endereco"), QStringLiteral("1001")},
                   {QStringLiteral("Resp_UF"), QStringLiteral("QX")}};
    EXPECT_EQ(esperada, linha(QStringLiteral("Responsavel"), QStringLiteral("Resp_CPF"), QStringLiteral("98765432100")));

    // Reopened: a new CRC typed over the old one.
    vorta::Component::free(f);
    f = abre(Cad_Contabilista);
    ASSERT_TRUE(DM_Comuns->Tb_Responsavel->locate(QStringLiteral("Resp_CPF"), QStringLiteral("98765432100")));
    user::alt(QLatin1Char('A'));
    const QString outroCrc = crcValido(QStringLiteral("QX000123T"), QStringLiteral("1"));
    f->findChild<QWidget*>(QStringLiteral("DBEdit_Resp_CRC"))->setFocus();
    user::key(Qt::Key_Home);
    user::type(outroCrc);
    user::tab();
    user::alt(QLatin1Char('G'));
    esperada[QStringLiteral("Resp_CRC")] = outroCrc;
    EXPECT_EQ(esperada, linha(QStringLiteral("Responsavel"), QStringLiteral("Resp_CPF"), QStringLiteral("98765432100")));
}

TEST_F(CadDigitacao, AccountantRefusesABadValueInEachMaskedField)
{
    const QString crc = crcValido(QStringLiteral("SP654321O"), QStringLiteral("1"));
    const QString crcEscritorio = crcValido(QStringLiteral("QX112233S"), QStringLiteral("3"));
    struct Caso {
        const char* nome;
        QString cpf, crc, crcEscritorio;
        int mensagem;
        const char* controle;
    };
    const Caso casos[] = {
        {"CPF with wrong check digits", QStringLiteral("98765432199"), crc, crcEscritorio, 23, "DBEdit_Resp_CPF"},
        {"no CPF", QString(), crc, crcEscritorio, 15, "DBEdit_Resp_CPF"},
        {"CRC cut short", QStringLiteral("98765432100"), QStringLiteral("SP1234"), crcEscritorio, 25,
         "DBEdit_Resp_CRC"},
        {"office CRC cut short", QStringLiteral("98765432100"), crc, QStringLiteral("QX11"), 610,
         "DBEdit_Resp_CRC_Empresa"},
    };
    TCad_Contabilista* f = abre(Cad_Contabilista);
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        user::alt(QLatin1Char('I'));
        digita(f, {{QStringLiteral("DBEdit_Resp_CPF"), c.cpf},
                   {QStringLiteral("DBEdit_Resp_CRC"), c.crc},
                   {QStringLiteral("DBEdit_Resp_Nome"), QStringLiteral("MARTA")}});
        f->findChild<QWidget*>(QStringLiteral("DBEdit_Resp_Email"))->setFocus();
        digita(f, {{QStringLiteral("DBEdit_Resp_Email"), QStringLiteral("marta@contas.com.br")},
                   {QStringLiteral("DBEdit_Resp_DDDFAX"), QString()},
                   {QStringLiteral("DBEdit_Resp_FAX"), QString()},
                   {QStringLiteral("DBEdit_Resp_CRC_Empresa"), c.crcEscritorio},
                   {QStringLiteral("DBLookup_TipoResp"), QStringLiteral("ESC")},
                   {QStringLiteral("DBEdit_Resp_NomeEscritorio"), QStringLiteral("ASSIS")}});
        recusado(f, c.mensagem, QString::fromLatin1(c.controle));
        EXPECT_EQ(DataSetState::Insert, DM_Comuns->Tb_Responsavel->state());
        user::alt(QLatin1Char('C'));
    }
}

TEST_F(CadDigitacao, MunicipalitiesTypedSavedAndAlteredAreStoredAsTyped)
{
    TCad_Municipio* f = abre(Cad_Municipio);
    // A municipality abroad has no CEP range.
    user::alt(QLatin1Char('I'));
    digita(f, {{QStringLiteral("DBEdit_Mun_Descricao"), QStringLiteral("assunção")},
               {QStringLiteral("DBEdit_Mun_UF"), QStringLiteral("ex")}});
    user::alt(QLatin1Char('G'));
    ASSERT_EQ(DataSetState::Browse, DM_Comuns->Tb_Municipio->state());
    // The code the data module numbered the new row with.
    const qint64 codigo = DM_Comuns->Tb_Municipio->fieldByName(QStringLiteral("Mun_Codigo"))->asInteger();
    EXPECT_GE(codigo, 999001);
    const Linha exterior{{QStringLiteral("Mun_Codigo"), QString::number(codigo)},
                         {QStringLiteral("Mun_Descricao"), QStringLiteral("ASSUNÇÃO")},
                         {QStringLiteral("Mun_CEPInicial"), QString()},
                         {QStringLiteral("Mun_CEPFinal"), QString()},
                         {QStringLiteral("Mun_UF"), QStringLiteral("EX")},
                         {QStringLiteral("Age_Codigo"), QString()}};
    EXPECT_EQ(exterior, linha(QStringLiteral("Municipio"), QStringLiteral("Mun_Codigo"), codigo));

    // A home-state municipality of the user's: its range typed, then its last CEP again.
    vorta::Component::free(f);
    f = abre(Cad_Municipio);
    ASSERT_TRUE(DM_Comuns->Tb_Municipio->locate(QStringLiteral("Mun_Codigo"), 999000));
    user::alt(QLatin1Char('A'));
    f->DBEdit_Mun_CEPInicial->setFocus();
    user::key(Qt::Key_Home);
    digita(f, {{QStringLiteral("DBEdit_Mun_CEPInicial"), QStringLiteral("77720000")},
               {QStringLiteral("DBEdit_Mun_CEPFinal"), QStringLiteral("77729999")}});
    user::alt(QLatin1Char('G'));
    ASSERT_EQ(DataSetState::Browse, DM_Comuns->Tb_Municipio->state());
    Linha estadual{{QStringLiteral("Mun_Codigo"), QStringLiteral("999000")},
                   {QStringLiteral("Mun_Descricao"), QStringLiteral("NOVA ESPERANCA")},
                   {QStringLiteral("Mun_CEPInicial"), QStringLiteral("77720000")},
                   {QStringLiteral("Mun_CEPFinal"), QStringLiteral("77729999")},
                   {QStringLiteral("Mun_UF"), QStringLiteral("QX")},
                   {QStringLiteral("Age_Codigo"), QString()}};
    EXPECT_EQ(estadual, linha(QStringLiteral("Municipio"), QStringLiteral("Mun_Codigo"), 999000));

    vorta::Component::free(f);
    f = abre(Cad_Municipio);
    ASSERT_TRUE(DM_Comuns->Tb_Municipio->locate(QStringLiteral("Mun_Codigo"), 999000));
    user::alt(QLatin1Char('A'));
    f->DBEdit_Mun_CEPFinal->setFocus();
    user::key(Qt::Key_End);
    user::key(Qt::Key_Backspace);
    user::key(Qt::Key_Backspace);
    user::type(QStringLiteral("00"));
    user::alt(QLatin1Char('G'));
    estadual[QStringLiteral("Mun_CEPFinal")] = QStringLiteral("77729900");
    EXPECT_EQ(estadual, linha(QStringLiteral("Municipio"), QStringLiteral("Mun_Codigo"), 999000));
}

TEST_F(CadDigitacao, ARefusedClickEndsInsideTheFormsHandler)
{
    vorta::db::executeScript(m_inst.folder(QStringLiteral("dados")), QStringLiteral(
        "INSERT INTO Municipio (Mun_Codigo, Mun_Descricao, Mun_UF) VALUES (998999, 'QUASE', 'QX')"));
    TCad_Municipio* f = abre(Cad_Municipio);
    ASSERT_TRUE(DM_Comuns->Tb_Municipio->locate(QStringLiteral("Mun_Codigo"), 998999));
    for (vorta::ui::SpeedButton* b : {f->btAlterar, f->btExcluir}) {
        SCOPED_TRACE(b->name().toStdString());
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Information, b == f->btAlterar ? QStringLiteral("87 - M87")
                                                                           : QStringLiteral("88 - M88"), 1);
        // The silent abort after the message ends in the click's handler: Qt sees the
        // release accepted and the button up again, and reports nothing (an exception
        // through Qt's own code would leave the release unaccepted and, under the
        // sanitizer build, the unwound clean-up as a leak).
        vorta::testing::QtMessages qt;
        EXPECT_TRUE(user::clickAccepted(b));
        EXPECT_FALSE(b->isDown());
        EXPECT_EQ(DataSetState::Browse, DM_Comuns->Tb_Municipio->state());
        EXPECT_EQ(qt.messages().join(QLatin1Char('\n')).toStdString(), "");
    }
    // The same through the window system, as a user's click arrives.
    for (vorta::ui::SpeedButton* b : {f->btAlterar, f->btExcluir}) {
        SCOPED_TRACE(b->name().toStdString() + " by the window system");
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Information, b == f->btAlterar ? QStringLiteral("87 - M87")
                                                                           : QStringLiteral("88 - M88"), 1);
        vorta::testing::QtMessages qt;
        user::click(b);
        EXPECT_FALSE(b->isDown());
        EXPECT_EQ(DataSetState::Browse, DM_Comuns->Tb_Municipio->state());
        QStringList warnings = qt.messages();
        warnings.removeIf([](const QString& m) { return m.contains(QLatin1String("This plugin does not support")); });
        EXPECT_EQ(warnings.join(QLatin1Char('\n')).toStdString(), "");
    }
}

TEST_F(CadDigitacao, MunicipalityRefusesABadCepRange)
{
    struct Caso {
        const char* nome;
        QString inicial, final_;
        int mensagem;
        const char* controle;
    };
    const Caso casos[] = {
        {"first CEP cut short", QStringLiteral("7772"), QStringLiteral("77729999"), 79, "DBEdit_Mun_CEPInicial"},
        {"letters the mask refuses", QStringLiteral("abcdefgh"), QStringLiteral("77729999"), 78,
         "DBEdit_Mun_CEPInicial"},
        {"last CEP cut short", QStringLiteral("77720000"), QStringLiteral("777"), 81, "DBEdit_Mun_CEPFinal"},
        {"last CEP below the first", QStringLiteral("77720000"), QStringLiteral("77710000"), 82,
         "DBEdit_Mun_CEPFinal"},
    };
    TCad_Municipio* f = abre(Cad_Municipio);
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        ASSERT_TRUE(DM_Comuns->Tb_Municipio->locate(QStringLiteral("Mun_Codigo"), 999000));
        user::alt(QLatin1Char('A'));
        f->DBEdit_Mun_CEPInicial->setFocus();
        user::key(Qt::Key_A, Qt::ControlModifier);
        user::key(Qt::Key_Delete);
        user::type(c.inicial);
        user::tab();
        user::key(Qt::Key_A, Qt::ControlModifier);
        user::key(Qt::Key_Delete);
        user::type(c.final_);
        recusado(f, c.mensagem, QString::fromLatin1(c.controle));
        EXPECT_EQ(DataSetState::Edit, DM_Comuns->Tb_Municipio->state());
        user::alt(QLatin1Char('C'));
    }
}

} // namespace
