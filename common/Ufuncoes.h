#pragma once

#include "platform/os/WorkArea.h"

#include <QString>

// Shared functions of the framework.

// The desktop work area the module's main form fits itself into.
vorta::os::Rect GetWindowsWorkArea();

// Version text of an executable ("1.3.0.15"); the name may come with or without
// ".exe" in any case. Empty when the file carries no version.
QString GetVersionExe(const QString& name);

// ---- Numbered messages ----------------------------------------------------------

#include <QVariantList>

// "<number> - <description>" of the catalogue row (table mensagem of the data
// folder), used as a format string with args (vorta::Format). A fresh query every
// call, so a replaced catalogue counts at once. A number without a row gives " - ";
// a missing table raises the engine's error, unmatched placeholders EConvertError.
QString GetErrorMessage(int code, const QVariantList& args = {});

// The catalogue text in the library's message dialog. The confirmations return the
// pressed button's modal result unchanged (Yes 6, No 7, OK 1, Cancel 2); a dialog
// closed through its window frame answers 2, also the Yes/No question.
void MsgErroBD(int code, const QVariantList& args = {});
void MsgInfoBD(int code, const QVariantList& args = {});
int MsgSimNaoBD(int code, const QVariantList& args = {});
int MsgSimNaoCancelaBD(int code, const QVariantList& args = {});
int MsgOkCancelaBD(int code, const QVariantList& args = {});

// The Yes/No question for callers that act on Yes: true only when Yes was pressed,
// so a question closed without an answer (2) counts as No.
bool ConfirmaSimNaoBD(int code, const QVariantList& args = {});

// The system message box with the product caption "Vorta - Vorta"; results are the
// system's button identifiers (IDOK 1, IDCANCEL 2, IDYES 6, IDNO 7).
int MsgErro(const QString& text);
void MsgInfo(const QString& text);
// A Yes/No box cannot be cancelled; closed anyway it answers No (7).
int MsgSimNao(const QString& text);
int MsgSimNaoCancela(const QString& text);
int MsgOkCancela(const QString& text);

// ---- Registration checks and masks ----------------------------------------------

// RemoveMascara (the digits of a text) and IsNumber are the library's.
#include "comum.h"

// The state registration under check: the seven characters after its prefix, and
// the two-digit prefix as a number.
extern QString insc;
extern int ie2;

// Check digits of the registrations. Every text is read as its code page 1252
// bytes; a character that is not a digit where a digit belongs, or a missing one,
// makes the registration invalid.
// The seven characters after the prefix "28"; no length test (extra ones are ignored).
bool ChkINSC(const QString& s);
// Valid when empty. Eleven equal digits are not refused.
bool ChkCPF(const QString& s);
// Valid when empty.
bool ChkCNPJ(const QString& s);
// Eleven digits; not valid when empty.
bool ChkNIRE(const QString& s);
// The accountant council registration (two letters, six digits, category letter,
// check digit) with the leading digit text of its kind ("1" for the accountant).
bool ChkCRC(const QString& crc, const QString& lead);
bool ChkEmail(const QString& s);
// The 27 state abbreviations, upper case only.
bool ChkUF(const QString& s);

// The edit mask of a registration kind ("IE", "CNPJ", "CPF", anything else).
QString MascaraDesteConTipo(const QString& kind);
// The mask of "CPF" or "CNPJ"; empty for anything else.
QString MascaraCPFCNPJ(const QString& kind);
// The text without every character equal to c.
QString RemoveCaracter(const QString& c, const QString& s);
// Only "0"-"9", "A"-"Z" and "a"-"z" kept.
QString RemoveCaracteresEspeciais(const QString& s);

// ---- Shared functions ------------------------------------------------------------

#include "platform/os/FileSearch.h"

#include <QDateTime>
#include <QStringList>

#include <functional>

class QWidget;
namespace vorta::db { class DataSet; }
namespace vorta::ui { class MaskedEdit; }

