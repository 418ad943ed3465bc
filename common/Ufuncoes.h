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
