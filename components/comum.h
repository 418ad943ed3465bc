#pragma once

// General functions of the library: CRC-32 as numbers, check digits of the state's
// documents and the FEBRABAN collection barcode.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdint>

class QIODevice;

// ---- CRC-32 (IEEE 802.3, reflected polynomial 0xEDB88320) ----

// The register after the given bytes; the caller starts it (0xFFFFFFFF) and
// complements the end result. A count of 0 or less leaves the register unchanged.
std::uint32_t UpdateCRC32(std::uint32_t reg, const void* data, std::int64_t count);
// Checksum of the device from its current position to its end. Raises EInOutError
// when the device reports a read error.
std::uint32_t ComputeStreamCRC32(QIODevice& stream);
// Checksum of the text's code page 1252 bytes; 0 for an empty text.
std::uint32_t ComputeStrCRC32(const QString& text);
// Checksum of the whole file. Raises EInOutError when it cannot be opened or read.
std::uint32_t ComputeFileCRC32(const QString& fileName);
// Whether the line after the file's first "<CABECALHO>" line (case ignored) starts
// with the checksum in upper case. Raises EFOpenError when the file cannot be opened.
bool ChecaCRCInterno(const QString& fileName, const QString& checksum);

namespace crc32_detail {
// The two ways UpdateCRC32 may take, open to tests and the benchmark.
std::uint32_t updateSliced(std::uint32_t reg, const unsigned char* data, std::size_t count);
bool clmulAvailable();
// Only when clmulAvailable().
std::uint32_t updateClmul(std::uint32_t reg, const unsigned char* data, std::size_t count);
} // namespace crc32_detail

// ---- Texts of digits ----

// Not empty and only "0" to "9".
bool IsNumber(const QString& text);
// The text without every character other than "0" to "9".
QString RemoveMascara(const QString& text);
QString LimpaLixo(const QString& text);
// Fits the text to n characters: a longer one keeps its last n (right = false) or
// first n (right = true); a shorter one is filled with c in front (false) or behind (true).
QString StrFill(const QString& text, int n, QChar c, bool right);

// ---- Check digits ----

// 9 characters whose ninth is the check digit of the first eight. Raises
// EConvertError for a non-digit among the first eight.
bool ChkDigIE(const QString& ie);
// The check digit of the first eight characters. Raises ERangeError for fewer
// than eight, EConvertError for a non-digit.
QString GenDigIE(const QString& ie);
// The registration as stored in a file made whole with prefix "28" or else "58";
// '' when neither gives a valid registration.
QString IEdoArquivo(const QString& stored);
// Check digit of a 5-character municipality code; '' for another length, "#" for
// a non-digit.
QString DVMun(const QString& code);
// The five check digits of an invoice number (10 characters) with its date
// (yyyymmdd); '' for a number of another length. Raises Exception "DVNFP ..." on
// a non-digit or a short date.
QString DVNFP(const QString& number, const QString& date);
// Whether the last of up to 9 characters is the check digit of the others.
bool ChkRenavam(const QString& renavam);
// The number in 9 digits followed by its 2 check characters; '' when the number has
// more than 9 characters, is negative, or leaves a negative remainder (most numbers
// below 100; 3 leaves 0).
QString DVDaeqx(std::int32_t number);
// Modulus-10 check character (weights 2, 1, ... from the left); " " for an empty text.
// Raises EConvertError for a non-digit.
QString Modulo10CEF(const QString& digits);

// ---- FEBRABAN collection barcode ----

// The 44-digit barcode. Raises Exception "Erro ao gerar FEBRABAN" unless s has 11 characters.
QString FEBRABANBarCode(const QString& value, const QDateTime& date, const QString& s, QChar c);
// The printed line: four blocks of 11, each with "-" and its check digit, blank-separated.
QString FEBRABANText(const QString& code);

// ---- Texts ----

