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

#include <QPushButton>

#include <algorithm>
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

struct SystemButtonInfo {
    SystemButton id;
    TMsgDlgBtn dialogButton; // the library's button with the same result
    const char16_t* name;
    const char16_t* caption;
};

const SystemButtonInfo& systemButton(SystemButton id)
{
    static const SystemButtonInfo table[] = {
        {IDOK, mbOK, u"OK", u"OK"},
        {IDCANCEL, mbCancel, u"Cancel", u"Cancelar"},
        {IDYES, mbYes, u"Yes", u"&Sim"},
        {IDNO, mbNo, u"No", u"&Não"},
    };
    for (const SystemButtonInfo& b : table)
        if (b.id == id)
            return b;
    return table[0];
}

// The first button is the default; Escape answers Cancel where there is one, No on
// a Yes/No box and OK on a lone OK. The box shown to a person is the library's
// dialog with the product caption, the system's captions and the icon of the flags.
int systemBox(const QString& text, TMsgDlgType icon, std::initializer_list<SystemButton> buttons,
              SystemButton escapeResult)
{
    vorta::ui::MessageRequest request;
    request.kind = vorta::ui::MessageKind::SystemBox;
    request.caption = QStringLiteral("Vorta - Vorta");
    request.text = text;
    TMsgDlgButtons dialogButtons;
    for (SystemButton id : buttons) {
        const SystemButtonInfo& b = systemButton(id);
        request.buttons.append({QString::fromUtf16(b.name), QString::fromUtf16(b.caption), b.id});
        dialogButtons += b.dialogButton;
    }
    request.defaultResult = *buttons.begin();
    request.cancelResult = escapeResult;
    request.runInteractive = [=] {
        TMessageForm* form = CreateMessageDialog(text, icon, dialogButtons);
        struct Free {
            TMessageForm* form;
            ~Free() { vorta::Component::free(form); }
        } guard{form};
        form->setCaption(request.caption);
        for (QPushButton* button : form->buttons())
            for (const vorta::ui::DialogButton& b : request.buttons)
                if (button->objectName() == b.name)
                    button->setText(b.caption);
        const int result = form->showModal();
        // Closed through the frame: the box's Escape answer, never a Cancel it does not offer.
        const bool offered = std::any_of(request.buttons.cbegin(), request.buttons.cend(),
                                         [result](const vorta::ui::DialogButton& b) { return b.modalResult == result; });
        return offered ? result : request.cancelResult;
    };
    return vorta::ui::dialogService().message(request);
}

} // namespace

int MsgErro(const QString& text)
{
    return systemBox(text, mtError, {IDOK}, IDOK);
}

void MsgInfo(const QString& text)
{
    systemBox(text, mtInformation, {IDOK}, IDOK);
}

int MsgSimNao(const QString& text)
{
    return systemBox(text, mtConfirmation, {IDYES, IDNO}, IDNO);
}

int MsgSimNaoCancela(const QString& text)
{
    return systemBox(text, mtConfirmation, {IDYES, IDNO, IDCANCEL}, IDCANCEL);
}

int MsgOkCancela(const QString& text)
{
    return systemBox(text, mtConfirmation, {IDOK, IDCANCEL}, IDCANCEL);
}

// ---- Registration checks and masks ----------------------------------------------

#include "platform/core/Cp1252.h"

#include <QHash>

QString insc;
int ie2 = 0;

namespace {

// The digit at 1-based position pos of the bytes, -1 for anything else or nothing.
int digitAt(const QByteArray& bytes, int pos)
{
    if (pos < 1 || pos > bytes.size())
        return -1;
    const char c = bytes.at(pos - 1);
    return c >= '0' && c <= '9' ? c - '0' : -1;
}

// Weighted sum of the digits from position first on; -1 when one is not a digit.
int weightedSum(const QByteArray& bytes, int first, std::initializer_list<int> weights)
{
    int sum = 0;
    int pos = first;
    for (const int w : weights) {
        const int d = digitAt(bytes, pos++);
        if (d < 0)
            return -1;
        sum += w * d;
    }
    return sum;
}

int modulo11Digit(int sum)
{
    const int r = sum % 11;
    return r < 2 ? 0 : 11 - r;
}

} // namespace

