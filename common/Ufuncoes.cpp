#include "Ufuncoes.h"

#include "platform/os/ExeVersion.h"

#include <QFileInfo>

vorta::os::Rect GetWindowsWorkArea()
{
    return vorta::os::workArea();
}

QString GetVersionExe(const QString& name)
{
    // Linux programs carry no extension: "ZIR.exe" and "ZIR" name the same file.
    QString base = name;
    if (base.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        base.chop(4);
    QString file = base;
    if (!QFileInfo(file).isFile() && QFileInfo(base + QStringLiteral(".exe")).isFile())
        file = base + QStringLiteral(".exe");
    const auto version = vorta::os::readFileVersion(file);
    if (!version)
        return QString();
    // Plain decimal parts: the old two-character cut showed 1.3.0.15 as 1.3.0.5.
    return QStringLiteral("%1.%2.%3.%4").arg(version->major).arg(version->minor).arg(version->release).arg(version->build);
}

// ---- Numbered messages ----------------------------------------------------------

#include "DialogsX.h"
#include "uDmVortaModule.h"

#include "platform/core/Format.h"
#include "platform/db/Field.h"
#include "platform/db/Query.h"
#include "platform/ui/Dialogs.h"

#include <memory>

QString GetErrorMessage(int code, const QVariantList& args)
{
    struct FreeQuery {
        void operator()(vorta::db::Query* q) const { vorta::Component::free(q); }
    };
    std::unique_ptr<vorta::db::Query, FreeQuery> query(new vorta::db::Query(nullptr));
    query->setDatabaseName(DirDados);
    query->setSql(QStringLiteral("Select * from mensagem where Men_Codigo =") + QString::number(code));
    query->open();
    const QString text = query->fieldByName(QStringLiteral("Men_Codigo"))->asString() + QStringLiteral(" - ")
                         + query->fieldByName(QStringLiteral("Men_Descricao"))->asString();
    return vorta::Format(text, args);
}

void MsgErroBD(int code, const QVariantList& args)
{
    MessageDlg(GetErrorMessage(code, args), mtError, {mbOK}, 0);
}

void MsgInfoBD(int code, const QVariantList& args)
{
    MessageDlg(GetErrorMessage(code, args), mtInformation, {mbOK}, 0);
}

int MsgSimNaoBD(int code, const QVariantList& args)
{
    return MessageDlg(GetErrorMessage(code, args), mtConfirmation, {mbYes, mbNo}, 0);
}

int MsgSimNaoCancelaBD(int code, const QVariantList& args)
{
    return MessageDlg(GetErrorMessage(code, args), mtConfirmation, {mbYes, mbNo, mbCancel}, 0);
}

int MsgOkCancelaBD(int code, const QVariantList& args)
{
    return MessageDlg(GetErrorMessage(code, args), mtConfirmation, {mbOK, mbCancel}, 0);
}

bool ConfirmaSimNaoBD(int code, const QVariantList& args)
{
    return MsgSimNaoBD(code, args) == vorta::ui::mrYes;
}

namespace {

enum SystemButton { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

vorta::ui::DialogButton systemButton(SystemButton id)
{
    switch (id) {
    case IDOK: return {QStringLiteral("OK"), QStringLiteral("OK"), IDOK};
    case IDCANCEL: return {QStringLiteral("Cancel"), QStringLiteral("Cancelar"), IDCANCEL};
    case IDYES: return {QStringLiteral("Yes"), QStringLiteral("&Sim"), IDYES};
    case IDNO: return {QStringLiteral("No"), QStringLiteral("&Não"), IDNO};
    }
    return {};
}

// The first button is the default; Escape answers Cancel where there is one, OK
// on a lone OK.
int systemBox(const QString& text, std::initializer_list<SystemButton> buttons, int escapeResult)
{
    vorta::ui::MessageRequest request;
    request.kind = vorta::ui::MessageKind::SystemBox;
    request.caption = QStringLiteral("Vorta - Vorta");
    request.text = text;
    for (SystemButton b : buttons)
        request.buttons.append(systemButton(b));
    request.defaultResult = *buttons.begin();
    request.cancelResult = escapeResult;
    return vorta::ui::dialogService().message(request);
}

} // namespace

int MsgErro(const QString& text)
{
    return systemBox(text, {IDOK}, IDOK);
}

void MsgInfo(const QString& text)
{
    systemBox(text, {IDOK}, IDOK);
}

int MsgSimNao(const QString& text)
{
    return systemBox(text, {IDYES, IDNO}, IDNO);
}

int MsgSimNaoCancela(const QString& text)
{
    return systemBox(text, {IDYES, IDNO, IDCANCEL}, IDCANCEL);
}

int MsgOkCancela(const QString& text)
{
    return systemBox(text, {IDOK, IDCANCEL}, IDCANCEL);
}