// The text between the end of the first start marker and the first end marker (each
// sought from the start); '' when the end marker comes first. Raises Exception when a
// marker is missing.
QString PegarTexto(const QString& text, const QString& ini, const QString& fim);
// Deletes from the first start marker to the end of the first end marker.
void ApagarTexto(QString& text, const QString& ini, const QString& fim);
// The text between the first "<tag>" and the first "</tag>"; '' when either is missing.
QString GetXMLToken(const QString& text, const QString& tag);
// The text up to the first delimiter (all of it when none); that part, the delimiter and
// the delimiters right after it leave the text.
QString GetToken(QString& text, const QString& delimiters);
// A quoted token (a doubled quote stands for one), then the delimiters after it leave.
QString GetTokenStr(QString& text, const QString& delimiters, QChar quote);
// Only the characters of the text that are in the set, in order.
QString ClearString(const QString& text, const QString& keep);
// Accented letters as plain ones.
QString CaracEspec(const QString& text);
// The part of second after its longest common beginning with first; '' when second is shorter.
QString CompareStrings(const QString& first, const QString& second);
// Case-insensitive match with "*" (any run) and "?" (any one character).
bool PassMask(const QString& mask, const QString& text);
QString StringReplaceNew(const QString& text, const QString& oldPattern, const QString& newPattern, int flags);
// Breaks the lines longer than maxLength, after a blank or a ",", "-", "." or ";" where
// there is one; a maximum below 1 leaves the list as it is.
void BreakText(QStringList& lines, int maxLength);
// The value of the hexadecimal digits as decimal text.
QString HexToNum(const QString& hex);
// Rounded to two decimals, halves away from zero.
double SemDizima(double value);
// The value rounded to the decimals, in width digits without a separator, "-" in front
// for a negative one. With check, raises EIntOverflow when it does not fit.
QString FormatarNumeroSemSeparador(long double value, int width, int decimals, bool check);
QString FormatarInteiro(std::int64_t value, int width, bool check);
QVariant IIF(bool condition, const QVariant& whenTrue, const QVariant& whenFalse);
// "path;entry": the value of the entry in the engine's configuration list of that path
// (the last one of that name); counter receives the number of entries read.
QString GetConfigParameter(const QString& parameter, std::uint16_t* counter = nullptr);

// ---- Files, folders and the system ----

#include "platform/os/FileSearch.h"
#include "platform/os/Registry.h"
#include "platform/os/WorkArea.h"

#include <QImage>
#include <QRegion>

#include <functional>
#include <initializer_list>
#include <set>

namespace vorta {
class Application;
}
namespace vorta::db {
class DataSet;
}

// File attributes that select entries of ListDir; each stands for one attribute bit
// (ftNormal for none).
enum TFileAttr { ftReadOnly, ftHidden, ftSystem, ftVolumeID, ftDirectory, ftArchive, ftNormal };
using TFileAttrs = std::set<TFileAttr>;
// The attribute bits of the set (vorta::os::faReadOnly ...).
int FileAttrBits(const TFileAttrs& attrs);

// Records the running executable (the upper-case first 8 characters of its file
// name) in "UpDates.TxT" beside it, keeping the list as it was in "UpDates.Old", and
// asks the application to end.
void EndOfUpd(vorta::Application* application);
namespace comum_detail {
// The list step of EndOfUpd for the executable at exePath.
void RecordUpdate(const QString& exePath);
} // namespace comum_detail

namespace comum {
// True when no ordinary file matches "*.*" in the current folder; the argument is
// not consulted. (The framework's IsEmpty of a drive is another function.)
bool IsEmpty(QChar unused);
} // namespace comum

// True when every given bit is set in the file's attributes; False for a name that
// names nothing.
bool HasAttr(const QString& fileName, std::uint16_t attr);
// Size in bytes of the first entry matching the name (masks allowed, drive letters
// as vorta::os::resolveDrivePath reads them); -1 when there is none or it is a folder.
qint64 GetFileSize(const QString& fileName);
// The file extent of the image that holds this library: the end of its furthest
// section with content; 0 when it is no executable image.
qint64 GetExeSize();
namespace comum_detail {
qint64 ImageSize(const QString& fileName);
} // namespace comum_detail
// Adds folder + name of every entry matching one of the ";"-separated masks that
// carries at least one attribute of attrs, mask by mask; with recursive the
// sub-folders' entries come first. Raises EInOutError for a missing folder. The
// process's current folder is left alone.
void ListDir(const QString& folder, const TFileAttrs& attrs, const QString& masks, QStringList& list, bool recursive);
using TFileFoundEvent = std::function<void(const vorta::os::SearchRec&)>;
// Adds the full names of the entries matching mask (with folder, or a drive letter:
// "A:\*.*", vorta::os::resolveDrivePath) and attr to list;
// with recursive, the same mask in every sub-folder (ordinary files there). onFile,
// when set, receives each entry found and each entry of the sub-folder searches.
void GetFiles(const QString& mask, QStringList& list, bool recursive, const TFileFoundEvent& onFile, int attr);