bool ChkINSC(const QString& s)
{
    const QByteArray b = vorta::toCp1252(s);
    // 82 is the prefix's share: 2 * 9 + 8 * 8.
    const int sum = weightedSum(b, 1, {7, 6, 5, 4, 3, 2});
    if (sum < 0)
        return false;
    return digitAt(b, 7) == modulo11Digit(sum + 82);
}

bool ChkCPF(const QString& s)
{
    if (s.isEmpty())
        return true;
    const QByteArray b = vorta::toCp1252(s);
    if (b.size() != 11)
        return false;
    const int first = weightedSum(b, 1, {10, 9, 8, 7, 6, 5, 4, 3, 2});
    if (first < 0)
        return false;
    const int d1 = modulo11Digit(first);
    const int d2 = modulo11Digit(weightedSum(b, 1, {11, 10, 9, 8, 7, 6, 5, 4, 3}) + 2 * d1);
    return digitAt(b, 10) == d1 && digitAt(b, 11) == d2;
}

bool ChkCNPJ(const QString& s)
{
    if (s.isEmpty())
        return true;
    const QByteArray b = vorta::toCp1252(s);
    if (b.size() != 14)
        return false;
    const int first = weightedSum(b, 1, {5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2});
    if (first < 0)
        return false;
    const int d1 = modulo11Digit(first);
    const int d2 = modulo11Digit(weightedSum(b, 1, {6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3}) + 2 * d1);
    return digitAt(b, 13) == d1 && digitAt(b, 14) == d2;
}

bool ChkNIRE(const QString& s)
{
    const QByteArray b = vorta::toCp1252(s);
    if (b.size() != 11)
        return false;
    const int sum = weightedSum(b, 1, {2, 10, 9, 8, 7, 6, 5, 4, 3, 2});
    if (sum < 0)
        return false;
    // Here a remainder of 0 gives 1 and of 1 gives 0.
    const int r = sum % 11;
    const int d = r < 2 ? 1 - r : 11 - r;
    return digitAt(b, 11) == d;
}

bool ChkCRC(const QString& crc, const QString& lead)
{
    static const QHash<QString, QString> codes = {
        {"AC", "26"}, {"AL", "09"}, {"AM", "01"}, {"AP", "25"}, {"BA", "11"}, {"CD", "40"},
        {"CE", "05"}, {"CF", "24"}, {"CL", "44"}, {"DF", "21"}, {"ES", "12"}, {"FR", "99"},
        {"GB", "22"}, {"GO", "20"}, {"LB", "45"}, {"LG", "30"}, {"MA", "03"}, {"MG", "18"},
        {"QX", "23"}, {"MT", "19"}, {"NI", "00"}, {"NR", "31"}, {"PA", "02"}, {"PB", "07"},
        {"PE", "08"}, {"PF", "51"}, {"PI", "04"}, {"PJ", "52"}, {"PR", "15"}, {"PV", "41"},
        {"RJ", "13"}, {"RN", "06"}, {"RO", "29"}, {"RR", "27"}, {"RS", "17"}, {"SC", "16"},
        {"SE", "10"}, {"SP", "14"}, {"TH", "42"}, {"TO", "28"}, {"TP", "43"}};
    static const QHash<QChar, QChar> categories = {
        {'O', '1'}, {'T', '2'}, {'S', '3'}, {'P', '4'}, {'K', '5'}, {'E', '6'}, {'F', '6'}};
    const QString text = vorta::fromCp1252(vorta::toCp1252(crc));
    if (text.size() < 10)
        return false;
    const auto category = categories.constFind(text.at(8));
    const auto code = codes.constFind(text.left(2));
    if (category == categories.constEnd() || code == codes.constEnd())
        return false;
    const QByteArray digits = vorta::toCp1252((lead + *code + text.mid(2, 6) + *category).left(10));
    const int sum = weightedSum(digits, 1, {3, 10, 9, 8, 7, 6, 5, 4, 3, 2});
    if (sum < 0)
        return false;
    return digitAt(vorta::toCp1252(text), 10) == modulo11Digit(sum);
}

