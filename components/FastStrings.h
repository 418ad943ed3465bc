#pragma once

// Substring search over single-byte (code page 1252) strings by a Boyer-Moore-Horspool
// skip table, with and without case, forwards and backwards, and the replacements built
// on it. Positions are 1-based; 0 means not found.

#include <QByteArray>

#include <array>
#include <functional>

using TBMJumpTable = std::array<int, 256>;

// The upper-case byte of each byte of the code page, built once.
const std::array<unsigned char, 256>& FastStringsUpcase();

void MakeBMTable(const char* buffer, int bufferLen, TBMJumpTable& jumpTable);
void MakeBMTableNoCase(const char* buffer, int bufferLen, TBMJumpTable& jumpTable);
// The first match of find in the sourceLen bytes at source, or null.
const char* BMPos(const char* source, const char* find, int sourceLen, int findLen, const TBMJumpTable& jumpTable);
const char* BMPosNoCase(const char* source, const char* find, int sourceLen, int findLen, const TBMJumpTable& jumpTable);

int FastCharPos(const QByteArray& source, char c, int startPos);
int FastCharPosNoCase(const QByteArray& source, char c, int startPos);
// The lengths given are cut to the strings' own lengths.
int FastPos(const QByteArray& source, const QByteArray& find, int sourceLen, int findLen, int startPos);
int FastPosNoCase(const QByteArray& source, const QByteArray& find, int sourceLen, int findLen, int startPos);
// startPos 0 searches from the end.
int FastPosBack(const QByteArray& source, const QByteArray& find, int sourceLen, int findLen, int startPos);
int FastPosBackNoCase(const QByteArray& source, const QByteArray& find, int sourceLen, int findLen, int startPos);

void FastCharMove(const char* source, char* dest, int count);

QByteArray FastReplace(const QByteArray& source, const QByteArray& find, const QByteArray& replace, bool caseSensitive);

enum TReplaceFlag { rfReplaceAll = 1, rfIgnoreCase = 2 };
using TReplaceFlags = int;
QByteArray FastAnsiReplace(const QByteArray& s, const QByteArray& oldPattern, const QByteArray& newPattern,
                           TReplaceFlags flags);

using TFastTagReplaceProc = std::function<void(QByteArray& tag, int userData)>;
// Each span from startTag to endTag is replaced by what proc makes of the text between them.
QByteArray FastTagReplace(const QByteArray& source, const QByteArray& startTag, const QByteArray& endTag,
                          const TFastTagReplaceProc& proc, int userData);

int SmartPos(const QByteArray& searchString, const QByteArray& sourceString, bool caseSensitive, int startPos,
             bool forward);