// File-stream modes (the share bits are accepted and have no effect here).
enum : std::uint16_t { fmOpenRead = 0x0000, fmOpenWrite = 0x0001, fmOpenReadWrite = 0x0002, fmCreate = 0xFFFF };
// Writes the text's code page 1252 bytes to the file opened with mode: fmCreate makes
// it anew, the open modes write over its start. An empty text gives an empty file
// (fmCreate) or leaves the file as it is. Raises EFOpenError when the file cannot be
// opened, EInOutError when it cannot be written.
void SaveStringToFile(const QString& text, const QString& fileName, std::uint16_t mode);
// Appends "\"dd/mm/yyyy hh:nn:ss\"" + text + CR LF; every failure is ignored.
void AppendLog(const QString& fileName, const QString& text);
// Moves the key with all its content to newKey; any failure shows "ERRO AO MUDAR CHAVE".
void RenameKey(vorta::os::RootKey root, const QString& oldKey, const QString& newKey);
// The desktop work area; true when the system gave one.
bool GetWindowsWorkArea(vorta::os::Rect& rect);
// A window region of every pixel that is not within the tolerances above colour
// (an RGB value; a system colour raises ERangeError, as does a row over 8,192 pixels).
// The image is turned into 32 bits per pixel.
QRegion BitmapToRegion(QImage& bitmap, std::uint32_t colour, int rt, int gt, int bt);

// ---- Datasets, the record change log and the spreadsheet writer ----

#include <array>

namespace vorta {
class Component;
}
namespace vorta::db {
class Field;
class Table;
}

// Record templates of the spreadsheet stream (16-bit words, little-endian).
extern const std::array<std::uint16_t, 6> CXlsBof;
extern const std::array<std::uint16_t, 2> CXlsEof;
extern const std::array<std::uint16_t, 6> CXlsLabel;
extern const std::array<std::uint16_t, 5> CXlsNumber;
extern const std::array<std::uint16_t, 5> CXlsRk;
// The stream's records; columns and rows count from 0, the column comes first.
// Device errors raise EInOutError.
void XlsBeginStream(QIODevice& stream, std::uint16_t value);
void XlsEndStream(QIODevice& stream);
// The text as code page 1252 bytes; over 65,527 characters raises ERangeError.
void XlsWriteCellLabel(QIODevice& stream, std::uint16_t col, std::uint16_t row, const QString& text);
void XlsWriteCellNumber(QIODevice& stream, std::uint16_t col, std::uint16_t row, double value);
// An integer RK value: only the low 30 bits of the integer are kept.
void XlsWriteCellRk(QIODevice& stream, std::uint16_t col, std::uint16_t row, std::int32_t value);

// The kinds of a cached update and what its handler answers.
enum TUpdateKind : int { ukModify, ukInsert, ukDelete };
enum TUpdateAction : int { uaFail, uaAbort, uaSkip, uaRetry, uaApplied };
// Where the record change logs go: the folder set here; else the registry's
// "\Software\Kalvi\Vorta\" value "LogPath"; else the "log" folder of the installation
// ("Path" + "log/"). Ends with "/"; empty when none can be found.
QString RecordLogFolder();
void SetRecordLogFolder(const QString& folder);
// Appends "dd/mm/yy hh:nn:ss:zzz ", the kind ("M ", "I ", "D ", else "U ") and every
// field's text followed by character 14 to the dataset's "<name>.mlog" in
// RecordLogFolder (made when missing). Raises EInOutError when it cannot be written.
void LogRecord(vorta::db::DataSet* dataSet, int updateKind, TUpdateAction& action);