bool ChkEmail(const QString& s)
{
    const QByteArray b = vorta::toCp1252(s);
    const int length = int(b.size());
    const int at = int(b.indexOf('@')) + 1; // 1-based, 0 when none
    if (length <= 6 || length - at <= 3 || b.contains(' ') || at < 3 || length <= at)
        return false;
    const auto charAt = [&](int pos) { return b.at(pos - 1); };
    if (charAt(1) == '.' || charAt(length) == '.' || charAt(at - 1) == '.' || charAt(at + 1) == '.')
        return false;
    return b.mid(at - 1).contains('.');
}

bool ChkUF(const QString& s)
{
    static const QStringList states = {
        "AC", "AL", "AM", "AP", "BA", "CE", "DF", "ES", "GO", "MA", "MG", "QX", "MT", "PA",
        "PB", "PE", "PI", "PR", "RJ", "RN", "RO", "RR", "RS", "SC", "SE", "SP", "TO"};
    return states.contains(s, Qt::CaseSensitive);
}

QString MascaraDesteConTipo(const QString& kind)
{
    if (kind == QLatin1String("IE"))
        return QStringLiteral("99.999.999-9;0; ");
    if (kind == QLatin1String("CNPJ"))
        return QStringLiteral("99.999.999/9999-99;0; ");
    if (kind == QLatin1String("CPF"))
        return QStringLiteral("999.999.999-99;0; ");
    return QStringLiteral("aaaaaaaaaaaaaaaaaa;0; ");
}

QString MascaraCPFCNPJ(const QString& kind)
{
    if (kind == QLatin1String("CNPJ"))
        return QStringLiteral("99.999.999/9999-99;0; ");
    if (kind == QLatin1String("CPF"))
        return QStringLiteral("999.999.999-99;0; ");
    return QString();
}

QString RemoveCaracter(const QString& c, const QString& s)
{
    QString out;
    for (const QChar ch : s)
        if (QString(ch) != c)
            out += ch;
    return out;
}