// Texts and numbers.
// Without leading and trailing blanks and control characters.
QString AllTrim(const QString& text);
// The number (empty text: 0) with the given decimals, rounded half away from zero,
// left-padded with "0" to the width (after a minus sign) and never cut. A text that
// is not a number comes back as it is, so the check that follows refuses it.
QString StrZero(const QString& number, int width, int decimals = 0);
// Cut to the width, or padded with blanks behind.
QString StrSpc(const QString& text, int width);
// The value, or 0 when negative.
double minzero(double value);

// Files and drives. Paths use "/" as separator.
// GetFileSize and GetFiles are the library's (comum.h).
// Deletes the folder, or with contentsOnly everything inside it. False when the
// folder does not exist or something could not be deleted.
bool DeleteFolder(const QString& folder, bool contentsOnly);
// True when the drive (vorta::os::drivePath) holds no file at its top.
bool IsEmpty(QChar drive);
// True when the drive answers a size query; a character outside "A"-"Z" (either
// case) raises EConvertError "Não existe disco no drive !".
bool DiskInDrive(QChar drive);
// Free bytes of drive number (0 current folder, 1 = A, ...); -1 when it cannot be read.
qint64 TemEspaco(int drive);
// The update server's address from the registry; "Erro" when reading fails.
QString PegaURL();
// RefreshDataSet is the library's (comum.h).

// Dates.
// True when the text is a date-time; else shows "Data Inválida !" and answers False.
bool TestaData(const QString& text);
// The last day of the date's month, at the same time of day.
QDateTime UltimoDiadoMes(const QDateTime& date);
// d2 <= d1 <= the last day of d2's month.
bool DatanoMesAno(const QDateTime& d1, const QDateTime& d2);
// Unix seconds as local standard time (vorta::standardBiasMinutes), and back.
QDateTime UTCToDateTime(qint64 unixSeconds);
qint64 DateTimeToUTC(const QDateTime& dateTime);
// "yyyy?mm?dd?hh?nn?ss" (one separator of any kind between the parts). Raises
// EConvertError for a text that gives no date-time.
QDateTime UTCFormatToDateTime(const QString& text);

// Forms and data.
// Enter (13) as Tab: key becomes 9; outside a data grid it becomes 0 and the focus
// moves to the form's next control; in a data grid the next column is selected,
// after the last one the first column of the next record (appended at the end
// unless the grid is read-only).
void EmulaEnter(QWidget* form, int& key);
// Enter moves to the next control (key 0); in a data grid it becomes Tab (9).
void EmulaEnterNormal(QWidget* form, int& key);
// Empties every data-aware edit of the form.
void limpeza(QWidget* form);
// Data-aware edits, lookup combos, radio groups and grids of the form become
// writable, or read-only; other data-aware controls are left as they are.
void HabilitaReadOnly(QWidget* form);
void DesabilitaReadOnly(QWidget* form);
// Enabled of every control inside the container, the controls of inner containers
// first. A null container raises EAssertionFailed "Classe inválida para este método !!!".
void EnableAll(QWidget* container, bool enabled);
// Selects all the text of a masked edit that shows nothing yet.
void EditSelectAll(vorta::ui::MaskedEdit* edit);
// Whether a dataset of a data module owned by the application is in edit or insert
// state; the second posts every such dataset.
bool AplicacaoEstaEditando();
void AplicacaoEstaEditandoGravar();

// Fiscal operation natures: entries 1 to 12, exits 51 to 62.
// "Entrada", "Saida" or empty.
QString Natureza(int code);
// The exit code of an entry code when kind is "Entrada", else the entry code of an
// exit code; 0 for a code of neither range.
int NaturezaOperacao(const QString& kind, int code);
// Whether the entry and exit codes form a valid pair for the state ("QX" home, "EX" abroad).
bool TipoOperacao(int entry, int exit, const QString& uf);