// The current record's number in the table's order (0 on no record); a closed table
// raises EDatabaseError "Cannot perform this operation on a closed dataset".
int GetRecordNumber(vorta::db::Table* table);
// The edit text of the sender's field when the screen's active control is a
// data-aware edit and the sender is one too, the sender's text when both are mask
// edits; else ''.
QString GetMaskFieldValue(QObject* sender);
void ActivateDataSet(vorta::db::DataSet* dataSet);
void RefreshDataSet(vorta::db::DataSet* dataSet);
// Inserts into target a record with the values of source's fields of the same names.
bool CopyOneRecord(vorta::db::DataSet* source, vorta::db::DataSet* target);
// True when every field of b equals a's field of that name; else raises Exception
// "Campos diferentes" (an unknown name raises the field-not-found error).
bool CompareRecord(vorta::db::DataSet* a, vorta::db::DataSet* b);
// Asks for a value of field with Input1 and keeps one "field = 'value'" line per field
// in lines, applied as the dataset's filter; Cancel clears them. Number fields are
// ignored. Always true.
bool DFilter(vorta::db::DataSet* dataSet, QStringList& lines, vorta::db::Field* field);
// Creates the missing tables of the module's table components from their field
// definitions; every table component is left closed.
void CreateTables(vorta::Component* module);
// Closes each table component of the module and gives it a primary index on its first
// field (a table whose primary index is already that one is left as it is).
void CreateIndexes(vorta::Component* module);

struct TColumnRef;
// Sorts the grid's dataset by the column's field (sort true, data fields): a table takes
// the last index whose fields name it, a query's "ORDER BY" is set on its last SQL line,
// and the clicked title is marked; then asks for a value with Input1 and filters and
// locates it in the field (a lookup field by its key). Every error is swallowed.
void DbGridTitleLocate(const TColumnRef& column, bool sort);

// ---- Windows, forms and menus ----

#include "platform/ipc/WindowMessages.h"

#include <QIcon>

class QWidget;
namespace vorta::ui {
class Form;
class MenuItem;
} // namespace vorta::ui

// Posts the key's press and release (the class library's virtual-key code) to the
// focused control of the window's form, then processes pending messages. A handle
// of no form of this process gets nothing.
void SendKey(vorta::ipc::WindowHandle handle, std::uint16_t key);
// Posts the character alone, as typed, the same way.
void SendChar(vorta::ipc::WindowHandle handle, QChar ch);
// Focuses target unless the form's active control lies before sender in tab order;
// true when the focus was moved. A form without an active control gives the focus.
bool wSetFocus(QWidget* sender, QWidget* target);
// The control's place in its parent's tab order; -1 for none.
int TabOrderOf(const QWidget* control);
// A menu item without owner. The shortcut is the class library's: virtual key in the
// low byte, 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt.
vorta::ui::MenuItem* NewMenuItem(const QString& caption, std::uint16_t shortCut, bool checked, bool enabled,
                                 std::function<void(vorta::ui::MenuItem*)> onClick, std::uint16_t helpContext,
                                 const QString& name);
QKeySequence ShortCutToKey(std::uint16_t shortCut);
// The folder chosen in the folder dialog, inside the desktop's standard folder that
// the shell constant names (CSIDL_PERSONAL 5, CSIDL_DESKTOP 0 ...); '' when none is
// chosen or the choice lies outside it.
QString GetFolder(int root, const QString& title);
// The standard folder of a shell constant; '' for one this system has no folder for.
QString SpecialFolderPath(int root);
// The icon of the file's type (an ".ico" file's own picture); true when one was found.
bool GetFileIcon(const QString& fileName, QIcon& icon);
// Opens the file with its program (an executable runs with the parameters in the
// folder). More than 32 on success; 2 missing file, 3 missing folder, 31 no program.
qint64 ExecuteFile(const QString& fileName, const QString& params, const QString& folder, int showCmd);

#include "platform/ui/Form.h"

namespace comum_detail {
int ShowAndFree(vorta::ui::Form* form);
} // namespace comum_detail
// Creates the form through the application, shows it modally, frees it, puts the
// default cursor back and returns the modal result.
template <class T>
int DynamicForm(vorta::Guarded<T>& form)
{
    vorta::ui::createForm(form);
    return comum_detail::ShowAndFree(form.get());
}

// Sends the file's bytes unchanged to the default printer as document "MyDocument".
// The file is opened first (a missing one raises EInOutError before any job starts);
// every started step of the job is ended, also when a write fails.
void PrintFile(const QString& fileName);