QString RemoveCaracteresEspeciais(const QString& s)
{
    QString out;
    for (const QChar ch : s) {
        const char16_t u = ch.unicode();
        if ((u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z'))
            out += ch;
    }
    return out;
}

// ---- Shared functions ------------------------------------------------------------

#include "platform/core/DateUtils.h"
#include "platform/core/TextNumbers.h"
#include "platform/db/DataSet.h"
#include "platform/os/Drives.h"
#include "platform/os/Registry.h"
#include "platform/ui/DataAware.h"
#include "platform/ui/DataModule.h"
#include "platform/ui/MaskedEdit.h"

#include <QDir>
#include <QWidget>

QString AllTrim(const QString& text)
{
    return vorta::Trim(text);
}

QString StrZero(const QString& number, int width, int decimals)
{
    const auto fixed = vorta::tryFixedText(number.isEmpty() ? QStringLiteral("0") : number, decimals);
    if (!fixed)
        return number;
    // The zeros go after the sign: "-07", not "0-7".
    const bool negative = fixed->startsWith(QLatin1Char('-'));
    const QString body = negative ? fixed->mid(1) : *fixed;
    const QString padded = body.rightJustified(width - (negative ? 1 : 0), QLatin1Char('0'));
    return negative ? QStringLiteral("-") + padded : padded;
}

QString StrSpc(const QString& text, int width)
{
    if (width <= 0)
        return QString();
    return text.size() >= width ? text.left(width) : text.leftJustified(width, QLatin1Char(' '));
}

double minzero(double value)
{
    return value < 0 ? 0 : value;
}

namespace {

// Deleting with undo allowed: into the user's trash, or for good where the file system
// has no trash for it.
bool moveToTrashOrRemove(const QFileInfo& entry)
{
    if (QFile::moveToTrash(entry.filePath()))
        return true;
    if (entry.isDir() && !entry.isSymLink())
        return QDir(entry.filePath()).removeRecursively();
    return QFile::remove(entry.filePath());
}

} // namespace

bool DeleteFolder(const QString& folder, bool contentsOnly)
{
    // An empty name would mean the current folder, and the root is never meant.
    if (folder.isEmpty())
        return false;
    QDir dir(folder);
    if (!QFileInfo(folder).isDir() || dir.isRoot())
        return false;
    if (!contentsOnly)
        return moveToTrashOrRemove(QFileInfo(dir.absolutePath()));
    bool ok = true;
    const QFileInfoList entries = dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries)
        ok = moveToTrashOrRemove(entry) && ok;
    return ok;
}

bool IsEmpty(QChar drive)
{
    const QString path = vorta::os::drivePath(drive);
    if (path.isEmpty())
        return true;
    for (const auto& entry : vorta::os::findEntries(path + QStringLiteral("/*.*"), vorta::os::faAnyFile))
        if (!(entry.attr & vorta::os::faDirectory))
            return false;
    return true;
}

bool DiskInDrive(QChar drive)
{
    const QChar letter = drive.toUpper();
    if (letter < QLatin1Char('A') || letter > QLatin1Char('Z'))
        throw vorta::EConvertError(QStringLiteral("Não existe disco no drive !"));
    return vorta::os::driveSize(letter.unicode() - 'A' + 1).has_value();
}

qint64 TemEspaco(int drive)
{
    return vorta::os::driveFreeBytes(drive).value_or(-1);
}

QString PegaURL()
{
    try {
        vorta::os::Registry registry(vorta::os::RootKey::LocalMachine);
        if (!registry.openKey(QStringLiteral("\\Software\\Kalvi\\Vorta\\Servidor\\"), false))
            return QString();
        return registry.readString(QStringLiteral("LiveUpdate"));
    } catch (...) {
        return QStringLiteral("Erro");
    }
}

bool TestaData(const QString& text)
{
    if (vorta::tryStrToDateTime(text))
        return true;
    MessageDlg(QStringLiteral("Data Inválida !"), mtError, {mbOK}, 0);
    return false;
}

QDateTime UltimoDiadoMes(const QDateTime& date)
{
    const QDate d = date.date();
    return QDateTime(QDate(d.year(), d.month(), d.daysInMonth()), date.time());
}

bool DatanoMesAno(const QDateTime& d1, const QDateTime& d2)
{
    return d2 <= d1 && d1 <= UltimoDiadoMes(d2);
}

namespace {

// The date-time's own fields read as UTC, without the machine's zone.
qint64 naiveMSecs(const QDateTime& dateTime)
{
    return QDateTime(dateTime.date(), dateTime.time(), Qt::UTC).toMSecsSinceEpoch();
}

} // namespace

QDateTime UTCToDateTime(qint64 unixSeconds)
{
    const QDateTime utc = QDateTime::fromSecsSinceEpoch(unixSeconds, Qt::UTC)
                              .addSecs(-qint64(vorta::standardBiasMinutes()) * 60);
    return QDateTime(utc.date(), utc.time());
}

qint64 DateTimeToUTC(const QDateTime& dateTime)
{
    const qint64 ms = naiveMSecs(dateTime);
    const qint64 seconds = ms >= 0 ? (ms + 500) / 1000 : -((-ms + 500) / 1000);
    return seconds + qint64(vorta::standardBiasMinutes()) * 60;
}

QDateTime UTCFormatToDateTime(const QString& text)
{
    // Read by position, so the machine's date order and separators play no part.
    const QString rebuilt = text.mid(8, 2) + QLatin1Char('/') + text.mid(5, 2) + QLatin1Char('/') + text.mid(0, 4)
                            + QLatin1Char(' ') + text.mid(11, 2) + QLatin1Char(':') + text.mid(14, 2)
                            + QLatin1Char(':') + text.mid(17, 2);
    return vorta::StrToDateTime(rebuilt);
}

namespace {

// The grid the focus is in, when it is in one (a cell editor is the grid's child).
vorta::ui::DataAwareGrid* activeGrid(QWidget* form)
{
    for (QWidget* w = form ? form->focusWidget() : nullptr; w; w = w->parentWidget()) {
        if (auto* grid = vorta::ui::dataAwareGrid(w))
            return grid;
        if (w == form)
            break;
    }
    return nullptr;
}

// The form's next control in tab order after the focused one.
void focusNextControl(QWidget* form)
{
    QWidget* start = form->focusWidget() ? form->focusWidget() : form;
    for (QWidget* w = start->nextInFocusChain(); w && w != start; w = w->nextInFocusChain()) {
        if (w != form && w->window() == form->window() && w->isVisible() && w->isEnabled()
            && (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy()) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

bool switchesReadOnly(vorta::ui::DataControlKind kind)
{
    using K = vorta::ui::DataControlKind;
    return kind == K::Edit || kind == K::LookupComboBox || kind == K::LookupCombo || kind == K::RadioGroup
           || kind == K::Grid;
}

void setReadOnlyAll(QWidget* form, bool readOnly)
{
    for (auto* control : vorta::ui::dataAwareControls(form))
        if (switchesReadOnly(control->dataControlKind()))
            control->setDataReadOnly(readOnly);
}

// Every dataset of every data module the application owns.
template <class F>
void forEachApplicationDataSet(F&& f)
{
    auto* app = vorta::Application::instance();
    if (!app)
        return;
    for (vorta::Component* owned : app->components())
        if (auto* module = dynamic_cast<vorta::ui::DataModule*>(owned))
            for (vorta::Component* c : module->components())
                if (auto* dataSet = dynamic_cast<vorta::db::DataSet*>(c))
                    f(*dataSet);
}

bool isEditing(const vorta::db::DataSet& dataSet)
{
    return dataSet.state() == vorta::db::DataSetState::Edit || dataSet.state() == vorta::db::DataSetState::Insert;
}

} // namespace

void EmulaEnter(QWidget* form, int& key)
{
    if (key != 13 || !form)
        return;
    key = 9;
    auto* grid = activeGrid(form);
    if (!grid) {
        key = 0;
        focusNextControl(form);
        return;
    }
    if (grid->selectedIndex() >= grid->columnCount() - 1) {
        grid->setSelectedIndex(0);
        if (grid->nextRecord() && !grid->isDataReadOnly())
            grid->appendRecord();
    } else {
        grid->setSelectedIndex(grid->selectedIndex() + 1);
    }
}

void EmulaEnterNormal(QWidget* form, int& key)
{
    if (key != 13 || !form)
        return;
    if (activeGrid(form)) {
        key = 9;
        return;
    }
    key = 0;
    focusNextControl(form);
}

void limpeza(QWidget* form)
{
    for (auto* control : vorta::ui::dataAwareControls(form))
        if (control->dataControlKind() == vorta::ui::DataControlKind::Edit)
            control->clearDataText();
}

void HabilitaReadOnly(QWidget* form)
{
    setReadOnlyAll(form, false);
}

void DesabilitaReadOnly(QWidget* form)
{
    setReadOnlyAll(form, true);
}

void EnableAll(QWidget* container, bool enabled)
{
    if (!container)
        throw vorta::EAssertionFailed(
            QStringLiteral("Classe inválida para este método !!! (Ufuncoes.cpp, line %1)").arg(__LINE__));
    const QList<QWidget*> children = container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        if (child->isWindow())
            continue;
        if (!child->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).isEmpty())
            EnableAll(child, enabled);
        child->setEnabled(enabled);
    }
}

void EditSelectAll(vorta::ui::MaskedEdit* edit)
{
    if (!edit || !edit->mask().isMasked())
        return;
    const QString shown = vorta::Trim(edit->maskedText());
    if (shown.isEmpty() || shown == QLatin1String("/  /"))
        edit->selectAll();
}

bool AplicacaoEstaEditando()
{
    bool editing = false;
    forEachApplicationDataSet([&](vorta::db::DataSet& dataSet) { editing = editing || isEditing(dataSet); });
    return editing;
}

void AplicacaoEstaEditandoGravar()
{
    forEachApplicationDataSet([](vorta::db::DataSet& dataSet) {
        if (isEditing(dataSet))
            dataSet.post();
    });
}

QString Natureza(int code)
{
    if (code >= 1 && code <= 12)
        return QStringLiteral("Entrada");
    if (code >= 51 && code <= 62)
        return QStringLiteral("Saida");
    return QString();
}

int NaturezaOperacao(const QString& kind, int code)
{
    if (kind == QLatin1String("Entrada"))
        return code >= 1 && code <= 12 ? code + 50 : 0;
    return code >= 51 && code <= 62 ? code - 50 : 0;
}

bool TipoOperacao(int entry, int exit, const QString& uf)
{
    if (exit != entry + 50)
        return false;
    const bool home = uf == QLatin1String("QX");
    const bool abroad = uf == QLatin1String("EX");
    switch (entry) {
    case 1:
    case 12:
        return home;
    case 2:
        return !home && !abroad;
    case 3: case 4: case 5: case 6: case 7: case 8: case 10: case 11:
        return !abroad;
    case 9:
        return abroad;
    default:
        return false;
    }
}
